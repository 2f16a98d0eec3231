#pragma once

#include "engine/pangotext.h"

#include <QByteArray>
#include <QList>

#include <memory>
#include <vector>

namespace brevant {

// What a text is set with.
struct TextSetting {
    TextFace face;
    double width = 0;            // points; lines wrap at word boundaries, and inside a longer word
    quint32 color = 0;
    int labelBytes = 0;          // the first bytes are a bold, upright label in labelColor
    quint32 labelColor = 0;
    double letterSpacing = 0;    // points
};

// A text set in lines by Pango, kept as the glyphs Cairo draws, so that it
// is laid out once however often its lines are drawn, in a fraction of the
// memory of Pango's layouts. Each paragraph (the text between typed line
// breaks) is laid out on its own, a long one a few thousand bytes at a
// time from the start of a line: Pango's line breaking takes time that
// grows with the square of a paragraph's length, and breaks each line the
// same wherever it starts the layout. Units are points.
class SetText {
public:
    struct Line {
        float top;        // from the top of the text
        float height;
        float baseline;   // from the top of the line
        float x;          // where the line starts, from the left of the text
        int firstRun;
        int runCount;
    };

    SetText() = default;
    SetText(const PangoText &pango, const QByteArray &text, const TextSetting &setting);

    const QList<Line> &lines() const { return m_lines; }

    // Draws count lines from first on, the top left corner of the first's
    // box at (x, top). Every character that shows has a glyph (see
    // shownGlyph), and every glyph the characters it shows, so that the
    // PDF's text is the text.
    void drawLines(cairo_t *cr, int first, int count, double x, double top) const;

private:
    struct Run {
        cairo_scaled_font_t *font;   // held by m_fonts
        quint32 color;
        bool backward;               // right to left: glyphs in the opposite order of the text
        int firstGlyph;
        int glyphCount;
        int textStart;               // bytes of m_text
        int textLength;
    };
    struct Glyph {
        quint32 index;   // in the font; kNoGlyph for a character drawn by none
        float x;         // from the start of the line
        float y;         // from the baseline
        int cluster;     // the first byte of its characters in m_text
    };
    void setParagraph(const PangoText &pango, int start, int end, const TextSetting &setting);
    void appendRun(const Run &run, double left, double baseline, std::vector<cairo_glyph_t> &glyphs,
                   std::vector<cairo_text_cluster_t> &clusters) const;
    // Keeps a line of a layout of the text from byte offset on; returns its
    // height.
    double addLine(PangoLayoutLine *line, int offset, double top, double width, const TextSetting &setting);

    QByteArray m_text;
    QList<Line> m_lines;
    QList<Run> m_runs;
    std::vector<Glyph> m_glyphs;
    std::vector<std::shared_ptr<cairo_scaled_font_t>> m_fonts;
};

} // namespace brevant
