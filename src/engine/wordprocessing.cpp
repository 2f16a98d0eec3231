#include "engine/wordprocessing.h"

#include <QPageSize>
#include <QRegularExpression>

namespace brevant::wordprocessing {

using namespace Qt::Literals::StringLiterals;

QSizeF pageMillimetres(const QSizeF &points)
{
    return QPageSize(points.toSize(), QString(), QPageSize::FuzzyMatch).size(QPageSize::Millimeter);
}

QString languageTag(const QLocale &locale)
{
    if (locale.language() == QLocale::C)
        return u"en-US"_s;
    return locale.name().replace(u'_', u'-');
}

QString documentTitle(const Report &report)
{
    return documentText(report.title).replace(u'\n', u' ');
}

QString rgbHex(ReportColor color)
{
    return QString::number(color & 0xffffff, 16).rightJustified(6, u'0');
}

QString firstFontFamily(const QString &families)
{
    QString first = families.section(u',', 0, 0).trimmed();
    first.remove(u'"').remove(u'\'');
    return first.isEmpty() ? u"Arial"_s : first;
}

QList<TitleLine> titleBlock(const Report &report)
{
    QList<TitleLine> lines;
    const auto add = [&](TitleLine::Kind kind, const QString &text) {
        if (!text.trimmed().isEmpty())
            lines.append({kind, text});
    };
    const ReportMasthead &masthead = report.masthead;
    add(TitleLine::Kind::Kicker, masthead.kicker);
    add(TitleLine::Kind::Title, masthead.title.trimmed().isEmpty() ? report.title : masthead.title);
    add(TitleLine::Kind::Subtitle, masthead.subtitle);
    return lines;
}

int OutlineLevels::levelOf(const ReportHeading &heading)
{
    switch (heading.kind) {
    case ReportHeading::Kind::Division:
        return m_previous = 1;
    case ReportHeading::Kind::Section: {
        static const QRegularExpression number(u"^\\s*\\d+-\\d+:\\d+((?:\\.\\d+)*)"_s);
        const QRegularExpressionMatch m = number.match(heading.text);
        const int level = 2 + (m.hasMatch() ? int(m.capturedView(1).count(u'.')) : 0);
        return m_previous = qBound(1, qMin(level, m_previous + 1), kHeadingLevels);
    }
    case ReportHeading::Kind::Lead:
    case ReportHeading::Kind::Statement:
        break;
    }
    return 0;
}

} // namespace brevant::wordprocessing
