#pragma once

// The parts of the report's Word document, for docxwriter.cpp (the
// package and the document) and docxstyles.cpp (styles, settings,
// footer).

#include "document/reportmodel.h"
#include "engine/wordprocessing.h"
#include "engine/xmlpart.h"

#include <QByteArray>
#include <QString>

namespace brevant::docx {

inline constexpr char kWordNamespace[] = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
inline constexpr char kRelationshipsNamespace[] =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// Lengths in Word's units.
inline constexpr int kTwipsPerPoint = 20;
inline int twipsFromMm(double millimetres) { return qRound(millimetres / 25.4 * 72 * kTwipsPerPoint); }
// CSS pixels (1/96 inch) in eighths of a point (borders).
inline int eighthsFromPx(double px) { return qRound(wordprocessing::pointsFromPx(px) * 8); }
// Font sizes are in half points.
inline QString halfPoints(double points) { return QString::number(qRound(points * 2)); }
inline QString hexColor(ReportColor color) { return wordprocessing::rgbHex(color).toUpper(); }

// A part of the Word document.
class Part : public XmlPart {
public:
    // <name w:val="val"/>
    void value(const QString &name, const QString &val)
    {
        empty(name);
        attribute(QStringLiteral("w:val"), val);
    }
    // Runs' contents for a text from documentText(): its tabs and line
    // breaks as Word's, the rest as text, blanks kept.
    void runText(QStringView text);
};

// The paragraph styles the document uses, by their identifiers.
inline constexpr char kKickerStyle[] = "Kicker";
inline constexpr char kStatementStyle[] = "Statement";
inline constexpr char kResponseStyle[] = "Response";

QByteArray stylesPart(const ReportStyle &style, const QString &language);
QByteArray settingsPart(const QString &language);
// The footer: the date on the left, "Page N of M" at the right margin.
QByteArray footerPart(const QString &date, int textWidthTwips);

} // namespace brevant::docx
