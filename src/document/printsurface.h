#pragma once

#include <QString>
#include <QStringView>

#include <memory>

namespace brevant {

// A paged text surface: a printer, or a document file laid out like one.
// Positions and sizes are in one unit of the surface's choosing, measured
// from the top left of the printable area of the current page.
class PrintSurface {
public:
    virtual ~PrintSurface();

    // Starts the document. False when the printer or the file cannot be
    // opened; errorString() says why.
    virtual bool begin() = 0;

    // Distance from the left edge of the printable area; 0 at a line start.
    virtual qreal currentX() const = 0;
    // Distance from the top of the printable area; 0 at the top of a page.
    virtual qreal currentY() const = 0;
    virtual qreal printableWidth() const = 0;
    virtual qreal printableHeight() const = 0;
    // What a text takes in the current font.
    virtual qreal textWidth(QStringView text) const = 0;
    virtual qreal textHeight(QStringView text) const = 0;

    // Prints at the print position and stays on the line, after the text.
    // A line that would reach below the printable area goes to a new page
    // first. The operations that can fail return false; the document is
    // then unusable and errorString() says why.
    virtual bool printText(QStringView text) = 0;
    virtual bool endLine() = 0;
    virtual bool newPage() = 0;

    // Style of the current font for what is printed afterwards.
    virtual void setBold(bool on) = 0;
    virtual void setItalic(bool on) = 0;

    // Finishes the document and hands it over to the printer or the file.
    virtual bool endDocument() = 0;

    virtual QString errorString() const = 0;
};

// Where printed documents go: the default printer, or a PDF file.
class PrinterFactory {
public:
    virtual ~PrinterFactory();

    // The name of the default printer; empty when none is set up.
    virtual QString defaultPrinter() const = 0;
    virtual std::unique_ptr<PrintSurface> printerSurface(const QString &printerName) = 0;
    // Null, with the reason in *error, when no PDF file can be made.
    virtual std::unique_ptr<PrintSurface> pdfSurface(const QString &path, QString *error) = 0;
};

} // namespace brevant
