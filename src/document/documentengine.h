#pragma once

#include "document/reportmodel.h"
#include "document/table.h"

#include <QByteArray>
#include <QSizeF>
#include <QString>

#include <memory>

class QImage;

namespace brevant {

class PrintSurface;

// What the program decides of a document beyond DocumentOptions.
struct DocumentSetup {
    QSizeF page;        // the page size, in points
    QString creator;    // the program, in the document's properties
};

// The documents drawn with Pango and Cairo and finished with QPDF (the
// report as a tagged PDF, pictures of its pages, the printed report's PDF
// file) and those zipped with libzip (the Word document and the ODT), and
// the quality office's tables as workbooks (libxlsxwriter). They
// are made in a module of their own beside the program (kDocumentModule),
// loaded the first time one is needed: linked to the program, those
// libraries and the forty they bring (libzip alone brings a cryptography
// library, Qt Gui a dozen more) would be loaded at every start of either
// front door, costing time and memory each time.
//
// The module is built with the program and loaded only when it is the very
// file built with it (its GNU build-id, recorded by the build, and every
// part of it within the file); its entry takes the interface version the
// program was built with and gives nothing on a mismatch, and the engine
// it gives starts with its own version and size. Anything else is a reason
// the user reads, never a crash.
inline constexpr quint32 kDocumentEngineVersion = 2;

struct DocumentEngine {
    quint32 version;   // kDocumentEngineVersion of the module
    quint32 size;      // sizeof(DocumentEngine) of the module
    // The report as a tagged PDF; empty, with the reason in *error, when
    // it could not be made.
    QByteArray (*reportPdf)(const Report &report, const DocumentOptions &options, const DocumentSetup &setup,
                            QString *error);
    // Page page (0 the first) of that PDF drawn width pixels wide on a
    // white ground; a null image when there is no such page.
    QImage (*pagePicture)(const Report &report, const DocumentOptions &options, const DocumentSetup &setup,
                          int page, int width);
    // A print surface that makes a PDF file at path, pages of the size
    // given, written whole at the end of the document.
    std::unique_ptr<PrintSurface> (*pdfSurface)(const QString &path, const DocumentSetup &setup);
    // The report as a Word document (docxwriter.h); empty, with the reason
    // in *error, when it could not be made.
    QByteArray (*reportDocx)(const Report &report, const DocumentOptions &options, const DocumentSetup &setup,
                             QString *error);
    // The report as an OpenDocument Text file; empty, with the reason in
    // *error, when it could not be made.
    QByteArray (*reportOdt)(const Report &report, const DocumentOptions &options, const DocumentSetup &setup,
                            QString *error);
    // A table as an XLSX workbook (xlsxtable.h); empty, with the reason in
    // *error, when it could not be made.
    QByteArray (*xlsxTable)(const Table &table, const QDateTime &made, QString *error);
};

// The module's file name and the function it offers, which returns its
// engine when asked for the version it has, else null.
inline constexpr char kDocumentModule[] = "libbrevant_documents.so";
inline constexpr char kDocumentEntry[] = "brevant_document_engine";
using DocumentEntry = const DocumentEngine *(*)(quint32 version);

// The engine, loaded on the first call from the program's folder (or, for
// the tests and tools built apart from it, from the run path of their
// executable). Null, with the reason in *error, when it cannot be loaded:
// "The document engine libbrevant_documents.so could not be loaded: ...".
const DocumentEngine *documentEngine(QString *error);

// Where the engine is looked for, in order.
QStringList documentEngineFolders();

} // namespace brevant
