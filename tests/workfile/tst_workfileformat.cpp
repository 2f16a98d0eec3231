#include "questionnaire/catalogue.h"
#include "workfile/codepage.h"
#include "workfile/workfileformat.h"

#include <QTest>

using namespace brevant;

namespace {

QStringList emptyResponses()
{
    return QStringList(kItemCount);
}

// "A" to "Z", then "AA".
QStringList letterResponses()
{
    QStringList r;
    for (int i = 0; i < 26; ++i)
        r << QString(QChar(u'A' + i));
    r << QStringLiteral("AA");
    return r;
}

QString fromUtf8(const char *s)
{
    return QString::fromUtf8(s);
}

// Texts of plain letters with the characters where encoding can go wrong
// among them, in a fixed pseudo-random order; long enough for the runs of
// plain letters that are copied eight at a time.
QStringList trickyTexts(int count)
{
    static const char16_t alphabet[] = {
        u' ', u'%', u'\n', 0x2029, 0x2028, u'\r', 0x00E9, 0x00A0, 0x20AC, 0x201C, 0x0081,
        0x0080, 0x009F, 0x2265, 0xD83D, 0xDE00, 0xDC00, 0xFFFD, u'&', u'<', u'"', 0x7F,
    };
    quint32 state = 12345;
    QStringList texts;
    for (int i = 0; i < count; ++i) {
        QString text;
        for (int n = 0; n < i % 61; ++n) {
            state = state * 1103515245u + 12345u;
            const quint32 pick = state >> 16;
            text += pick % 3 ? QChar(u'a' + pick % 26) : QChar(alphabet[pick / 3 % std::size(alphabet)]);
        }
        texts << text;
    }
    return texts;
}

} // namespace

class TestWorkFileFormat : public QObject {
    Q_OBJECT
private slots:
    void codePageMapsEveryByteBothWays();
    void codePageSpecialCharacters();
    void codePageReportsWhatItCannotHold();
    void codePageAtEveryOffset();

    void writesEmptyResponsesAs210Bytes();
    void writesOneLinePerResponse();
    void writesLineBreaksAsCrLf();
    void writesUnstorableCharactersAsQuestionMarks();

    void readsEmptyFileOfResponses();
    void readsLoneLineFeeds();
    void readsExtraPiecesAndCountsShortFiles();
    void readsFileWrittenByHand();
    void readsLineEndsBeyondTheFormatAsText();

    void saveLoadSaveIsIdentity_data();
    void saveLoadSaveIsIdentity();

    void findsResponsesHoldingSeparator();
    void listsUnstorableCharactersPerItem();

    void encodedBoxTextMatchesTheWriter_data();
    void encodedBoxTextMatchesTheWriter();
    void piecesMakeTheWholeFile();
};

void TestWorkFileFormat::codePageMapsEveryByteBothWays()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = cp1252::decode(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(cp1252::encode(text), all);
    QCOMPARE(cp1252::findUnmappable(text).position, qsizetype(-1));
    // Bytes below 0x80 and from 0xA0 are the same code in Unicode.
    for (int b = 0; b < 256; ++b) {
        if (b < 0x80 || b >= 0xA0)
            QCOMPARE(int(text.at(b).unicode()), b);
    }
}

void TestWorkFileFormat::codePageSpecialCharacters()
{
    // Euro, ellipsis, curly quotes, dashes, trade mark, S caron, Y diaeresis,
    // and the five unassigned bytes as control characters.
    const QByteArray bytes("\x80\x85\x91\x92\x93\x94\x96\x97\x99\x8A\x9F\x81\x8D\x8F\x90\x9D", 16);
    const QString text = fromUtf8("\u20AC\u2026\u2018\u2019\u201C\u201D\u2013\u2014\u2122\u0160\u0178")
        + QChar(0x81) + QChar(0x8D) + QChar(0x8F) + QChar(0x90) + QChar(0x9D);
    QCOMPARE(cp1252::decode(bytes), text);
    QCOMPARE(cp1252::encode(text), bytes);
    QCOMPARE(cp1252::encode(fromUtf8("\u00E9\u00A0\u00FF")), QByteArray("\xE9\xA0\xFF"));
}

void TestWorkFileFormat::codePageReportsWhatItCannotHold()
{
    // Greek, "greater or equal", a CJK character, an emoji (two UTF-16
    // units, one character), a C1 control the code page does not use, and
    // a lone surrogate.
    const QString text = fromUtf8("a\u03B1b\u2265c\u4E2Dd\U0001F600e") + QChar(0x80) + QChar(0xD800)
        + QLatin1Char('f');
    QCOMPARE(cp1252::encode(text), QByteArray("a?b?c?d?e??f"));

    QList<char32_t> found;
    for (auto u = cp1252::findUnmappable(text); u.position >= 0;
         u = cp1252::findUnmappable(text, u.position + u.length))
        found << u.character;
    const QList<char32_t> expected = {0x03B1, 0x2265, 0x4E2D, 0x1F600, 0x80, 0xD800};
    QCOMPARE(found, expected);
}

void TestWorkFileFormat::codePageAtEveryOffset()
{
    // Long runs of plain text are handled in blocks; a special character,
    // a line break or an unstorable one must be found wherever it stands.
    for (int offset = 0; offset < 20; ++offset) {
        const QString lead(offset, QLatin1Char('a'));
        const QString text = lead + fromUtf8("\u20AC") + lead + QLatin1Char('\n') + lead
            + fromUtf8("\u00E9") + lead + fromUtf8("\u2265") + lead + QLatin1Char('\r') + lead;
        const QByteArray a = lead.toLatin1();
        const QByteArray expected = a + '\x80' + a + "\r\n" + a + '\xE9' + a + '?' + a + '\r' + a;
        QStringList r;
        r << text;
        QVERIFY(TextToFile(r).startsWith(expected + "\r\n%%%%"));
        const auto u = cp1252::findUnmappable(text);
        QCOMPARE(u.position, qsizetype(4 * offset + 3));
        QCOMPARE(cp1252::decode(cp1252::encode(text)).size(), text.size());
        QCOMPARE(parseWorkFile(TextToFile(r)).responses.at(0),
                 lead + fromUtf8("\u20AC") + lead + QLatin1Char('\n') + lead + fromUtf8("\u00E9") + lead
                     + QLatin1Char('?') + lead + QLatin1Char('\n') + lead);
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

void TestWorkFileFormat::writesUnstorableCharactersAsQuestionMarks()
{
    QStringList r = emptyResponses();
    r[0] = fromUtf8("\u03B1 \u2265 3 \U0001F600 \u20AC");
    QVERIFY(TextToFile(r).startsWith("? ? 3 ? \x80\r\n%%%%"));
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

void TestWorkFileFormat::listsUnstorableCharactersPerItem()
{
    QStringList r = letterResponses();
    r[2] = fromUtf8("x \u2265 y \u2265 z \u03B1");
    r[9] = fromUtf8("\U0001F600 and \u20AC");
    const QList<UnstorableCharacters> u = unstorableCharacters(r);
    QCOMPARE(u.size(), 2);
    QCOMPARE(u.at(0).item, 3);
    QCOMPARE(u.at(0).characters, QList<char32_t>({0x2265, 0x03B1}));
    QCOMPARE(u.at(1).item, 10);
    QCOMPARE(u.at(1).characters, QList<char32_t>({0x1F600}));
}

// A response box keeps its paragraphs apart with U+2029; encoding its text
// directly must give what the writer gives for the text with line feeds,
// and find the same separator and the same unstorable characters.
void TestWorkFileFormat::encodedBoxTextMatchesTheWriter_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("paragraphs") << fromUtf8("one\u2029two\u2029\u2029four\u2029");
    QTest::newRow("line feeds and a lone CR") << QStringLiteral("a\nb\rc\r\n");
    QTest::newRow("separator") << QStringLiteral("50%%%% of it");
    QTest::newRow("no separator across a paragraph end") << fromUtf8("%%\u2029%%");
    QTest::newRow("code page") << fromUtf8("\u20AC \u201C\u201D \u00E9\u00A0\u0081\u009D");
    QTest::newRow("unstorable, each once") << fromUtf8("\u2265 \u0080 \u2265 \U0001F600 \u2028");
    QTest::newRow("lone surrogates") << QString(QChar(0xD800)) + QStringLiteral("x") + QChar(0xDC00);
    int n = 0;
    for (const QString &text : trickyTexts(300))
        QTest::addRow("generated %d", n++) << text;
}

void TestWorkFileFormat::encodedBoxTextMatchesTheWriter()
{
    QFETCH(QString, text);
    const EncodedResponse encoded = encodeResponse(text);
    QStringList responses(kItemCount);
    responses[0] = QString(text).replace(QChar(0x2029), QLatin1Char('\n')).replace(QChar(0x2028), QLatin1Char('\n'));
    // The file holds the first response, its CR LF and 26 empty ones.
    QCOMPARE(encoded.bytes, TextToFile(responses).chopped(210));
    QCOMPARE(encoded.holdsSeparator, !itemsHoldingSeparator(responses).isEmpty());
    const QList<UnstorableCharacters> unstorable = unstorableCharacters(responses);
    QCOMPARE(encoded.unstorable, unstorable.isEmpty() ? QList<char32_t>() : unstorable.first().characters);
}

void TestWorkFileFormat::piecesMakeTheWholeFile()
{
    QStringList texts = letterResponses();
    texts[4] = QStringLiteral("two\nlines");
    texts[26] = QString();
    QList<QByteArray> encoded;
    for (const QString &text : texts)
        encoded << encodeResponse(text).bytes;
    QByteArray joined;
    for (QByteArrayView piece : workFilePieces(encoded))
        joined += piece;
    QCOMPARE(joined, TextToFile(texts));

    // Fewer responses than items: the rest are empty, as with TextToFile.
    joined.clear();
    for (QByteArrayView piece : workFilePieces(encoded.mid(0, 3)))
        joined += piece;
    QCOMPARE(joined, TextToFile(texts.mid(0, 3)));
}

QTEST_GUILESS_MAIN(TestWorkFileFormat)
#include "tst_workfileformat.moc"
