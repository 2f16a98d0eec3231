#pragma once

// One XML part of a zipped document (the Word document's, the ODT's),
// written with QXmlStreamWriter in UTF-8, its elements and attributes
// named with their prefixes ("w:p", "text:p") and the namespaces declared
// as attributes of the root.

#include <QBuffer>
#include <QByteArray>
#include <QString>
#include <QXmlStreamWriter>

namespace brevant {

class XmlPart {
public:
    XmlPart() : m_buffer(&m_bytes), m_xml(&m_buffer)
    {
        m_buffer.open(QIODevice::WriteOnly);
        m_xml.writeStartDocument(QStringLiteral("1.0"), true);
    }
    XmlPart(const XmlPart &) = delete;
    XmlPart &operator=(const XmlPart &) = delete;

    QXmlStreamWriter &xml() { return m_xml; }
    void start(const QString &name) { m_xml.writeStartElement(name); }
    void end() { m_xml.writeEndElement(); }
    void attribute(const QString &name, const QString &value) { m_xml.writeAttribute(name, value); }
    // <name/>, its attributes to follow.
    void empty(const QString &name) { m_xml.writeEmptyElement(name); }
    // <name>text</name>
    void element(const QString &name, const QString &text) { m_xml.writeTextElement(name, text); }
    // Text as it is, escaped.
    void characters(const QString &text) { m_xml.writeCharacters(text); }

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

} // namespace brevant
