#include "engine/pangotext.h"

#include <QStringList>

namespace brevant {

PangoText::PangoText(const QString &language)
{
    // The thread's font map; a context of our own, so that nothing a
    // drawing surface asks for (hinting, its resolution) changes a measure.
    m_context = pango_font_map_create_context(pango_cairo_font_map_get_default());
    pango_cairo_context_set_resolution(m_context, 72);
    cairo_font_options_t *options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    pango_cairo_context_set_font_options(m_context, options);
    cairo_font_options_destroy(options);
    pango_context_set_round_glyph_positions(m_context, FALSE);
    if (!language.isEmpty())
        pango_context_set_language(m_context, pango_language_from_string(language.toUtf8().constData()));
}

PangoText::~PangoText()
{
    g_object_unref(m_context);
}

LayoutPtr PangoText::layout(const QByteArray &text, const TextFace &face, double width, PangoAttrList *extra,
                            PangoDirection direction) const
{
    const bool strong = direction == PANGO_DIRECTION_LTR || direction == PANGO_DIRECTION_RTL;
    if (strong)
        pango_context_set_base_dir(m_context, direction);
    LayoutPtr layout(pango_layout_new(m_context));
    pango_layout_set_auto_dir(layout.get(), !strong);
    const FontPtr font = fontFor(face);
    pango_layout_set_font_description(layout.get(), font.get());
    if (width > 0) {
        pango_layout_set_width(layout.get(), int(width * PANGO_SCALE));
        pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
    }
    // Ligatures drawn as one glyph would read back as one character
    // ("\uFB01rst") or not at all: each letter is a glyph of its own.
    AttrListPtr attributes(extra ? pango_attr_list_copy(extra) : pango_attr_list_new());
    pango_attr_list_insert_before(attributes.get(), pango_attr_font_features_new("liga 0, clig 0, dlig 0, hlig 0"));
    pango_layout_set_attributes(layout.get(), attributes.get());
    pango_layout_set_text(layout.get(), text.constData(), int(text.size()));
    return layout;
}

FontPtr fontFor(const TextFace &face)
{
    QStringList families;
    for (QString family : face.families.split(u',')) {
        family = family.trimmed();
        if (family.size() >= 2 && (family.front() == u'"' || family.front() == u'\'') && family.back() == family.front())
            family = family.mid(1, family.size() - 2);
        if (!family.isEmpty())
            families << family;
    }
    if (families.isEmpty())
        families << QStringLiteral("sans-serif");
    FontPtr font(pango_font_description_new());
    pango_font_description_set_family(font.get(), families.join(u',').toUtf8().constData());
    pango_font_description_set_size(font.get(), int(face.points * PANGO_SCALE));
    pango_font_description_set_weight(font.get(), face.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(font.get(), face.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    return font;
}

QByteArray layoutText(QStringView text)
{
    QString clean;
    clean.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\r') {
            if (i + 1 < n && text[i + 1] == u'\n')
                ++i;
            clean += u'\n';
        } else if (c == 0x2028 || c == 0x2029) {
            clean += u'\n';
        } else if ((c < 0x20 && c != u'\n' && c != u'\t') || (c >= 0x7F && c <= 0x9F)) {
            continue;   // a control character, which shows nothing
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(text[i + 1].unicode())) {
            const char32_t code = QChar::surrogateToUcs4(c, text[i + 1].unicode());
            if (QChar::isNonCharacter(code)) {
                clean += QChar(0xFFFD);
            } else {
                clean += text[i];
                clean += text[i + 1];
            }
            ++i;
        } else if (QChar::isSurrogate(c) || QChar::isNonCharacter(c)) {
            clean += QChar(0xFFFD);
        } else {
            clean += text[i];
        }
    }
    return clean.toUtf8();
}

PangoGlyph shownGlyph(PangoGlyph glyph, PangoFont *font, gunichar character)
{
    const bool unknown = glyph & PANGO_GLYPH_UNKNOWN_FLAG;
    if ((glyph != PANGO_GLYPH_EMPTY && !unknown) || !font)
        return glyph;
    if (!unknown && !g_unichar_isspace(character))
        return PANGO_GLYPH_EMPTY;
    hb_font_t *hb = pango_font_get_hb_font(font);
    hb_codepoint_t shown = 0;
    if (!unknown)
        return hb_font_get_nominal_glyph(hb, 0x20, &shown) ? shown : PANGO_GLYPH_EMPTY;
    return hb_font_get_nominal_glyph(hb, 0xFFFD, &shown) || hb_font_get_nominal_glyph(hb, u'?', &shown)
        ? shown
        : PANGO_GLYPH_EMPTY;
}

void keepCharacters(PangoLayoutLine *line)
{
    const char *text = pango_layout_get_text(line->layout);
    for (GSList *r = line->runs; r; r = r->next) {
        auto *run = static_cast<PangoGlyphItem *>(r->data);
        PangoGlyphString *glyphs = run->glyphs;
        for (int i = 0; i < glyphs->num_glyphs; ++i) {
            PangoGlyphInfo &glyph = glyphs->glyphs[i];
            if (glyph.glyph != PANGO_GLYPH_EMPTY && !(glyph.glyph & PANGO_GLYPH_UNKNOWN_FLAG))
                continue;
            const char *at = text + run->item->offset + glyphs->log_clusters[i];
            glyph.glyph = shownGlyph(glyph.glyph, run->item->analysis.font, g_utf8_get_char(at));
        }
    }
}

void setColor(cairo_t *cr, quint32 rgb)
{
    cairo_set_source_rgb(cr, ((rgb >> 16) & 0xff) / 255.0, ((rgb >> 8) & 0xff) / 255.0, (rgb & 0xff) / 255.0);
}

} // namespace brevant
