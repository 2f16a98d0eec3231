#include "document/htmlreport.h"

#include "core/catalogue.h"
#include "io/blockwriter.h"
#include "io/codepage.h"
#include "io/files.h"

#include <QBuffer>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

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

namespace {

template <std::size_t N>
char *put(char *p, const char (&text)[N])
{
    std::memcpy(p, text, N - 1);
    return p + N - 1;
}

// Writes a text in page form (see htmlText). One step writes at most
// "&#1114111;", ten bytes.
char *putHtmlText(BlockWriter &w, char *p, QStringView text)
{
    return putText(w, p, text, [](char *p, const char16_t *&at, const char16_t *end) {
        const char16_t u = *at++;
        switch (u) {
        case u'&': return put(p, "&amp;");
        case u'<': return put(p, "&lt;");
        case u'>': return put(p, "&gt;");
        case u'"': return put(p, "&quot;");
        case u'\r':
            if (at != end && *at == u'\n')
                ++at;
            [[fallthrough]];
        case u'\n':
        case 0x2028:
        case 0x2029:
            return put(p, "<br>\r\n");
        }
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            *p++ = char(u);
            return p;
        }
        const Character c = characterAt(at - 1, end);
        at += c.units - 1;
        const char32_t code = c.code >= 0xD800 && c.code <= 0xDFFF ? 0xFFFD : c.code;
        const int b = cp1252::fromUnicode(code);
        if (b >= 0) {
            *p++ = char(b);
            return p;
        }
        p = put(p, "&#");
        p = std::to_chars(p, p + 7, uint(code)).ptr;
        *p++ = ';';
        return p;
    });
}

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

// The lines of the report, each written with its CR LF.
class ReportLines {
public:
    explicit ReportLines(QIODevice &out) : m_w(out), m_p(m_w.start()) {}

    void bytes(QByteArrayView bytes) { m_p = m_w.append(m_p, bytes); }
    void markup(QByteArrayView line)
    {
        bytes(line);
        bytes("\r\n");
    }
    void text(QStringView text)
    {
        m_p = putHtmlText(m_w, m_p, text);
        bytes("\r\n");
    }
    // The captions above an item's response, from..to, with "<br>" lines
    // between them.
    void headings(const QuestionnaireItem &item, qsizetype from, qsizetype to)
    {
        const QuestionnaireCatalogue &catalogue = QuestionnaireCatalogue::instance();
        for (qsizetype h = from; h < to; ++h) {
            if (h > from)
                markup("<br>");
            text(catalogue.controlText(item.page, item.headings.at(h)));
        }
    }
    bool finish() { return m_w.finish(m_p); }

private:
    BlockWriter m_w;
    char *m_p;
};

} // namespace

QByteArray htmlText(QStringView text)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    BlockWriter w(buffer);
    w.finish(putHtmlText(w, w.start(), text));
    return bytes;
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

bool writeHtmlReport(QIODevice &out, const QByteArray &templateBytes, const QStringList &responses)
{
    ReportLines lines(out);
    lines.bytes(templateHead(templateBytes));
    bool rowOpen = false;   // the previous line opened this item's row
    for (int number = 1; number <= kItemCount; ++number) {
        const QuestionnaireItem &item = QuestionnaireCatalogue::instance().item(number);
        qsizetype first = 0;
        if (number == 1) {
            lines.markup("<table><tr><td>");
            lines.markup("<b>");
            lines.headings(item, 0, kLeadInHeadings);
            lines.markup("</b><br><br></td></tr><tr><td><b>");
            first = kLeadInHeadings;
            rowOpen = true;
        }
        if (!rowOpen)
            lines.markup("<tr><td><b>");
        lines.headings(item, first, item.headings.size());
        lines.markup("<br>Response: </b><i>");
        lines.text(responses.value(number - 1));
        if (number == kItemCount) {
            lines.markup("</i><br><br></td></tr></table>");
        } else if (closingOpensNextRow(number)) {
            lines.markup("</i><br><br></td></tr><tr><td><b>");
            rowOpen = true;
        } else {
            lines.markup("</i><br><br></td></tr>");
            rowOpen = false;
        }
    }
    lines.markup("</td> </tr>");
    lines.markup("</table> </body> </html>");
    return lines.finish();
}

QByteArray reportBytes(const QByteArray &templateBytes, const QStringList &responses)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    writeHtmlReport(buffer, templateBytes, responses);
    return bytes;
}

namespace {

QString failureText(const QString &what, const QString &path, const QString &reason)
{
    return what + u"\n"_s + QDir::toNativeSeparators(path) + u"\n"_s + reason;
}

} // namespace

bool readReportTemplate(const QString &templateFile, QByteArray *bytes, QString *error)
{
    const auto fail = [&](const QString &reason) {
        if (error)
            *error = failureText(u"The template could not be read:"_s, templateFile, reason);
        return false;
    };
    QFile in(templateFile);
    if (!in.open(QIODevice::ReadOnly))
        return fail(in.errorString());
    *bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return fail(in.errorString());
    return true;
}

QString reportNotSavedText(const QString &path, const QString &reason)
{
    return failureText(u"The report could not be saved:"_s, path, reason);
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
