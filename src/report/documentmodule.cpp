// The module of the documents drawn with Pango and Cairo (see
// documentengine.h): its one entry point.
#include "report/docxwriter.h"
#include "report/documentengine.h"
#include "report/odtmend.h"
#include "report/printsurfacepdf.h"
#include "report/taggedpdf.h"

namespace {

std::unique_ptr<brevant::PrintSurface> pdfSurface(const QString &path, const brevant::DocumentSetup &setup)
{
    return std::make_unique<brevant::PdfFileSurface>(path, setup.page, setup.creator);
}

QByteArray mendOdt(const QByteArray &odt, QString *error)
{
    return brevant::withoutTabsBeforeLineBreaks(odt, error);
}

const brevant::DocumentEngine kEngine = {brevant::taggedReportPdf, brevant::reportPageImage, pdfSurface,
                                         brevant::docxReport, mendOdt};

} // namespace

extern "C" __attribute__((visibility("default"))) const brevant::DocumentEngine *brevant_document_engine()
{
    return &kEngine;
}
