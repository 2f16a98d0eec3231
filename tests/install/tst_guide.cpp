// The user guide as the build renders it: a PDF that opens, with a table of
// contents whose page numbers are right, numbered pages, every section and
// the pictures of the windows.

#include "testmain.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {

// The sections a reader looks for, in the order of the guide.
const QStringList kSections = {
    QStringLiteral("About Brevant Policies"),
    QStringLiteral("Installing and starting the program"),
    QStringLiteral("The way through the windows"),
    QStringLiteral("Answering the questions"),
    QStringLiteral("HELP and the example responses"),
    QStringLiteral("Saving and loading your work"),
    QStringLiteral("Finding your way"),
    QStringLiteral("Printing the report"),
    QStringLiteral("Saving the report as a file"),
    QStringLiteral("Updates and registration"),
    QStringLiteral("Ending the program"),
    QStringLiteral("Unsaved work and backups"),
    QStringLiteral("For the quality office"),
    QStringLiteral("Messages and what to do"),
};

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        qWarning("%s failed: %s", qPrintable(program), process.readAllStandardError().constData());
        return QString();
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

bool hasLine(const QString &page, const QString &text)
{
    const QStringList lines = page.split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        if (line.simplified() == text)
            return true;
    }
    return false;
}

} // namespace

class TestGuide : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void opensAsAnA4DocumentOfManyPages();
    void contentsGivesTheRightPageOfEveryHeading();
    void everyPageButTheTitleIsNumbered();
    void holdsThePicturesOfTheWindows();

private:
    QString m_pdf;
    QStringList m_pages;   // the text of each page, as laid out
    int m_pageCount = 0;
};

void TestGuide::initTestCase()
{
    m_pdf = brevant::test::builtProgramFolder() + QStringLiteral("/Documentation/Documentation.pdf");
    QVERIFY2(QFileInfo(m_pdf).isFile(), qPrintable(m_pdf + QStringLiteral(" is missing")));
    const QString text = run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), m_pdf, QStringLiteral("-")});
    QVERIFY(!text.isEmpty());
    m_pages = text.split(QLatin1Char('\f'));
    if (m_pages.last().trimmed().isEmpty())
        m_pages.removeLast();
}

void TestGuide::opensAsAnA4DocumentOfManyPages()
{
    const QString info = run(QStringLiteral("pdfinfo"), {m_pdf});
    QVERIFY2(!info.isEmpty(), "pdfinfo cannot open the guide");
    const QRegularExpressionMatch pages = QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)$"),
                                                             QRegularExpression::MultilineOption).match(info);
    QVERIFY(pages.hasMatch());
    m_pageCount = pages.captured(1).toInt();
    QVERIFY2(m_pageCount > 12, qPrintable(QStringLiteral("only %1 pages").arg(m_pageCount)));
    QCOMPARE(m_pages.size(), m_pageCount);
    QVERIFY(info.contains(QRegularExpression(QStringLiteral("Title:\\s+Brevant Policies: User Guide"))));
    QVERIFY(info.contains(QStringLiteral("(A4)")));
}

void TestGuide::contentsGivesTheRightPageOfEveryHeading()
{
    QVERIFY(m_pages.size() > 2);
    QVERIFY2(hasLine(m_pages.at(1), QStringLiteral("Contents")), "page 2 is not the table of contents");

    // Entries: a title, a run of blanks, the page number. The contents may
    // run over several pages; they end where the first section begins.
    static const QRegularExpression entry(QStringLiteral("^\\s*(\\S.*?)\\s{2,}(\\d+)\\s*$"));
    QList<QPair<QString, int>> entries;
    for (int p = 1; p < m_pages.size() && !hasLine(m_pages.at(p), kSections.first()); ++p) {
        const QStringList lines = m_pages.at(p).split(QLatin1Char('\n'));
        for (const QString &line : lines) {
            const QRegularExpressionMatch m = entry.match(line);
            if (m.hasMatch() && !line.contains(QStringLiteral("Page ")))
                entries.append({m.captured(1).simplified(), m.captured(2).toInt()});
        }
    }

    QStringList listed;
    for (const auto &[title, page] : std::as_const(entries)) {
        listed << title;
        QVERIFY2(page >= 3 && page <= m_pages.size(), qPrintable(title));
        QVERIFY2(hasLine(m_pages.at(page - 1), title),
                 qPrintable(QStringLiteral("\"%1\" is not on page %2").arg(title).arg(page)));
    }
    for (const QString &section : kSections)
        QVERIFY2(listed.contains(section), qPrintable(section + QStringLiteral(" is not in the contents")));
    // Sections are listed in reading order, with their subsections between them.
    int last = -1;
    for (const QString &section : kSections) {
        const int at = listed.indexOf(section);
        QVERIFY2(at > last, qPrintable(section));
        last = at;
    }
    QVERIFY2(entries.size() > 2 * kSections.size(), "the contents list no subsections");
}

void TestGuide::everyPageButTheTitleIsNumbered()
{
    const int count = m_pages.size();
    QVERIFY(!m_pages.first().contains(QStringLiteral("Page 1 of")));
    for (int p = 2; p <= count; ++p) {
        QVERIFY2(m_pages.at(p - 1).contains(QStringLiteral("Page %1 of %2").arg(p).arg(count)),
                 qPrintable(QStringLiteral("page %1 has no page number").arg(p)));
    }
}

void TestGuide::holdsThePicturesOfTheWindows()
{
    // One picture per window shown: startup, start, two pages, Help!, the
    // warning, completion, template window, registration form; and the
    // first PDF page of each of the three designs.
    const QString list = run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), m_pdf});
    QVERIFY(!list.isEmpty());
    int images = 0;
    QSet<int> pagesWithPictures;
    const QStringList lines = list.split(QLatin1Char('\n'));
    static const QRegularExpression row(QStringLiteral("^\\s*(\\d+)\\s+\\d+\\s+image\\s+(\\d+)\\s+(\\d+)"));
    for (const QString &line : lines) {
        const QRegularExpressionMatch m = row.match(line);
        if (!m.hasMatch())
            continue;
        ++images;
        pagesWithPictures.insert(m.captured(1).toInt());
        // Drawn at twice the window size, so they print sharp.
        QVERIFY2(m.captured(2).toInt() >= 500, qPrintable(line));
    }
    QVERIFY2(images >= 12, qPrintable(QStringLiteral("%1 pictures").arg(images)));
    QVERIFY(pagesWithPictures.size() >= 7);
}

QTEST_GUILESS_MAIN(TestGuide)
#include "tst_guide.moc"
