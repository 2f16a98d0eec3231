#include "engine/odtreport.h"

#include "document/htmlreport.h"
#include "engine/odtmend.h"
#include "engine/odttext.h"
#include "io/codepage.h"

#include <QBuffer>
#include <QTextDocument>
#include <QTextDocumentWriter>
#include <QTextFrame>
#include <QTextTable>

namespace brevant {

namespace {

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

QByteArray odtReport(const Report &report, const DocumentOptions &options, const DocumentSetup &, QString *error)
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
    return withoutTabsBeforeLineBreaks(bytes, options.made, error);
}

} // namespace brevant
