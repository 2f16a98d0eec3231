#include "report/reportdocument.h"

#include "io/codepage.h"
#include "report/htmlreport.h"
#include "report/odttext.h"
#include "ui/services.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <QTextDocumentWriter>
#include <QTextFrame>
#include <QTextTable>

namespace brevant {

using namespace Qt::Literals::StringLiterals;

QPageSize::PageSizeId pageSizeFor(const QLocale &locale)
{
    return locale.measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter : QPageSize::A4;
}

namespace {

// Page geometry, in millimetres: the text inside margins of 2 cm, the
// footer's line in the bottom margin.
constexpr qreal kMarginMm = 20;
constexpr qreal kFooterFromBottomMm = 10;
constexpr qreal kFooterPoints = 8;

qreal fromMm(qreal millimetres, int resolution)
{
    return millimetres * resolution / 25.4;
}

// The report laid out on the pages of a PDF writer: the writer measures the
// text at its own resolution, so what is drawn on the pages (or on a
// picture of one at the same resolution) is what was laid out.
class PagedReport {
public:
    PagedReport(const Report &report, QPdfWriter &writer, const DocumentOptions &options)
        : m_resolution(writer.resolution()), m_date(footerDate(options.date))
    {
        const QPageLayout layout(QPageSize(pageSizeFor(options.locale)), QPageLayout::Portrait,
                                 QMarginsF(0, 0, 0, 0));
        writer.setPageLayout(layout);
        m_page = QRectF(layout.fullRectPixels(m_resolution));
        const qreal margin = fromMm(kMarginMm, m_resolution);
        m_body = m_page.adjusted(margin, margin, -margin, -margin);

        // Everything set before the text comes in, so it is laid out once.
        m_doc.documentLayout()->setPaintDevice(&writer);
        m_doc.setPageSize(m_body.size());
        m_doc.setHtml(reportHtmlDocument(report));
    }

    int pageCount() const { return m_doc.pageCount(); }
    QSizeF pageSize() const { return m_page.size(); }
    int resolution() const { return m_resolution; }
    QString title() const { return m_doc.metaInformation(QTextDocument::DocumentTitle); }

    // Page index (0 the first) in the writer's units, the page's top left
    // corner at the painter's origin.
    void drawPage(QPainter &painter, int index, int count) const
    {
        const qreal top = index * m_body.height();
        painter.save();
        painter.translate(m_body.left(), m_body.top() - top);
        // The layout draws every line that touches its clip: a line that
        // ends right at the top of the page, or starts right at its foot,
        // belongs to the page before or after, so the clip stays a little
        // inside the page; the painter clips at the page's own edges. (Qt
        // still draws, clipped away, the one line of a paragraph just above
        // the clip, so a search may find the last line of the page before
        // at the top of a page where a paragraph runs over.)
        const qreal edge = fromMm(1, m_resolution);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(0, top + edge, m_body.width(), m_body.height() - 2 * edge);
        context.palette.setColor(QPalette::Text, Qt::black);
        painter.setClipRect(QRectF(0, top, m_body.width(), m_body.height()));
        m_doc.documentLayout()->draw(&painter, context);
        painter.restore();

        // The footer: the date on the left, the page number on the right.
        painter.save();
        QFont font(u"Arial"_s);
        font.setPixelSize(qRound(kFooterPoints * m_resolution / 72));
        painter.setFont(font);
        painter.setPen(QColor(0x55, 0x5b, 0x63));
        const qreal baseline = m_page.bottom() - fromMm(kFooterFromBottomMm, m_resolution);
        const QRectF line(m_body.left(), baseline - 2 * font.pixelSize(), m_body.width(),
                          2 * font.pixelSize());
        painter.drawText(line, Qt::AlignLeft | Qt::AlignBottom, m_date);
        painter.drawText(line, Qt::AlignRight | Qt::AlignBottom,
                         u"Page %1 of %2"_s.arg(index + 1).arg(count));
        painter.restore();
    }

private:
    int m_resolution;
    QString m_date;
    QRectF m_page;
    QRectF m_body;
    QTextDocument m_doc;
};

// The report rebuilt for the OpenDocument writer, which writes a table
// cell of several paragraphs as several cells and a table nested in a cell
// outside any cell, where a word processor drops it. A table whose cells
// hold one paragraph each (the report's own) is kept as a table; the
// template's frame around it gives its paragraphs in reading order, each
// with its cell's background.
class FlatCopy {
public:
    explicit FlatCopy(QTextDocument &to) : m_cursor(to.rootFrame()->lastCursorPosition()) {}

    void frame(const QTextFrame *from, const QBrush &background)
    {
        for (auto it = from->begin(); !it.atEnd(); ++it) {
            if (const QTextFrame *child = it.currentFrame()) {
                const auto *table = qobject_cast<const QTextTable *>(child);
                if (table && isSimple(table))
                    copyTable(table);
                else if (table)
                    flattenTable(table, background);
                else
                    frame(child, background);
            } else {
                block(it.currentBlock(), background);
            }
        }
    }

private:
    // Every cell one paragraph, and no frame within.
    static bool isSimple(const QTextTable *table)
    {
        for (int r = 0; r < table->rows(); ++r) {
            for (int c = 0; c < table->columns(); ++c) {
                const QTextTableCell cell = table->cellAt(r, c);
                if (cell.row() != r || cell.column() != c)
                    continue;   // part of a spanned cell
                if (cell.firstCursorPosition().block() != cell.lastCursorPosition().block()
                    || cell.begin().currentFrame())
                    return false;
            }
        }
        return true;
    }

    void flattenTable(const QTextTable *table, const QBrush &background)
    {
        for (int r = 0; r < table->rows(); ++r) {
            for (int c = 0; c < table->columns(); ++c) {
                const QTextTableCell cell = table->cellAt(r, c);
                if (cell.row() != r || cell.column() != c)
                    continue;
                const QBrush cellBackground = cell.format().background();
                const QBrush inherited = cellBackground.style() != Qt::NoBrush ? cellBackground : background;
                for (auto it = cell.begin(); !it.atEnd(); ++it) {
                    if (const QTextFrame *child = it.currentFrame())
                        frame(child, inherited);   // a frame's iterator covers the whole frame
                    else
                        block(it.currentBlock(), inherited);
                }
            }
        }
    }

    void copyTable(const QTextTable *table)
    {
        QTextTable *copy = m_cursor.insertTable(table->rows(), table->columns(), table->format());
        for (int r = 0; r < table->rows(); ++r) {
            for (int c = 0; c < table->columns(); ++c) {
                const QTextTableCell cell = table->cellAt(r, c);
                if (cell.row() != r || cell.column() != c)
                    continue;
                if (cell.rowSpan() > 1 || cell.columnSpan() > 1)
                    copy->mergeCells(r, c, cell.rowSpan(), cell.columnSpan());
                QTextTableCell target = copy->cellAt(r, c);
                target.setFormat(cell.format());
                QTextCursor at = target.firstCursorPosition();
                const QTextBlock from = cell.firstCursorPosition().block();
                at.setBlockFormat(from.blockFormat());
                at.setBlockCharFormat(from.charFormat());
                fragments(at, from);
            }
        }
        // The paragraph after the table is there already and still empty.
        m_cursor = copy->document()->rootFrame()->lastCursorPosition();
        m_blockFree = true;
    }

    void block(const QTextBlock &from, const QBrush &background)
    {
        QTextBlockFormat format = from.blockFormat();
        if (format.background().style() == Qt::NoBrush && background.style() != Qt::NoBrush)
            format.setBackground(background);
        if (m_blockFree) {
            m_cursor.setBlockFormat(format);
            m_cursor.setBlockCharFormat(from.charFormat());
            m_blockFree = false;
        } else {
            m_cursor.insertBlock(format, from.charFormat());
        }
        fragments(m_cursor, from);
    }

    static void fragments(QTextCursor &at, const QTextBlock &from)
    {
        for (auto it = from.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.isValid())
                at.insertText(fragment.text(), fragment.charFormat());
        }
    }

    QTextCursor m_cursor;
    bool m_blockFree = true;   // the new document's first paragraph
};

bool writeAll(QIODevice &out, const QByteArray &bytes, QString *error)
{
    if (bytes.isEmpty()) {
        if (error)
            *error = u"The document could not be laid out."_s;
        return false;
    }
    return out.write(bytes) == bytes.size();
}

} // namespace

QString reportHtmlDocument(const Report &report)
{
    // The HTML report's bytes read back: every character the code page
    // cannot hold is a character reference there, so none is lost.
    const QByteArray bytes = reportBytes(report.templateBytes, report.responses());
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    for (const char b : bytes)
        *out++ = cp1252::toUnicode(static_cast<unsigned char>(b));
    return text;
}

QByteArray reportPdf(const Report &reportModel, const DocumentOptions &options)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    const PagedReport report(reportModel, writer, options);
    const QString title = report.title();
    writer.setTitle(title.isEmpty() ? u"Report"_s : title);
    writer.setCreator(applicationTitle());

    QPainter painter;
    if (!painter.begin(&writer))
        return QByteArray();
    const int count = report.pageCount();
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !writer.newPage())
            return QByteArray();
        report.drawPage(painter, i, count);
    }
    if (!painter.end())
        return QByteArray();
    buffer.close();
    return bytes;
}

QByteArray reportOdt(const Report &report)
{
    // The page with marks for the responses, which go in as typed.
    QTextDocument page;
    page.setHtml(reportHtmlDocument(withResponseMarks(report)));
    QTextDocument doc;
    doc.setDefaultFont(page.defaultFont());
    doc.setMetaInformation(QTextDocument::DocumentTitle, page.metaInformation(QTextDocument::DocumentTitle));
    FlatCopy(doc).frame(page.rootFrame(), QBrush());
    if (!putTypedResponses(doc, report))
        return QByteArray();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QTextDocumentWriter writer(&buffer, "odf");
    if (!writer.write(&doc))
        return QByteArray();
    buffer.close();
    return withoutTabsBeforeLineBreaks(bytes);
}

bool writeReportPdf(QIODevice &out, const Report &report, const DocumentOptions &options, QString *error)
{
    return writeAll(out, reportPdf(report, options), error);
}

bool writeReportOdt(QIODevice &out, const Report &report, const DocumentOptions &, QString *error)
{
    return writeAll(out, reportOdt(report), error);
}

QImage reportPagePicture(const Report &reportModel, const DocumentOptions &options, int page, int width)
{
    // The writer only measures here: nothing is painted on it.
    QBuffer nowhere;
    nowhere.open(QIODevice::WriteOnly);
    QPdfWriter writer(&nowhere);
    const PagedReport report(reportModel, writer, options);
    const int count = report.pageCount();
    if (page < 0 || page >= count || width <= 0)
        return QImage();
    const qreal scale = width / report.pageSize().width();
    QImage image(width, qRound(report.pageSize().height() * scale), QImage::Format_RGB32);
    // The picture claims the writer's resolution, so a font given in points
    // comes out at the writer's size; the whole page is then scaled down.
    const int dotsPerMeter = qRound(report.resolution() / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing
                           | QPainter::SmoothPixmapTransform);
    painter.scale(scale, scale);
    report.drawPage(painter, page, count);
    painter.end();
    return image;
}

} // namespace brevant
