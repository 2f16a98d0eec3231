#pragma once

#include <QByteArray>
#include <QString>

#include <pango/pangocairo.h>

#include <memory>

namespace brevant {

// Owners of the Pango and Cairo objects the documents are made with.
struct GObjectRelease {
    void operator()(void *object) const { g_object_unref(object); }
};
struct FontDescriptionRelease {
    void operator()(PangoFontDescription *font) const { pango_font_description_free(font); }
};
struct AttrListRelease {
    void operator()(PangoAttrList *list) const { pango_attr_list_unref(list); }
};
struct CairoRelease {
    void operator()(cairo_t *cr) const { cairo_destroy(cr); }
};
struct SurfaceRelease {
    void operator()(cairo_surface_t *surface) const { cairo_surface_destroy(surface); }
};
using LayoutPtr = std::unique_ptr<PangoLayout, GObjectRelease>;
using FontPtr = std::unique_ptr<PangoFontDescription, FontDescriptionRelease>;
using AttrListPtr = std::unique_ptr<PangoAttrList, AttrListRelease>;
using CairoPtr = std::unique_ptr<cairo_t, CairoRelease>;
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceRelease>;

// How a text is set.
struct TextFace {
    QString families;        // a CSS font-family list, first choice first
    double points = 10;
    bool bold = false;
    bool italic = false;
};

// Text set with Pango for the documents Cairo draws: sizes in points (one
// unit of the page is a point), glyph metrics without hinting, so that a
// page measures the same in a PDF and on a picture of it, and no
// ligatures, so that the text of a PDF reads back as it was typed. The
// faces come from fontconfig, which falls back to another installed face,
// character by character, where the chosen one lacks a character.
class PangoText {
public:
    // language: a BCP 47 tag ("de-DE"), for line breaking and the choice
    // of faces.
    explicit PangoText(const QString &language);
    ~PangoText();
    PangoText(const PangoText &) = delete;
    PangoText &operator=(const PangoText &) = delete;

    // A layout of text (UTF-8, as it is drawn) in the face, width points
    // wide (no wrapping when width <= 0), wrapped at word boundaries and
    // inside a word wider than the line. extra adds attributes over it
    // (may be null; not taken over). direction, when not neutral, is that
    // of the text's paragraph, whatever the text starts with.
    LayoutPtr layout(const QByteArray &text, const TextFace &face, double width, PangoAttrList *extra = nullptr,
                     PangoDirection direction = PANGO_DIRECTION_NEUTRAL) const;

private:
    PangoContext *m_context = nullptr;
};

// A font description for a face: the CSS family list as Pango's list, its
// quotes dropped.
FontPtr fontFor(const TextFace &face);

// Text as Pango and Cairo take it: UTF-8 with every line break ("\r\n",
// '\r', U+2028, U+2029) as '\n', the other control characters (C0 but
// tab, DEL and C1) left out, and a lone surrogate or a noncharacter (U+FFFF and the like,
// which Cairo refuses) as U+FFFD.
QByteArray layoutText(QStringView text);

// The glyph that shows a character Pango gave no glyph of the font
// (glyph): for the blank a line was wrapped at, that of a blank (it keeps
// no width, so nothing moves); for a character no installed face has, a
// stand-in, the font's U+FFFD or '?'. Without a glyph, the PDF's text
// would lose the character (Cairo keeps it in an empty /ActualText span,
// which readers skip, and readers of the structure, poppler's, stop at).
// Returns glyph itself for any other glyph, and PANGO_GLYPH_EMPTY for an
// invisible character such as U+00AD.
PangoGlyph shownGlyph(PangoGlyph glyph, PangoFont *font, gunichar character);

// The same for every glyph of a line of a layout.
void keepCharacters(PangoLayoutLine *line);

// Sets the source colour of cr to 0xRRGGBB.
void setColor(cairo_t *cr, quint32 rgb);

} // namespace brevant
