#include "trickytexts.h"

#include <iterator>

namespace brevant::test {

using namespace Qt::Literals::StringLiterals;

QString trickyText(int length, quint32 seed)
{
    static const char16_t alphabet[] = {
        u' ', u'%', u'&', u'<', u'>', u'"', u'\'', u'\n', u'\r', 0x2028, 0x2029, u'\t',
        0x00E9, 0x00A0, 0x00FF, 0x20AC, 0x201C, 0x2014, 0x0081, 0x009D, 0x0080, 0x009F,
        0x2265, 0x03A9, 0x4E2D, 0xFEFF, 0xFFFD, 0xD83D, 0xDE00, 0xDC00, 0xD800, 0x007F,
    };
    quint32 state = seed;
    QString text;
    text.reserve(length);
    while (text.size() < length) {
        state = state * 1103515245u + 12345u;
        const quint32 pick = state >> 16;
        if (pick % 4) {
            // A run of plain letters, now and then a long one.
            const int run = pick % 29 == 0 ? 40 + int(pick % 70) : 1 + int(pick % 7);
            for (int i = 0; i < run; ++i)
                text += QChar(u'a' + (pick + i) % 26);
        } else {
            text += QChar(alphabet[pick / 4 % std::size(alphabet)]);
        }
    }
    text.truncate(length);
    return text;
}

QStringList trickyResponses()
{
    QString c1;
    for (char16_t u = 0x80; u < 0xA0; ++u)
        c1 += QChar(u);
    QStringList r = {
        QString(),
        u"Plain words, nothing else."_s,
        u"a & b < c > d \"quoted\" 'single' &amp; &#65; <br> </i>"_s,
        u"CR LF\r\nLF\nCR\rend"_s,
        u"Shift+Enter\u2028Enter\u2029both\u2028\u2029end"_s,
        u"\r\r\n\n\r\u2029\r\u2028\n\r"_s,
        u"\u20AC\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039\u0152\u017D"
        u"\u2018\u2019\u201C\u201D\u2022\u2013\u2014\u02DC\u2122\u0161\u203A\u0153\u017E\u0178"_s,
        u"\u00A0caf\u00E9 \u00FF \u00BD \u00A9 \u00AD \u00C0\u00DF\u00F7"_s,
        c1,
        u"\u03A9 \u2265 \u4E2D \u0416 \u2028x \uFEFF \uFFFD \uFFFF"_s,
        u"\U0001F600 \U00010000 \U0010FFFF \U0001D11E"_s,
        u"lone high "_s + QChar(0xD800) + u"b, lone low "_s + QChar(0xDC00) + u", reversed "_s
            + QChar(0xDE00) + QChar(0xD83D) + u", high last "_s + QChar(0xD83D),
        u"100% %% %%% %%%% %%%%% and %%%%\n%%%%"_s,
        u"tab\tdel\x7F nul"_s + QChar(0) + u" bell\x07 escape\x1B"_s,
        u"ends with line breaks\n\n"_s,
        u"\nstarts with one"_s,
        u"  two  blanks  "_s,
    };
    // Mixtures, one long enough for plain runs of any length.
    const int lengths[] = {1, 7, 16, 33, 64, 250, 400, 1000, 2500, 6000};
    quint32 seed = 20;
    for (int length : lengths)
        r << trickyText(length, seed++);
    return r;
}

QByteArray trickyTemplate()
{
    return QByteArray("<html>\r\n<head>\n<title>A\rreport</title>\n\n\r\n"
                      "<meta charset=windows-1252>\r\r<body caf\xE9 \x80\x81\x93>\r\n"
                      "<table><tr><td>");
}

} // namespace brevant::test
