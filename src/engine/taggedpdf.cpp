#include "engine/taggedpdf.h"

#include "engine/pdffinish.h"
#include "engine/reportpages.h"

#include <QDateTime>
#include <QImage>

#include <cairo-pdf.h>

namespace brevant {

using namespace Qt::Literals::StringLiterals;

namespace {

static_assert(kDecoration == TaggedStructure::kArtifact && kPageFooter == TaggedStructure::kPagination);

cairo_status_t appendTo(void *bytes, const unsigned char *data, unsigned int length)
{
    static_cast<QByteArray *>(bytes)->append(reinterpret_cast<const char *>(data), qsizetype(length));
    return CAIRO_STATUS_SUCCESS;
}

// A requirement's entry: its number and the start of its statement.
QString requirementTitle(const OutlineTarget &target)
{
    constexpr qsizetype kLength = 72;
    QString statement = target.text;
    if (statement.size() > kLength) {
        const qsizetype space = statement.lastIndexOf(u' ', kLength);
        statement = statement.left(space > kLength / 2 ? space : kLength) + u'\u2026';
    }
    return u"Requirement %1: %2"_s.arg(target.item).arg(statement);
}

// The outline: each part of the policy, its sections beneath it (a section
// named again by the next requirement is the same entry), and each
// requirement beneath its section.
void addOutline(cairo_surface_t *surface, const ReportPages &pages)
{
    int division = CAIRO_PDF_OUTLINE_ROOT;
    int section = -1;
    QString sectionText;
    for (const OutlineTarget &t : pages.outline()) {
        const QByteArray link = u"page=%1 pos=[0 %2]"_s.arg(t.page + 1).arg(t.y).toUtf8();
        const auto add = [&](int parent, const QString &title, bool open) {
            return cairo_pdf_surface_add_outline(surface, parent, title.toUtf8().constData(), link.constData(),
                                                 open ? CAIRO_PDF_OUTLINE_FLAG_OPEN : cairo_pdf_outline_flags_t(0));
        };
        switch (t.role) {
        case TextRole::Division:
            division = add(CAIRO_PDF_OUTLINE_ROOT, t.text, true);
            section = -1;
            sectionText.clear();
            break;
        case TextRole::Section:
            if (t.text != sectionText) {
                section = add(division, t.text, true);
                sectionText = t.text;
            }
            break;
        case TextRole::Requirement:
            add(section >= 0 ? section : division, requirementTitle(t), false);
            break;
        default:
            break;
        }
    }
}

} // namespace

QByteArray taggedReportPdf(const Report &report, const DocumentOptions &options, const DocumentSetup &setup,
                           QString *error)
{
    QByteArray drawn;
    TaggedStructure structure;
    const QString created = options.made.toUTC().toString(Qt::ISODate);
    {
        // The layout goes once the pages are drawn, before the PDF is
        // finished, so that the two never hold their memory at once.
        const ReportPages pages(report, options, setup.page);
        const SurfacePtr surface(
            cairo_pdf_surface_create_for_stream(appendTo, &drawn, setup.page.width(), setup.page.height()));
        cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_TITLE, report.title.toUtf8().constData());
        cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_CREATOR, setup.creator.toUtf8().constData());
        cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_CREATE_DATE, created.toUtf8().constData());
        const CairoPtr cr(cairo_create(surface.get()));
        for (int p = 0; p < pages.pageCount(); ++p) {
            structure.pages << QList<int>();
            pages.draw(cr.get(), p, &structure.pages.last());
            cairo_show_page(cr.get());
        }
        addOutline(surface.get(), pages);
        const cairo_status_t drawing = cairo_status(cr.get());
        cairo_surface_finish(surface.get());
        const cairo_status_t status = drawing != CAIRO_STATUS_SUCCESS ? drawing : cairo_surface_status(surface.get());
        if (status != CAIRO_STATUS_SUCCESS) {
            if (error)
                *error = u"The document could not be drawn: %1"_s.arg(QString::fromUtf8(cairo_status_to_string(status)));
            return QByteArray();
        }
        for (const ReportText &text : pages.texts())
            structure.types << roleTag(text.role);
    }
    return finishTaggedPdf(drawn, structure, {report.title, options.locale.bcp47Name(), setup.creator, created},
                           error);
}

QImage reportPageImage(const Report &report, const DocumentOptions &options, const DocumentSetup &setup, int page,
                       int width)
{
    const ReportPages pages(report, options, setup.page);
    if (page < 0 || page >= pages.pageCount() || width <= 0)
        return QImage();
    const double scale = width / setup.page.width();
    QImage image(width, qRound(setup.page.height() * scale), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        const SurfacePtr surface(cairo_image_surface_create_for_data(image.bits(), CAIRO_FORMAT_ARGB32, image.width(),
                                                                     image.height(), int(image.bytesPerLine())));
        const CairoPtr cr(cairo_create(surface.get()));
        cairo_scale(cr.get(), scale, scale);
        pages.draw(cr.get(), page, nullptr);
        cairo_surface_flush(surface.get());
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

} // namespace brevant
