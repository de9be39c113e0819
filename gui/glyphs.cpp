#include "gui/glyphs.h"

#include <QHash>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

// The 16-colour palette the glyphs keep to.
const QColor BLACK(0, 0, 0), MAROON(128, 0, 0), NAVY(0, 0, 128), OLIVE(128, 128, 0),
    GRAY(128, 128, 128), SILVER(192, 192, 192), RED(255, 0, 0), YELLOW(255, 255, 0),
    BLUE(0, 0, 255), WHITE(255, 255, 255), TEAL(0, 128, 128);

// 3x5 digits for the subscripts, one row a string.
const char* const DIGIT_1[5] = {".#.", "##.", ".#.", ".#.", "###"};
const char* const DIGIT_2[5] = {"##.", "..#", ".#.", "#..", "###"};

// Draws on a grid of 16x16 cells, each cell `size / 16` pixels wide: at
// 16 pixels the glyphs come out pixel for pixel as designed, larger they
// keep their shapes, with the slanted lines smoothed.
class Pixels {
public:
    // With `greyed` every colour is drawn as a light grey of its brightness.
    explicit Pixels(int size, bool greyed = false)
        : image_(size, size, QImage::Format_ARGB32), unit_(size / 16.0), greyed_(greyed) {
        image_.fill(Qt::transparent);
        painter_.begin(&image_);
    }
    void set_greyed(bool greyed) { greyed_ = greyed; }
    void dot(int x, int y, const QColor& c) { fill(x, y, x, y, c); }
    void fill(int x0, int y0, int x1, int y1, const QColor& c) {
        if (x1 < x0 || y1 < y0) return;
        painter_.setRenderHint(QPainter::Antialiasing, false);
        // A transparent fill cuts a hole.
        painter_.setCompositionMode(c.alpha() == 0 ? QPainter::CompositionMode_Source
                                                   : QPainter::CompositionMode_SourceOver);
        painter_.fillRect(
            QRectF(x0 * unit_, y0 * unit_, (x1 - x0 + 1) * unit_, (y1 - y0 + 1) * unit_), shade(c));
    }
    void frame(int x0, int y0, int x1, int y1, const QColor& c) {
        fill(x0, y0, x1, y0, c), fill(x0, y1, x1, y1, c);
        fill(x0, y0, x0, y1, c), fill(x1, y0, x1, y1, c);
    }
    void line(int x0, int y0, int x1, int y1, const QColor& c) {
        if (x0 == x1 || y0 == y1) {
            fill(std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1), c);
            return;
        }
        if (unit_ > 1.0) {
            painter_.setRenderHint(QPainter::Antialiasing, true);
            painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
            painter_.setPen(QPen(shade(c), unit_, Qt::SolidLine, Qt::SquareCap));
            painter_.drawLine(QPointF((x0 + 0.5) * unit_, (y0 + 0.5) * unit_),
                              QPointF((x1 + 0.5) * unit_, (y1 + 0.5) * unit_));
            return;
        }
        const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
        for (int i = 0; i <= steps; ++i)
            dot(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps, c);
    }
    void pattern(int x0, int y0, const char* const rows[], int n, const QColor& c) {
        for (int r = 0; r < n; ++r)
            for (int k = 0; rows[r][k]; ++k)
                if (rows[r][k] == '#') dot(x0 + k, y0 + r, c);
    }
    QPixmap pixmap() {
        painter_.end();
        return QPixmap::fromImage(image_);
    }

private:
    QColor shade(const QColor& c) const {
        if (!greyed_ || c.alpha() == 0) return c;
        const int grey = 255 - (255 - qGray(c.rgb())) / 2;
        return QColor(grey, grey, grey);
    }

    QImage image_;
    QPainter painter_;
    double unit_;
    bool greyed_;
};

// Twelve months of bars under a falling curve: the year-round assessment.
void year_bars(Pixels& p) {
    p.fill(1, 1, 14, 14, WHITE);
    p.frame(1, 1, 14, 14, GRAY);
    const int heights[6] = {8, 9, 7, 3, 1, 5};
    for (int k = 0; k < 6; ++k) p.fill(2 + 2 * k, 13 - heights[k], 2 + 2 * k, 13, BLUE);
    p.line(2, 4, 7, 9, RED);
    p.line(7, 9, 13, 10, RED);
}

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

void draw(Pixels& p, Glyph g) {
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
        case Glyph::assess:
            year_bars(p);
            break;
    }
}

bool is_flag(Glyph g) { return g == Glyph::lang_english || g == Glyph::lang_polish; }

// A flag's greyed image: embossing would turn it into a grey bar, so it is
// drawn again in light greys of its own colours, inside a grey outline.
QPixmap greyed_flag(Glyph g, int size) {
    Pixels p(size, true);
    draw(p, g);
    p.set_greyed(false);
    p.frame(0, 2, 15, 13, GRAY);
    return p.pixmap();
}

// Draws the glyph for whatever size the button asks, each size once.
class GlyphEngine : public QIconEngine {
public:
    GlyphEngine(Glyph g, bool two_images) : glyph_(g), two_images_(two_images) {}

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
        const int side = std::max(1, std::min(size.width(), size.height()));
        const bool disabled = mode == QIcon::Disabled;
        const quint64 key = quint64(side) << 1 | quint64(disabled);
        if (const auto found = cache_.constFind(key); found != cache_.constEnd()) return *found;
        const QPixmap normal = glyph_pixmap(glyph_, side);
        QPixmap made = normal;
        if (disabled && !two_images_)
            made = QIcon(normal).pixmap(normal.size(), QIcon::Disabled);  // Qt's own greying
        else if (disabled)
            made = is_flag(glyph_) ? greyed_flag(glyph_, side) : disabled_pixmap(normal);
        cache_.insert(key, made);
        return made;
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::min(size.width(), size.height());
        return QSize(side, side);
    }
    QIconEngine* clone() const override { return new GlyphEngine(glyph_, two_images_); }

private:
    Glyph glyph_;
    bool two_images_;
    QHash<quint64, QPixmap> cache_;
};

}  // namespace

QPixmap glyph_pixmap(Glyph g, int size) {
    Pixels p(size);
    draw(p, g);
    return p.pixmap();
}

QPixmap disabled_pixmap(const QPixmap& glyph) {
    const QImage src = glyph.toImage().convertToFormat(QImage::Format_ARGB32);
    QImage out(src.size(), QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    // Light pixels vanish into the button; the rest become a grey shape
    // with a white shadow one cell down and right.
    const int shadow = std::max(1, int(std::lround(src.width() / 16.0)));
    auto marked = [&src](int x, int y) {
        const QColor c = src.pixelColor(x, y);
        return c.alpha() >= 128 && qGray(c.rgb()) < 224;
    };
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x)
            if (marked(x, y))
                for (int dy = 1; dy <= shadow; ++dy)
                    for (int dx = 1; dx <= shadow; ++dx)
                        if (x + dx < out.width() && y + dy < out.height())
                            out.setPixelColor(x + dx, y + dy, WHITE);
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x)
            if (marked(x, y)) out.setPixelColor(x, y, GRAY);
    return QPixmap::fromImage(out);
}

QIcon glyph_icon(Glyph g, bool two_images) { return QIcon(new GlyphEngine(g, two_images)); }
