// Work files in both encodings: Windows-1252 while it holds every
// character, UTF-8 with its mark otherwise, and UTF-8 files other editors
// save read as UTF-8.
#include "workfileformattest.h"

#include "io/utf8.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QTest>

using namespace brevant;
using namespace brevant::test;

class TestWorkFileEncodings : public QObject {
    Q_OBJECT
private slots:
    void codePageLacksSomeCharactersUtf8KeepsThem();
    void writesUtf8OnlyWhenTheCodePageLacksACharacter();
    void readsUtf8WorkFiles();
    void encodingDecidedWhileTheFileIsWritten();
};

void TestWorkFileEncodings::codePageLacksSomeCharactersUtf8KeepsThem()
{
    // Greek, "greater or equal", a CJK character, an emoji (two UTF-16
    // units, one character), a C1 control the code page does not use, and
    // lone surrogates, which no file can hold (they become U+FFFD).
    const QString text = fromUtf8("a\u03B1b\u2265c\u4E2Dd\U0001F600e") + QChar(0x80) + QChar(0xD800)
        + QLatin1Char('f') + QChar(0xDC01);
    for (const QChar c : text) {
        if (c != u'a' && c != u'b' && c != u'c' && c != u'd' && c != u'e' && c != u'f')
            QVERIFY(TextToFile({QStringLiteral("plain "), QString(c)}).startsWith("\xEF\xBB\xBFplain \r\n"));
    }
    const QByteArray file = fileOfFirst(text);
    QVERIFY(file.startsWith("\xEF\xBB\xBF" "a\xCE\xB1" "b\xE2\x89\xA5" "c\xE4\xB8\xAD" "d\xF0\x9F\x98\x80"
                            "e\xC2\x80\xEF\xBF\xBD" "f\xEF\xBF\xBD\r\n%%%%"));
    QString kept = text;
    kept.replace(QChar(0xD800), QChar(0xFFFD)).replace(QChar(0xDC01), QChar(0xFFFD));
    QCOMPARE(parseWorkFile(file).responses.at(0), kept);
}

// Every character kept: Windows-1252 while it holds them all, the whole
// file in UTF-8 with its mark as soon as one response needs it, in memory
// and on a device alike.
void TestWorkFileEncodings::writesUtf8OnlyWhenTheCodePageLacksACharacter()
{
    QStringList r = emptyResponses();
    r[0] = fromUtf8("\u20AC \u00E9 \u0153");
    QVERIFY(TextToFile(r).startsWith("\x80 \xE9 \x9C\r\n%%%%"));
    r[26] = fromUtf8("Dr. \u0141ukasz \u017B\u00F3\u0142\u0107, \u5F20\u4F1F, \u2265 3 \u2192");
    // A response that starts with U+FEFF keeps it: only the file's own mark goes.
    r[1] = fromUtf8("\uFEFF\uFEFFtwo marks");
    const QByteArray utf8 = TextToFile(r);
    QVERIFY(utf8.startsWith("\xEF\xBB\xBF\xE2\x82\xAC \xC3\xA9 \xC5\x93\r\n%%%%\r\n"));
    QVERIFY(utf8.endsWith("%%%%\r\n" + r[26].toUtf8() + "\r\n"));
    QCOMPARE(utf8.count("%%%%\r\n"), 26);
    const WorkFileContents c = parseWorkFile(utf8);
    QCOMPARE(c.encoding, WorkFileEncoding::Utf8);
    QCOMPARE(c.responses, r);
    QBuffer device;
    device.open(QIODevice::WriteOnly);
    QVERIFY(TextToFile(device, r));
    QCOMPARE(device.data(), utf8);
}

// Files other editors save: UTF-8 with or without the mark reads as UTF-8,
// the mark no part of the text; bytes that are not UTF-8 are Windows-1252.
void TestWorkFileEncodings::readsUtf8WorkFiles()
{
    QByteArray rest;
    for (int i = 2; i <= kItemCount; ++i)
        rest += "%%%%\r\nitem " + QByteArray::number(i) + "\r\n";
    const QString typed = fromUtf8("R\u00E9ponse 1: caf\u00E9 \u2014 \u201Cquoted\u201D\nline two");
    const QByteArray utf8 = typed.toUtf8().replace("\n", "\r\n") + "\r\n" + rest;
    for (const QByteArray &file : {utf8, QByteArray("\xEF\xBB\xBF") + utf8}) {
        const WorkFileContents c = parseWorkFile(file);
        QCOMPARE(c.encoding, WorkFileEncoding::Utf8);
        QCOMPARE(c.pieces, kItemCount);
        QCOMPARE(c.responses.at(0), typed);
        QCOMPARE(c.responses.at(26), QStringLiteral("item 27"));
        // Everything fits the code page: saved as every work file was.
        QVERIFY(TextToFile(c.responses).startsWith("R\xE9ponse 1: caf\xE9 \x97 \x93quoted\x94\r\nline two\r\n"));
    }
    // Text that would read back otherwise from Windows-1252 bytes is kept in
    // UTF-8 too.
    QStringList mojibake = emptyResponses();
    mojibake[5] = fromUtf8("R\u00C3\u00A9ponse");
    QCOMPARE(parseWorkFile(TextToFile(mojibake)).responses, mojibake);
    // Not UTF-8: a stray byte, an overlong form, a cut sequence, a surrogate.
    for (const QByteArray &odd : {QByteArray("caf\xE9 \xC3\xA9"), QByteArray("\xC0\xAF"), QByteArray("\xE2\x82"),
                                  QByteArray("\xED\xA0\x80")}) {
        const WorkFileContents c = parseWorkFile(odd + "\r\n" + rest);
        QCOMPARE(c.encoding, WorkFileEncoding::Windows1252);
        QCOMPARE(TextToFile(c.responses), odd + "\r\n" + rest);
    }
}

// A file is written as it is encoded, a block at a time, and written over
// in UTF-8 once it turns out to need it; the bytes are those made whole.
void TestWorkFileEncodings::encodingDecidedWhileTheFileIsWritten()
{
    // Bytes handed over in parts, cut anywhere, are judged as they are whole.
    for (const QByteArray &bytes : {QByteArray("ab\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z"),
                                    QByteArray("a\xE2\x82"), QByteArray("\xE2\x82\xC3"), QByteArray("plain")}) {
        for (qsizetype cut = 0; cut <= bytes.size(); ++cut) {
            Utf8Check halves;
            halves.add(bytes.first(cut));
            halves.add(bytes.sliced(cut));
            QCOMPARE(halves.result(), classifyText(bytes));
        }
        Utf8Check bytewise;
        for (char b : bytes)
            bytewise.add(QByteArrayView(&b, 1));
        QCOMPARE(bytewise.result(), classifyText(bytes));
    }

    // Long enough for many blocks: a character the code page lacks at the
    // very end, and text whose code-page bytes read as UTF-8 all through,
    // with pairs cut at the ends of blocks. A box's own line breaks become CR LF.
    QStringList lateUtf8 = emptyResponses();
    for (QString &text : lateUtf8)
        text = fromUtf8("caf\u00E9\u2029 ").repeated(20000);
    lateUtf8[26] += QChar(0x2265);
    QStringList mojibake = emptyResponses();
    for (int k = 0; k < 3; ++k)
        mojibake[k] = QString(k + 1, u'x') + fromUtf8("\u00C3\u00A9").repeated(200000) + QChar(0x2028) + u'y';
    QTemporaryDir dir;
    for (const QStringList &texts : {lateUtf8, mojibake}) {
        QFile file(dir.filePath(QStringLiteral("work.dat")));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QVERIFY(TextToFile(file, texts));
        file.close();
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray written = file.readAll();
        QCOMPARE(written, TextToFile(texts));
        QVERIFY(written.startsWith("\xEF\xBB\xBF"));
        QVERIFY(!written.contains("\xE2\x80\xA9") && !written.contains("\xE2\x80\xA8"));
        QStringList expected = texts;
        for (QString &text : expected)
            text.replace(QChar(0x2029), u'\n').replace(QChar(0x2028), u'\n');
        QCOMPARE(parseWorkFile(written).responses, expected);
    }
}

QTEST_GUILESS_MAIN(TestWorkFileEncodings)
#include "tst_workfileencodings.moc"
