#pragma once

#include "document/printsurface.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QPrinter>

#include <optional>

namespace brevant {

// A print surface drawn with QPainter on a QPrinter: the named printer.
// Units are the printer's device pixels; the printable area is the page
// inside margins of 2 cm. (The PDF file offered when no printer is set up
// is drawn by the document engine: engine/printsurfacepdf.h.)
class PainterSurface : public PrintSurface {
public:
    explicit PainterSurface(const QString &printerName);
    ~PainterSurface() override;

    // The report font: a serif face at 11 points.
    static QFont reportFont();

    bool begin() override;
    qreal currentX() const override { return m_x; }
    qreal currentY() const override { return m_y; }
    qreal printableWidth() const override { return m_width; }
    qreal printableHeight() const override { return m_height; }
    qreal textWidth(QStringView text) const override;
    qreal textHeight(QStringView text) const override;
    bool printText(QStringView text) override;
    bool endLine() override;
    bool newPage() override;
    void setBold(bool on) override;
    void setItalic(bool on) override;
    bool endDocument() override;
    QString errorString() const override { return m_error; }

private:
    void applyFont(const QFont &font);
    qreal advance(QStringView text, qreal fromX) const;
    qreal plainWidth(QStringView text) const;
    qreal nextTabStop(qreal x) const;
    void flushRun();
    bool fail(const QString &why);

    QString m_target;
    QPrinter m_printer;
    QPainter m_painter;
    std::optional<QFontMetricsF> m_metrics;
    // Widths of the words measured so far, one table per style: texts repeat
    // their words, and shaping a word costs far more than looking it up.
    mutable QHash<QString, qreal> m_widths[4];
    int m_style = 0;
    qreal m_x = 0;
    qreal m_y = 0;
    qreal m_width = 0;
    qreal m_height = 0;
    qreal m_lineSpacing = 0;
    qreal m_ascent = 0;
    qreal m_spaceWidth = 0;
    qreal m_tabWidth = 0;
    // Text printed on the current line but not drawn yet: drawn as one run
    // when the line, the font or the page changes, or at a tab.
    QString m_run;
    qreal m_runX = 0;
    bool m_active = false;
    QString m_error;
};

// Surfaces for the default CUPS printer, and for PDF files from the
// document engine.
class QtPrinterFactory : public PrinterFactory {
public:
    QString defaultPrinter() const override;
    std::unique_ptr<PrintSurface> printerSurface(const QString &printerName) override;
    std::unique_ptr<PrintSurface> pdfSurface(const QString &path, QString *error) override;
};

} // namespace brevant
