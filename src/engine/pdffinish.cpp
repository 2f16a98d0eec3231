#include "engine/pdffinish.h"

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <memory>
#include <string>
#include <vector>

namespace brevant {

namespace {

using Object = QPDFObjectHandle;
using Token = QPDFTokenizer::Token;

// Rewrites the marked-content operators of a page that Cairo wrote, one
// "/Tag <</MCID n>> BDC" per tag, numbered from 0 on each page in the
// order the tags began: an element's piece gets its number among the
// page's elements, decoration becomes an artifact. Cairo's own spans
// (an /ActualText without an MCID) and everything else pass as they are.
class MarkFilter : public Object::TokenFilter {
public:
    // marks: what each tag of the page holds; mcids: the new number of
    // each that holds an element's piece.
    MarkFilter(const QList<int> &marks, const std::vector<int> &mcids, const QList<QByteArray> &types,
               bool *mismatch)
        : m_marks(marks), m_mcids(mcids), m_types(types), m_mismatch(mismatch)
    {
    }

    void handleToken(const Token &token) override
    {
        switch (token.getType()) {
        case QPDFTokenizer::tt_eof:
            return;
        case QPDFTokenizer::tt_word:
            if (token.getValue() == "BDC" && m_mcid >= 0) {
                markedContent();
            } else {
                write(m_operands);
                write(token.getRawValue());
            }
            m_operands.clear();
            m_mcid = -1;
            m_mcidNext = false;
            return;
        case QPDFTokenizer::tt_name:
            m_mcidNext = token.getValue() == "/MCID";
            break;
        case QPDFTokenizer::tt_integer:
            if (m_mcidNext)
                m_mcid = std::stoi(token.getValue());
            m_mcidNext = false;
            break;
        case QPDFTokenizer::tt_space:
            break;
        default:
            m_mcidNext = false;
        }
        // The operands as they stand, until their operator decides.
        m_operands += token.getRawValue();
    }

    void handleEOF() override
    {
        write(m_operands);
        if (m_seen != m_marks.size())
            *m_mismatch = true;
    }

private:
    void markedContent()
    {
        ++m_seen;
        const int what = m_mcid < m_marks.size() ? m_marks.at(m_mcid) : TaggedStructure::kArtifact;
        if (m_mcid >= m_marks.size())
            *m_mismatch = true;
        if (what >= 0) {
            write("\n/" + m_types.at(what).toStdString() + " <</MCID " + std::to_string(m_mcids.at(m_mcid))
                  + ">> BDC");
        } else if (what == TaggedStructure::kPagination) {
            write("\n/Artifact <</Type /Pagination /Subtype /Footer>> BDC");
        } else {
            write("\n/Artifact BMC");
        }
    }

    const QList<int> &m_marks;
    std::vector<int> m_mcids;
    const QList<QByteArray> &m_types;
    bool *m_mismatch;
    std::string m_operands;   // since the last operator
    int m_mcid = -1;          // among them
    bool m_mcidNext = false;
    qsizetype m_seen = 0;
};

Object dictionary(std::initializer_list<std::pair<const char *, Object>> entries)
{
    Object d = Object::newDictionary();
    for (const auto &[key, value] : entries)
        d.replaceKey(key, value);
    return d;
}

std::string xmlText(const QString &text)
{
    return text.toHtmlEscaped().toStdString();
}

// The XMP packet: the title, the language, the program, the dates and the
// PDF/UA identification.
std::string xmpPacket(const DocumentInfo &info, const std::string &producer)
{
    std::string x = "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
                    "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
                    " <rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
                    "  <rdf:Description rdf:about=\"\"\n"
                    "    xmlns:dc=\"http://purl.org/dc/elements/1.1/\"\n"
                    "    xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\"\n"
                    "    xmlns:pdf=\"http://ns.adobe.com/pdf/1.3/\"\n"
                    "    xmlns:pdfuaid=\"http://www.aiim.org/pdfua/ns/id/\">\n"
                    "   <dc:format>application/pdf</dc:format>\n"
                    "   <dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">";
    x += xmlText(info.title) + "</rdf:li></rdf:Alt></dc:title>\n";
    if (!info.language.isEmpty())
        x += "   <dc:language><rdf:Bag><rdf:li>" + xmlText(info.language) + "</rdf:li></rdf:Bag></dc:language>\n";
    x += "   <xmp:CreatorTool>" + xmlText(info.creator) + "</xmp:CreatorTool>\n";
    if (!info.created.isEmpty()) {
        x += "   <xmp:CreateDate>" + xmlText(info.created) + "</xmp:CreateDate>\n";
        x += "   <xmp:ModifyDate>" + xmlText(info.created) + "</xmp:ModifyDate>\n";
    }
    x += "   <pdf:Producer>" + xmlText(QString::fromStdString(producer)) + "</pdf:Producer>\n"
         "   <pdfuaid:part>1</pdfuaid:part>\n"
         "  </rdf:Description>\n"
         " </rdf:RDF>\n"
         "</x:xmpmeta>\n"
         "<?xpacket end=\"w\"?>";
    return x;
}

} // namespace

QByteArray finishTaggedPdf(const QByteArray &bytes, const TaggedStructure &structure, const DocumentInfo &info,
                           QString *error)
{
    const auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return QByteArray();
    };
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processMemoryFile("report", bytes.constData(), std::size_t(bytes.size()));
        std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(pdf).getAllPages();
        if (pages.size() != std::size_t(structure.pages.size()))
            return fail(QStringLiteral("The document's pages could not be read back."));

        Object tree = pdf.makeIndirectObject(dictionary({{"/Type", Object::newName("/StructTreeRoot")}}));
        Object document = pdf.makeIndirectObject(dictionary(
            {{"/Type", Object::newName("/StructElem")}, {"/S", Object::newName("/Document")}, {"/P", tree}}));
        std::vector<Object> elements;
        Object documentKids = Object::newArray();
        for (const QByteArray &type : structure.types) {
            elements.push_back(pdf.makeIndirectObject(dictionary({{"/Type", Object::newName("/StructElem")},
                                                                  {"/S", Object::newName("/" + type.toStdString())},
                                                                  {"/P", document},
                                                                  {"/K", Object::newArray()}})));
            documentKids.appendItem(elements.back());
        }
        document.replaceKey("/K", documentKids);

        bool mismatch = false;
        Object parents = Object::newArray();
        for (std::size_t p = 0; p < pages.size(); ++p) {
            const QList<int> &marks = structure.pages.at(qsizetype(p));
            Object page = pages[p].getObjectHandle();
            std::vector<int> mcids(std::size_t(marks.size()), -1);
            Object parentOfMcid = Object::newArray();
            int next = 0;
            for (qsizetype m = 0; m < marks.size(); ++m) {
                const int element = marks.at(m);
                if (element < 0)
                    continue;
                if (std::size_t(element) >= elements.size())
                    return fail(QStringLiteral("The document's structure could not be made."));
                mcids[std::size_t(m)] = next;
                elements[std::size_t(element)].getKey("/K").appendItem(dictionary(
                    {{"/Type", Object::newName("/MCR")}, {"/Pg", page}, {"/MCID", Object::newInteger(next)}}));
                parentOfMcid.appendItem(elements[std::size_t(element)]);
                ++next;
            }
            page.replaceKey("/StructParents", Object::newInteger(static_cast<long long>(p)));
            page.replaceKey("/Tabs", Object::newName("/S"));
            parents.appendItem(Object::newInteger(static_cast<long long>(p)));
            parents.appendItem(pdf.makeIndirectObject(parentOfMcid));
            pages[p].addContentTokenFilter(std::make_shared<MarkFilter>(marks, mcids, structure.types, &mismatch));
        }
        tree.replaceKey("/K", document);
        tree.replaceKey("/ParentTree", dictionary({{"/Nums", parents}}));
        tree.replaceKey("/ParentTreeNextKey", Object::newInteger(static_cast<long long>(pages.size())));

        Object root = pdf.getRoot();
        root.replaceKey("/StructTreeRoot", tree);
        root.replaceKey("/MarkInfo", dictionary({{"/Marked", Object::newBool(true)}}));
        if (!info.language.isEmpty())
            root.replaceKey("/Lang", Object::newUnicodeString(info.language.toStdString()));
        root.replaceKey("/ViewerPreferences", dictionary({{"/DisplayDocTitle", Object::newBool(true)}}));
        if (root.hasKey("/Outlines"))
            root.replaceKey("/PageMode", Object::newName("/UseOutlines"));
        Object producer = pdf.getTrailer().getKey("/Info").getKey("/Producer");
        Object metadata = Object::newStream(
            &pdf, xmpPacket(info, producer.isString() ? producer.getUTF8Value() : std::string()));
        metadata.getDict().replaceKey("/Type", Object::newName("/Metadata"));
        metadata.getDict().replaceKey("/Subtype", Object::newName("/XML"));
        root.replaceKey("/Metadata", metadata);

        QPDFWriter writer(pdf);
        writer.setOutputMemory();
        writer.setMinimumPDFVersion("1.7");
        // The file's identifier from its content, not the clock: the same
        // report made again is the same file.
        writer.setDeterministicID(true);
        writer.write();
        if (mismatch)
            return fail(QStringLiteral("The document's structure could not be made."));
        const std::shared_ptr<Buffer> out = writer.getBufferSharedPointer();
        return QByteArray(reinterpret_cast<const char *>(out->getBuffer()), qsizetype(out->getSize()));
    } catch (const std::exception &e) {
        return fail(QStringLiteral("The document could not be finished: %1").arg(QString::fromLocal8Bit(e.what())));
    }
}

} // namespace brevant
