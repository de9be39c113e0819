// The toolbar's 16x16 glyphs, drawn in code in the 16 classic colours.
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
};

QPixmap glyph_pixmap(Glyph g);
// The greyed, embossed image of a glyph for the disabled state.
QPixmap disabled_pixmap(const QPixmap& glyph);
// With `two_images` the icon carries `disabled_pixmap` for QIcon::Disabled;
// otherwise Qt's own greying is used.
QIcon glyph_icon(Glyph g, bool two_images);
