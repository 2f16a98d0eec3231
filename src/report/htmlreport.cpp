#include "report/htmlreport.h"

#include "workfile/codepage.h"

#include "questionnaire/catalogue.h"
#include "workfile/workfileformat.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <array>

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

QStringList reportTableLines(const QStringList &responses)
{
    const QuestionnaireCatalogue &catalogue = QuestionnaireCatalogue::instance();
    const QString br = u"<br>"_s;
    QStringList lines;
    lines.reserve(170);

    bool rowOpen = false;   // the previous line opened this item's row
    for (int number = 1; number <= kItemCount; ++number) {
        const QuestionnaireItem &item = catalogue.item(number);
        qsizetype first = 0;
        if (number == 1) {
            lines << u"<table><tr><td>"_s << u"<b>"_s;
            for (qsizetype h = 0; h < kLeadInHeadings; ++h) {
                if (h > 0)
                    lines << br;
                lines << htmlText(catalogue.controlText(item.page, item.headings.at(h)));
            }
            lines << u"</b><br><br></td></tr><tr><td><b>"_s;
            first = kLeadInHeadings;
            rowOpen = true;
        }
        if (!rowOpen)
            lines << u"<tr><td><b>"_s;
        for (qsizetype h = first; h < item.headings.size(); ++h) {
            if (h > first)
                lines << br;
            lines << htmlText(catalogue.controlText(item.page, item.headings.at(h)));
        }
        lines << u"<br>Response: </b><i>"_s << htmlText(responses.value(number - 1));
        if (number == kItemCount) {
            lines << u"</i><br><br></td></tr></table>"_s;
        } else if (closingOpensNextRow(number)) {
            lines << u"</i><br><br></td></tr><tr><td><b>"_s;
            rowOpen = true;
        } else {
            lines << u"</i><br><br></td></tr>"_s;
            rowOpen = false;
        }
    }
    lines << u"</td> </tr>"_s << u"</table> </body> </html>"_s;
    return lines;
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
    const QStringList lines = reportTableLines(responses);
    QByteArray out = templateHead(templateBytes);
    qsizetype size = out.size();
    for (const QString &line : lines)
        size += line.size() + 2;
    out.reserve(size + size / 32);
    for (const QString &line : lines) {
        out += encodeHtmlText(line);
        out += "\r\n";
    }
    return out;
}

bool writeHtmlReport(const QString &templateFile, const QString &destination,
                     const QStringList &responses, QString *error)
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
    const QByteArray bytes = reportBytes(templateBytes, responses);
    QString reason;
    if (!writeFileSafely(destination, bytes, &reason))
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
