#include "engine/settext.h"

#include <algorithm>

namespace brevant {

namespace {

// A paragraph longer than this is laid out in pieces of about this many
// bytes.
constexpr int kPieceBytes = 4096;
constexpr quint32 kNoGlyph = 0xffffffff;

double points(int pangoUnits)
{
    return double(pangoUnits) / PANGO_SCALE;
}

// The direction of a paragraph: that of its first letter of a strong
// direction.
PangoDirection directionOf(const char *text, int length)
{
    for (const char *p = text; p < text + length; p = g_utf8_next_char(p)) {
        switch (QChar::direction(char32_t(g_utf8_get_char(p)))) {
        case QChar::DirL: return PANGO_DIRECTION_LTR;
        case QChar::DirR:
        case QChar::DirAL: return PANGO_DIRECTION_RTL;
        default: break;
        }
    }
    return PANGO_DIRECTION_NEUTRAL;
}

} // namespace

SetText::SetText(const PangoText &pango, const QByteArray &text, const TextSetting &setting) : m_text(text)
{
    int start = 0;
    for (int end = int(m_text.indexOf('\n')); end >= 0; end = int(m_text.indexOf('\n', start))) {
        setParagraph(pango, start, end, setting);
        start = end + 1;
    }
    setParagraph(pango, start, int(m_text.size()), setting);
}

void SetText::setParagraph(const PangoText &pango, int start, int end, const TextSetting &setting)
{
    const PangoDirection direction = directionOf(m_text.constData() + start, end - start);
    int from = start;
    int piece = kPieceBytes;
    for (;;) {
        int to = std::min(end, from + piece);
        while (to < end && (m_text.at(to) & 0xC0) == 0x80)
            ++to;
        AttrListPtr attributes(pango_attr_list_new());
        if (setting.letterSpacing > 0) {
            pango_attr_list_insert(attributes.get(),
                                   pango_attr_letter_spacing_new(int(setting.letterSpacing * PANGO_SCALE)));
        }
        if (from < setting.labelBytes) {
            const guint label = guint(setting.labelBytes - from);
            for (PangoAttribute *a : {pango_attr_weight_new(PANGO_WEIGHT_BOLD), pango_attr_style_new(PANGO_STYLE_NORMAL)}) {
                a->end_index = label;
                pango_attr_list_insert(attributes.get(), a);
            }
        }
        const LayoutPtr layout =
            pango.layout(m_text.mid(from, to - from), setting.face, setting.width, attributes.get(), direction);
        GSList *lines = pango_layout_get_lines_readonly(layout.get());
        // Each line but the last of a piece cut short is as the whole
        // paragraph would break it; the next piece starts at that last line.
        int keep = int(g_slist_length(lines)) - (to < end ? 1 : 0);
        if (keep <= 0 && to < end) {
            piece *= 2;   // one line longer than a piece
            continue;
        }
        double top = m_lines.isEmpty() ? 0 : m_lines.last().top + m_lines.last().height;
        for (GSList *l = lines; l && keep > 0; l = l->next, --keep) {
            top += addLine(static_cast<PangoLayoutLine *>(l->data), from, top, setting.width, setting);
            if (keep == 1 && to < end)
                from += static_cast<PangoLayoutLine *>(l->next->data)->start_index;
        }
        if (to >= end)
            return;
    }
}

double SetText::addLine(PangoLayoutLine *line, int offset, double top, double width, const TextSetting &setting)
{
    PangoRectangle logical;
    pango_layout_line_get_extents(line, nullptr, &logical);
    const bool rtl = line->resolved_dir == PANGO_DIRECTION_RTL;
    m_lines << Line{float(top), float(points(logical.height)), float(-points(logical.y)),
                    float(rtl && width > 0 ? width - points(logical.width) : points(logical.x)), int(m_runs.size()), 0};
    int x = 0;
    for (GSList *r = line->runs; r; r = r->next) {
        const auto *run = static_cast<const PangoGlyphItem *>(r->data);
        const PangoItem *item = run->item;
        const PangoGlyphString *glyphs = run->glyphs;
        cairo_scaled_font_t *font = item->analysis.font
            ? pango_cairo_font_get_scaled_font(reinterpret_cast<PangoCairoFont *>(item->analysis.font))
            : nullptr;
        if (!font) {
            x += pango_glyph_string_get_width(run->glyphs);
            continue;
        }
        if (std::none_of(m_fonts.begin(), m_fonts.end(), [&](const auto &f) { return f.get() == font; }))
            m_fonts.emplace_back(cairo_scaled_font_reference(font), cairo_scaled_font_destroy);
        const int textStart = offset + item->offset;
        const bool label = textStart < setting.labelBytes;
        m_runs << Run{font, label ? setting.labelColor : setting.color, item->analysis.level % 2 == 1,
                      int(m_glyphs.size()), glyphs->num_glyphs, textStart, item->length};
        for (int i = 0; i < glyphs->num_glyphs; ++i) {
            const PangoGlyphInfo &g = glyphs->glyphs[i];
            const int cluster = textStart + glyphs->log_clusters[i];
            const bool drawn = g.glyph != PANGO_GLYPH_EMPTY && !(g.glyph & PANGO_GLYPH_UNKNOWN_FLAG);
            const PangoGlyph shown = drawn
                ? g.glyph
                : shownGlyph(g.glyph, item->analysis.font, g_utf8_get_char(m_text.constData() + cluster));
            const quint32 index = shown == PANGO_GLYPH_EMPTY ? kNoGlyph : shown;
            m_glyphs.push_back(Glyph{index, float(points(x + g.geometry.x_offset)), float(points(g.geometry.y_offset)),
                                     cluster});
            x += g.geometry.width;
        }
        ++m_lines.last().runCount;
    }
    return points(logical.height);
}

void SetText::appendRun(const Run &run, double left, double baseline, std::vector<cairo_glyph_t> &glyphs,
                        std::vector<cairo_text_cluster_t> &clusters) const
{
    // The glyphs in the order drawn, each cluster the bytes from its start
    // to that of the next in the text's order.
    const int textEnd = run.textStart + run.textLength;
    const int last = run.firstGlyph + run.glyphCount;
    for (int i = run.firstGlyph; i < last; ++i) {
        const Glyph &g = m_glyphs[std::size_t(i)];
        if (i == run.firstGlyph || g.cluster != m_glyphs[std::size_t(i - 1)].cluster) {
            int next = textEnd;
            if (run.backward && i > run.firstGlyph) {
                next = m_glyphs[std::size_t(i - 1)].cluster;
            } else if (!run.backward) {
                for (int j = i + 1; j < last; ++j) {
                    if (m_glyphs[std::size_t(j)].cluster != g.cluster) {
                        next = m_glyphs[std::size_t(j)].cluster;
                        break;
                    }
                }
            }
            clusters.push_back({next - g.cluster, 0});
        }
        if (g.index == kNoGlyph)
            continue;
        glyphs.push_back({g.index, left + g.x, baseline + g.y});
        ++clusters.back().num_glyphs;
    }
}

void SetText::drawLines(cairo_t *cr, int first, int count, double x, double top) const
{
    // Runs in one face and colour that follow each other in the text, from
    // line to line of a paragraph, are drawn at once.
    std::vector<cairo_glyph_t> glyphs;
    std::vector<cairo_text_cluster_t> clusters;
    const Run *batch = nullptr;
    int textStart = 0;
    int textEnd = 0;
    const auto draw = [&] {
        if (!batch)
            return;
        cairo_set_scaled_font(cr, batch->font);
        setColor(cr, batch->color);
        cairo_show_text_glyphs(cr, m_text.constData() + textStart, textEnd - textStart, glyphs.data(),
                               int(glyphs.size()), clusters.data(), int(clusters.size()),
                               batch->backward ? CAIRO_TEXT_CLUSTER_FLAG_BACKWARD : cairo_text_cluster_flags_t(0));
        glyphs.clear();
        clusters.clear();
        batch = nullptr;
    };
    const double firstTop = m_lines.at(first).top;
    for (int l = first; l < first + count; ++l) {
        const Line &line = m_lines.at(l);
        const double baseline = top + line.top - firstTop + line.baseline;
        for (int r = line.firstRun; r < line.firstRun + line.runCount; ++r) {
            const Run &run = m_runs.at(r);
            const bool joins = batch && !batch->backward && !run.backward && run.font == batch->font
                && run.color == batch->color && run.textStart == textEnd;
            if (!joins) {
                draw();
                batch = &run;
                textStart = run.textStart;
            }
            textEnd = run.textStart + run.textLength;
            appendRun(run, x + line.x, baseline, glyphs, clusters);
        }
    }
    draw();
}

} // namespace brevant
