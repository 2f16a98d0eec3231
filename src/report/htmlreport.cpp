#include "report/htmlreport.h"

#include "questionnaire/catalogue.h"
#include "workfile/codepage.h"
#include "workfile/workfileformat.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace brevant {

using namespace Qt::Literals::StringLiterals;

const QList<ReportDesign> &reportDesigns()
{
    static const QList<ReportDesign> designs = {
        {u"ED"_s, u"Executive Delight"_s, u"/Templates/Executive_Delight.htm"_s,
         u"/Templates/Template_Examples/Executive_Delight.htm"_s},
        {u"OM"_s, u"Orange Madness"_s, u"/Templates/Orange_Madness.htm"_s,
         u"/Templates/Template_Examples/Orange_Madness.htm"_s},
        {u"GO"_s, u"Green Orchids"_s, u"/Templates/Green_Orchids.htm"_s,
         u"/Templates/Template_Examples/Green_Orchids.htm"_s},
    };
    return designs;
}

QString htmlText(QStringView text)
{
    QString out;
    out.reserve(text.size() + text.size() / 8 + 8);
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
        case u'&': out += "&amp;"_L1; break;
        case u'<': out += "&lt;"_L1; break;
        case u'>': out += "&gt;"_L1; break;
        case u'"': out += "&quot;"_L1; break;
        case u'\r':
            if (i + 1 < n && text[i + 1] == u'\n')
                ++i;
            [[fallthrough]];
        case u'\n':
        case 0x2028:
        case 0x2029:
            out += "<br>\r\n"_L1;
            break;
        default:
            out += c;
        }
    }
    return out;
}

namespace {

// Items whose closing line also opens the next item's row; after every
// other item the next one opens its own row.
constexpr std::array<int, 16> kClosingOpensNextRow = {3, 5, 7, 8, 10, 11, 13, 14,
                                                      16, 18, 19, 21, 22, 23, 25, 26};

// Item 1 starts with the lead-in of section 5-1 (its frame caption and
// introduction), which stands in a row of its own.
constexpr int kLeadInHeadings = 2;

bool closingOpensNextRow(int item)
{
    return std::find(kClosingOpensNextRow.begin(), kClosingOpensNextRow.end(), item)
        != kClosingOpensNextRow.end();
}

} // namespace

namespace {

// One line of the report table: markup already in page form, or the
// response of an item (1..27).
struct TableLine {
    QString markup;
    int response = 0;
};

QList<TableLine> tableLayout()
{
    const QuestionnaireCatalogue &catalogue = QuestionnaireCatalogue::instance();
    const QString br = u"<br>"_s;
    QList<TableLine> lines;
    lines.reserve(170);
    const auto markup = [&lines](const QString &text) { lines.append(TableLine{text, 0}); };

    bool rowOpen = false;   // the previous line opened this item's row
    for (int number = 1; number <= kItemCount; ++number) {
        const QuestionnaireItem &item = catalogue.item(number);
        qsizetype first = 0;
        if (number == 1) {
            markup(u"<table><tr><td>"_s);
            markup(u"<b>"_s);
            for (qsizetype h = 0; h < kLeadInHeadings; ++h) {
                if (h > 0)
                    markup(br);
                markup(htmlText(catalogue.controlText(item.page, item.headings.at(h))));
            }
            markup(u"</b><br><br></td></tr><tr><td><b>"_s);
            first = kLeadInHeadings;
            rowOpen = true;
        }
        if (!rowOpen)
            markup(u"<tr><td><b>"_s);
        for (qsizetype h = first; h < item.headings.size(); ++h) {
            if (h > first)
                markup(br);
            markup(htmlText(catalogue.controlText(item.page, item.headings.at(h))));
        }
        markup(u"<br>Response: </b><i>"_s);
        lines.append(TableLine{QString(), number});
        if (number == kItemCount) {
            markup(u"</i><br><br></td></tr></table>"_s);
        } else if (closingOpensNextRow(number)) {
            markup(u"</i><br><br></td></tr><tr><td><b>"_s);
            rowOpen = true;
        } else {
            markup(u"</i><br><br></td></tr>"_s);
            rowOpen = false;
        }
    }
    markup(u"</td> </tr>"_s);
    markup(u"</table> </body> </html>"_s);
    return lines;
}

// The markup lines encoded, made once: they never change.
const QList<QByteArray> &encodedMarkup()
{
    static const QList<QByteArray> encoded = [] {
        QList<QByteArray> lines;
        for (const TableLine &line : tableLayout())
            lines << encodeHtmlText(line.markup);
        return lines;
    }();
    return encoded;
}

// The report's pieces, to be written one after another: the template head,
// then each table line and its CR LF. They point into head, responsesHtml
// and the encoded markup.
QList<QByteArrayView> reportPieces(const QByteArray &head, const QList<QByteArray> &responsesHtml)
{
    static const QList<TableLine> layout = tableLayout();
    const QList<QByteArray> &markup = encodedMarkup();
    QList<QByteArrayView> pieces;
    pieces.reserve(2 * layout.size() + 1);
    pieces << QByteArrayView(head);
    for (qsizetype i = 0; i < layout.size(); ++i) {
        const int response = layout.at(i).response;
        if (response == 0)
            pieces << QByteArrayView(markup.at(i));
        else if (response <= responsesHtml.size())
            pieces << QByteArrayView(responsesHtml.at(response - 1));
        pieces << QByteArrayView("\r\n");
    }
    return pieces;
}

QList<QByteArray> responsesInPageForm(const QStringList &responses)
{
    QList<QByteArray> html;
    html.reserve(kItemCount);
    for (int k = 0; k < kItemCount; ++k)
        html << encodeHtmlText(htmlText(responses.value(k)));
    return html;
}

} // namespace

QStringList reportTableLines(const QStringList &responses)
{
    QStringList lines;
    lines.reserve(170);
    for (const TableLine &line : tableLayout())
        lines << (line.response ? htmlText(responses.value(line.response - 1)) : line.markup);
    return lines;
}

namespace {

// How much each byte grows in page form: by the length of what replaces it,
// less one. A CR LF pair, as a whole, grows by 4.
constexpr auto kPageFormGrowth = [] {
    std::array<quint8, 256> growth{};
    growth['&'] = 4;     // &amp;
    growth['<'] = 3;     // &lt;
    growth['>'] = 3;     // &gt;
    growth['"'] = 5;     // &quot;
    growth['\r'] = 5;    // <br> CR LF
    growth['\n'] = 5;
    return growth;
}();

// The first byte from p on that changes in page form, or end. Text has few
// of them, so sixteen bytes are looked at together where the processor allows.
const char *nextSpecial(const char *p, const char *end)
{
#if defined(__SSE2__)
    while (end - p >= 16) {
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const __m128i hits = _mm_or_si128(
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(b, _mm_set1_epi8('&')), _mm_cmpeq_epi8(b, _mm_set1_epi8('<'))),
                         _mm_or_si128(_mm_cmpeq_epi8(b, _mm_set1_epi8('>')), _mm_cmpeq_epi8(b, _mm_set1_epi8('"')))),
            _mm_or_si128(_mm_cmpeq_epi8(b, _mm_set1_epi8('\r')), _mm_cmpeq_epi8(b, _mm_set1_epi8('\n'))));
        const unsigned mask = unsigned(_mm_movemask_epi8(hits));
        if (mask)
            return p + std::countr_zero(mask);
        p += 16;
    }
#endif
    while (p != end && !kPageFormGrowth[static_cast<unsigned char>(*p)])
        ++p;
    return p;
}

} // namespace

QByteArray htmlFromWorkFileBytes(QByteArrayView bytes)
{
    const char *const begin = bytes.data();
    const char *const end = begin + bytes.size();
    qsizetype size = bytes.size();
    for (const char *p = nextSpecial(begin, end); p != end; p = nextSpecial(p, end)) {
        if (*p == '\r' && p + 1 != end && p[1] == '\n') {
            size += 4;
            p += 2;
        } else {
            size += kPageFormGrowth[static_cast<unsigned char>(*p)];
            ++p;
        }
    }

    QByteArray out(size, Qt::Uninitialized);
    char *o = out.data();
    const auto put = [&o](const char *text, qsizetype n) {
        std::memcpy(o, text, n);
        o += n;
    };
    const char *run = begin;
    for (const char *p = nextSpecial(begin, end); p != end; p = nextSpecial(run, end)) {
        put(run, p - run);
        switch (*p) {
        case '&': put("&amp;", 5); break;
        case '<': put("&lt;", 4); break;
        case '>': put("&gt;", 4); break;
        case '"': put("&quot;", 6); break;
        default:
            if (*p == '\r' && p + 1 != end && p[1] == '\n')
                ++p;
            put("<br>\r\n", 6);
        }
        run = p + 1;
    }
    put(run, end - run);
    Q_ASSERT(o == out.constData() + out.size());
    return out;
}

QByteArray templateHead(const QByteArray &templateBytes)
{
    QByteArray out;
    out.reserve(templateBytes.size() + templateBytes.size() / 16 + 2);
    const qsizetype n = templateBytes.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char c = templateBytes.at(i);
        if (c != '\r' && c != '\n')
            continue;
        out.append(templateBytes.constData() + start, i - start);
        out.append("\r\n");
        if (c == '\r' && i + 1 < n && templateBytes.at(i + 1) == '\n')
            ++i;
        start = i + 1;
    }
    // The last line, unless the text ended with a line end (an empty
    // template still gives its one, empty, line).
    if (start < n || n == 0) {
        out.append(templateBytes.constData() + start, n - start);
        out.append("\r\n");
    }
    return out;
}

QByteArray encodeHtmlText(QStringView text)
{
    QByteArray out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = text[i].unicode();
        if (c < 0x80) {
            out.append(char(c));
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < n && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(char16_t(c), text[i + 1].unicode());
            ++i;
        } else if (QChar::isSurrogate(c)) {
            c = 0xFFFD;   // a broken pair: show the replacement character
        }
        const int byte = cp1252::fromUnicode(c);
        if (byte >= 0) {
            out.append(char(byte));
        } else {
            out.append("&#");
            out.append(QByteArray::number(uint(c)));
            out.append(';');
        }
    }
    return out;
}

QByteArray reportBytes(const QByteArray &templateBytes, const QStringList &responses)
{
    const QByteArray head = templateHead(templateBytes);
    const QList<QByteArray> html = responsesInPageForm(responses);
    QByteArray out;
    for (QByteArrayView piece : reportPieces(head, html))
        out += piece;
    return out;
}

bool writeHtmlReport(const QString &templateFile, const QString &destination,
                     const QStringList &responses, QString *error)
{
    return writeHtmlReport(templateFile, destination, responsesInPageForm(responses), error);
}

bool writeHtmlReport(const QString &templateFile, const QString &destination,
                     const QList<QByteArray> &responsesHtml, QString *error)
{
    auto fail = [error](const QString &what, const QString &path, const QString &reason) {
        if (error)
            *error = what + u"\n"_s + QDir::toNativeSeparators(path) + u"\n"_s + reason;
        return false;
    };

    QFile in(templateFile);
    if (!in.open(QIODevice::ReadOnly))
        return fail(u"The template could not be read:"_s, templateFile, in.errorString());
    const QByteArray templateBytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return fail(u"The template could not be read:"_s, templateFile, in.errorString());
    in.close();

    // The same careful write as the work file's: a complete new file or the
    // old one, and a device such as /dev/null written to, never replaced.
    const QByteArray head = templateHead(templateBytes);
    QString reason;
    if (!writeFileSafely(destination, reportPieces(head, responsesHtml), &reason))
        return fail(u"The report could not be saved:"_s, destination, reason);
    return true;
}

QStringList exampleResponses()
{
    // The example texts separate list entries by a blank, backslash, n
    // and a blank; on the example pages they become real line breaks.
    QStringList texts;
    texts.reserve(kItemCount);
    for (const QuestionnaireItem &item : QuestionnaireCatalogue::instance().items())
        texts << QString(item.example).replace(u" \\n "_s, u"\n"_s);
    return texts;
}

} // namespace brevant
