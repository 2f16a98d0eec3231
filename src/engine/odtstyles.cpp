// The styles of the report's ODT, its page and the page's footer: the
// word processor's own names where it has them (Title, Subtitle, Heading
// 1..4 with their outline levels, Footer), so that its navigator and table
// of contents find them, in the design's fonts and colours.

#include "engine/odtparts.h"

namespace brevant::odt {

using namespace Qt::Literals::StringLiterals;
using namespace wordprocessing;

namespace {

QString number(int n) { return QString::number(n); }

// <style:style> of a paragraph style (or of the family given), its
// properties to follow, then end().
void openStyle(Part &p, const QString &name, const QString &parent, const QString &next = {},
               const QString &family = u"paragraph"_s)
{
    p.start(u"style:style"_s);
    p.attribute(u"style:name"_s, name);
    if (name.contains(u"_20_"))
        p.attribute(u"style:display-name"_s, QString(name).replace(u"_20_"_s, u" "_s));
    p.attribute(u"style:family"_s, family);
    if (!parent.isEmpty())
        p.attribute(u"style:parent-style-name"_s, parent);
    if (!next.isEmpty())
        p.attribute(u"style:next-style-name"_s, next);
}

// The face and size for every script, and the colour, weight, slant and
// letter spacing.
void textProperties(Part &p, const ReportTextStyle &text, const QString &font = {})
{
    p.empty(u"style:text-properties"_s);
    p.attribute(u"fo:color"_s, color(text.color));
    const QString weight = text.bold ? u"bold"_s : u"normal"_s;
    const QString slant = text.italic ? u"italic"_s : u"normal"_s;
    for (const QString &script : {QString(), u"-asian"_s, u"-complex"_s}) {
        if (!font.isEmpty())
            p.attribute(u"style:font-name"_s + script, font);
        const QString prefix = script.isEmpty() ? u"fo:"_s : u"style:"_s;
        p.attribute(prefix + u"font-size"_s + script, pt(text.points));
        p.attribute(prefix + u"font-weight"_s + script, weight);
        p.attribute(prefix + u"font-style"_s + script, slant);
    }
    if (text.letterSpacing > 0)
        p.attribute(u"fo:letter-spacing"_s, pt(pointsFromPx(text.letterSpacing)));
}

QString border(double points, const QString &kind, ReportColor c)
{
    return pt(points) + u' ' + kind + u' ' + color(c);
}

void spacing(Part &p, double beforePoints, double afterPoints)
{
    p.attribute(u"fo:margin-top"_s, pt(beforePoints));
    p.attribute(u"fo:margin-bottom"_s, pt(afterPoints));
}

// The design's font; its generic family (the CSS list's last, when it is
// one) for a word processor that does not have it.
void fontFace(Part &p, const QString &families)
{
    const QString font = firstFontFamily(families);
    p.empty(u"style:font-face"_s);
    p.attribute(u"style:name"_s, font);
    p.attribute(u"svg:font-family"_s, font.contains(u' ') ? u'\'' + font + u'\'' : font);
    const QString last = families.section(u',', -1).trimmed().toLower();
    static const QList<std::pair<QString, QString>> generic = {
        {u"serif"_s, u"roman"_s}, {u"sans-serif"_s, u"swiss"_s}, {u"monospace"_s, u"modern"_s},
        {u"cursive"_s, u"script"_s}, {u"fantasy"_s, u"decorative"_s}};
    for (const auto &[css, odf] : generic) {
        if (last == css)
            p.attribute(u"style:font-family-generic"_s, odf);
    }
}

// The masthead's lines on its ground, in one frame (paragraphs with the
// same borders share one), the design's band under it.
void mastheadStyles(Part &p, const ReportStyle &style)
{
    openStyle(p, u"Masthead"_s, u"Standard"_s);
    p.empty(u"style:paragraph-properties"_s);
    p.attribute(u"fo:background-color"_s, color(style.mastheadColor));
    const QString ground = border(0.5, u"solid"_s, style.mastheadColor);
    p.attribute(u"fo:border-top"_s, ground);
    p.attribute(u"fo:border-left"_s, ground);
    p.attribute(u"fo:border-right"_s, ground);
    p.attribute(u"fo:border-bottom"_s,
                border(qBound(0.5, pointsFromPx(style.bandHeight), 12.0), u"solid"_s, style.bandColor));
    p.attribute(u"fo:padding-top"_s, pt(18));
    p.attribute(u"fo:padding-bottom"_s, pt(16));
    p.attribute(u"fo:padding-left"_s, pt(24));
    p.attribute(u"fo:padding-right"_s, pt(24));
    spacing(p, 0, 0);
    p.end();
    const auto line = [&](const char *name, const ReportTextStyle &text) {
        openStyle(p, QString::fromLatin1(name), u"Masthead"_s, u"Standard"_s);
        textProperties(p, text);
        p.end();
    };
    line(kKickerStyle, style.kicker);
    line(kTitleStyle, style.title);
    line(kSubtitleStyle, style.subtitle);
}

// The parts and sections of the policy, a little larger the higher they
// stand, in the colour of the design's headings, each with its outline
// level; the outline numbers none of them.
void headingStyles(Part &p, const ReportStyle &style)
{
    openStyle(p, u"Heading"_s, u"Standard"_s, u"Standard"_s);
    p.empty(u"style:paragraph-properties"_s);
    p.attribute(u"fo:keep-with-next"_s, u"always"_s);
    p.attribute(u"fo:keep-together"_s, u"always"_s);
    p.end();
    for (int level = 1; level <= kHeadingLevels; ++level) {
        openStyle(p, headingStyle(level), u"Heading"_s, u"Standard"_s);
        p.attribute(u"style:default-outline-level"_s, number(level));
        p.empty(u"style:paragraph-properties"_s);
        spacing(p, kHeadingBefore[level - 1], 4);
        textProperties(p, {style.headingColor, style.body.points + kHeadingLarger[level - 1], true});
        p.end();
    }
}

// The statements above a response: bold in the headings' colour, kept
// with the response. The responses: italic, set off by the design's rule;
// "Response: " in them upright and bold in the headings' colour.
void itemStyles(Part &p, const ReportStyle &style)
{
    openStyle(p, QString::fromLatin1(kStatementStyle), u"Standard"_s, QString::fromLatin1(kResponseStyle));
    p.empty(u"style:paragraph-properties"_s);
    spacing(p, 0, kStatementAfter);
    p.attribute(u"fo:keep-with-next"_s, u"always"_s);
    textProperties(p, {style.headingColor, style.body.points, true});
    p.end();

    openStyle(p, QString::fromLatin1(kResponseStyle), u"Standard"_s, u"Standard"_s);
    p.empty(u"style:paragraph-properties"_s);
    spacing(p, 0, kResponseAfter);
    if (style.rule != ReportStyle::Rule::None) {
        const bool left = style.rule == ReportStyle::Rule::Left;
        const QString rule = border(qBound(0.25, pointsFromPx(style.ruleWidth), 12.0),
                                    style.ruleDashed ? u"dashed"_s : u"solid"_s, style.ruleColor);
        if (left) {
            p.attribute(u"fo:margin-left"_s, pt(kResponseIndent - kLeftRuleSpace));
            p.attribute(u"fo:border-left"_s, rule);
            p.attribute(u"fo:padding-left"_s, pt(kLeftRuleSpace));
        } else {
            p.attribute(u"fo:border-bottom"_s, rule);
            p.attribute(u"fo:padding-bottom"_s, pt(kBottomRuleSpace));
        }
    }
    textProperties(p, {style.responseColor, style.body.points, false, true});
    p.end();

    openStyle(p, QString::fromLatin1(kResponseLabelStyle), {}, {}, u"text"_s);
    textProperties(p, {style.headingColor, style.body.points, true, false});
    p.end();
}

// The page: its size, margins of 2 cm; the footer 1 cm from the foot of
// the page, its line ending where the margin does.
void pageLayout(Part &p, const QSizeF &pageMm)
{
    p.start(u"style:page-layout"_s);
    p.attribute(u"style:name"_s, u"Page"_s);
    p.empty(u"style:page-layout-properties"_s);
    p.attribute(u"fo:page-width"_s, mm(pageMm.width()));
    p.attribute(u"fo:page-height"_s, mm(pageMm.height()));
    p.attribute(u"style:print-orientation"_s, u"portrait"_s);
    p.attribute(u"fo:margin-top"_s, mm(kMarginMm));
    p.attribute(u"fo:margin-bottom"_s, mm(kFooterMm));
    p.attribute(u"fo:margin-left"_s, mm(kMarginMm));
    p.attribute(u"fo:margin-right"_s, mm(kMarginMm));
    p.start(u"style:footer-style"_s);
    p.empty(u"style:header-footer-properties"_s);
    const double footer = (kMarginMm - kFooterMm) / 2;
    p.attribute(u"fo:min-height"_s, mm(footer));
    p.attribute(u"fo:margin-top"_s, mm(footer));
    p.end();
    p.end();
}

// The date on the left, "Page N of M" at the right margin, the numbers as
// fields the word processor works out.
void footer(Part &p, const QString &date)
{
    p.start(u"style:footer"_s);
    p.startParagraph(u"Footer"_s);
    p.text(date);
    p.empty(u"text:tab"_s);
    p.text(u"Page ");
    p.field(u"text:page-number"_s, u"1"_s);
    p.text(u" of ");
    p.field(u"text:page-count"_s, u"1"_s);
    p.end();
    p.end();
}

} // namespace

QByteArray stylesPart(const ReportStyle &style, const QString &language, const QSizeF &pageMm,
                      const QString &date)
{
    Part p;
    p.openRoot(u"office:document-styles"_s, {"office", "style", "text", "fo", "svg"});
    p.start(u"office:font-face-decls"_s);
    fontFace(p, style.fontFamilies);
    p.end();

    p.start(u"office:styles"_s);
    p.start(u"style:default-style"_s);
    p.attribute(u"style:family"_s, u"paragraph"_s);
    p.empty(u"style:paragraph-properties"_s);
    spacing(p, 0, 0);
    p.attribute(u"fo:line-height"_s, u"110%"_s);
    p.attribute(u"style:tab-stop-distance"_s, pt(36));
    textProperties(p, style.body, firstFontFamily(style.fontFamilies));
    p.attribute(u"fo:language"_s, language.section(u'-', 0, 0));
    p.attribute(u"fo:country"_s, language.section(u'-', 1, 1));
    p.end();
    openStyle(p, u"Standard"_s, {});
    p.attribute(u"style:class"_s, u"text"_s);
    p.end();

    mastheadStyles(p, style);
    headingStyles(p, style);
    itemStyles(p, style);

    // The footer, small and grey.
    openStyle(p, u"Footer"_s, u"Standard"_s);
    p.attribute(u"style:class"_s, u"extra"_s);
    p.start(u"style:paragraph-properties"_s);
    p.start(u"style:tab-stops"_s);
    p.empty(u"style:tab-stop"_s);
    p.attribute(u"style:position"_s, mm(pageMm.width() - 2 * kMarginMm));
    p.attribute(u"style:type"_s, u"right"_s);
    p.end();
    p.end();
    textProperties(p, {kFooterColor, kFooterPoints});
    p.end();

    p.start(u"text:outline-style"_s);
    p.attribute(u"style:name"_s, u"Outline"_s);
    for (int level = 1; level <= kHeadingLevels; ++level) {
        p.empty(u"text:outline-level-style"_s);
        p.attribute(u"text:level"_s, number(level));
        p.attribute(u"style:num-format"_s, QString());
    }
    p.end();
    p.end();   // styles

    p.start(u"office:automatic-styles"_s);
    pageLayout(p, pageMm);
    p.end();
    p.start(u"office:master-styles"_s);
    p.start(u"style:master-page"_s);
    p.attribute(u"style:name"_s, QString::fromLatin1(kPageStyle));
    p.attribute(u"style:page-layout-name"_s, u"Page"_s);
    footer(p, date);
    p.end();
    p.end();
    p.end();
    return p.finish();
}

} // namespace brevant::odt
