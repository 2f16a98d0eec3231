// The styles, settings and footer of the report's Word document:
// Word's own style names where it has them (Title, Subtitle, heading 1..4,
// footer), so that its navigation and table of contents find them, in the
// design's fonts and colours.

#include "engine/docxparts.h"

namespace brevant::docx {

using namespace Qt::Literals::StringLiterals;
using namespace wordprocessing;

namespace {

QString number(int n) { return QString::number(n); }

void openRoot(Part &p, const QString &name)
{
    p.start(name);
    p.attribute(u"xmlns:w"_s, QString::fromLatin1(kWordNamespace));
    p.attribute(u"xmlns:r"_s, QString::fromLatin1(kRelationshipsNamespace));
}

// <w:style> up to its pPr: type, id, name, based on Normal, the next style.
void openStyle(Part &p, const QString &id, const QString &name, const QString &next = u"Normal"_s,
               int priority = 0)
{
    p.start(u"w:style"_s);
    p.attribute(u"w:type"_s, u"paragraph"_s);
    p.attribute(u"w:styleId"_s, id);
    p.value(u"w:name"_s, name);
    p.value(u"w:basedOn"_s, u"Normal"_s);
    p.value(u"w:next"_s, next);
    if (priority > 0)
        p.value(u"w:uiPriority"_s, number(priority));
    p.empty(u"w:qFormat"_s);
}

// A run's properties in the schema's order.
void runProperties(Part &p, const ReportTextStyle &text, double letterSpacingPx = 0)
{
    p.start(u"w:rPr"_s);
    if (text.bold)
        p.empty(u"w:b"_s);
    if (text.italic)
        p.empty(u"w:i"_s);
    p.value(u"w:color"_s, hexColor(text.color));
    if (letterSpacingPx > 0)
        p.value(u"w:spacing"_s, number(qRound(letterSpacingPx * 0.75 * kTwipsPerPoint)));
    p.value(u"w:sz"_s, halfPoints(text.points));
    p.value(u"w:szCs"_s, halfPoints(text.points));
    p.end();
}

void spacing(Part &p, int beforePoints, int afterPoints)
{
    p.empty(u"w:spacing"_s);
    p.attribute(u"w:before"_s, number(beforePoints * kTwipsPerPoint));
    p.attribute(u"w:after"_s, number(afterPoints * kTwipsPerPoint));
}

// The rule that sets each response off, as the design draws it.
void responseRule(Part &p, const ReportStyle &style)
{
    if (style.rule == ReportStyle::Rule::None)
        return;
    const bool left = style.rule == ReportStyle::Rule::Left;
    const int space = left ? kLeftRuleSpace : kBottomRuleSpace;
    p.start(u"w:pBdr"_s);
    p.empty(left ? u"w:left"_s : u"w:bottom"_s);
    p.attribute(u"w:val"_s, style.ruleDashed ? u"dashed"_s : u"single"_s);
    p.attribute(u"w:sz"_s, number(qBound(2, eighthsFromPx(style.ruleWidth), 96)));
    p.attribute(u"w:space"_s, number(space));
    p.attribute(u"w:color"_s, hexColor(style.ruleColor));
    p.end();
}

} // namespace

QByteArray stylesPart(const ReportStyle &style, const QString &language)
{
    Part p;
    openRoot(p, u"w:styles"_s);

    const QString font = firstFontFamily(style.fontFamilies);
    p.start(u"w:docDefaults"_s);
    p.start(u"w:rPrDefault"_s);
    p.start(u"w:rPr"_s);
    p.empty(u"w:rFonts"_s);
    for (const QString &script : {u"w:ascii"_s, u"w:hAnsi"_s, u"w:eastAsia"_s, u"w:cs"_s})
        p.attribute(script, font);
    p.value(u"w:color"_s, hexColor(style.body.color));
    p.value(u"w:sz"_s, halfPoints(style.body.points));
    p.value(u"w:szCs"_s, halfPoints(style.body.points));
    p.value(u"w:lang"_s, language);
    p.end();
    p.end();
    p.start(u"w:pPrDefault"_s);
    p.start(u"w:pPr"_s);
    p.empty(u"w:spacing"_s);
    p.attribute(u"w:after"_s, u"0"_s);
    p.attribute(u"w:line"_s, u"264"_s);
    p.attribute(u"w:lineRule"_s, u"auto"_s);
    p.end();
    p.end();
    p.end();   // docDefaults

    p.start(u"w:style"_s);
    p.attribute(u"w:type"_s, u"paragraph"_s);
    p.attribute(u"w:default"_s, u"1"_s);
    p.attribute(u"w:styleId"_s, u"Normal"_s);
    p.value(u"w:name"_s, u"Normal"_s);
    p.empty(u"w:qFormat"_s);
    p.end();

    // The masthead's three lines.
    openStyle(p, QString::fromLatin1(kKickerStyle), u"Kicker"_s);
    runProperties(p, style.kicker, style.kicker.letterSpacing);
    p.end();
    openStyle(p, u"Title"_s, u"Title"_s, u"Normal"_s, 10);
    p.start(u"w:pPr"_s);
    spacing(p, 4, 4);
    p.end();
    runProperties(p, style.title, style.title.letterSpacing);
    p.end();
    openStyle(p, u"Subtitle"_s, u"Subtitle"_s, u"Normal"_s, 11);
    runProperties(p, style.subtitle, style.subtitle.letterSpacing);
    p.end();

    // The parts and sections of the policy, a little larger the higher
    // they stand, in the colour of the design's headings.
    for (int level = 1; level <= kHeadingLevels; ++level) {
        openStyle(p, u"Heading%1"_s.arg(level), u"heading %1"_s.arg(level), u"Normal"_s, 9);
        p.start(u"w:pPr"_s);
        p.empty(u"w:keepNext"_s);
        p.empty(u"w:keepLines"_s);
        spacing(p, kHeadingBefore[level - 1], 4);
        p.value(u"w:outlineLvl"_s, number(level - 1));
        p.end();
        runProperties(p, {style.headingColor, style.body.points + kHeadingLarger[level - 1], true});
        p.end();
    }

    // The statements above a response: bold in the headings' colour, kept
    // with the response.
    openStyle(p, QString::fromLatin1(kStatementStyle), u"Statement"_s, QString::fromLatin1(kResponseStyle));
    p.start(u"w:pPr"_s);
    p.empty(u"w:keepNext"_s);
    spacing(p, 0, kStatementAfter);
    p.end();
    runProperties(p, {style.headingColor, style.body.points, true});
    p.end();
    // The responses: italic, set off by the design's rule.
    openStyle(p, QString::fromLatin1(kResponseStyle), u"Response"_s);
    p.start(u"w:pPr"_s);
    responseRule(p, style);
    spacing(p, 0, kResponseAfter);
    if (style.rule == ReportStyle::Rule::Left) {
        p.empty(u"w:ind"_s);
        p.attribute(u"w:left"_s, number(kResponseIndent * kTwipsPerPoint));
    }
    p.end();
    runProperties(p, {style.responseColor, style.body.points, false, true});
    p.end();

    // The footer, small and grey.
    openStyle(p, u"Footer"_s, u"footer"_s, u"Footer"_s, 99);
    runProperties(p, {kFooterColor, kFooterPoints});
    p.end();

    p.end();   // styles
    return p.finish();
}

QByteArray settingsPart(const QString &language)
{
    Part p;
    openRoot(p, u"w:settings"_s);
    p.value(u"w:defaultTabStop"_s, u"720"_s);
    p.value(u"w:characterSpacingControl"_s, u"doNotCompress"_s);
    // Opened as a document of today's Word, not in compatibility mode.
    p.start(u"w:compat"_s);
    p.empty(u"w:compatSetting"_s);
    p.attribute(u"w:name"_s, u"compatibilityMode"_s);
    p.attribute(u"w:uri"_s, u"http://schemas.microsoft.com/office/word"_s);
    p.attribute(u"w:val"_s, u"15"_s);
    p.end();
    p.value(u"w:themeFontLang"_s, language);
    p.end();
    return p.finish();
}

namespace {

// A field of Word's (PAGE, NUMPAGES) with the value shown until Word
// works it out.
void field(Part &p, const QString &instruction, const QString &shown)
{
    const auto fieldChar = [&](const QString &type) {
        p.start(u"w:r"_s);
        p.empty(u"w:fldChar"_s);
        p.attribute(u"w:fldCharType"_s, type);
        p.end();
    };
    fieldChar(u"begin"_s);
    p.start(u"w:r"_s);
    p.start(u"w:instrText"_s);
    p.attribute(u"xml:space"_s, u"preserve"_s);
    p.characters(u" "_s + instruction + u" "_s);
    p.end();
    p.end();
    fieldChar(u"separate"_s);
    p.start(u"w:r"_s);
    p.element(u"w:t"_s, shown);
    p.end();
    fieldChar(u"end"_s);
}

void textRun(Part &p, const QString &text, bool tabFirst = false)
{
    p.start(u"w:r"_s);
    if (tabFirst)
        p.empty(u"w:tab"_s);
    p.start(u"w:t"_s);
    p.attribute(u"xml:space"_s, u"preserve"_s);
    p.characters(text);
    p.end();
    p.end();
}

} // namespace

QByteArray footerPart(const QString &date, int textWidthTwips)
{
    Part p;
    openRoot(p, u"w:ftr"_s);
    p.start(u"w:p"_s);
    p.start(u"w:pPr"_s);
    p.value(u"w:pStyle"_s, u"Footer"_s);
    p.start(u"w:tabs"_s);
    p.empty(u"w:tab"_s);
    p.attribute(u"w:val"_s, u"right"_s);
    p.attribute(u"w:pos"_s, number(textWidthTwips));
    p.end();
    p.end();
    textRun(p, date);
    textRun(p, u"Page "_s, true);
    field(p, u"PAGE"_s, u"1"_s);
    textRun(p, u" of "_s);
    field(p, u"NUMPAGES"_s, u"1"_s);
    p.end();
    p.end();
    return p.finish();
}

} // namespace brevant::docx
