#include "engine/odtwriter.h"

#include "engine/odtparts.h"
#include "engine/ziparchive.h"

namespace brevant {

using namespace Qt::Literals::StringLiterals;

namespace odt {

namespace {

struct Namespace {
    const char *prefix;
    const char *uri;
};
constexpr Namespace kNamespaces[] = {
    {"office", "urn:oasis:names:tc:opendocument:xmlns:office:1.0"},
    {"style", "urn:oasis:names:tc:opendocument:xmlns:style:1.0"},
    {"text", "urn:oasis:names:tc:opendocument:xmlns:text:1.0"},
    {"fo", "urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"},
    {"svg", "urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"},
    {"meta", "urn:oasis:names:tc:opendocument:xmlns:meta:1.0"},
    {"dc", "http://purl.org/dc/elements/1.1/"},
    {"manifest", "urn:oasis:names:tc:opendocument:xmlns:manifest:1.0"},
};

} // namespace

void Part::openRoot(const QString &name, std::initializer_list<const char *> prefixes)
{
    start(name);
    for (const char *prefix : prefixes) {
        for (const Namespace &ns : kNamespaces) {
            if (qstrcmp(ns.prefix, prefix) == 0)
                attribute(u"xmlns:"_s + QLatin1StringView(prefix), QString::fromLatin1(ns.uri));
        }
    }
    attribute(name.section(u':', 0, 0) + u":version"_s, QString::fromLatin1(kVersion));
}

void Part::startParagraph(const QString &style, int outlineLevel)
{
    start(outlineLevel > 0 ? u"text:h"_s : u"text:p"_s);
    attribute(u"text:style-name"_s, style);
    if (outlineLevel > 0)
        attribute(u"text:outline-level"_s, QString::number(outlineLevel));
    m_blankFolds = true;
}

void Part::text(QStringView text)
{
    qsizetype from = 0;   // what is not written yet starts here
    const auto flush = [&](qsizetype to) {
        if (to > from)
            characters(text.sliced(from, to - from).toString());
    };
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c == u' ') {
            if (!m_blankFolds) {
                m_blankFolds = true;
                continue;
            }
            qsizetype run = i + 1;
            while (run < n && text[run] == u' ')
                ++run;
            flush(i);
            empty(u"text:s"_s);
            if (run - i > 1)
                attribute(u"text:c"_s, QString::number(run - i));
            from = run;
            i = run - 1;
        } else if (c == u'\t' || c == u'\n') {
            flush(i);
            empty(c == u'\t' ? u"text:tab"_s : u"text:line-break"_s);
            from = i + 1;
            // A reader may drop a blank at the start of a line.
            m_blankFolds = true;
        } else {
            m_blankFolds = false;
        }
    }
    flush(n);
}

void Part::field(const QString &name, const QString &shown)
{
    element(name, shown);
    m_blankFolds = false;
}

} // namespace odt

namespace {

using odt::Part;
using wordprocessing::TitleLine;

// What stands above the first item: the design's masthead, its lines on
// its ground.
void titleBlock(Part &p, const Report &report)
{
    for (const TitleLine &line : wordprocessing::titleBlock(report)) {
        const char *style = line.kind == TitleLine::Kind::Kicker ? odt::kKickerStyle
            : line.kind == TitleLine::Kind::Title                ? odt::kTitleStyle
                                                                 : odt::kSubtitleStyle;
        p.startParagraph(QString::fromLatin1(style));
        p.text(documentText(line.text));
        p.end();
    }
}

// A response's text as typed, with its line breaks.
void responseText(Part &p, const QString &response)
{
    p.text(documentText(response));
}

// A response's paragraph: "Response: " as on the page, upright in the
// headings' colour, then the response.
void responseParagraph(Part &p, const QString &response)
{
    p.startParagraph(QString::fromLatin1(odt::kResponseStyle));
    p.start(u"text:span"_s);
    p.attribute(u"text:style-name"_s, QString::fromLatin1(odt::kResponseLabelStyle));
    p.text(u"Response: ");
    p.end();
    responseText(p, response);
    p.end();
}

QByteArray contentPart(const Report &report)
{
    Part p;
    p.openRoot(u"office:document-content"_s, {"office", "text"});
    p.start(u"office:body"_s);
    p.start(u"office:text"_s);
    titleBlock(p, report);
    wordprocessing::OutlineLevels outline;
    for (const ReportItem &item : report.items) {
        for (const ReportHeading &heading : item.headings) {
            const int level = outline.levelOf(heading);
            p.startParagraph(level > 0 ? odt::headingStyle(level) : QString::fromLatin1(odt::kStatementStyle),
                             level);
            p.text(documentText(heading.text));
            p.end();
        }
        responseParagraph(p, item.response);
    }
    p.end();   // text
    p.end();   // body
    p.end();
    return p.finish();
}

QByteArray metaPart(const Report &report, const DocumentOptions &options, const QString &language,
                    const QString &creator)
{
    Part p;
    p.openRoot(u"office:document-meta"_s, {"office", "meta", "dc"});
    p.start(u"office:meta"_s);
    p.element(u"meta:generator"_s, creator);
    p.element(u"dc:title"_s, wordprocessing::documentTitle(report));
    p.element(u"dc:language"_s, language);
    const QString made = options.made.toUTC().toString(Qt::ISODate);
    p.element(u"meta:creation-date"_s, made);
    p.element(u"dc:date"_s, made);
    p.end();
    p.end();
    return p.finish();
}

// The manifest: the package and every part in it but the mimetype.
QByteArray manifestPart(const QList<ZipArchive::Member> &members)
{
    Part p;
    p.openRoot(u"manifest:manifest"_s, {"manifest"});
    const auto entry = [&](const QString &path, const QString &type) {
        p.empty(u"manifest:file-entry"_s);
        p.attribute(u"manifest:full-path"_s, path);
        if (path == u"/")
            p.attribute(u"manifest:version"_s, QString::fromLatin1(odt::kVersion));
        p.attribute(u"manifest:media-type"_s, type);
    };
    entry(u"/"_s, QString::fromLatin1(odt::kMediaType));
    for (const ZipArchive::Member &member : members) {
        if (member.name != u"mimetype")
            entry(member.name, u"text/xml"_s);
    }
    p.end();
    return p.finish();
}

} // namespace

QByteArray odtReport(const Report &report, const DocumentOptions &options, const DocumentSetup &setup,
                     QString *error)
{
    const QString language = wordprocessing::languageTag(options.locale);
    // The mimetype first and stored, so that the file's type can be read
    // at a fixed place in its first bytes.
    QList<ZipArchive::Member> members{
        {u"mimetype"_s, QByteArray(odt::kMediaType), ZipArchive::Compression::Store},
        {u"content.xml"_s, contentPart(report)},
        {u"styles.xml"_s,
         odt::stylesPart(report.style, language, wordprocessing::pageMillimetres(setup.page),
                         footerDate(options.date))},
        {u"meta.xml"_s, metaPart(report, options, language, setup.creator)},
    };
    members.append({u"META-INF/manifest.xml"_s, manifestPart(members)});
    return ZipArchive::zipped(members, options.made, error);
}

} // namespace brevant
