#include "gui/glyphs.h"

#include <QImage>
#include <QPainter>

namespace {

// The 16-colour palette the glyphs keep to.
const QColor BLACK(0, 0, 0), MAROON(128, 0, 0), NAVY(0, 0, 128), OLIVE(128, 128, 0),
    GRAY(128, 128, 128), SILVER(192, 192, 192), RED(255, 0, 0), YELLOW(255, 255, 0),
    BLUE(0, 0, 255), WHITE(255, 255, 255), TEAL(0, 128, 128);

// 3x5 digits for the subscripts, one row a string.
const char* const DIGIT_1[5] = {".#.", "##.", ".#.", ".#.", "###"};
const char* const DIGIT_2[5] = {"##.", "..#", ".#.", "#..", "###"};

class Pixels {
public:
    Pixels() : image_(16, 16, QImage::Format_ARGB32) { image_.fill(Qt::transparent); }
    void dot(int x, int y, const QColor& c) {
        if (x >= 0 && x < 16 && y >= 0 && y < 16) image_.setPixelColor(x, y, c);
    }
    void fill(int x0, int y0, int x1, int y1, const QColor& c) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) dot(x, y, c);
    }
    void frame(int x0, int y0, int x1, int y1, const QColor& c) {
        for (int x = x0; x <= x1; ++x) dot(x, y0, c), dot(x, y1, c);
        for (int y = y0; y <= y1; ++y) dot(x0, y, c), dot(x1, y, c);
    }
    void line(int x0, int y0, int x1, int y1, const QColor& c) {
        const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
        for (int i = 0; i <= steps; ++i) {
            const int x = steps ? x0 + (x1 - x0) * i / steps : x0;
            const int y = steps ? y0 + (y1 - y0) * i / steps : y0;
            dot(x, y, c);
        }
    }
    void pattern(int x0, int y0, const char* const rows[], int n, const QColor& c) {
        for (int r = 0; r < n; ++r)
            for (int k = 0; rows[r][k]; ++k)
                if (rows[r][k] == '#') dot(x0 + k, y0 + r, c);
    }
    QPixmap pixmap() const { return QPixmap::fromImage(image_); }

private:
    QImage image_;
};

void info(Pixels& p, const char* const digit[5]) {
    p.fill(1, 1, 14, 14, BLUE);
    p.frame(1, 1, 14, 14, NAVY);
    p.fill(5, 3, 6, 4, WHITE);   // the dot of the "i"
    p.fill(5, 6, 6, 12, WHITE);  // its stem
    p.fill(4, 6, 4, 6, WHITE);
    p.fill(4, 12, 7, 12, WHITE);
    p.pattern(10, 8, digit, 5, WHITE);
}

void floppy(Pixels& p, const QColor& body) {
    p.fill(1, 2, 13, 14, body);
    p.frame(1, 2, 13, 14, BLACK);
    p.fill(4, 2, 10, 6, SILVER);  // shutter
    p.fill(8, 3, 9, 5, body);
    p.fill(3, 9, 11, 14, WHITE);  // label
    p.line(4, 11, 10, 11, GRAY);
    p.line(4, 13, 10, 13, GRAY);
}

// A red arrow in the top-right corner, pointing up (out) or down (in).
void arrow(Pixels& p, bool up) {
    const int tip = up ? 0 : 7;
    const int dir = up ? 1 : -1;
    p.fill(12, up ? 2 : 0, 13, up ? 7 : 5, RED);
    for (int i = 0; i < 3; ++i) p.fill(12 - i, tip + dir * i, 13 + i, tip + dir * i, RED);
}

void page(Pixels& p, const QColor& paper, const QColor& ink) {
    p.fill(3, 1, 12, 14, paper);
    p.frame(3, 1, 12, 14, BLACK);
    p.fill(10, 1, 12, 3, Qt::transparent);  // folded corner
    p.line(10, 1, 10, 3, BLACK);
    p.line(10, 3, 12, 3, BLACK);
    p.line(11, 2, 12, 3, BLACK);
    p.dot(12, 1, Qt::transparent);
    for (int y = 5; y <= 12; y += 2) p.line(5, y, y == 5 ? 8 : 10, y, ink);
}

void notepad(Pixels& p) {
    p.fill(2, 3, 13, 15, YELLOW);
    p.frame(2, 3, 13, 15, OLIVE);
    for (int x = 3; x <= 12; x += 3) {  // the spiral rings
        p.fill(x, 1, x, 4, BLACK);
        p.dot(x + 1, 1, BLACK);
    }
    for (int y = 7; y <= 13; y += 2) p.line(4, y, 11, y, NAVY);
}

void printer(Pixels& p) {
    p.fill(4, 1, 11, 6, WHITE);  // paper in
    p.frame(4, 1, 11, 6, BLACK);
    p.fill(1, 6, 14, 12, SILVER);
    p.frame(1, 6, 14, 12, BLACK);
    p.line(2, 7, 13, 7, WHITE);
    p.dot(12, 9, RED);
    p.fill(4, 12, 11, 14, WHITE);  // paper out
    p.frame(4, 12, 11, 14, BLACK);
    p.line(3, 10, 10, 10, GRAY);
}

void flag_uk(Pixels& p) {
    p.fill(0, 2, 15, 13, NAVY);
    for (int i = -1; i <= 1; ++i) {
        p.line(0, 2 + i, 15, 13 + i, WHITE);
        p.line(0, 13 + i, 15, 2 + i, WHITE);
    }
    p.line(0, 2, 15, 13, RED);
    p.line(0, 13, 15, 2, RED);
    p.fill(6, 2, 9, 13, WHITE);
    p.fill(0, 6, 15, 9, WHITE);
    p.fill(7, 2, 8, 13, RED);
    p.fill(0, 7, 15, 8, RED);
    p.frame(0, 2, 15, 13, BLACK);
}

void flag_pl(Pixels& p) {
    p.fill(0, 2, 15, 7, WHITE);
    p.fill(0, 8, 15, 13, RED);
    p.frame(0, 2, 15, 13, GRAY);
}

void exit_door(Pixels& p) {
    p.frame(1, 1, 9, 14, OLIVE);
    p.frame(2, 2, 8, 13, YELLOW);
    p.frame(3, 3, 7, 12, YELLOW);
    p.fill(4, 7, 13, 8, TEAL);  // the arrow out of the frame
    for (int i = 0; i < 4; ++i) p.line(14 - i, 7 - i, 14 - i, 8 + i, TEAL);
}

// A hooked arrow: the head on the left pointing back, the shaft bending
// down and round to the bottom; mirrored, it points forward.
void hook_arrow(Pixels& p, bool forward) {
    auto dot = [&](int x, int y) { p.dot(forward ? 15 - x : x, y, NAVY); };
    for (int x = 1; x <= 4; ++x)
        for (int y = 5 - x; y <= 4 + x; ++y) dot(x, y);
    for (int x = 5; x <= 11; ++x) dot(x, 4), dot(x, 5);
    const int bend[][2] = {{12, 4}, {12, 5}, {13, 5}, {13, 6}, {14, 6}, {13, 7}, {14, 7},
                           {13, 8}, {14, 8}, {14, 9}, {13, 9}, {13, 10}, {12, 10}, {12, 11},
                           {11, 11}, {11, 12}};
    for (const auto& b : bend) dot(b[0], b[1]);
    for (int x = 6; x <= 10; ++x) dot(x, 11), dot(x, 12);
}

}  // namespace

QPixmap glyph_pixmap(Glyph g) {
    Pixels p;
    switch (g) {
        case Glyph::info1:
            info(p, DIGIT_1);
            break;
        case Glyph::info2:
            info(p, DIGIT_2);
            break;
        case Glyph::open:
            floppy(p, GRAY), arrow(p, true);
            break;
        case Glyph::save:
            floppy(p, GRAY), arrow(p, false);
            break;
        case Glyph::export_text:
            page(p, WHITE, BLACK);
            break;
        case Glyph::save_as:
            floppy(p, BLUE), arrow(p, false);
            break;
        case Glyph::export_as:
            page(p, BLUE, WHITE);
            break;
        case Glyph::materials:
            notepad(p);
            break;
        case Glyph::print:
            printer(p);
            break;
        case Glyph::lang_english:
            flag_uk(p);
            break;
        case Glyph::lang_polish:
            flag_pl(p);
            break;
        case Glyph::exit:
            exit_door(p);
            break;
        case Glyph::undo:
            hook_arrow(p, false);
            break;
        case Glyph::redo:
            hook_arrow(p, true);
            break;
    }
    return p.pixmap();
}

QPixmap disabled_pixmap(const QPixmap& glyph) {
    const QImage src = glyph.toImage().convertToFormat(QImage::Format_ARGB32);
    QImage out(src.size(), QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    // Light pixels vanish into the button; the rest become a grey shape
    // with a white shadow one pixel down and right.
    auto marked = [&src](int x, int y) {
        const QColor c = src.pixelColor(x, y);
        return c.alpha() > 0 && qGray(c.rgb()) < 224;
    };
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x)
            if (marked(x, y) && x + 1 < out.width() && y + 1 < out.height())
                out.setPixelColor(x + 1, y + 1, WHITE);
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x)
            if (marked(x, y)) out.setPixelColor(x, y, GRAY);
    return QPixmap::fromImage(out);
}

QIcon glyph_icon(Glyph g, bool two_images) {
    const QPixmap normal = glyph_pixmap(g);
    QIcon icon;
    icon.addPixmap(normal, QIcon::Normal);
    if (two_images) icon.addPixmap(disabled_pixmap(normal), QIcon::Disabled);
    return icon;
}
