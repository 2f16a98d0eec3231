#include "core/catalogue.h"
#include "core/responsetext.h"
#include "core/workfileformat.h"
#include "files.h"
#include "io/codepage.h"
#include "trickytexts.h"
#include "workfileformattest.h"

#include <QBuffer>
#include <QTest>

using namespace brevant;
using namespace brevant::test;
using namespace Qt::Literals::StringLiterals;

namespace {

// "A" to "Z", then "AA".
QStringList letterResponses()
{
    QStringList r;
    for (int i = 0; i < 26; ++i)
        r << QString(QChar(u'A' + i));
    r << QStringLiteral("AA");
    return r;
}

} // namespace

class TestWorkFileFormat : public QObject {
    Q_OBJECT
private slots:
    void codePageMapsEveryByteBothWays();
    void codePageSpecialCharacters();
    void codePageAtEveryOffset();
    void codePageUnitsLikePlainBytes();

    void writesEmptyResponsesAs210Bytes();
    void writesOneLinePerResponse();
    void writesLineBreaksAsCrLf();
    void boxLineBreaksBecomeNewlines();

    void readsEmptyFileOfResponses();
    void readsLoneLineFeeds();
    void readsExtraPiecesAndCountsShortFiles();
    void readsFileWrittenByHand();
    void readsLineEndsBeyondTheFormatAsText();

    void saveLoadSaveIsIdentity_data();
    void saveLoadSaveIsIdentity();

    void findsResponsesHoldingSeparator();

    void writesTheGoldenFile();
};

void TestWorkFileFormat::codePageMapsEveryByteBothWays()
{
    // Every byte but the line ends and the percent sign, as the response of
    // a work file: one character each, and written again the same byte.
    QByteArray all;
    for (int b = 0; b < 256; ++b) {
        QCOMPARE(cp1252::fromUnicode(cp1252::toUnicode(uchar(b))), b);
        // Bytes below 0x80 and from 0xA0 are the same code in Unicode.
        if (b < 0x80 || b >= 0xA0)
            QCOMPARE(int(cp1252::toUnicode(uchar(b))), b);
        if (b != '\r' && b != '\n' && b != '%')
            all.append(char(b));
    }
    const QByteArray file = all + fileOfFirst(QString());
    const WorkFileContents c = parseWorkFile(file);
    QCOMPARE(c.responses.at(0).size(), all.size());
    QCOMPARE(TextToFile(c.responses), file);
}

void TestWorkFileFormat::codePageSpecialCharacters()
{
    // Euro, ellipsis, curly quotes, dashes, trade mark, S caron, Y diaeresis,
    // and the five unassigned bytes as control characters.
    const QByteArray bytes("\x80\x85\x91\x92\x93\x94\x96\x97\x99\x8A\x9F\x81\x8D\x8F\x90\x9D", 16);
    const QString text = fromUtf8("\u20AC\u2026\u2018\u2019\u201C\u201D\u2013\u2014\u2122\u0160\u0178")
        + QChar(0x81) + QChar(0x8D) + QChar(0x8F) + QChar(0x90) + QChar(0x9D);
    QCOMPARE(parseWorkFile(fileOfFirst(text)).responses.at(0), text);
    QVERIFY(fileOfFirst(text).startsWith(bytes + "\r\n%%%%"));
    QVERIFY(fileOfFirst(fromUtf8("\u00E9\u00A0\u00FF")).startsWith("\xE9\xA0\xFF\r\n%%%%"));
}

void TestWorkFileFormat::codePageAtEveryOffset()
{
    // A special character, a line break or an unstorable one is found
    // wherever it stands, also across the blocks the writer hands over.
    for (int offset : {0, 1, 7, 8, 9, 15, 16, 17, 65535 / 4, 65536 / 4 + 1}) {
        const QString lead(offset, QLatin1Char('a'));
        const QString text = lead + fromUtf8("\u20AC") + lead + QLatin1Char('\n') + lead
            + fromUtf8("\u00E9") + lead + fromUtf8("\u2265") + lead + QLatin1Char('\r') + lead;
        const QByteArray a = lead.toLatin1();
        const QByteArray expected = "\xEF\xBB\xBF" + a + "\xE2\x82\xAC" + a + "\r\n" + a + "\xC3\xA9" + a
            + "\xE2\x89\xA5" + a + '\r' + a;
        QVERIFY(fileOfFirst(text).startsWith(expected + "\r\n%%%%"));
        QCOMPARE(parseWorkFile(fileOfFirst(text)).responses.at(0), QString(text).replace(u'\r', u'\n'));
        // Without the character the code page lacks: Windows-1252.
        const QString storable = QString(text).remove(QChar(0x2265));
        QVERIFY(fileOfFirst(storable).startsWith(a + '\x80' + a + "\r\n" + a + '\xE9' + a + a + '\r' + a));
    }
}

void TestWorkFileFormat::codePageUnitsLikePlainBytes()
{
    // Units whose low byte is a plain one, the control characters that are
    // not the code page's own, the edges of the own bytes, and the markup
    // the HTML report changes: each at every place of the units taken
    // together, against the same text written one unit at a time.
    const QList<char16_t> units = {u'\u0080', u'\u0085', u'\u009F', u'\u00A0', u'\u00FF', u'\u0100',
                                   u'\u0141', u'\u010A', u'\u0126', u'\u2265', u'\uFF41', u'\n',
                                   u'\r', u'&', u'<', u'>', u'"', u'\t', u'\u007F'};
    for (char16_t unit : units) {
        for (int at = 0; at < 34; ++at) {
            QString text(40, QLatin1Char('a'));
            text[at] = QChar(unit);
            // Windows-1252 where it holds the unit, else the whole file in UTF-8.
            QByteArray expected = "\xEF\xBB\xBF" + text.toUtf8().replace("\n", "\r\n");
            if (cp1252::fromUnicode(unit) >= 0) {
                expected.clear();
                for (QChar c : std::as_const(text))
                    expected += c == u'\n' ? QByteArray("\r\n") : QByteArray(1, char(cp1252::fromUnicode(c.unicode())));
            }
            QVERIFY2(fileOfFirst(text).startsWith(expected + "\r\n%%%%"),
                     qPrintable(u"U+%1 at %2"_s.arg(uint(unit), 4, 16, QLatin1Char('0')).arg(at)));
        }
    }
}

void TestWorkFileFormat::writesEmptyResponsesAs210Bytes()
{
    QByteArray expected("\r\n");
    for (int i = 0; i < 26; ++i)
        expected += "%%%%\r\n\r\n";
    const QByteArray bytes = TextToFile(emptyResponses());
    QCOMPARE(bytes.size(), 210);
    QCOMPARE(bytes, expected);
    // Responses not given count as empty.
    QCOMPARE(TextToFile(QStringList()), expected);
}

void TestWorkFileFormat::writesOneLinePerResponse()
{
    const QByteArray bytes = TextToFile(letterResponses());
    QVERIFY(bytes.endsWith("\r\nAA\r\n"));
    QList<QByteArray> lines = bytes.split('\n');
    QCOMPARE(lines.takeLast(), QByteArray());   // nothing after the last CR LF
    QCOMPARE(lines.size(), 53);
    for (int i = 0; i < lines.size(); ++i) {
        QVERIFY(lines.at(i).endsWith('\r'));
        const QByteArray line = lines.at(i).chopped(1);
        if (i % 2 == 1)
            QCOMPARE(line, QByteArray("%%%%"));
        else
            QCOMPARE(line, i == 52 ? QByteArray("AA") : QByteArray(1, char('A' + i / 2)));
    }
}

void TestWorkFileFormat::writesLineBreaksAsCrLf()
{
    QStringList r = emptyResponses();
    r[1] = QStringLiteral("x\ny");
    r[2] = QStringLiteral("\n\n");
    const QByteArray bytes = TextToFile(r);
    QVERIFY(bytes.startsWith("\r\n%%%%\r\nx\r\ny\r\n%%%%\r\n\r\n\r\n\r\n%%%%\r\n"));
    QVERIFY(!bytes.contains("\n\n"));
    QCOMPARE(bytes.count('\n'), bytes.count('\r'));
    // And they read back as line feeds.
    QCOMPARE(parseWorkFile(bytes).responses, r);
}

void TestWorkFileFormat::boxLineBreaksBecomeNewlines()
{
    // Enter and Shift+Enter in a box, wherever they stand among the units
    // taken eight at a time; nothing else changes.
    for (int length : {1, 7, 8, 9, 17, 40}) {
        for (int at = 0; at < length; ++at) {
            for (char16_t lineBreak : {u'\u2029', u'\u2028'}) {
                QString raw(length, u'\u00A0');
                raw[at] = QChar(lineBreak);
                QString expected(length, u'\u00A0');
                expected[at] = u'\n';
                QCOMPARE(withNewlines(raw), expected);
            }
        }
    }
    QCOMPARE(withNewlines(u"a\u2029\u2029b\u2028c\u2027\u202A"_s), u"a\n\nb\nc\u2027\u202A"_s);
}

void TestWorkFileFormat::readsEmptyFileOfResponses()
{
    const WorkFileContents c = parseWorkFile(TextToFile(emptyResponses()));
    QCOMPARE(c.pieces, 27);
    QVERIFY(c.complete());
    QCOMPARE(c.responses, emptyResponses());
}

void TestWorkFileFormat::readsLoneLineFeeds()
{
    // A work file whose line ends an editor turned into LF.
    QByteArray bytes = TextToFile(letterResponses());
    bytes.replace("\r\n", "\n");
    QCOMPARE(parseWorkFile(bytes).responses, letterResponses());

    QStringList r = letterResponses();
    r[4] = QStringLiteral("one\n\ntwo\n");
    bytes = TextToFile(r);
    bytes.replace("\r\n", "\n");
    QCOMPARE(parseWorkFile(bytes).responses, r);
}

void TestWorkFileFormat::readsExtraPiecesAndCountsShortFiles()
{
    // 30 pieces: the first 27 are the responses, the rest is ignored.
    QByteArray bytes = TextToFile(letterResponses());
    bytes += "%%%%\r\nextra 1\r\n%%%%\r\nextra 2\r\n%%%%\r\nextra 3\r\n";
    WorkFileContents c = parseWorkFile(bytes);
    QCOMPARE(c.pieces, 30);
    QVERIFY(c.complete());
    QCOMPARE(c.responses, letterResponses());

    // Short files say how many pieces they hold.
    QCOMPARE(parseWorkFile(QByteArray()).pieces, 1);
    QCOMPARE(parseWorkFile(QByteArray("no separator here\r\n")).pieces, 1);
    const QByteArray full = TextToFile(letterResponses());
    c = parseWorkFile(full.left(full.indexOf("M\r\n")));   // cut inside the file
    QCOMPARE(c.pieces, 13);
    QVERIFY(!c.complete());
    QCOMPARE(c.responses.size(), 13);
}

void TestWorkFileFormat::readsFileWrittenByHand()
{
    // Windows-1252 and CR LF, as another program writes the format.
    QByteArray bytes("Caf\xE9 \x93quoted\x94 \x96 \x80" "5\r\n");
    bytes += "%%%%\r\nline one\r\n\r\nline three\r\n";
    for (int i = 3; i <= 27; ++i)
        bytes += "%%%%\r\nitem " + QByteArray::number(i) + "\r\n";
    const WorkFileContents c = parseWorkFile(bytes);
    QCOMPARE(c.pieces, 27);
    QCOMPARE(c.responses.at(0), fromUtf8("Caf\u00E9 \u201Cquoted\u201D \u2013 \u20AC5"));
    QCOMPARE(c.responses.at(1), QStringLiteral("line one\n\nline three"));
    QCOMPARE(c.responses.at(26), QStringLiteral("item 27"));
    QCOMPARE(TextToFile(c.responses), bytes);
}

void TestWorkFileFormat::readsLineEndsBeyondTheFormatAsText()
{
    // Only one line end on each side belongs to the format; more are part of
    // the response (files from earlier versions that added them on every
    // load keep them, and nothing more is added).
    QByteArray bytes("first\r\n\r\n");
    bytes += "%%%%\r\n\r\nsecond\r\n\r\n";
    for (int i = 3; i <= 27; ++i)
        bytes += "%%%%\r\n\r\n";
    const WorkFileContents c = parseWorkFile(bytes);
    QCOMPARE(c.responses.at(0), QStringLiteral("first\n"));
    QCOMPARE(c.responses.at(1), QStringLiteral("\nsecond\n"));
    QCOMPARE(c.responses.at(2), QString());
    QCOMPARE(TextToFile(c.responses), bytes);
}

void TestWorkFileFormat::saveLoadSaveIsIdentity_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("multi-line") << QStringLiteral("first line\nsecond line\nthird");
    QTest::newRow("blank only") << QStringLiteral("   \t ");
    QTest::newRow("line breaks only") << QStringLiteral("\n\n\n");
    QTest::newRow("leading and trailing blank lines") << QStringLiteral("\n\n  text  \n\n");
    QTest::newRow("windows-1252") << fromUtf8(
        "\u20AC \u201A \u0192 \u201E \u2026 \u2020 \u2021 \u02C6 \u2030 \u0160 \u2039 \u0152 \u017D "
        "\u2018 \u2019 \u201C \u201D \u2022 \u2013 \u2014 \u02DC \u2122 \u0161 \u203A \u0153 \u017E "
        "\u0178 \u00A0 \u00E9 \u00FF \u00BD");
    QTest::newRow("percent signs") << QStringLiteral("100%\n%%%\n%% %%");
    QTest::newRow("trailing line break") << QStringLiteral("ends with a line break\n");
}

void TestWorkFileFormat::saveLoadSaveIsIdentity()
{
    QFETCH(QString, text);
    for (int field : {0, 13, 26}) {
        QStringList r = letterResponses();
        r[field] = text;
        const QByteArray first = TextToFile(r);
        const WorkFileContents c = parseWorkFile(first);
        QCOMPARE(c.responses, r);
        QCOMPARE(TextToFile(c.responses), first);
    }
}

void TestWorkFileFormat::findsResponsesHoldingSeparator()
{
    QStringList r = letterResponses();
    r[3] = QStringLiteral("50%%%% of it");
    r[20] = QStringLiteral("%%%%");
    r[21] = QStringLiteral("%%%\n%");   // not the separator: a line break between
    QCOMPARE(itemsHoldingSeparator(r), QList<int>({4, 21}));
    QVERIFY(itemsHoldingSeparator(letterResponses()).isEmpty());
}

// The bytes of the work file for responses with every hard case, as the
// writer has always written them where the code page holds every character
// (the file was made before the writer was last rewritten, when what the
// code page lacks became '?'); read back, it gives the responses with '?'
// for those and '\n' for every line end. The same responses as they were
// typed are kept whole in UTF-8.
void TestWorkFileFormat::writesTheGoldenFile()
{
    const QStringList responses = test::trickyResponses();
    const QByteArray golden = test::fileBytes(QStringLiteral(BREVANT_TEST_DATA "/tricky.dat"));
    QStringList storable;
    for (const QString &text : responses) {
        QString kept;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
            kept += cp1252::fromUnicode(text[i].unicode()) < 0 ? QChar(u'?') : text[i];
            i += pair ? 1 : 0;
        }
        storable << kept;
    }
    QCOMPARE(TextToFile(storable), golden);
    const QByteArray utf8 = TextToFile(responses);
    QVERIFY(utf8.startsWith("\xEF\xBB\xBF\r\n%%%%\r\nPlain words, nothing else.\r\n"));
    QCOMPARE(parseWorkFile(utf8).responses.at(10), responses.at(10));
    const WorkFileContents c = parseWorkFile(golden);
    QVERIFY(c.pieces > kItemCount);   // response 13 holds the separator
    QCOMPARE(c.responses.at(0), QString());
    QCOMPARE(c.responses.at(3), QStringLiteral("CR LF\n\nLF\nCR\nend"));   // CR then CR LF: two
    QCOMPARE(c.responses.at(6), responses.at(6));
    QCOMPARE(c.responses.at(10), QStringLiteral("? ? ? ?"));
}

QTEST_GUILESS_MAIN(TestWorkFileFormat)
#include "tst_workfileformat.moc"
