// The module of the documents drawn with Pango and Cairo (see
// document/documentengine.h): its one entry point.
#include "document/documentengine.h"
#include "engine/docxwriter.h"
#include "engine/odtwriter.h"
#include "engine/printsurfacepdf.h"
#include "engine/taggedpdf.h"
#include "engine/xlsxtable.h"

namespace {

std::unique_ptr<brevant::PrintSurface> pdfSurface(const QString &path, const brevant::DocumentSetup &setup)
{
    return std::make_unique<brevant::PdfFileSurface>(path, setup.page, setup.creator);
}

const brevant::DocumentEngine kEngine = {brevant::kDocumentEngineVersion,
                                         sizeof(brevant::DocumentEngine),
                                         brevant::taggedReportPdf,
                                         brevant::reportPageImage,
                                         pdfSurface,
                                         brevant::docxReport,
                                         brevant::odtReport,
                                         brevant::xlsxTable};

} // namespace

extern "C" __attribute__((visibility("default"))) const brevant::DocumentEngine *
brevant_document_engine(quint32 version)
{
    return version == brevant::kDocumentEngineVersion ? &kEngine : nullptr;
}
