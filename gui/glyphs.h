// The toolbar's glyphs, designed on 16x16 cells in the 16 classic colours
// and drawn in code at any size.
#pragma once

#include <QIcon>
#include <QPixmap>

enum class Glyph {
    info1,
    info2,
    open,
    save,
    export_text,
    save_as,
    export_as,
    materials,
    print,
    lang_english,
    lang_polish,
    exit,
    undo,
    redo,
    assess,
};

// `size` pixels square; at 16 each cell is one pixel.
QPixmap glyph_pixmap(Glyph g, int size = 16);
// The greyed, embossed image of a glyph for the disabled state.
QPixmap disabled_pixmap(const QPixmap& glyph);
// Drawn at the size asked for. With `two_images` the disabled image is
// `disabled_pixmap` (for a flag, the flag in light greys); otherwise Qt's
// own greying is used.
QIcon glyph_icon(Glyph g, bool two_images);
