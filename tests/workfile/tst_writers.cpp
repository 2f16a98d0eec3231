// The writers of the work file and the HTML report on a device that fails
// part way, as a full disk does, and the path writer under Save and the
// report when the writer it hands its file to fails.
#include "core/workfileformat.h"
#include "document/htmlreport.h"
#include "failingdevice.h"
#include "files.h"
#include "io/files.h"
#include "trickytexts.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace brevant;
using namespace brevant::test;
using namespace Qt::Literals::StringLiterals;

namespace {

enum class Writer { WorkFile, Report };

// Responses long enough for a file of several blocks.
QStringList longResponses()
{
    QStringList r;
    for (int i = 0; i < kItemCount; ++i)
        r << trickyText(9000, quint32(100 + i));
    return r;
}

bool write(Writer writer, QIODevice &out, const QStringList &responses)
{
    return writer == Writer::WorkFile ? TextToFile(out, responses)
                                      : writeHtmlReport(out, trickyTemplate(), responses);
}

QByteArray whole(Writer writer, const QStringList &responses)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    return write(writer, buffer, responses) ? bytes : QByteArray("<the writer failed on a buffer>");
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

} // namespace

Q_DECLARE_METATYPE(Writer)
Q_DECLARE_METATYPE(FailingDevice::Failure)

class TestWriters : public QObject {
    Q_OBJECT
private slots:
    void stopAtTheFirstFailure_data();
    void stopAtTheFirstFailure();
    void pathWriterKeepsTheEarlierFile_data();
    void pathWriterKeepsTheEarlierFile();
};

void TestWriters::stopAtTheFirstFailure_data()
{
    QTest::addColumn<Writer>("writer");
    QTest::addColumn<FailingDevice::Failure>("failure");
    QTest::addColumn<qint64>("capacity");   // -1: one byte less than the file
    for (Writer writer : {Writer::WorkFile, Writer::Report}) {
        const char *name = writer == Writer::WorkFile ? "work file" : "report";
        for (auto failure : {FailingDevice::Failure::Error, FailingDevice::Failure::ShortWrite}) {
            const char *how = failure == FailingDevice::Failure::Error ? "fails" : "short write";
            for (qint64 capacity : {0, 1, 100, 65535, 65536, 65537, 200000, -1})
                QTest::addRow("%s, %s after %lld bytes", name, how, capacity) << writer << failure << capacity;
        }
    }
}

// The writer says that the file is not whole, has handed over nothing but
// the start of the file, and gives up at the first write that failed.
void TestWriters::stopAtTheFirstFailure()
{
    QFETCH(Writer, writer);
    QFETCH(FailingDevice::Failure, failure);
    QFETCH(qint64, capacity);
    const QStringList responses = longResponses();
    const QByteArray bytes = whole(writer, responses);
    QVERIFY(bytes.size() > 200000);
    if (capacity < 0)
        capacity = bytes.size() - 1;

    FailingDevice device(capacity, failure);
    QVERIFY(!write(writer, device, responses));
    QVERIFY(bytes.startsWith(device.taken()));
    QVERIFY(device.taken().size() <= capacity);
    QCOMPARE(device.writesAfterFailure(), 0);
    if (failure == FailingDevice::Failure::Error)
        QCOMPARE(device.errorString(), u"No space left on device"_s);

    // With room for exactly the file, it is written whole.
    FailingDevice roomy(bytes.size(), failure);
    QVERIFY(write(writer, roomy, responses));
    QCOMPARE(roomy.taken(), bytes);
}

void TestWriters::pathWriterKeepsTheEarlierFile_data()
{
    QTest::addColumn<bool>("earlier");   // a file is there before
    QTest::newRow("a file there before") << true;
    QTest::newRow("no file there") << false;
}

// A writer that fails part way leaves the file that was there, or none,
// and nothing beside it; the same writer that succeeds replaces it whole.
void TestWriters::pathWriterKeepsTheEarlierFile()
{
    QFETCH(bool, earlier);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"work.dat"_s);
    if (earlier)
        QVERIFY(writeFileBytes(path, "the earlier file"));
    const QStringList responses = longResponses();
    const QByteArray bytes = whole(Writer::WorkFile, responses);

    QString error;
    const auto halfThenFail = [&](QIODevice &out) {
        out.write(bytes.first(bytes.size() / 2));
        return false;
    };
    QVERIFY(!writeFileSafely(path, halfThenFail, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(filesIn(dir.path()), earlier ? QStringList{u"work.dat"_s} : QStringList());
    if (earlier)
        QCOMPARE(fileBytes(path), QByteArray("the earlier file"));

    QVERIFY2(writeFileSafely(path, [&](QIODevice &out) { return TextToFile(out, responses); }, &error),
             qPrintable(error));
    QCOMPARE(fileBytes(path), bytes);
    QCOMPARE(filesIn(dir.path()), QStringList{u"work.dat"_s});
}

QTEST_GUILESS_MAIN(TestWriters)
#include "tst_writers.moc"
