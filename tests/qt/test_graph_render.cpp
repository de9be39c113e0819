// The graph through the QPainter canvas: a few pixels at computed points,
// and PNG files of every kind of picture for looking at.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <numbers>
#include <string>

#include "core/Quil_c.h"
#include "lang/catalogue.h"
#include "output/graph.h"
#include "qt/fonts.h"
#include "qt/painter_canvas.h"
#include "tests/support/language.h"

namespace {

const QColor WINDOW(0xef, 0xef, 0xef);

bool dark(QRgb c) { return qGray(c) < 128; }

bool dark_near(const QImage& img, int x, int y, int r = 1) {
    for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx)
            if (img.valid(x + dx, y + dy) && dark(img.pixel(x + dx, y + dy))) return true;
    return false;
}

int count_color(const QImage& img, QColor c, QRect area = {}) {
    if (area.isNull()) area = img.rect();
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (img.pixelColor(x, y) == c) ++n;
    return n;
}

QImage blank(int w, int h, QColor fill = Qt::white) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(fill);
    return img;
}

// Condenses: the vapour barrier sits on the cold side of a humid room.
Partition condensing(int wall_type) {
    Partition p;
    p.wall_type = std::int16_t(wall_type);
    p.hum_int = 80;
    p.layers[0].delta = 0.0001;
    EXPECT_TRUE(calculate_partition(p));
    return p;
}

Partition calculated(int wall_type, int calc_mode) {
    Partition p;
    p.wall_type = std::int16_t(wall_type);
    p.calc_mode = std::int16_t(calc_mode);
    EXPECT_TRUE(calculate_partition(p));
    return p;
}

GraphTarget screen_target(int w, int h) {
    GraphTarget t;
    t.box_width = w;
    t.box_height = h;
    return t;
}

QString png_dir() {
    const QString dir = QString(PARIETA_BUILD_DIR) + "/graph-png";
    QDir().mkpath(dir);
    return dir;
}

// The graph box of a 1024x768 screen is about 880 x 300.
QImage render_screen(const Partition& p, int w = 880, int h = 300) {
    QImage img = blank(w, h, WINDOW);
    QPainter painter(&img);
    paint_graph(painter, p, screen_target(w, h));
    return img;
}

// An A4 page at 150 dpi; only the lower part carries the graph.
QImage render_paper(const Partition& p) {
    QImage img = blank(1240, 1754);
    img.setDotsPerMeterX(5906);
    img.setDotsPerMeterY(5906);
    QPainter painter(&img);
    GraphTarget t;
    t.graph_on_screen = false;
    t.page_width = img.width();
    t.page_height = img.height();
    paint_graph(painter, p, t);
    return img;
}

class GraphRender : public ::testing::Test {
protected:
    const LanguageScope language_{LANG_ENGLISH};
};

TEST_F(GraphRender, ArcRunsCounterClockwiseFromApexToBase) {
    // The external face's arc of a 600 x 200 area: centre (180, 99),
    // semi-axes 40 and 80, from the apex (180, 19) left and down to (156, 35).
    QImage img = blank(260, 200);
    {
        QPainter painter(&img);
        QPainterCanvas canvas(painter);
        canvas.arc(140, 19, 220, 179, 180, 19, 156, 35);
    }
    EXPECT_TRUE(dark_near(img, 180, 19));
    EXPECT_TRUE(dark_near(img, 156, 35));
    const double a = 108.4 * std::numbers::pi / 180;  // between the two ends
    EXPECT_TRUE(dark_near(img, int(std::lround(180 + 40 * std::cos(a))),
                          int(std::lround(99 - 80 * std::sin(a)))));
    // Nothing of the rest of the ellipse: its right side, its bottom, its left flank.
    EXPECT_FALSE(dark_near(img, 193, 23, 2));
    EXPECT_FALSE(dark_near(img, 180, 179, 2));
    EXPECT_FALSE(dark_near(img, 140, 99, 2));
}

TEST_F(GraphRender, TextStandsBelowItsTopLeftCorner) {
    QImage img = blank(100, 60);
    {
        QPainter painter(&img);
        register_font_substitutes();
        painter.setFont(QFont("MS Sans Serif", 12));
        QPainterCanvas canvas(painter);
        canvas.text(20, 20, "W");
    }
    int top = -1;
    for (int y = 0; y < img.height() && top < 0; ++y)
        for (int x = 0; x < img.width(); ++x)
            if (dark(img.pixel(x, y))) {
                top = y;
                break;
            }
    ASSERT_GE(top, 20);
    EXPECT_LE(top, 24);
}

TEST_F(GraphRender, TextsAreWindows1250) {
    // 0xB3 is "ł" in Windows-1250 (and "³" in Latin-1).
    QImage via_canvas = blank(60, 40), direct = blank(60, 40);
    {
        QPainter painter(&via_canvas);
        QPainterCanvas canvas(painter);
        canvas.text(10, 10, "\xb3\xea");
    }
    {
        QPainter painter(&direct);
        painter.drawText(10, 10 + painter.fontMetrics().ascent(), QString::fromUtf8("łę"));
    }
    EXPECT_EQ(via_canvas, direct);
}

TEST_F(GraphRender, PenStylesAndTextColour) {
    QImage img = blank(220, 40);
    {
        QPainter painter(&img);
        QPainterCanvas canvas(painter);
        canvas.set_pen_color({255, 0, 0});
        canvas.set_pen_style(PenStyle::dotted);
        canvas.line(10, 10, 210, 10);
        canvas.set_pen_style(PenStyle::dash_dot);
        canvas.line(10, 20, 210, 20);
        canvas.text(10, 25, "W");  // still in the text colour
    }
    const int dotted = count_color(img, Qt::red, QRect(10, 10, 200, 1));
    const int dash_dot = count_color(img, Qt::red, QRect(10, 20, 200, 1));
    EXPECT_GT(dotted, 40);
    EXPECT_LT(dotted, 150);
    EXPECT_GT(dash_dot, dotted);
    EXPECT_LT(dash_dot, 190);
    EXPECT_EQ(count_color(img, Qt::red, QRect(0, 24, 220, 16)), 0);
}

TEST_F(GraphRender, ScreenPicturesAtComputedPoints) {
    // A 880 x 300 box: W 879, H 299. Face at round(0.26 W) = 229, front face
    // from trunc(0.18 H) = 53 to trunc(0.93 H) = 278; colder air on 0.91 H = 272.
    struct Case {
        const char* file;
        Partition p;
    } cases[] = {
        {"screen-straight-thermal.png", calculated(0, 0)},
        {"screen-straight-dampness.png", calculated(0, 1)},
        {"screen-curved-thermal.png", calculated(1, 0)},
        {"screen-curved-dampness.png", calculated(1, 1)},
        {"screen-straight-condensation.png", condensing(0)},
        {"screen-curved-condensation.png", condensing(1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const QImage img = render_screen(c.p);
        ASSERT_TRUE(img.save(png_dir() + "/" + c.file));
        EXPECT_TRUE(dark(img.pixel(229, 160)));                 // external face
        EXPECT_TRUE(dark(img.pixel(879 - 229, 160)));           // internal face
        EXPECT_EQ(img.pixelColor(40, 272), QColor(128, 0, 0));  // external air line
        const int blue = count_color(img, QColor(0, 0, 255));
        const int red = count_color(img, QColor(255, 0, 0));
        if (c.p.calc_mode == 1) {
            EXPECT_GT(blue, 100);
        } else {
            EXPECT_EQ(blue, 0);
        }
        const bool condenses = std::string(c.file).find("condensation") != std::string::npos;
        EXPECT_EQ(red > 0, condenses) << red;
        // Nothing strays outside the area W x H.
        EXPECT_EQ(count_color(img, WINDOW, QRect(879, 0, 1, 300)), 300);
    }
}

TEST_F(GraphRender, SummerAndElevenLayerPictures) {
    Partition summer;
    summer.temp_ext = 30;
    summer.temp_int = 20;
    ASSERT_TRUE(calculate_partition(summer));
    const QImage hot = render_screen(summer);
    ASSERT_TRUE(hot.save(png_dir() + "/screen-summer-dampness.png"));
    // The warmer outside air now runs along 0.20 H, at y 60.
    EXPECT_EQ(hot.pixelColor(40, 60), QColor(128, 0, 0));

    Partition many;
    many.wall_type = 1;
    many.layer_count = 11;
    for (int i = 0; i < 11; ++i) many.layers[i].thickness = i < 8 ? 0.05 : 0.002;
    ASSERT_TRUE(calculate_partition(many));
    ASSERT_TRUE(render_screen(many).save(png_dir() + "/screen-curved-eleven-layers.png"));
}

TEST_F(GraphRender, PolishPicture) {
    set_language(LANG_POLISH);
    const QImage img = render_screen(condensing(0));
    ASSERT_TRUE(img.save(png_dir() + "/screen-straight-condensation-pl.png"));
    EXPECT_GT(count_color(img, QColor(255, 0, 0)), 0);
}

TEST_F(GraphRender, PaperPictureFillsTheLowerPage) {
    struct Case {
        const char* file;
        Partition p;
    } cases[] = {
        {"paper-straight-dampness.png", calculated(0, 1)},
        {"paper-curved-condensation.png", condensing(1)},
        {"paper-curved-thermal.png", calculated(1, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const QImage img = render_paper(c.p);
        ASSERT_TRUE(img.save(png_dir() + "/" + c.file));
        // Area from (99, 1227), 992 x 491: face at 99 + 258, front from 1227 + 88 to + 456.
        EXPECT_TRUE(dark(img.pixel(357, 1227 + 200)));
        EXPECT_FALSE(dark_near(img, 357 - 4, 1227 + 88 - 4));  // above and left of the face
        EXPECT_TRUE(dark(img.pixel(357, 1227 + 455)));
        EXPECT_EQ(count_color(img, Qt::white, QRect(0, 0, 1240, 1227)), 1240 * 1227);
    }
}

TEST_F(GraphRender, PaintGraphLeavesThePainterAsItWas) {
    QImage img = blank(400, 200);
    QPainter painter(&img);
    const QFont font("Courier New", 9);
    painter.setFont(font);
    painter.setPen(QPen(Qt::blue, 3));
    paint_graph(painter, calculated(1, 1), screen_target(400, 200));
    EXPECT_EQ(painter.font(), font);
    EXPECT_EQ(painter.pen(), QPen(Qt::blue, 3));
}

TEST_F(GraphRender, InvalidResultsPaintNothing) {
    GraphTarget t = screen_target(300, 200);
    t.results_valid = false;
    QImage img = blank(300, 200);
    {
        QPainter painter(&img);
        paint_graph(painter, calculated(0, 1), t);
    }
    EXPECT_EQ(count_color(img, Qt::white), 300 * 200);
}

}  // namespace
