#include "document/reportmodel.h"

#include "core/catalogue.h"
#include "io/codepage.h"

#include <QRegularExpression>

#include <optional>

namespace brevant {

using namespace Qt::Literals::StringLiterals;

QStringList Report::responses() const
{
    QStringList texts;
    texts.reserve(items.size());
    for (const ReportItem &item : items)
        texts << item.response;
    return texts;
}

namespace {

ReportHeading::Kind headingKind(const QuestionnairePage &page, const QString &control)
{
    if (page.heading.name == control)
        return ReportHeading::Kind::Division;
    for (const PageFrame &frame : page.frames) {
        if (frame.name == control) {
            // "5-1:0", "5-2:0": the sections that open a part of the policy.
            static const QRegularExpression division(u"^\\s*\\d+-\\d+:0\\b"_s);
            return division.match(frame.caption).hasMatch() ? ReportHeading::Kind::Division
                                                            : ReportHeading::Kind::Section;
        }
        for (const LabelText &label : frame.intro) {
            if (label.name == control)
                return ReportHeading::Kind::Lead;
        }
    }
    return ReportHeading::Kind::Statement;
}

QString decodeTemplate(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    for (const char b : bytes)
        *out++ = cp1252::toUnicode(static_cast<unsigned char>(b));
    return text;
}

// Markup as the text it shows: tags dropped, character references
// decoded, runs of white space as one blank.
QString markupText(QStringView markup)
{
    static const QRegularExpression tag(u"<[^>]*>"_s);
    static const QRegularExpression reference(u"&(#[0-9]+|#[xX][0-9a-fA-F]+|[a-zA-Z]+);"_s);
    const QString plain = markup.toString().remove(tag);
    QString text;
    qsizetype at = 0;
    for (auto it = reference.globalMatch(plain); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        text += QStringView(plain).sliced(at, m.capturedStart() - at);
        const QString name = m.captured(1);
        char32_t code = 0;
        if (name.startsWith(u"#x"_s, Qt::CaseInsensitive))
            code = name.mid(2).toUInt(nullptr, 16);
        else if (name.startsWith(u'#'))
            code = name.mid(1).toUInt();
        else if (name == "amp"_L1)
            code = u'&';
        else if (name == "lt"_L1)
            code = u'<';
        else if (name == "gt"_L1)
            code = u'>';
        else if (name == "quot"_L1)
            code = u'"';
        else if (name == "apos"_L1)
            code = u'\'';
        else if (name == "nbsp"_L1)
            code = 0xA0;
        if (code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF))
            text += QString::fromUcs4(&code, 1);
        else
            text += m.captured(0);
        at = m.capturedEnd();
    }
    text += QStringView(plain).sliced(at);
    return text.simplified();
}

// The text of the first element that the pattern's first group holds.
QString elementText(const QString &page, const QString &pattern)
{
    const QRegularExpression element(pattern, QRegularExpression::CaseInsensitiveOption
                                                  | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = element.match(page);
    return m.hasMatch() ? markupText(m.captured(1)) : QString();
}

// The declarations of each rule of the page's style sheets, by selector.
QHash<QString, QHash<QString, QString>> styleRules(const QString &page)
{
    QHash<QString, QHash<QString, QString>> rules;
    static const QRegularExpression sheet(u"<style[^>]*>(.*?)</style>"_s,
                                          QRegularExpression::CaseInsensitiveOption
                                              | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression rule(u"([^{}]+)\\{([^}]*)\\}"_s);
    for (auto s = sheet.globalMatch(page); s.hasNext();) {
        const QString css = s.next().captured(1);
        for (auto r = rule.globalMatch(css); r.hasNext();) {
            const QRegularExpressionMatch m = r.next();
            QHash<QString, QString> declarations;
            for (const QString &d : m.captured(2).split(u';')) {
                const qsizetype colon = d.indexOf(u':');
                if (colon > 0)
                    declarations.insert(d.left(colon).trimmed().toLower(), d.mid(colon + 1).trimmed());
            }
            for (const QString &selector : m.captured(1).split(u','))
                rules[selector.simplified().toLower()].insert(declarations);
        }
    }
    return rules;
}

std::optional<ReportColor> colorValue(const QString &value)
{
    static const QRegularExpression hex(u"#([0-9a-fA-F]{6}|[0-9a-fA-F]{3})\\b"_s);
    const QRegularExpressionMatch m = hex.match(value);
    if (!m.hasMatch())
        return std::nullopt;
    QString digits = m.captured(1);
    if (digits.size() == 3)
        digits = QString(2, digits[0]) + QString(2, digits[1]) + QString(2, digits[2]);
    return digits.toUInt(nullptr, 16);
}

// A length in points (pt) or CSS pixels (px), as unit asks.
std::optional<double> lengthValue(const QString &value, QStringView unit)
{
    static const QRegularExpression number(u"([0-9]*\\.?[0-9]+)\\s*(pt|px)"_s);
    const QRegularExpressionMatch m = number.match(value);
    if (!m.hasMatch())
        return std::nullopt;
    const double n = m.captured(1).toDouble();
    const bool points = m.captured(2) == "pt"_L1;
    if (unit == u"pt")
        return points ? n : n * 72 / 96;
    return points ? n * 96 / 72 : n;
}

void readColor(const QHash<QString, QString> &rule, const char *property, ReportColor &to)
{
    if (const auto c = colorValue(rule.value(QLatin1StringView(property))))
        to = *c;
}

void readText(const QHash<QString, QString> &rule, ReportTextStyle &to)
{
    readColor(rule, "color", to.color);
    if (const auto size = lengthValue(rule.value(u"font-size"_s), u"pt"))
        to.points = *size;
    const QString weight = rule.value(u"font-weight"_s).toLower();
    if (!weight.isEmpty())
        to.bold = weight == "bold"_L1 || weight == "bolder"_L1 || weight.toInt() >= 600;
    const QString style = rule.value(u"font-style"_s).toLower();
    if (!style.isEmpty())
        to.italic = style == "italic"_L1 || style == "oblique"_L1;
    if (const auto spacing = lengthValue(rule.value(u"letter-spacing"_s), u"px"))
        to.letterSpacing = *spacing;
}

} // namespace

ReportStyle readReportStyle(const QByteArray &templateBytes)
{
    const auto rules = styleRules(decodeTemplate(templateBytes));
    ReportStyle style;
    const auto body = rules.value(u"body"_s);
    readColor(body, "background-color", style.pageColor);
    readText(body, style.body);
    if (const QString families = body.value(u"font-family"_s); !families.isEmpty())
        style.fontFamilies = families;
    readColor(rules.value(u"table.sheet"_s), "background-color", style.sheetColor);
    readColor(rules.value(u"td.content"_s), "background-color", style.sheetColor);
    readColor(rules.value(u"td.masthead"_s), "background-color", style.mastheadColor);
    const auto band = rules.value(u"td.band"_s);
    readColor(band, "background-color", style.bandColor);
    if (const auto height = lengthValue(band.value(u"height"_s), u"px"))
        style.bandHeight = *height;
    readText(rules.value(u"p.kicker"_s), style.kicker);
    readText(rules.value(u"h1"_s), style.title);
    readText(rules.value(u"p.sub"_s), style.subtitle);
    readColor(rules.value(u"b"_s), "color", style.headingColor);
    readColor(rules.value(u"i"_s), "color", style.responseColor);

    const auto cell = rules.value(u"td.content td"_s);
    const QString left = cell.value(u"border-left"_s);
    const QString bottom = cell.value(u"border-bottom"_s);
    const QString border = !left.isEmpty() ? left : bottom;
    if (border.isEmpty() || border.contains("none"_L1, Qt::CaseInsensitive)) {
        if (!cell.isEmpty())
            style.rule = ReportStyle::Rule::None;
    } else {
        style.rule = !left.isEmpty() ? ReportStyle::Rule::Left : ReportStyle::Rule::Bottom;
        if (const auto width = lengthValue(border, u"px"))
            style.ruleWidth = *width;
        style.ruleDashed = border.contains("dashed"_L1, Qt::CaseInsensitive)
            || border.contains("dotted"_L1, Qt::CaseInsensitive);
        if (const auto c = colorValue(border))
            style.ruleColor = *c;
    }
    return style;
}

ReportMasthead readReportMasthead(const QByteArray &templateBytes)
{
    const QString page = decodeTemplate(templateBytes);
    return {elementText(page, u"<p[^>]*class=\"?kicker\"?[^>]*>(.*?)</p>"_s),
            elementText(page, u"<h1[^>]*>(.*?)</h1>"_s),
            elementText(page, u"<p[^>]*class=\"?sub\"?[^>]*>(.*?)</p>"_s)};
}

QString readReportTitle(const QByteArray &templateBytes)
{
    return elementText(decodeTemplate(templateBytes), u"<title[^>]*>(.*?)</title>"_s);
}

Report makeReport(const QByteArray &templateBytes, const QStringList &responses)
{
    const QuestionnaireCatalogue &catalogue = QuestionnaireCatalogue::instance();
    Report report;
    report.title = readReportTitle(templateBytes);
    if (report.title.isEmpty())
        report.title = u"Report"_s;
    report.masthead = readReportMasthead(templateBytes);
    report.style = readReportStyle(templateBytes);
    report.templateBytes = templateBytes;
    report.items.reserve(kItemCount);
    for (const QuestionnaireItem &item : catalogue.items()) {
        ReportItem entry;
        entry.number = item.number;
        const QuestionnairePage &page = catalogue.page(item.page);
        for (const QString &control : item.headings)
            entry.headings.append({headingKind(page, control), catalogue.controlText(item.page, control)});
        entry.response = responses.value(item.number - 1);
        report.items.append(std::move(entry));
    }
    return report;
}

Paper paperFor(const QLocale &locale)
{
    return locale.measurementSystem() == QLocale::ImperialUSSystem ? Paper::Letter : Paper::A4;
}

QSizeF paperSize(Paper paper)
{
    // As the print system rounds them: 210 x 297 mm and 8.5 x 11 inches.
    return paper == Paper::Letter ? QSizeF(612, 792) : QSizeF(595, 842);
}

QDateTime documentTime()
{
    bool number = false;
    const QByteArray given = qgetenv("SOURCE_DATE_EPOCH");
    if (!given.isEmpty()) {
        const qint64 epoch = given.trimmed().toLongLong(&number);
        if (number && epoch >= 0)
            return QDateTime::fromSecsSinceEpoch(epoch, Qt::UTC);
    }
    return QDateTime::currentDateTime();
}

QString footerDate(const QDate &date)
{
    return QLocale::c().toString(date, u"d MMMM yyyy"_s);
}

QString documentText(QStringView text)
{
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    qsizetype kept = 0;   // text before it is in out
    const auto replace = [&](qsizetype at, qsizetype length, QChar by) {
        out.append(text.sliced(kept, at - kept));
        out.append(by);
        kept = at + length;
    };
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = text[i].unicode();
        if (u >= 0x20 && u < 0x2028)
            continue;
        if (u == u'\r') {
            replace(i, i + 1 < n && text[i + 1] == u'\n' ? 2 : 1, u'\n');
            i = kept - 1;
        } else if (u == 0x2028 || u == 0x2029) {
            replace(i, 1, u'\n');
        } else if ((u < 0x20 && u != u'\t' && u != u'\n') || u == 0xFFFE || u == 0xFFFF) {
            replace(i, 1, QChar::ReplacementCharacter);
        } else if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(text[i + 1].unicode())) {
            ++i;
        } else if (QChar::isSurrogate(u)) {
            replace(i, 1, QChar::ReplacementCharacter);
        }
    }
    out.append(text.sliced(kept));
    return out;
}

} // namespace brevant
