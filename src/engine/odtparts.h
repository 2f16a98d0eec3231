#pragma once

// The parts of the report's OpenDocument Text file, for odtwriter.cpp (the
// package, the content and the properties) and odtstyles.cpp (the styles,
// the page and its footer).

#include "document/reportmodel.h"
#include "engine/wordprocessing.h"
#include "engine/xmlpart.h"

#include <QByteArray>
#include <QSizeF>
#include <QString>

namespace brevant::odt {

inline constexpr char kVersion[] = "1.3";
inline constexpr char kMediaType[] = "application/vnd.oasis.opendocument.text";

// A part of the ODT.
class Part : public XmlPart {
public:
    // The root element with the namespaces of these prefixes ("office",
    // "style", "text", "fo", "svg", "meta", "dc") and the version of ODF.
    void openRoot(const QString &name, std::initializer_list<const char *> prefixes);

    // A paragraph (text:p) of the style given, or a heading (text:h) of
    // that outline level; its text follows, then end().
    void startParagraph(const QString &style, int outlineLevel = 0);
    // Text of the paragraph from documentText(), exactly as it reads: a
    // blank that a reader would fold into the one before it or drop at the
    // start of a line as <text:s/> (runs of them as one with text:c), tabs
    // and line breaks as their elements. Texts written one after the other
    // into a paragraph read as one: what stands between them (a span, a
    // mark) is no blank.
    void text(QStringView text);
    // A field (<text:page-number>) showing this until the word processor
    // works it out; text after it reads on from it.
    void field(const QString &name, const QString &shown);

private:
    bool m_blankFolds = true;   // a blank written now would be folded away
};

// The names of the styles (a blank in a name is "_20_"; their names shown
// to the user are in styles.xml).
inline constexpr char kKickerStyle[] = "Kicker";
inline constexpr char kTitleStyle[] = "Title";
inline constexpr char kSubtitleStyle[] = "Subtitle";
inline constexpr char kStatementStyle[] = "Statement";
inline constexpr char kResponseStyle[] = "Response";
inline constexpr char kResponseLabelStyle[] = "Response_20_Label";
inline QString headingStyle(int level) { return QStringLiteral("Heading_20_%1").arg(level); }
// The master page of every page.
inline constexpr char kPageStyle[] = "Standard";

// A length in points or millimetres ("12pt", "210mm").
inline QString pt(double points) { return QString::number(points) + QStringLiteral("pt"); }
inline QString mm(double millimetres) { return QString::number(millimetres) + QStringLiteral("mm"); }
inline QString color(ReportColor c) { return QLatin1Char('#') + wordprocessing::rgbHex(c); }

// The styles, the page of that size and its footer with the date and
// "Page N of M".
QByteArray stylesPart(const ReportStyle &style, const QString &language, const QSizeF &pageMm,
                      const QString &date);

} // namespace brevant::odt
