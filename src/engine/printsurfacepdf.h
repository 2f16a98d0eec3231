#pragma once

#include "document/printsurface.h"
#include "engine/pangotext.h"

#include <QByteArray>
#include <QHash>
#include <QSizeF>

namespace brevant {

// The printed report as a PDF file, set with Pango and drawn with Cairo,
// so that its text reads back as typed: every character kept, those
// beyond 16 bits too (Qt's PDF writer maps only the first 65536 to
// Unicode), no ligature glyphs, each line drawn once. Units are points;
// the printable area is the page inside margins of 2 cm; the report font
// is a serif face at 11 points, as on a printer. The document is made in
// memory and written whole at its end, so a failure leaves an earlier
// file as it was.
class PdfFileSurface : public PrintSurface {
public:
    PdfFileSurface(const QString &path, QSizeF pagePoints, const QString &creator);
    ~PdfFileSurface() override;

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
    TextFace face() const;
    qreal plainWidth(QStringView text) const;
    qreal nextTabStop(qreal x) const;
    void applyFont();
    void flushRun();
    bool fail(const QString &why);

    QString m_path;
    QSizeF m_page;
    QString m_creator;
    PangoText m_pango;
    QByteArray m_bytes;
    SurfacePtr m_surface;
    CairoPtr m_cr;
    // One layout per style measures the words: texts repeat their words,
    // and setting a word costs far more than looking its width up.
    LayoutPtr m_measure[4];
    LayoutPtr m_draw[4];   // and one per style draws the lines
    mutable QHash<QString, qreal> m_widths[4];
    bool m_bold = false;
    bool m_italic = false;
    qreal m_x = 0;
    qreal m_y = 0;
    qreal m_width = 0;
    qreal m_height = 0;
    qreal m_lineSpacing[4] = {};
    qreal m_ascent[4] = {};
    qreal m_tabWidth = 0;
    // Text printed on the current line but not drawn yet: drawn as one run
    // when the line, the font or the page changes, or at a tab.
    QString m_run;
    qreal m_runX = 0;
    bool m_active = false;
    QString m_error;
};

} // namespace brevant
