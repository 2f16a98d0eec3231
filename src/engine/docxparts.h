#pragma once

// The parts of the report's Word document, for docxwriter.cpp (the
// package and the document) and docxstyles.cpp (styles, settings,
// footer).

#include "document/reportmodel.h"

#include <QBuffer>
#include <QByteArray>
#include <QString>
#include <QXmlStreamWriter>

namespace brevant::docx {

inline constexpr char kWordNamespace[] = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
inline constexpr char kRelationshipsNamespace[] =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// Lengths in Word's units.
inline constexpr int kTwipsPerPoint = 20;
inline int twipsFromMm(double millimetres) { return qRound(millimetres / 25.4 * 72 * kTwipsPerPoint); }
// CSS pixels (1/96 inch) in eighths of a point (borders) and in points.
inline int eighthsFromPx(double px) { return qRound(px * 0.75 * 8); }
inline int pointsFromPx(double px) { return qRound(px * 0.75); }
// Font sizes are in half points.
inline QString halfPoints(double points) { return QString::number(qRound(points * 2)); }
inline QString hexColor(ReportColor color)
{
    return QString::number(color & 0xffffff, 16).rightJustified(6, u'0').toUpper();
}

// One XML part written with QXmlStreamWriter, its elements named with
// their prefixes ("w:p").
class Part {
public:
    Part() : m_buffer(&m_bytes), m_xml(&m_buffer)
    {
        m_buffer.open(QIODevice::WriteOnly);
        m_xml.writeStartDocument(QStringLiteral("1.0"), true);
    }
    Part(const Part &) = delete;
    Part &operator=(const Part &) = delete;

    QXmlStreamWriter &xml() { return m_xml; }
    void start(const QString &name) { m_xml.writeStartElement(name); }
    void end() { m_xml.writeEndElement(); }
    void attribute(const QString &name, const QString &value) { m_xml.writeAttribute(name, value); }
    // <name/>, or <name w:val="value"/>.
    void empty(const QString &name) { m_xml.writeEmptyElement(name); }
    void value(const QString &name, const QString &val)
    {
        m_xml.writeEmptyElement(name);
        m_xml.writeAttribute(QStringLiteral("w:val"), val);
    }
    // <name>text</name>
    void element(const QString &name, const QString &text) { m_xml.writeTextElement(name, text); }

    // Runs' contents for a text from documentText(): its tabs and line
    // breaks as Word's, the rest as text, blanks kept.
    void runText(QStringView text);

    QByteArray finish()
    {
        m_xml.writeEndDocument();
        m_buffer.close();
        return m_bytes;
    }

private:
    QByteArray m_bytes;
    QBuffer m_buffer;
    QXmlStreamWriter m_xml;
};

// The paragraph styles the document uses, by their identifiers.
inline constexpr char kKickerStyle[] = "Kicker";
inline constexpr char kStatementStyle[] = "Statement";
inline constexpr char kResponseStyle[] = "Response";
inline constexpr int kHeadingLevels = 4;

QByteArray stylesPart(const ReportStyle &style, const QString &language);
QByteArray settingsPart(const QString &language);
// The footer: the date on the left, "Page N of M" at the right margin.
QByteArray footerPart(const QString &date, int textWidthTwips);

} // namespace brevant::docx
