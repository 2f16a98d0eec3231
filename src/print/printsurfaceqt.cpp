#include "print/printsurfaceqt.h"

#include "core/catalogue.h"
#include "document/documentengine.h"
#include "document/reportdocument.h"
#include "ui/services.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPrinterInfo>

#include <cups/cups.h>
#include <dlfcn.h>

#include <cmath>

namespace brevant {

namespace {

constexpr qreal kMarginMillimetres = 20;
constexpr int kTabStopChars = 8;
constexpr qsizetype kMaxKnownWidths = 200000;

// The print system's refusal of the last request made in this thread, or an
// empty text when it took it. Its library is looked up only here, after Qt's
// printing plugin has loaded it to print: linking it would load it, and the
// dozen libraries it needs, at every start of the program.
QString printSystemRefusal()
{
    void *library = dlopen("libcups.so.2", RTLD_LAZY);
    if (!library)
        return QString();
    using LastError = ipp_status_t (*)();
    using LastErrorString = const char *(*)();
    const auto lastError = reinterpret_cast<LastError>(dlsym(library, "cupsLastError"));
    const auto lastErrorString = reinterpret_cast<LastErrorString>(dlsym(library, "cupsLastErrorString"));
    QString refusal;
    if (lastError && lastErrorString && lastError() > IPP_STATUS_OK_EVENTS_COMPLETE) {
        const char *why = lastErrorString();
        refusal = why && *why ? QString::fromLocal8Bit(why) : QStringLiteral("unknown reason");
    }
    dlclose(library);
    return refusal;
}

} // namespace

PainterSurface::PainterSurface(const QString &printerName)
    : m_target(printerName), m_printer(QPrinter::HighResolution)
{
    m_printer.setPrinterName(printerName);
    m_printer.setDocName(applicationTitle());
    m_printer.setPageMargins(QMarginsF(kMarginMillimetres, kMarginMillimetres, kMarginMillimetres,
                                       kMarginMillimetres),
                             QPageLayout::Millimeter);
}

PainterSurface::~PainterSurface()
{
    if (!m_active)
        return;
    // A document left unfinished after a failure.
    m_printer.abort();
    m_painter.end();
}

QFont PainterSurface::reportFont()
{
    QFont font(QStringLiteral("Liberation Serif"), 11);
    font.setStyleHint(QFont::Serif);
    return font;
}

bool PainterSurface::begin()
{
    if (QPrinterInfo::printerInfo(m_target).isNull())
        return fail(QStringLiteral("The printer is no longer set up on this computer."));
    if (!m_painter.begin(&m_printer))
        return fail(QStringLiteral("The printer could not start a document."));
    m_active = true;
    const QRectF area = m_printer.pageRect(QPrinter::DevicePixel);
    m_width = area.width();
    m_height = area.height();
    m_x = m_y = 0;
    m_style = 0;
    applyFont(reportFont());
    return true;
}

void PainterSurface::applyFont(const QFont &font)
{
    m_painter.setFont(font);
    m_metrics.emplace(font, &m_printer);
    m_lineSpacing = m_metrics->lineSpacing();
    m_ascent = m_metrics->ascent();
    m_spaceWidth = m_metrics->horizontalAdvance(QLatin1Char(' '));
    m_tabWidth = kTabStopChars * m_metrics->averageCharWidth();
}

// Width of text without tabs. A carriage return shows nothing and takes no room.
qreal PainterSurface::plainWidth(QStringView text) const
{
    if (text.isEmpty())
        return 0;
    if (text.size() == 1 && text.front() == u' ')
        return m_spaceWidth;
    QHash<QString, qreal> &known = m_widths[m_style];
    // A key over the caller's characters, copied only when it is stored.
    const QString key = QString::fromRawData(text.data(), text.size());
    const auto found = known.constFind(key);
    if (found != known.constEnd())
        return *found;
    qreal width;
    if (text.contains(u'\r')) {
        QString visible = text.toString();
        visible.remove(QLatin1Char('\r'));
        width = m_metrics->horizontalAdvance(visible);
    } else {
        width = m_metrics->horizontalAdvance(key);
    }
    if (known.size() >= kMaxKnownWidths)
        known.clear();
    known.insert(text.toString(), width);
    return width;
}

qreal PainterSurface::nextTabStop(qreal x) const
{
    if (m_tabWidth <= 0)
        return x;
    return (std::floor(x / m_tabWidth + 1e-9) + 1) * m_tabWidth;
}

qreal PainterSurface::advance(QStringView text, qreal fromX) const
{
    if (!m_metrics)
        return 0;
    qreal x = fromX;
    qsizetype start = 0;
    for (qsizetype tab = text.indexOf(u'\t'); tab >= 0; tab = text.indexOf(u'\t', start)) {
        x = nextTabStop(x + plainWidth(text.sliced(start, tab - start)));
        start = tab + 1;
    }
    return x + plainWidth(text.sliced(start)) - fromX;
}

qreal PainterSurface::textWidth(QStringView text) const
{
    return advance(text, 0);
}

qreal PainterSurface::textHeight(QStringView text) const
{
    return m_lineSpacing * (text.count(u'\n') + 1);
}

bool PainterSurface::printText(QStringView text)
{
    if (!m_active)
        return fail(QStringLiteral("The document has not been started."));
    if (m_y > 0 && m_y + m_lineSpacing > m_height && !newPage())
        return false;
    qsizetype start = 0;
    for (;;) {
        const qsizetype tab = text.indexOf(u'\t', start);
        const QStringView piece = text.sliced(start, (tab < 0 ? text.size() : tab) - start);
        if (!piece.isEmpty()) {
            if (m_run.isEmpty())
                m_runX = m_x;
            m_x += plainWidth(piece);
            if (piece.contains(u'\r')) {
                for (QChar c : piece) {
                    if (c != u'\r')
                        m_run.append(c);
                }
            } else {
                m_run.append(piece);
            }
        }
        if (tab < 0)
            return true;
        flushRun();
        m_x = nextTabStop(m_x);
        start = tab + 1;
    }
}

void PainterSurface::flushRun()
{
    if (m_run.isEmpty())
        return;
    m_painter.drawText(QPointF(m_runX, m_y + m_ascent), m_run);
    m_run.resize(0);
}

bool PainterSurface::endLine()
{
    if (!m_active)
        return fail(QStringLiteral("The document has not been started."));
    flushRun();
    m_x = 0;
    m_y += m_lineSpacing;
    return true;
}

bool PainterSurface::newPage()
{
    if (!m_active)
        return fail(QStringLiteral("The document has not been started."));
    flushRun();
    if (!m_printer.newPage())
        return fail(QStringLiteral("A new page could not be started."));
    m_x = m_y = 0;
    return true;
}

void PainterSurface::setBold(bool on)
{
    if (!m_active)
        return;
    flushRun();
    QFont font = m_painter.font();
    font.setBold(on);
    applyFont(font);
    m_style = (m_style & 2) | (on ? 1 : 0);
}

void PainterSurface::setItalic(bool on)
{
    if (!m_active)
        return;
    flushRun();
    QFont font = m_painter.font();
    font.setItalic(on);
    applyFont(font);
    m_style = (m_style & 1) | (on ? 2 : 0);
}

bool PainterSurface::endDocument()
{
    if (!m_active)
        return fail(QStringLiteral("The document has not been started."));
    flushRun();
    m_active = false;
    if (!m_painter.end() || m_printer.printerState() == QPrinter::Error)
        return fail(QStringLiteral("The document could not be finished."));
    // Ending the painter hands the document to the print system in this
    // thread; its answer is the last one the print system gave here.
    const QString refusal = printSystemRefusal();
    if (!refusal.isEmpty())
        return fail(QStringLiteral("The print system did not take the document: %1").arg(refusal));
    return true;
}

bool PainterSurface::fail(const QString &why)
{
    m_error = why;
    return false;
}

QString QtPrinterFactory::defaultPrinter() const
{
    return QPrinterInfo::defaultPrinterName();
}

std::unique_ptr<PrintSurface> QtPrinterFactory::printerSurface(const QString &printerName)
{
    return std::make_unique<PainterSurface>(printerName);
}

std::unique_ptr<PrintSurface> QtPrinterFactory::pdfSurface(const QString &path, QString *error)
{
    // Qt's PDF writer maps only the first 65536 characters to Unicode, so
    // a character beyond them would not read back from the file.
    const DocumentEngine *engine = documentEngine(error);
    if (!engine)
        return nullptr;
    return engine->pdfSurface(path, documentSetup(DocumentOptions()));
}

} // namespace brevant
