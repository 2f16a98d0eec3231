// The HTML report on each of its three designs, as a real web browser shows
// it: Debian's chromium, headless, opens the page the report writer wrote
// for 27 responses, prints the page's DOM after loading and takes a
// screenshot. The responses stand in the page in catalogue order, as typed:
// the user's markup is text, a line break is a line break and a character
// outside Windows-1252 is that character. The screenshots stay in
// build/browser/ to be looked at.

#include "document/htmlreport.h"
#include "document/reportwriters.h"
#include "testmain.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace brevant::test;
using namespace Qt::Literals::StringLiterals;

namespace {

// The browser can take a while to start on a loaded machine; a run that
// takes longer than this has hung.
constexpr int kBrowserDeadlineMs = 180 * 1000;

// One response for each of the 27 requirements, in catalogue order, each
// distinct. Some hold what a page must not take as markup, line breaks of
// each kind the response boxes give, characters of Windows-1252 that
// Latin-1 lacks and characters outside it (written as character references).
const QStringList kResponses = {
    u"Response 1: two full-time faculty members teach every course we offer."_s,
    u"Response 2: <b>not bold</b> & <i>not italic</i> </td></tr></table> <script>document.title='x'</script>"_s,
    u"Response 3: the first line\nthe second line\nthe third line"_s,
    u"Response 4: caf\u00e9, na\u00efve, \u201cquoted\u201d, \u20ac 120, the department\u2019s"_s,
    u"Response 5: \u03a9 \u2192 \u65e5\u672c\u8a9e \u2713 \U0001F600"_s,
    u"Response 6: an entity typed as text: &amp; &lt;b&gt; &#8364; and a \"quote\""_s,
    u"Response 7: a line\u2028after Shift+Enter"_s,
    u"Response 8: Windows line end\r\nnext line"_s,
    u"Response 9: <!-- not a comment --> <br> not a break"_s,
    u"Response 10: a < b > c && d"_s,
    u"Response 11: the catalogue of courses is reviewed each year."_s,
    u"Response 12: majors complete 36 credit hours."_s,
    u"Response 13: minors complete 18 credit hours."_s,
    u"Response 14: the cognate is chosen with an adviser."_s,
    u"Response 15: electives are listed in the handbook."_s,
    u"Response 16: <a href=\"https://example.invalid/\">no link</a>"_s,
    u"Response 17: the capstone is taken in the final year."_s,
    u"Response 18: transfer credit is evaluated by the chair."_s,
    u"Response 19: the writing requirement is met in two courses."_s,
    u"Response 20: independent study needs a contract."_s,
    u"Response 21: internships count for up to six credits."_s,
    u"Response 22: the assessment plan was revised."_s,
    u"Response 23: learning outcomes are published."_s,
    u"Response 24: the advising load is 25 students."_s,
    u"Response 25: the honours track has a thesis."_s,
    u"Response 26: course caps are 30 students."_s,
    u"Response 27: the last one, \u00bd done & \u00a7 5-2."_s,
};

// A response as the browser prints the page's DOM: "&", "<", ">" and the
// no-break space escaped, and each line break a <br> element followed by
// the line feed the page has after it (the parser reads CR LF as LF).
QString inDom(const QString &typed)
{
    static const QRegularExpression lineBreak(u"\r\n|[\n\r\u2028\u2029]"_s);
    QStringList lines = typed.split(lineBreak);
    for (QString &line : lines) {
        line.replace(u'&', u"&amp;"_s)
            .replace(u'<', u"&lt;"_s)
            .replace(u'>', u"&gt;"_s)
            .replace(QChar(0xA0), u"&nbsp;"_s);
    }
    return lines.join(u"<br>\n"_s);
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The last lines of what the browser printed, for a failure message,
// without its complaints about the buses it finds none of.
QString tail(const QByteArray &output)
{
    QStringList lines = QString::fromLocal8Bit(output).split(u'\n', Qt::SkipEmptyParts);
    lines.removeIf([](const QString &line) { return line.contains(u"dbus"_s); });
    if (lines.size() > 12)
        lines = lines.mid(lines.size() - 12);
    return lines.join(u'\n');
}

// A colour of the design's style sheet, "#rrggbb", for a selector such as
// "body" (an invalid colour when the design has none).
QColor styleColour(const QByteArray &design, const QString &selector)
{
    const QRegularExpression rule(QRegularExpression::escape(selector)
                                  + u"\\s*\\{[^}]*background-color:\\s*(#[0-9a-fA-F]{6})"_s);
    const QRegularExpressionMatch m = rule.match(QString::fromLatin1(design));
    return m.hasMatch() ? QColor(m.captured(1)) : QColor();
}

bool sameColour(QRgb a, const QColor &b)
{
    return qAbs(qRed(a) - b.red()) <= 3 && qAbs(qGreen(a) - b.green()) <= 3 && qAbs(qBlue(a) - b.blue()) <= 3;
}

} // namespace

class TestBrowserPages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void design_data();
    void domHoldsEveryResponseAsTyped_data() { design_data(); }
    void domHoldsEveryResponseAsTyped();
    void screenshotShowsTheDesign_data() { design_data(); }
    void screenshotShowsTheDesign();

private:
    // The report on the design, written into the output folder with the
    // program's writer.
    QString pagePath(const QString &design) const;
    // Writes it; returns what went wrong (nothing when it worked).
    QString writeReport(const QString &design) const;
    // Runs the browser on the page with extra arguments and keeps what it
    // printed on standard output; returns what went wrong.
    QString browse(const QString &page, const QStringList &arguments, QByteArray *out = nullptr);

    int m_runs = 0;
    QString m_browser;
    QString m_output;
    QTemporaryDir m_home;   // the browser's home, profile and caches
};

void TestBrowserPages::initTestCase()
{
    QCOMPARE(kResponses.size(), 27);
    m_browser = QStandardPaths::findExecutable(u"chromium"_s);
    QVERIFY2(!m_browser.isEmpty(),
             "chromium is not installed (Debian chromium; make test installs it through "
             "scripts/install-deps.sh test)");
    QVERIFY(m_home.isValid());
    m_output = QFile::decodeName(BREVANT_BROWSER_OUTPUT);
    QVERIFY2(QDir().mkpath(m_output), qPrintable(u"cannot make "_s + m_output));
}

void TestBrowserPages::design_data()
{
    QTest::addColumn<QString>("design");
    for (const char *design : {"Executive_Delight", "Orange_Madness", "Green_Orchids"})
        QTest::newRow(design) << QString::fromLatin1(design);
}

QString TestBrowserPages::pagePath(const QString &design) const
{
    return m_output + u'/' + design + u".html"_s;
}

QString TestBrowserPages::writeReport(const QString &design) const
{
    const QString templateFile = builtProgramFolder() + u"/Templates/"_s + design + u".htm"_s;
    QString error;
    if (!brevant::writeReport(brevant::ReportFormat::Html, templateFile, pagePath(design), kResponses,
                              brevant::DocumentOptions(), &error))
        return u"the report writer failed: "_s + error;
    return QString();
}

QString TestBrowserPages::browse(const QString &page, const QStringList &arguments, QByteArray *out)
{
    // A profile of its own for each run, and no session of the user's: no
    // display, no session bus, a home of the test's.
    const QString profile = m_home.filePath(u"profile-"_s + QString::number(++m_runs));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS"})
        env.remove(QString::fromLatin1(name));
    env.insert(u"HOME"_s, m_home.path());
    env.insert(u"XDG_CONFIG_HOME"_s, m_home.filePath(u"config"_s));
    env.insert(u"XDG_CACHE_HOME"_s, m_home.filePath(u"cache"_s));
    env.insert(u"XDG_DATA_HOME"_s, m_home.filePath(u"data"_s));

    QProcess browser;
    browser.setProcessEnvironment(env);
    browser.setProgram(m_browser);
    // The flags this machine's closed network needs: nothing is fetched.
    browser.setArguments(QStringList{u"--headless"_s, u"--no-sandbox"_s, u"--disable-gpu"_s,
                                     u"--disable-quic"_s, u"--no-first-run"_s,
                                     u"--disable-background-networking"_s,
                                     u"--disable-component-update"_s, u"--disable-sync"_s,
                                     u"--user-data-dir="_s + profile}
                         + arguments + QStringList{QUrl::fromLocalFile(page).toString()});
    browser.start();
    if (!browser.waitForStarted(kBrowserDeadlineMs))
        return u"chromium did not start: "_s + browser.errorString();
    if (!browser.waitForFinished(kBrowserDeadlineMs)) {
        browser.kill();
        browser.waitForFinished();
        return u"chromium did not finish within %1 s on %2; it printed:\n%3"_s
            .arg(kBrowserDeadlineMs / 1000)
            .arg(page, tail(browser.readAllStandardError()));
    }
    if (browser.exitStatus() != QProcess::NormalExit || browser.exitCode() != 0) {
        return u"chromium ended with status %1 on %2; it printed:\n%3"_s
            .arg(browser.exitCode())
            .arg(page, tail(browser.readAllStandardError()));
    }
    if (out)
        *out = browser.readAllStandardOutput();
    return QString();
}

void TestBrowserPages::domHoldsEveryResponseAsTyped()
{
    QFETCH(QString, design);
    QString problem = writeReport(design);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QByteArray printed;
    problem = browse(pagePath(design), {u"--dump-dom"_s}, &printed);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    const QString dom = QString::fromUtf8(printed);

    // The page loaded with the design's head.
    const QString designText = QString::fromLatin1(readAll(builtProgramFolder() + u"/Templates/"_s + design + u".htm"_s));
    const QString title = QRegularExpression(u"<title>(.*?)</title>"_s).match(designText).captured(1);
    QVERIFY2(!title.isEmpty(), "the design has no title");
    QVERIFY2(dom.contains(u"<title>"_s + title + u"</title>"_s),
             qPrintable(u"the page did not load with the design's title \"%1\"; the browser printed %2 characters:\n%3"_s
                            .arg(title)
                            .arg(dom.size())
                            .arg(dom.left(600))));

    // Each response stands in its own <i> element, in catalogue order, as
    // text: nothing the user typed became an element of the page. The
    // report puts it on lines of its own between <i> and </i>.
    static const QRegularExpression italic(u"<i>(.*?)</i>"_s, QRegularExpression::DotMatchesEverythingOption);
    QStringList found;
    for (auto it = italic.globalMatch(dom); it.hasNext();)
        found << it.next().captured(1);
    for (int i = 0; i < kResponses.size(); ++i) {
        const QString expected = u'\n' + inDom(kResponses.at(i)) + u'\n';
        QVERIFY2(i < found.size(),
                 qPrintable(u"the page holds only %1 responses; response %2 is missing: %3"_s
                                .arg(found.size())
                                .arg(i + 1)
                                .arg(expected)));
        QVERIFY2(found.at(i) == expected,
                 qPrintable(u"response %1 should stand in the page as\n  %2\nbut the page holds\n  %3"_s
                                .arg(i + 1)
                                .arg(expected, found.at(i))));
    }
    QVERIFY2(found.size() == kResponses.size(),
             qPrintable(u"the page holds %1 responses where 27 were written; the first extra one: %2"_s
                            .arg(found.size())
                            .arg(found.value(kResponses.size()))));
    // The table is closed after the last response: the page's end came
    // through.
    QVERIFY2(dom.indexOf(u"</table>"_s, dom.indexOf(inDom(kResponses.last()))) > 0,
             "no table ends after the last response");
}

void TestBrowserPages::screenshotShowsTheDesign()
{
    QFETCH(QString, design);
    QString problem = writeReport(design);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    const QString picture = m_output + u'/' + design + u".png"_s;
    QFile::remove(picture);   // a picture of an earlier run proves nothing
    problem = browse(pagePath(design), {u"--screenshot="_s + picture, u"--window-size=1024,1400"_s});
    QVERIFY2(problem.isEmpty(), qPrintable(problem));

    const QImage shot(picture);
    QVERIFY2(!shot.isNull(), qPrintable(u"chromium left no readable screenshot in "_s + picture));
    QCOMPARE(shot.size(), QSize(1024, 1400));
    // The design's style sheet was applied: its page colour at the corner,
    // and its masthead colour in the picture.
    const QByteArray designBytes = readAll(builtProgramFolder() + u"/Templates/"_s + design + u".htm"_s);
    const QColor body = styleColour(designBytes, u"body"_s);
    const QColor masthead = styleColour(designBytes, u"td.masthead"_s);
    QVERIFY2(body.isValid() && masthead.isValid(), "the design names no page or masthead colour");
    QVERIFY2(sameColour(shot.pixel(4, 4), body),
             qPrintable(u"the corner of %1 is %2, not the design's page colour %3"_s
                            .arg(picture, QColor(shot.pixel(4, 4)).name(), body.name())));
    int mastheadPixels = 0;
    int otherPixels = 0;   // text, rules and bands: neither page nor masthead
    for (int y = 0; y < shot.height(); y += 2) {
        for (int x = 0; x < shot.width(); x += 2) {
            const QRgb p = shot.pixel(x, y);
            if (sameColour(p, masthead))
                ++mastheadPixels;
            else if (!sameColour(p, body))
                ++otherPixels;
        }
    }
    QVERIFY2(mastheadPixels > 1000,
             qPrintable(u"%1 shows almost none of the masthead colour %2"_s.arg(picture, masthead.name())));
    QVERIFY2(otherPixels > 10000, qPrintable(u"%1 shows next to nothing but colour"_s.arg(picture)));
}

BREVANT_TEST_MAIN(TestBrowserPages)
#include "tst_browserpages.moc"
