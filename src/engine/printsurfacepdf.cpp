#include "engine/printsurfacepdf.h"

#include "io/files.h"

#include <QFile>
#include <QFileInfo>

#include <cairo-pdf.h>

#include <cmath>

namespace brevant {

namespace {

constexpr qreal kMargin = 20 / 25.4 * 72;   // 2 cm
constexpr int kTabStopChars = 8;
constexpr qsizetype kMaxKnownWidths = 200000;

cairo_status_t appendTo(void *bytes, const unsigned char *data, unsigned int length)
{
    static_cast<QByteArray *>(bytes)->append(reinterpret_cast<const char *>(data), qsizetype(length));
    return CAIRO_STATUS_SUCCESS;
}

// A piece of a line as it is set: a carriage return shows nothing and
// takes no room; any other line break, which the report's wrapping never
// hands over, stands as a blank.
QByteArray runText(QStringView text)
{
    QString visible = text.toString();
    visible.remove(u'\r');
    QByteArray utf8 = layoutText(visible);
    utf8.replace('\n', ' ');
    return utf8;
}

} // namespace

PdfFileSurface::PdfFileSurface(const QString &path, QSizeF pagePoints, const QString &creator)
    : m_path(path), m_page(pagePoints), m_creator(creator), m_pango(QLocale().bcp47Name())
{
}

PdfFileSurface::~PdfFileSurface() = default;

TextFace PdfFileSurface::face() const
{
    return TextFace{QStringLiteral("Liberation Serif, serif"), 11, m_bold, m_italic};
}

bool PdfFileSurface::begin()
{
    // Only a file that can be written is started; a new one is not left
    // behind by the probe.
    if (QFileInfo(m_path).isDir())
        return fail(QStringLiteral("It is a folder."));
    QFile probe(m_path);
    const bool existed = probe.exists();
    if (!probe.open(QIODevice::WriteOnly | QIODevice::Append))
        return fail(probe.errorString() + u'.');
    probe.close();
    if (!existed)
        probe.remove();

    m_bytes.clear();
    m_surface.reset(cairo_pdf_surface_create_for_stream(appendTo, &m_bytes, m_page.width(), m_page.height()));
    cairo_pdf_surface_set_metadata(m_surface.get(), CAIRO_PDF_METADATA_TITLE, m_creator.toUtf8().constData());
    cairo_pdf_surface_set_metadata(m_surface.get(), CAIRO_PDF_METADATA_CREATOR, m_creator.toUtf8().constData());
    m_cr.reset(cairo_create(m_surface.get()));
    cairo_translate(m_cr.get(), kMargin, kMargin);
    for (int style = 0; style < 4; ++style) {
        m_bold = style & 1;
        m_italic = style & 2;
        m_measure[style] = m_pango.layout(QByteArray(), face(), 0);
        m_draw[style] = m_pango.layout(QByteArray(), face(), 0);
        const FontPtr font = fontFor(face());
        PangoFontMetrics *metrics =
            pango_context_get_metrics(pango_layout_get_context(m_measure[style].get()), font.get(), nullptr);
        m_lineSpacing[style] = qreal(pango_font_metrics_get_height(metrics)) / PANGO_SCALE;
        m_ascent[style] = qreal(pango_font_metrics_get_ascent(metrics)) / PANGO_SCALE;
        if (style == 0)
            m_tabWidth = kTabStopChars * qreal(pango_font_metrics_get_approximate_char_width(metrics)) / PANGO_SCALE;
        pango_font_metrics_unref(metrics);
        m_widths[style].clear();
    }
    m_bold = m_italic = false;
    m_width = m_page.width() - 2 * kMargin;
    m_height = m_page.height() - 2 * kMargin;
    m_x = m_y = 0;
    m_active = cairo_status(m_cr.get()) == CAIRO_STATUS_SUCCESS;
    return m_active || fail(QStringLiteral("The document could not be started."));
}

qreal PdfFileSurface::plainWidth(QStringView text) const
{
    if (text.isEmpty())
        return 0;
    const int style = (m_bold ? 1 : 0) | (m_italic ? 2 : 0);
    QHash<QString, qreal> &known = m_widths[style];
    // A key over the caller's characters, copied only when it is stored.
    const QString key = QString::fromRawData(text.data(), text.size());
    const auto found = known.constFind(key);
    if (found != known.constEnd())
        return *found;
    PangoLayout *layout = m_measure[style].get();
    const QByteArray utf8 = runText(text);
    pango_layout_set_text(layout, utf8.constData(), int(utf8.size()));
    PangoRectangle logical;
    pango_layout_get_extents(layout, nullptr, &logical);
    const qreal width = qreal(logical.width) / PANGO_SCALE;
    if (known.size() >= kMaxKnownWidths)
        known.clear();
    known.insert(text.toString(), width);
    return width;
}

qreal PdfFileSurface::nextTabStop(qreal x) const
{
    if (m_tabWidth <= 0)
        return x;
    return (std::floor(x / m_tabWidth + 1e-9) + 1) * m_tabWidth;
}

qreal PdfFileSurface::textWidth(QStringView text) const
{
    if (!m_active)
        return 0;
    qreal x = 0;
    qsizetype start = 0;
    for (qsizetype tab = text.indexOf(u'\t'); tab >= 0; tab = text.indexOf(u'\t', start)) {
        x = nextTabStop(x + plainWidth(text.sliced(start, tab - start)));
        start = tab + 1;
    }
    return x + plainWidth(text.sliced(start));
}

qreal PdfFileSurface::textHeight(QStringView text) const
{
    return m_lineSpacing[(m_bold ? 1 : 0) | (m_italic ? 2 : 0)] * (text.count(u'\n') + 1);
}

bool PdfFileSurface::printText(QStringView text)
{
    if (!m_active)
        return fail(QStringLiteral("The document has not been started."));
    if (m_y > 0 && m_y + textHeight(QStringView()) > m_height && !newPage())
        return false;
    qsizetype start = 0;
    for (;;) {
        const qsizetype tab = text.indexOf(u'\t', start);
        const QStringView piece = text.sliced(start, (tab < 0 ? text.size() : tab) - start);
        if (!piece.isEmpty()) {
            if (m_run.isEmpty())
                m_runX = m_x;
            m_x += plainWidth(piece);
            m_run.append(piece);
        }
        if (tab < 0)
            return true;
        flushRun();
        m_x = nextTabStop(m_x);
        start = tab + 1;
    }
}

void PdfFileSurface::flushRun()
{
    if (m_run.isEmpty())
        return;
    const int style = (m_bold ? 1 : 0) | (m_italic ? 2 : 0);
    PangoLayout *layout = m_draw[style].get();
    const QByteArray text = runText(m_run);
    pango_layout_set_text(layout, text.constData(), int(text.size()));
    cairo_set_source_rgb(m_cr.get(), 0, 0, 0);
    cairo_move_to(m_cr.get(), m_runX, m_y + m_ascent[style]);
    PangoLayoutLine *line = pango_layout_get_line(layout, 0);
    keepCharacters(line);
    pango_cairo_show_layout_line(m_cr.get(), line);
    m_run.resize(0);
}

bool PdfFileSurface::endLine()
{
    if (!m_active)
        return fail(QStringLiteral("The document has not been started."));
    flushRun();
    m_x = 0;
    m_y += textHeight(QStringView());
    return true;
}

bool PdfFileSurface::newPage()
{
    if (!m_active)
        return fail(QStringLiteral("The document has not been started."));
    flushRun();
    cairo_show_page(m_cr.get());
    if (cairo_status(m_cr.get()) != CAIRO_STATUS_SUCCESS)
        return fail(QStringLiteral("A new page could not be started."));
    m_x = m_y = 0;
    return true;
}

void PdfFileSurface::setBold(bool on)
{
    if (!m_active)
        return;
    flushRun();
    m_bold = on;
}

void PdfFileSurface::setItalic(bool on)
{
    if (!m_active)
        return;
    flushRun();
    m_italic = on;
}

bool PdfFileSurface::endDocument()
{
    if (!m_active)
        return fail(QStringLiteral("The document has not been started."));
    flushRun();
    m_active = false;
    m_cr.reset();
    cairo_surface_finish(m_surface.get());
    const bool drawn = cairo_surface_status(m_surface.get()) == CAIRO_STATUS_SUCCESS;
    m_surface.reset();
    if (!drawn || m_bytes.isEmpty())
        return fail(QStringLiteral("The document could not be finished."));
    QString reason;
    const bool written = writeFileSafely(m_path, m_bytes, &reason);
    m_bytes = QByteArray();
    return written || fail(reason);
}

bool PdfFileSurface::fail(const QString &why)
{
    m_error = why;
    return false;
}

} // namespace brevant
