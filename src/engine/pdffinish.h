#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace brevant {

// The structure of a PDF drawn with Cairo, where every piece drawn on a
// page stands in a tag of its own (cairo_tag_begin / cairo_tag_end, none
// inside another and none open at a page's end): what each of those tags
// holds.
struct TaggedStructure {
    // The structure type of each element ("P", "H1" ...), in reading
    // order.
    QList<QByteArray> types;
    // For each page, what its tags hold in the order drawn: the index of
    // an element, kArtifact for decoration or kPagination for the page's
    // running footer.
    QList<QList<int>> pages;
    static constexpr int kArtifact = -1;
    static constexpr int kPagination = -2;
};

// What the document says of itself.
struct DocumentInfo {
    QString title;
    QString language;   // BCP 47
    QString creator;    // the program
    QString created;    // ISO 8601, as given to Cairo
};

// Finishes the PDF that Cairo wrote as a tagged PDF: one structure tree in
// reading order, a Document holding the elements, each with its pieces on
// every page it runs over; the decoration and the footers marked as
// artifacts; in the catalog the language, the title shown in the viewer's
// title bar, the outline opened beside the pages, and an XMP packet with
// the title and the PDF/UA identification. Empty, with the reason in
// *error, when the PDF could not be read or written, or its tags are not
// those described.
QByteArray finishTaggedPdf(const QByteArray &pdf, const TaggedStructure &structure, const DocumentInfo &info,
                           QString *error);

} // namespace brevant
