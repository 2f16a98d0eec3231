#include "document/wrapline.h"
#include "recordingsurface.h"

#include <QTest>

using namespace brevant;
using brevant::test::RecordingSurface;

// Line wrapping against a surface ten units wide where every character is
// one unit: "[text]" is printed text, "/" a line end, "#" a new page.
class TstWrapLine : public QObject {
    Q_OBJECT
private slots:
    void wraps_data();
    void wraps();
    void pageBreaks_data();
    void pageBreaks();
    void carriesPositionAcrossCalls();
    void stopsAtFirstFailure();
};

void TstWrapLine::wraps_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    // Line ends of the text itself.
    QTest::newRow("empty text: one empty line") << "" << "/";
    QTest::newRow("one word") << "word" << "[word]/";
    QTest::newRow("trailing space kept") << "word " << "[word][ ]/";
    QTest::newRow("trailing line feed: one more empty line") << "word\n" << "[word]//";
    QTest::newRow("lone line feed: two line ends") << "\n" << "//";
    QTest::newRow("CR LF is one line feed") << "one\r\ntwo" << "[one]/[two]/";
    QTest::newRow("lone LF") << "one\ntwo" << "[one]/[two]/";
    QTest::newRow("CR LF runs") << "a\r\n\r\nb\r\n" << "[a]//[b]//";
    QTest::newRow("CR before CR LF stays in the word") << "a\r\r\nb" << "[a\r]/[b]/";
    QTest::newRow("lone CR stays inside its word") << "ab\rcd" << "[ab\rcd]/";

    // Separators.
    QTest::newRow("two spaces both printed") << "a  b" << "[a][ ][ ][b]/";
    QTest::newRow("tab printed after its word") << "a\tb" << "[a][\t][b]/";
    QTest::newRow("leading spaces") << "  a" << "[ ][ ][a]/";

    // The width test: only the word is measured, equality stays.
    QTest::newRow("word ends exactly at the edge") << "aaaa bbbbb" << "[aaaa][ ][bbbbb]/";
    QTest::newRow("one unit wider moves") << "aaaa bbbbbb" << "[aaaa][ ]/[bbbbbb]/";
    QTest::newRow("space may lie past the edge") << "aaaaaaaaaa b" << "[aaaaaaaaaa][ ]/[b]/";
    QTest::newRow("second space past the edge starts a line")
        << "aaaaaaaaaa  b" << "[aaaaaaaaaa][ ]/[ ][b]/";
    QTest::newRow("over-wide word at line start: empty line first")
        << "cccccccccccc" << "/[cccccccccccc]/";
    QTest::newRow("over-wide word after a word: one break")
        << "a cccccccccccc d" << "[a][ ]/[cccccccccccc][ ]/[d]/";
    QTest::newRow("moved word then line feed ends the line after it")
        << "aaaa bbbbbb\ncc" << "[aaaa][ ]/[bbbbbb]/[cc]/";
    QTest::newRow("moved last word") << "aaaa bbbbbb" << "[aaaa][ ]/[bbbbbb]/";
    QTest::newRow("line feed resets the position")
        << "aaaaaaaa\naaaaaaaa" << "[aaaaaaaa]/[aaaaaaaa]/";
}

void TstWrapLine::wraps()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    RecordingSurface surface;
    QVERIFY(WrapLine(surface, text));
    QCOMPARE(surface.rec->log, expected);
    QCOMPARE(surface.x, 0.0);
}

void TstWrapLine::pageBreaks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qreal>("startY");
    QTest::addColumn<QString>("expected");

    // Five units wide, three lines high: one word and its space per line.
    QTest::newRow("line that just fits stays, the next one goes over")
        << "aaaa bbbb cccc dddd" << 0.0 << "[aaaa][ ]/[bbbb][ ]/[cccc][ ]/#[dddd]/";
    QTest::newRow("forced break at the bottom") << "aa bbbb" << 2.0 << "[aa][ ]/#[bbbb]/";
    QTest::newRow("own line feeds never start a page")
        << "a\nb\nc\nd\ne" << 0.0 << "[a]/[b]/[c]/[d]/[e]/";
    QTest::newRow("over-wide word near the bottom") << "cccccc" << 2.0 << "/#[cccccc]/";
}

void TstWrapLine::pageBreaks()
{
    QFETCH(QString, text);
    QFETCH(qreal, startY);
    QFETCH(QString, expected);
    RecordingSurface surface;
    surface.width = 5;
    surface.height = 3;
    surface.y = startY;
    QVERIFY(WrapLine(surface, text));
    QCOMPARE(surface.rec->log, expected);
}

void TstWrapLine::carriesPositionAcrossCalls()
{
    // Each call begins at a line start and leaves the page position to the
    // next call.
    RecordingSurface surface;
    surface.height = 2;
    QVERIFY(WrapLine(surface, QStringLiteral("aaaaaa")));
    QVERIFY(WrapLine(surface, QString()));
    QCOMPARE(surface.y, 2.0);
    QVERIFY(WrapLine(surface, QStringLiteral("aaaaaa bbbbbb")));
    QCOMPARE(surface.rec->log, QStringLiteral("[aaaaaa]//[aaaaaa][ ]/#[bbbbbb]/"));
}

void TstWrapLine::stopsAtFirstFailure()
{
    for (int failAt = 0; failAt < 6; ++failAt) {
        RecordingSurface surface;
        surface.failAt = failAt;
        surface.operations = 0;
        QVERIFY(!WrapLine(surface, QStringLiteral("one two\nthree")));
        // Nothing after the failing operation reaches the surface.
        QCOMPARE(surface.operations, failAt + 1);
    }
}

QTEST_GUILESS_MAIN(TstWrapLine)
#include "tst_wrapline.moc"
