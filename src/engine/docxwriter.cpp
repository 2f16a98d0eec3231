#include "engine/docxwriter.h"

#include "engine/docxparts.h"
#include "engine/ziparchive.h"

#include <array>

namespace brevant {

using namespace Qt::Literals::StringLiterals;

namespace docx {

void Part::runText(QStringView text)
{
    qsizetype from = 0;
    const auto flush = [&](qsizetype to) {
        if (to > from) {
            start(u"w:t"_s);
            // Blanks at either end, and runs of them, are the user's.
            attribute(u"xml:space"_s, u"preserve"_s);
            characters(text.sliced(from, to - from).toString());
            end();
        }
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\n' || c == u'\t') {
            flush(i);
            empty(c == u'\n' ? u"w:br"_s : u"w:tab"_s);
            from = i + 1;
        }
    }
    flush(text.size());
}

} // namespace docx

namespace {

using docx::Part;
using wordprocessing::TitleLine;

// The masthead: the design's ground behind its three lines, with room
// around them as on the page, and the band under them.
void mastheadParagraph(Part &p, const QString &styleId, const QString &text, const ReportStyle &style)
{
    const QString ground = docx::hexColor(style.mastheadColor);
    p.start(u"w:p"_s);
    p.start(u"w:pPr"_s);
    p.value(u"w:pStyle"_s, styleId);
    // Paragraphs with the same borders share one frame.
    p.start(u"w:pBdr"_s);
    const auto border = [&](const QString &side, const QString &color, int eighths, int space) {
        p.empty(side);
        p.attribute(u"w:val"_s, u"single"_s);
        p.attribute(u"w:sz"_s, QString::number(eighths));
        p.attribute(u"w:space"_s, QString::number(space));
        p.attribute(u"w:color"_s, color);
    };
    border(u"w:top"_s, ground, 4, 18);
    border(u"w:left"_s, ground, 4, 24);
    border(u"w:bottom"_s, docx::hexColor(style.bandColor),
           qBound(4, docx::eighthsFromPx(style.bandHeight), 96), 16);
    border(u"w:right"_s, ground, 4, 24);
    p.end();
    p.empty(u"w:shd"_s);
    p.attribute(u"w:val"_s, u"clear"_s);
    p.attribute(u"w:color"_s, u"auto"_s);
    p.attribute(u"w:fill"_s, ground);
    p.end();   // pPr
    p.start(u"w:r"_s);
    p.runText(documentText(text));
    p.end();
    p.end();   // p
}

void paragraph(Part &p, const QString &styleId, const QString &text)
{
    p.start(u"w:p"_s);
    p.start(u"w:pPr"_s);
    p.value(u"w:pStyle"_s, styleId);
    p.end();
    p.start(u"w:r"_s);
    p.runText(documentText(text));
    p.end();
    p.end();
}

void responseParagraph(Part &p, const QString &response, const ReportStyle &style)
{
    p.start(u"w:p"_s);
    p.start(u"w:pPr"_s);
    p.value(u"w:pStyle"_s, QString::fromLatin1(docx::kResponseStyle));
    p.end();
    // "Response: " as on the page: upright, in the headings' colour.
    p.start(u"w:r"_s);
    p.start(u"w:rPr"_s);
    p.empty(u"w:b"_s);
    p.value(u"w:i"_s, u"0"_s);
    p.value(u"w:color"_s, docx::hexColor(style.headingColor));
    p.end();
    p.start(u"w:t"_s);
    p.attribute(u"xml:space"_s, u"preserve"_s);
    p.characters(u"Response: "_s);
    p.end();
    p.end();
    if (!response.isEmpty()) {
        p.start(u"w:r"_s);
        p.runText(documentText(response));
        p.end();
    }
    p.end();
}

QByteArray documentPart(const Report &report, const QSizeF &pageMm)
{
    Part p;
    p.start(u"w:document"_s);
    p.attribute(u"xmlns:w"_s, QString::fromLatin1(docx::kWordNamespace));
    p.attribute(u"xmlns:r"_s, QString::fromLatin1(docx::kRelationshipsNamespace));
    p.start(u"w:body"_s);

    const ReportStyle &style = report.style;
    for (const TitleLine &line : wordprocessing::titleBlock(report)) {
        const QString styleId = line.kind == TitleLine::Kind::Kicker ? QString::fromLatin1(docx::kKickerStyle)
            : line.kind == TitleLine::Kind::Title                    ? u"Title"_s
                                                                     : u"Subtitle"_s;
        mastheadParagraph(p, styleId, line.text, style);
    }

    wordprocessing::OutlineLevels outline;
    for (const ReportItem &item : report.items) {
        for (const ReportHeading &heading : item.headings) {
            const int level = outline.levelOf(heading);
            paragraph(p, level > 0 ? u"Heading%1"_s.arg(level) : QString::fromLatin1(docx::kStatementStyle),
                      heading.text);
        }
        responseParagraph(p, item.response, style);
    }

    // The page: the locale's size, margins of 2 cm, the footer 1 cm from
    // the foot of the page.
    p.start(u"w:sectPr"_s);
    p.empty(u"w:footerReference"_s);
    p.attribute(u"w:type"_s, u"default"_s);
    p.attribute(u"r:id"_s, u"rIdFooter"_s);
    p.empty(u"w:pgSz"_s);
    p.attribute(u"w:w"_s, QString::number(docx::twipsFromMm(pageMm.width())));
    p.attribute(u"w:h"_s, QString::number(docx::twipsFromMm(pageMm.height())));
    const QString margin = QString::number(docx::twipsFromMm(wordprocessing::kMarginMm));
    const QString footer = QString::number(docx::twipsFromMm(wordprocessing::kFooterMm));
    p.empty(u"w:pgMar"_s);
    for (const QString &side : {u"w:top"_s, u"w:right"_s, u"w:bottom"_s, u"w:left"_s})
        p.attribute(side, margin);
    p.attribute(u"w:header"_s, footer);
    p.attribute(u"w:footer"_s, footer);
    p.attribute(u"w:gutter"_s, u"0"_s);
    p.end();   // sectPr
    p.end();   // body
    p.end();   // document
    return p.finish();
}

QByteArray contentTypesPart()
{
    Part p;
    p.start(u"Types"_s);
    p.attribute(u"xmlns"_s, u"http://schemas.openxmlformats.org/package/2006/content-types"_s);
    const auto type = [&](const QString &element, const QString &key, const QString &name, const QString &type) {
        p.empty(element);
        p.attribute(key, name);
        p.attribute(u"ContentType"_s, type);
    };
    type(u"Default"_s, u"Extension"_s, u"rels"_s, u"application/vnd.openxmlformats-package.relationships+xml"_s);
    type(u"Default"_s, u"Extension"_s, u"xml"_s, u"application/xml"_s);
    const QString word = u"application/vnd.openxmlformats-officedocument.wordprocessingml."_s;
    type(u"Override"_s, u"PartName"_s, u"/word/document.xml"_s, word + u"document.main+xml"_s);
    type(u"Override"_s, u"PartName"_s, u"/word/styles.xml"_s, word + u"styles+xml"_s);
    type(u"Override"_s, u"PartName"_s, u"/word/settings.xml"_s, word + u"settings+xml"_s);
    type(u"Override"_s, u"PartName"_s, u"/word/footer1.xml"_s, word + u"footer+xml"_s);
    type(u"Override"_s, u"PartName"_s, u"/docProps/core.xml"_s,
         u"application/vnd.openxmlformats-package.core-properties+xml"_s);
    type(u"Override"_s, u"PartName"_s, u"/docProps/app.xml"_s,
         u"application/vnd.openxmlformats-officedocument.extended-properties+xml"_s);
    p.end();
    return p.finish();
}

// A relationships part: (id, type, target), the types under
// http://schemas.openxmlformats.org/.
QByteArray relationshipsPart(std::initializer_list<std::array<QString, 3>> relationships)
{
    Part p;
    p.start(u"Relationships"_s);
    p.attribute(u"xmlns"_s, u"http://schemas.openxmlformats.org/package/2006/relationships"_s);
    for (const auto &[id, type, target] : relationships) {
        p.empty(u"Relationship"_s);
        p.attribute(u"Id"_s, id);
        p.attribute(u"Type"_s, u"http://schemas.openxmlformats.org/"_s + type);
        p.attribute(u"Target"_s, target);
    }
    p.end();
    return p.finish();
}

QByteArray corePropertiesPart(const Report &report, const DocumentOptions &options, const QString &language,
                              const QString &creator)
{
    Part p;
    p.start(u"cp:coreProperties"_s);
    p.attribute(u"xmlns:cp"_s, u"http://schemas.openxmlformats.org/package/2006/metadata/core-properties"_s);
    p.attribute(u"xmlns:dc"_s, u"http://purl.org/dc/elements/1.1/"_s);
    p.attribute(u"xmlns:dcterms"_s, u"http://purl.org/dc/terms/"_s);
    p.attribute(u"xmlns:xsi"_s, u"http://www.w3.org/2001/XMLSchema-instance"_s);
    p.element(u"dc:title"_s, wordprocessing::documentTitle(report));
    p.element(u"dc:creator"_s, creator);
    p.element(u"dc:language"_s, language);
    p.start(u"dcterms:created"_s);
    p.attribute(u"xsi:type"_s, u"dcterms:W3CDTF"_s);
    p.characters(options.date.toString(Qt::ISODate) + u"T00:00:00Z"_s);
    p.end();
    p.end();
    return p.finish();
}

QByteArray appPropertiesPart(const QString &creator)
{
    Part p;
    p.start(u"Properties"_s);
    p.attribute(u"xmlns"_s, u"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties"_s);
    p.element(u"Application"_s, creator);
    p.end();
    return p.finish();
}

} // namespace

QByteArray docxReport(const Report &report, const DocumentOptions &options, const DocumentSetup &setup,
                      QString *error)
{
    const QSizeF pageMm = wordprocessing::pageMillimetres(setup.page);
    const QString language = wordprocessing::languageTag(options.locale);
    const int textWidth = docx::twipsFromMm(pageMm.width()) - 2 * docx::twipsFromMm(wordprocessing::kMarginMm);
    const QString officeDocument = u"officeDocument/2006/relationships/"_s;
    return ZipArchive::zipped(
        {
            {u"[Content_Types].xml"_s, contentTypesPart()},
            {u"_rels/.rels"_s,
             relationshipsPart({
                 {u"rIdDocument"_s, officeDocument + u"officeDocument"_s, u"word/document.xml"_s},
                 {u"rIdCore"_s, u"package/2006/relationships/metadata/core-properties"_s, u"docProps/core.xml"_s},
                 {u"rIdApp"_s, officeDocument + u"extended-properties"_s, u"docProps/app.xml"_s},
             })},
            {u"word/_rels/document.xml.rels"_s,
             relationshipsPart({
                 {u"rIdStyles"_s, officeDocument + u"styles"_s, u"styles.xml"_s},
                 {u"rIdSettings"_s, officeDocument + u"settings"_s, u"settings.xml"_s},
                 {u"rIdFooter"_s, officeDocument + u"footer"_s, u"footer1.xml"_s},
             })},
            {u"word/document.xml"_s, documentPart(report, pageMm)},
            {u"word/styles.xml"_s, docx::stylesPart(report.style, language)},
            {u"word/settings.xml"_s, docx::settingsPart(language)},
            {u"word/footer1.xml"_s, docx::footerPart(footerDate(options.date), textWidth)},
            {u"docProps/core.xml"_s, corePropertiesPart(report, options, language, setup.creator)},
            {u"docProps/app.xml"_s, appPropertiesPart(setup.creator)},
        },
        options.made, error);
}

} // namespace brevant
