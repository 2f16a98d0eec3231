// brevant-cli run as the quality office runs it: the built executable with
// no display, no session bus and no window; what it writes read back with
// pdftotext, python-docx, unzip and as bytes.

#include "core/review.h"
#include "document/htmlreport.h"
#include "document/reportwriters.h"
#include "files.h"
#include "pdftext.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace brevant;
using namespace brevant::test;
using namespace Qt::Literals::StringLiterals;

namespace {

// A fixed moment for every date the documents stamp.
constexpr char kEpoch[] = "1764590400";   // 1 December 2025, 12:00 UTC

// The program folder of this build (build/bin), where brevant-cli and its
// engine and designs are.
QString builtProgramFolder()
{
    return QFile::decodeName(BREVANT_TEST_PROGRAM_DIR);
}

struct Run {
    int status = -1;
    QByteArray out;
    QString err;
};

// The built brevant-cli (or another copy of it) with the arguments, from
// folder, with no display, no session bus and no platform chosen.
Run cli(const QStringList &arguments, const QString &folder, const QString &program = QStringLiteral(BREVANT_CLI))
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(u"SOURCE_DATE_EPOCH"_s, QString::fromLatin1(kEpoch));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(folder);
    process.start(program, arguments);
    Run run;
    if (!process.waitForFinished(300000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.status = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// A work file of these 27 responses as Save writes it, in the encoding
// the text needs.
QByteArray workFile(const QStringList &responses, bool utf8)
{
    QByteArray bytes = utf8 ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    for (int k = 0; k < responses.size(); ++k) {
        if (k > 0)
            bytes += "%%%%\r\n";
        QString text = responses.at(k);
        text.replace(u'\n', u"\r\n"_s);
        bytes += (utf8 ? text.toUtf8() : text.toLatin1()) + "\r\n";
    }
    return bytes;
}

QStringList responses(const QString &stem)
{
    QStringList texts;
    for (int item = 1; item <= 27; ++item)
        texts << u"%1 response %2"_s.arg(stem).arg(item);
    return texts;
}

// The western file: Windows-1252, a line break kept in a response.
QStringList westernResponses()
{
    QStringList texts = responses(u"Western"_s);
    texts[0] = u"Caf\u00e9 na\u00efve \u00bdtime staff\nsecond line"_s;
    texts[4] = QString();
    return texts;
}

// The eastern one: UTF-8, Greek and Cyrillic.
QStringList easternResponses()
{
    QStringList texts = responses(u"Eastern"_s);
    texts[1] = u"\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac and \u0420\u0443\u0441\u0441\u043a\u0438\u0439"_s;
    return texts;
}

QByteArray unzipped(const QString &archive, const QString &member)
{
    QProcess unzip;
    unzip.start(u"unzip"_s, {u"-p"_s, archive, member});
    unzip.waitForFinished(60000);
    return unzip.readAllStandardOutput();
}

QJsonObject docxRead(const QString &path)
{
    QProcess python;
    python.start(u"/usr/bin/python3"_s, {QStringLiteral(BREVANT_READDOCX), path});
    python.waitForFinished(120000);
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void exportsEveryFormatOfBothEncodings();
    void exportNamesWhatItCannotDoAndDoesTheRest();
    void rollupAsCsvAndAsWorkbook();
    void reviewFilesMergeInGit();
    void engineThatIsNotTheOneBuilt_data();
    void engineThatIsNotTheOneBuilt();
    void commandLineUsage();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

void TestCli::initTestCase()
{
    QVERIFY(QFile::exists(QStringLiteral(BREVANT_CLI)));
    QVERIFY(m_dir.isValid());
    QVERIFY(writeFileBytes(path(u"western.dat"_s), workFile(westernResponses(), false)));
    QVERIFY(writeFileBytes(path(u"eastern.dat"_s), workFile(easternResponses(), true)));
}

// Two files of both encodings into each format: each document holds every
// response as typed, is the one the template window's writers make of the
// same responses, design and date, and is the same file when made again.
void TestCli::exportsEveryFormatOfBothEncodings()
{
    qputenv("SOURCE_DATE_EPOCH", kEpoch);
    const ReportDesign &design = reportDesigns().at(2);
    for (const ReportWriter &writer : reportWriters()) {
        const QString format = writer.extensions.first();
        const QString out = path(u"out-"_s + format);
        const Run run = cli({u"export"_s, u"--format"_s, format, u"--design"_s, design.caption.toUpper(),
                             u"--paper"_s, u"a4"_s, u"--output"_s, out, u"western.dat"_s, u"eastern.dat"_s},
                            m_dir.path());
        QVERIFY2(run.status == 0, qPrintable(format + u": "_s + run.err));
        QVERIFY2(run.err.isEmpty(), qPrintable(run.err));   // no progress line without a terminal
        for (const auto &[stem, texts] : {std::pair(u"western"_s, westernResponses()),
                                          std::pair(u"eastern"_s, easternResponses())}) {
            const QString document = out + u'/' + stem + u'.' + format;
            QVERIFY2(QFile::exists(document), qPrintable(document));
            // The writers of the template window, in this process.
            DocumentOptions options;
            options.paper = Paper::A4;
            const QString mine = path(u"mine."_s + format);
            QString error;
            QVERIFY2(writeReport(writer.format, builtProgramFolder() + design.templatePath, mine, texts,
                                 options, &error),
                     qPrintable(error));
            QVERIFY2(fileBytes(document) == fileBytes(mine), qPrintable(document));

            QString text;
            if (writer.format == ReportFormat::Pdf) {
                text = test::pdfText(document);
            } else if (writer.format == ReportFormat::Docx) {
                for (const QJsonValue &p : docxRead(document).value(u"paragraphs"_s).toArray())
                    text += p.toArray().at(1).toString() + u'\n';
            } else if (writer.format == ReportFormat::Odt) {
                text = QString::fromUtf8(unzipped(document, u"content.xml"_s));
            } else {
                text = QString::fromLatin1(fileBytes(document));
            }
            const QString second = writer.format == ReportFormat::Html ? u"&#917;"_s : texts.at(1);
            QVERIFY2(text.contains(texts.at(26)), qPrintable(document));
            if (writer.format != ReportFormat::Html)
                QVERIFY2(text.contains(second), qPrintable(document + u": "_s + second));
        }
        // Made again, later: the same bytes.
        const Run again = cli({u"export"_s, u"--format"_s, format, u"--design"_s, design.caption, u"--paper"_s,
                               u"a4"_s, u"--force"_s, u"--jobs"_s, u"1"_s, u"--output"_s, out + u"2"_s,
                               u"western.dat"_s},
                              m_dir.path());
        QCOMPARE(again.status, 0);
        QCOMPARE(fileBytes(out + u"2/western."_s + format), fileBytes(out + u"/western."_s + format));
    }
    qunsetenv("SOURCE_DATE_EPOCH");
}

// A missing file, a short one, a folder, a name taken twice, a report that
// is there already and one that cannot be written: each named with its
// reason, status 2, and every other report made.
void TestCli::exportNamesWhatItCannotDoAndDoesTheRest()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(u"folder/sub"_s));
    const QByteArray good = workFile(responses(u"Good"_s), false);
    QVERIFY(writeFileBytes(dir.filePath(u"folder/b.dat"_s), good));
    QVERIFY(writeFileBytes(dir.filePath(u"folder/C.DAT"_s), good));
    QVERIFY(writeFileBytes(dir.filePath(u"folder/notes.txt"_s), good));
    QVERIFY(writeFileBytes(dir.filePath(u"folder/sub/deep.dat"_s), good));
    QVERIFY(writeFileBytes(dir.filePath(u"a.dat"_s), good));
    QVERIFY(writeFileBytes(dir.filePath(u"b.dat"_s), good));          // the same name as folder/b.dat
    QVERIFY(writeFileBytes(dir.filePath(u"short.dat"_s), "one%%%%two"));
    QVERIFY(writeFileBytes(dir.filePath(u"there.dat"_s), good));
    QVERIFY(QDir(dir.path()).mkpath(u"out/blocked.html"_s));          // a folder where the report goes
    QVERIFY(writeFileBytes(dir.filePath(u"blocked.dat"_s), good));
    QVERIFY(writeFileBytes(dir.filePath(u"out/there.html"_s), "earlier"));

    const Run run = cli({u"export"_s, u"--format"_s, u"html"_s, u"--output"_s, u"out"_s, u"a.dat"_s,
                         u"missing.dat"_s, u"folder"_s, u"b.dat"_s, u"short.dat"_s, u"there.dat"_s,
                         u"blocked.dat"_s},
                        dir.path());
    QCOMPARE(run.status, 2);
    const QStringList lines = run.err.split(u'\n', Qt::SkipEmptyParts);
    const auto said = [&](const QString &start, const QString &containing) {
        for (const QString &line : lines) {
            if (line.startsWith(u"brevant-cli export: "_s + start) && line.contains(containing))
                return true;
        }
        return false;
    };
    QVERIFY2(said(u"missing.dat: could not be read"_s, u"No such file"_s), qPrintable(run.err));
    QVERIFY2(said(u"short.dat: could not be read"_s, u"2 of the 27"_s), qPrintable(run.err));
    QVERIFY2(said(u"b.dat: not made"_s, u"same name"_s), qPrintable(run.err));
    QVERIFY2(said(u"there.dat: not made"_s, u"--force"_s), qPrintable(run.err));
    QVERIFY2(said(u"out/blocked.html: could not be written"_s, QString()), qPrintable(run.err));
    QCOMPARE(lines.size(), 5);
    // The folder's *.dat files in name order, its subfolder left alone; the
    // report that was there kept.
    QCOMPARE(QDir(dir.filePath(u"out"_s)).entryList(QDir::Files, QDir::Name),
             (QStringList{u"C.html"_s, u"a.html"_s, u"b.html"_s, u"there.html"_s}));
    QCOMPARE(fileBytes(dir.filePath(u"out/b.html"_s)), fileBytes(dir.filePath(u"out/C.html"_s)));
    QCOMPARE(fileBytes(dir.filePath(u"out/there.html"_s)), QByteArray("earlier"));

    // --force replaces it.
    const Run forced = cli({u"export"_s, u"--format"_s, u"html"_s, u"--force"_s, u"--output"_s, u"out"_s,
                            u"there.dat"_s},
                           dir.path());
    QCOMPARE(forced.status, 0);
    QVERIFY(fileBytes(dir.filePath(u"out/there.html"_s)).startsWith("<"));
}

// The table of the files: CSV on standard output and in a file, an XLSX
// workbook read back from its XML; a file that cannot be read has no row.
void TestCli::rollupAsCsvAndAsWorkbook()
{
    const Run run = cli({u"rollup"_s, u"--output"_s, u"-"_s, u"western.dat"_s, u"eastern.dat"_s, u"gone.dat"_s},
                        m_dir.path());
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.contains(u"gone.dat: could not be read"_s), qPrintable(run.err));
    QVERIFY(run.out.startsWith("\xEF\xBB\xBF" "File,1,2,3,"));
    const QList<QByteArray> rows = run.out.mid(3).split('\n');
    QCOMPARE(rows.size(), 4);   // header, two rows, and the end of the last line
    QVERIFY(rows.at(0).endsWith(",26,27,Complete,Words\r"));
    // "Café naïve ½time staff" and "second line": 6 words; the fifth
    // response empty, so 26 of 27 complete; 25 responses of 3 words.
    QCOMPARE(rows.at(1), QByteArray("western.dat,6,3,3,3,0,") + QByteArray("3,").repeated(22) + "26,81\r");
    QCOMPARE(rows.at(2), QByteArray("eastern.dat,") + QByteArray("3,").repeated(27) + "27,81\r");

    const Run toFile = cli({u"rollup"_s, u"--output"_s, u"table.csv"_s, u"western.dat"_s, u"eastern.dat"_s},
                           m_dir.path());
    QCOMPARE(toFile.status, 0);
    QCOMPARE(fileBytes(path(u"table.csv"_s)), run.out);

    // The answers and states of the review file beside a work file: an
    // answer "No" leaves its requirement incomplete.
    QTemporaryDir reviewed;
    QVERIFY(QFile::copy(path(u"eastern.dat"_s), reviewed.filePath(u"eastern.dat"_s)));
    QVERIFY(writeFileBytes(reviewed.filePath(u"eastern.dat.review.json"_s),
                           R"({"format": "brevant-review", "version": 1,
                               "requirements": {"1": {"answer": "No", "state": "changes-requested"},
                                                "4": {"state": "approved"}}})"));
    const Run states = cli({u"rollup"_s, u"--states"_s, u"--output"_s, u"-"_s, u"eastern.dat"_s}, reviewed.path());
    QCOMPARE(states.status, 0);
    const QList<QByteArray> stateRows = states.out.mid(3).split('\n');
    QByteArray stateHeader = ",27,Complete,Words";
    for (int item = 1; item <= 27; ++item)
        stateHeader += ",State " + QByteArray::number(item);
    QVERIFY(stateRows.at(0).endsWith(stateHeader + '\r'));
    QCOMPARE(stateRows.at(1), QByteArray("eastern.dat,") + QByteArray("3,").repeated(27) + "26,81,changes-requested,draft,draft,approved,"
                                  + QByteArray("draft,").repeated(22) + "draft\r");
    // A damaged review file is named; the row is there, its answers "Yes".
    QVERIFY(writeFileBytes(reviewed.filePath(u"eastern.dat.review.json"_s), "{\"format\": "));
    const Run damaged = cli({u"rollup"_s, u"--output"_s, u"-"_s, u"eastern.dat"_s}, reviewed.path());
    QCOMPARE(damaged.status, 2);
    QVERIFY2(damaged.err.contains(u"eastern.dat.review.json: could not be read"_s), qPrintable(damaged.err));
    QVERIFY(damaged.out.contains(",27,81\r"));

    const Run workbook = cli({u"rollup"_s, u"--output"_s, u"table.xlsx"_s, u"western.dat"_s, u"eastern.dat"_s},
                             m_dir.path());
    QVERIFY2(workbook.status == 0, qPrintable(workbook.err));
    const QString sheet = QString::fromUtf8(unzipped(path(u"table.xlsx"_s), u"xl/worksheets/sheet1.xml"_s));
    const QString strings = QString::fromUtf8(unzipped(path(u"table.xlsx"_s), u"xl/sharedStrings.xml"_s));
    QVERIFY2(sheet.contains(u"<pane ySplit=\"1\" topLeftCell=\"A2\" activePane=\"bottomLeft\" state=\"frozen\"/>"_s),
             qPrintable(sheet.left(600)));
    QVERIFY(strings.contains(u"western.dat"_s) && strings.contains(u"Complete"_s));
    // Numbers as numbers; the empty response's 0 in a shaded style of its own.
    const QRegularExpression zero(u"<c r=\"F2\" s=\"(\\d+)\"><v>0</v></c>"_s);
    const QRegularExpression six(u"<c r=\"B2\"(?: s=\"(\\d+)\")?><v>6</v></c>"_s);
    const auto z = zero.match(sheet);
    const auto s = six.match(sheet);
    QVERIFY2(z.hasMatch() && s.hasMatch(), qPrintable(sheet));
    QVERIFY(z.captured(1) != s.captured(1));
    QVERIFY(unzipped(path(u"table.xlsx"_s), u"xl/styles.xml"_s).contains("FFFCE4D6"));
}

// Two colleagues' branches of a review file, merged by git through the
// driver the guide gives: the answer of one and the comment of the other
// both come through; where both changed one answer, git is told of the
// conflict and the file stays a review file, ours kept.
void TestCli::reviewFilesMergeInGit()
{
    QTemporaryDir repo;
    const auto git = [&](const QStringList &arguments) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"GIT_CONFIG_NOSYSTEM"_s, u"1"_s);
        environment.insert(u"GIT_CONFIG_GLOBAL"_s, u"/dev/null"_s);
        environment.insert(u"HOME"_s, repo.path());
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(repo.path());
        process.start(u"git"_s, QStringList{u"-c"_s, u"user.name=Chair"_s, u"-c"_s, u"user.email=chair@example.org"_s,
                                            u"-c"_s, u"init.defaultBranch=main"_s} + arguments);
        process.waitForFinished(60000);
        return process.exitCode();
    };
    const QString file = repo.filePath(u"history.dat.review.json"_s);
    const auto write = [&](const QByteArray &bytes) { QVERIFY(writeFileBytes(file, bytes)); };
    const auto commit = [&](const QString &message) {
        QCOMPARE(git({u"add"_s, u"-A"_s}), 0);
        QCOMPARE(git({u"commit"_s, u"-q"_s, u"-m"_s, message}), 0);
    };
    QCOMPARE(git({u"init"_s, u"-q"_s}), 0);
    QCOMPARE(git({u"config"_s, u"merge.brevant-review.driver"_s,
                  QStringLiteral(BREVANT_CLI) + u" merge-review %O %A %B"_s}),
             0);
    QVERIFY(writeFileBytes(repo.filePath(u".gitattributes"_s), "*.review.json merge=brevant-review\n"));
    const QByteArray base = R"({"format": "brevant-review", "version": 1, "requirements": {
        "3": {"answer": "Yes", "comments": [{"id": "c1", "author": "Office", "date": "2026-11-30T09:15:00Z",
              "quote": "Ten", "text": "Head count?", "resolved": false, "replies": []}]}}})";
    write(base);
    commit(u"base"_s);
    QCOMPARE(git({u"checkout"_s, u"-q"_s, u"-b"_s, u"office"_s}), 0);
    write(QByteArray(base).replace(R"("replies": [])",
                                   R"("replies": [{"author": "Chair", "date": "2026-12-01T10:00:00Z", "text": "Will do."}])")
              .replace(R"("3": {)", R"("2": {"state": "approved"}, "3": {)"));
    commit(u"the office's reply and approval"_s);
    QCOMPARE(git({u"checkout"_s, u"-q"_s, u"main"_s}), 0);
    write(QByteArray(base).replace(R"("answer": "Yes")", R"("answer": "No")"));
    commit(u"the chair's answer"_s);

    QCOMPARE(git({u"merge"_s, u"-q"_s, u"--no-edit"_s, u"office"_s}), 0);
    ReviewReading merged = readReview(file);
    QVERIFY2(merged.ok, qPrintable(merged.reason));
    QCOMPARE(merged.review.requirement(3).answer, std::optional<QString>(u"No"_s));
    QCOMPARE(merged.review.requirement(2).currentState(), ReviewState::Approved);
    QCOMPARE(merged.review.requirement(3).comments.value(0).replies.size(), 1);

    // Both change one answer: a conflict git hears of, the file still whole.
    QCOMPARE(git({u"checkout"_s, u"-q"_s, u"-b"_s, u"second"_s}), 0);
    write(reviewBytes(merged.review).replace("\"No\"", "\"Partly\""));
    commit(u"partly"_s);
    QCOMPARE(git({u"checkout"_s, u"-q"_s, u"main"_s}), 0);
    write(reviewBytes(merged.review).replace("\"No\"", "\"Not yet\""));
    commit(u"not yet"_s);
    QVERIFY(git({u"merge"_s, u"-q"_s, u"--no-edit"_s, u"second"_s}) != 0);
    merged = readReview(file);
    QVERIFY2(merged.ok, qPrintable(merged.reason));
    QCOMPARE(merged.review.requirement(3).answer, std::optional<QString>(u"Not yet"_s));
}

void TestCli::engineThatIsNotTheOneBuilt_data()
{
    QTest::addColumn<qint64>("cut");       // the engine's first bytes; -1 none, -2 another library
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << qint64(-1) << u"it is in none of the folders"_s;
    QTest::newRow("empty") << qint64(0) << u"is empty"_s;
    QTest::newRow("first 4096 bytes") << qint64(4096) << u"is damaged"_s;
    QTest::newRow("first 200000 bytes") << qint64(200000) << u"is damaged"_s;
    QTest::newRow("another library") << qint64(-2) << u"is not the one built with this program"_s;
}

// A copy of the program beside a damaged engine, or none: each document
// says why, the same words as the windows say, and nothing crashes; the web
// page needs no engine.
void TestCli::engineThatIsNotTheOneBuilt()
{
    QFETCH(qint64, cut);
    QFETCH(QString, reason);
    QTemporaryDir folder;
    const QString program = folder.filePath(u"brevant-cli"_s);
    QVERIFY(QFile::copy(QStringLiteral(BREVANT_CLI), program));
    QVERIFY(QFile::link(builtProgramFolder() + u"/Templates"_s, folder.filePath(u"Templates"_s)));
    const QString engine = folder.filePath(u"libbrevant_documents.so"_s);
    if (cut >= 0) {
        QVERIFY(writeFileBytes(engine, fileBytes(builtProgramFolder() + u"/libbrevant_documents.so"_s).left(cut)));
    } else if (cut == -2) {
        QVERIFY(QFile::copy(u"/usr/lib/x86_64-linux-gnu/libz.so.1"_s, engine)
                || QFile::copy(u"/lib/x86_64-linux-gnu/libz.so.1"_s, engine));
    }
    for (const QString &format : {u"pdf"_s, u"docx"_s, u"odt"_s}) {
        const Run run = cli({u"export"_s, u"--format"_s, format, u"--output"_s, folder.filePath(u"out"_s),
                             path(u"western.dat"_s)},
                            m_dir.path(), program);
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.startsWith(u"brevant-cli export: The document engine libbrevant_documents.so could not be "
                                    "loaded: "_s),
                 qPrintable(run.err));
        QVERIFY2(run.err.contains(reason), qPrintable(run.err));
        QVERIFY(!QFile::exists(folder.filePath(u"out/western."_s + format)));
    }
    const Run table = cli({u"rollup"_s, u"--output"_s, folder.filePath(u"t.xlsx"_s), path(u"western.dat"_s)},
                          m_dir.path(), program);
    QCOMPARE(table.status, 2);
    QVERIFY2(table.err.contains(reason), qPrintable(table.err));
    const Run page = cli({u"export"_s, u"--format"_s, u"html"_s, u"--output"_s, folder.filePath(u"out"_s),
                          path(u"western.dat"_s)},
                         m_dir.path(), program);
    QVERIFY2(page.status == 0, qPrintable(page.err));
}

void TestCli::commandLineUsage()
{
    const Run version = cli({u"--version"_s}, m_dir.path());
    QCOMPARE(version.status, 0);
    QVERIFY(version.out.startsWith("brevant-cli "));
    const Run help = cli({u"help"_s, u"export"_s}, m_dir.path());
    QCOMPARE(help.status, 0);
    QVERIFY(help.out.startsWith("usage: brevant-cli export --format"));
    for (const QStringList &wrong : {QStringList{u"exprot"_s}, QStringList{},
                                     QStringList{u"export"_s, u"--format"_s, u"rtf"_s, u"--output"_s, u"o"_s, u"a"_s},
                                     QStringList{u"export"_s, u"--format"_s, u"pdf"_s, u"--design"_s, u"Blue"_s,
                                                 u"--output"_s, u"o"_s, u"a"_s},
                                     QStringList{u"export"_s, u"--frmat"_s, u"pdf"_s},
                                     QStringList{u"rollup"_s, u"--output"_s, u"t.ods"_s, u"a"_s}}) {
        const Run run = cli(wrong, m_dir.path());
        QVERIFY2(run.status == 2, qPrintable(wrong.join(u' ')));
        QVERIFY2(run.err.contains(u"usage: brevant-cli"_s) || run.err.contains(u"is not a command"_s),
                 qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
    }
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
