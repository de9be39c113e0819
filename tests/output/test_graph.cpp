// Geometry of the distribution graph, checked to the pixel on a recording canvas.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/Quil_c.h"
#include "lang/catalogue.h"
#include "output/graph.h"
#include "tests/support/language.h"
#include "tests/support/recording_canvas.h"

namespace {

constexpr Rgb BLACK{0, 0, 0};
constexpr Rgb MAROON{128, 0, 0};
constexpr Rgb BLUE{0, 0, 255};
constexpr Rgb GREEN{0, 128, 0};
constexpr Rgb RED{255, 0, 0};

// The default record with its worked results, so the pixels below follow
// from the published numbers alone.
Partition default_results() {
    Partition p;
    p.k = 0.8391608;
    p.temp_span = 25.0;
    p.temp_min = -5.0;
    const double t[] = {-4.1608392, -3.8461538, 6.6433566, 17.1328671, 17.4825175};
    const double ps[] = {4.3120979, 4.4284615, 9.7774825, 19.5400699, 19.9876224};
    const double pr[] = {3.4085, 3.6098085, 7.6359787, 11.6621489, 12.87};
    std::copy(std::begin(t), std::end(t), p.temp);
    std::copy(std::begin(ps), std::end(ps), p.press_sat);
    std::copy(std::begin(pr), std::end(pr), p.press_real);
    p.press_min = 3.4085;
    p.press_span = 16.5791224;
    return p;
}

GraphTarget screen(int box_w = 601, int box_h = 201) {
    GraphTarget t;
    t.box_width = box_w;
    t.box_height = box_h;
    return t;
}

GraphTarget paper(int page_w = 1240, int page_h = 1754) {
    GraphTarget t;
    t.graph_on_screen = false;
    t.page_width = page_w;
    t.page_height = page_h;
    return t;
}

RecordingCanvas draw(const Partition& p, const GraphTarget& t) {
    RecordingCanvas c;
    draw_graph(p, c, t);
    return c;
}

std::string a_text(int id) { return catalogue_a_text(std::int8_t(id)); }

class GraphTest : public ::testing::Test {
protected:
    const LanguageScope language_{LANG_ENGLISH};
};

// The x positions of the saturated course's samples, in drawing order.
std::vector<int> sample_columns(const RecordingCanvas& c) {
    std::vector<int> xs;
    for (const Op& o : c.lines(BLUE)) xs.push_back(o.v[2]);
    return xs;
}

TEST_F(GraphTest, DefaultRecordOnA600x200Area) {
    const RecordingCanvas c = draw(default_results(), screen());

    // Planes: front verticals from y_top 35 to y_bot 186, oblique tops (dx 24, dy 16).
    for (int x : {156, 169, 300, 431, 444}) {
        EXPECT_TRUE(c.has_line(x, 35, x, 186)) << x;
        EXPECT_TRUE(c.has_line(x + 24, 19, x, 35)) << x;
    }
    EXPECT_TRUE(c.has_line(468, 19, 468, 170));  // far side
    EXPECT_TRUE(c.has_line(468, 170, 444, 186));
    const auto dashed = c.lines(BLACK, PenStyle::dash_dot);
    ASSERT_EQ(dashed.size(), 3u);
    EXPECT_TRUE(c.has_line(156, 35, 444, 35));
    EXPECT_TRUE(c.has_line(156, 186, 444, 186));
    EXPECT_TRUE(c.has_line(180, 19, 468, 19));
    EXPECT_TRUE(c.arcs().empty());

    // Plane numbers centred under their lines at y 190.
    const int plane[] = {156, 169, 300, 431, 444};
    for (int j = 0; j < 5; ++j) {
        const Op* n = c.find_text(std::to_string(j + 1));
        ASSERT_NE(n, nullptr) << j;
        EXPECT_EQ(n->v[0], plane[j] - 3);
        EXPECT_EQ(n->v[1], 190);
    }

    // Temperature course: xa 12, xb 151, then mirrored to 449 and 588.
    // Scale: 0.91 H = 182 for -5 °C, 142 px over 25 K, so +20 °C at 40.
    const auto maroon = c.lines(MAROON);
    ASSERT_EQ(maroon.size(), 8u);
    EXPECT_TRUE(c.has_line(12, 182, 151, 182));
    EXPECT_TRUE(c.has_line(151, 182, 156, 177));
    EXPECT_TRUE(c.has_line(444, 54, 449, 40));
    EXPECT_TRUE(c.has_line(449, 40, 588, 40));

    // Saturation samples every 7.2 px from x 163; every boundary sampled
    // once, the sample past it taken again in the next layer.
    const std::vector<int> xs = sample_columns(c);
    ASSERT_EQ(xs.size(), 42u);
    EXPECT_EQ(xs[0], 163);
    EXPECT_EQ(xs[1], 169);
    EXPECT_EQ(xs[2], 170);
    EXPECT_EQ(xs.back(), 444);
    for (int boundary : {169, 300, 431, 444})
        EXPECT_EQ(std::count(xs.begin(), xs.end(), boundary), 1) << boundary;
    EXPECT_TRUE(std::is_sorted(xs.begin(), xs.end()));
    const auto blue = c.lines(BLUE);
    EXPECT_EQ(blue.front().v[0], 156);  // from plane 0's saturated pressure
    EXPECT_EQ(blue.front().v[1], 155);
    EXPECT_EQ(blue.back().v[3], 70);  // the highest pressure on 0.35 H

    // Real pressure: one straight segment a layer, 3.4085 hPa on 0.8 H.
    const auto green = c.lines(GREEN);
    ASSERT_EQ(green.size(), 4u);
    EXPECT_EQ(green.front().v[0], 156);
    EXPECT_EQ(green.front().v[1], 160);  // the lowest on 0.8 H
    EXPECT_EQ(green.back().v[2], 444);
    EXPECT_EQ(green.back().v[3], 109);
    EXPECT_TRUE(c.lines(RED).empty());  // the default wall does not condense

    // Leader lines end 5 px before the external face.
    const auto dotted_blue = c.lines(BLUE, PenStyle::dotted);
    const auto dotted_green = c.lines(GREEN, PenStyle::dotted);
    ASSERT_EQ(dotted_blue.size(), 1u);
    ASSERT_EQ(dotted_green.size(), 1u);
    EXPECT_EQ(dotted_blue[0].v[2], 151);
    EXPECT_EQ(dotted_blue[0].v[3], 155);
    EXPECT_EQ(dotted_green[0].v[3], 160);

    EXPECT_EQ(c.width, 1);
    EXPECT_EQ(c.size, 9);  // 768-pixel screen
    EXPECT_EQ(c.color, BLACK);
}

TEST_F(GraphTest, KLineIsCentredAtTheTop) {
    const RecordingCanvas c = draw(default_results(), screen());
    const std::string a = a_text(78), b = a_text(79);
    const Op* first = c.find_text(a);
    const Op* value = c.find_text("0.84");
    const Op* unit = c.find_text(b);
    ASSERT_TRUE(first && value && unit);
    const int total = 6 * int(a.size() + 4 + b.size());
    EXPECT_EQ(first->v[0], (600 - total) / 2);
    EXPECT_EQ(value->v[0], first->v[0] + 6 * int(a.size()));
    EXPECT_EQ(unit->v[0], value->v[0] + 24);
    for (const Op* o : {first, value, unit}) EXPECT_EQ(o->v[1], 1);
}

TEST_F(GraphTest, ScreenTablesOfPlaneValues) {
    const RecordingCanvas c = draw(default_results(), screen());
    // Temperatures under the legend (at yTi + 4 = 44), from 44 + 13/2 one row down.
    const std::string legend = a_text(80);
    const int lx = 600 - (6 * int(legend.size()) + 8);
    const Op* row1 = c.find_text(" 1  ");
    const Op* t1 = c.find_text("-4.16");
    const Op* t5 = c.find_text("+17.48");
    ASSERT_TRUE(row1 && t1 && t5);
    EXPECT_EQ(row1->v[0], lx);
    EXPECT_EQ(row1->v[1], 44 + 6 + 13);
    EXPECT_EQ(t1->v[0], lx + 24);
    EXPECT_EQ(t5->v[1], 44 + 6 + 5 * 13);

    // Pressures below the legends (at 0.03 H, 5 in extended precision):
    // row j at trunc((j + 2.5) x 13 + 5), saturated after the label, real at xl + 16 tw0.
    const Op* sat1 = c.find_text("4.31");
    const Op* real5 = c.find_text("12.87");
    ASSERT_TRUE(sat1 && real5);
    EXPECT_EQ(sat1->v[0], 3 + 24);
    EXPECT_EQ(sat1->v[1], 37);
    EXPECT_EQ(real5->v[0], 3 + 96);
    EXPECT_EQ(real5->v[1], 89);
}

TEST_F(GraphTest, ThinPartitionFilmStopsAtSixTenthsOfTheMargin) {
    Partition p = default_results();
    p.layer_count = 1;
    p.layers[0].thickness = 0.01;
    p.temp[1] = p.temp[4];
    const RecordingCanvas c = draw(p, screen());
    EXPECT_TRUE(c.has_line(12, 182, 98, 182));  // trunc(12 + 0.6 x 144)
    EXPECT_TRUE(c.has_line(444, 54, 502, 40));
    EXPECT_TRUE(c.has_line(502, 40, 588, 40));
}

struct DirCase {
    const char* name;
    double temp_ext, temp_int;
    int legend_y, ext_label_y, int_label_y, press_legend_y;
};

TEST_F(GraphTest, LabelsFollowTheDirectionOfTheHeatFlow) {
    // Gaps of 0.02 H = 4; a label above its line sits a further 13 up, and
    // 0.03 H, 0.22 H and "line - 4" land one pixel short in extended precision.
    const DirCase cases[] = {
        {"winter: inside warmer", -5, 20, 44, 186, 22, 5},
        {"summer: inside colder", 25, 10, 35, 22, 186, 43},
        {"no difference", 20, 20, 35, 186, 186, 5},
    };
    for (const DirCase& k : cases) {
        SCOPED_TRACE(k.name);
        Partition p = default_results();
        p.temp_ext = k.temp_ext;
        p.temp_int = k.temp_int;
        p.temp_span = k.temp_int - k.temp_ext;
        p.temp_min = std::min(k.temp_ext, k.temp_int);
        // Plane temperatures that keep the two air lines at 0.91 H and 0.20 H.
        for (int j = 0; j <= 4; ++j) p.temp[j] = k.temp_ext + p.temp_span * j / 4.0;
        const RecordingCanvas c = draw(p, screen());

        const Op* legend = c.find_text(a_text(80));
        ASSERT_NE(legend, nullptr);
        EXPECT_EQ(legend->v[1], k.legend_y);
        char buf[32];
        std::snprintf(buf, sizeof buf, "%+.2f", k.temp_ext);
        const Op* ext = c.find_text(buf + a_text(85));
        std::snprintf(buf, sizeof buf, "%+.2f", k.temp_int);
        const Op* in = c.find_last_text(buf + a_text(85));
        ASSERT_TRUE(ext && in);
        EXPECT_EQ(ext->v[0], 3 + 12);
        EXPECT_EQ(ext->v[1], k.ext_label_y);
        EXPECT_EQ(in->v[0], 600 - (6 * int(a_text(80).size()) + 3));
        EXPECT_EQ(in->v[1], k.int_label_y);
        const Op* sat = c.find_text(a_text(81));
        ASSERT_NE(sat, nullptr);
        EXPECT_EQ(sat->v[1], k.press_legend_y);
    }
}

TEST_F(GraphTest, EqualTemperaturesLieOnTheBottomOfTheBand) {
    Partition p = default_results();
    p.temp_ext = p.temp_int = p.temp_min = 20;
    p.temp_span = 0;
    std::fill(std::begin(p.temp), std::end(p.temp), 20.0);
    const RecordingCanvas c = draw(p, screen());
    for (const Op& o : c.lines(MAROON)) {
        EXPECT_EQ(o.v[1], 182);
        EXPECT_EQ(o.v[3], 182);
    }
}

TEST_F(GraphTest, CurvedPartitionDrawsArcs) {
    Partition p = default_results();
    p.wall_type = 1;
    const RecordingCanvas c = draw(p, screen());
    const auto arcs = c.arcs();
    ASSERT_EQ(arcs.size(), 6u);  // five planes and the bottom of the internal face
    // External face, full offsets: g 24, h 16, semi-axes 40 and 80.
    const int external[8] = {140, 19, 220, 179, 180, 19, 156, 35};
    // Internal face, a third: g 7.992, h 5.328.
    const int internal[8] = {439, 30, 466, 83, 452, 30, 444, 35};
    const int bottom[8] = {439, 181, 466, 234, 452, 181, 444, 186};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(arcs[0].v[i], external[i]) << i;
        EXPECT_EQ(arcs[4].v[i], internal[i]) << i;
        EXPECT_EQ(arcs[5].v[i], bottom[i]) << i;
    }
    // Arcs shrink toward the internal face.
    for (int j = 1; j < 5; ++j)
        EXPECT_LT(arcs[j].v[2] - arcs[j].v[0], arcs[j - 1].v[2] - arcs[j - 1].v[0]);
    // The back top edge ends at the innermost apex; the far side stands under it.
    EXPECT_TRUE(c.has_line(180, 19, 452, 30));
    EXPECT_TRUE(c.has_line(452, 30, 452, 181));
    EXPECT_FALSE(c.has_line(180, 19, 156, 35));  // no oblique tops
    EXPECT_FALSE(c.has_line(468, 19, 468, 170));
}

TEST_F(GraphTest, PlaneNumbersBesideThinLayersStandApart) {
    Partition p = default_results();
    p.layer_count = 11;
    p.calc_mode = 0;
    for (int i = 0; i < 11; ++i) p.layers[i].thickness = i < 8 ? 0.1 : 0.002;
    for (int j = 0; j <= 11; ++j) p.temp[j] = -5 + 25.0 * j / 11;
    const RecordingCanvas c = draw(p, screen());
    std::vector<const Op*> numbers;
    for (const Op& o : c.ops)
        if (o.kind == Op::text && o.v[1] == 190) numbers.push_back(&o);
    ASSERT_EQ(numbers.size(), 12u);
    std::vector<int> planes;
    for (const Op& o : c.ops)
        if (o.kind == Op::line && o.v[1] == 35 && o.v[3] == 186 && o.v[0] == o.v[2])
            planes.push_back(o.v[0]);
    ASSERT_EQ(planes.size(), 12u);
    // Wide layers keep their numbers centred, "9" among them; planes 10 to
    // 12 stand 0 or 1 px after 9, so their numbers follow it a space (6 px)
    // apart instead of starting at their lines on top of each other.
    for (int j = 0; j < 9; ++j) EXPECT_EQ(numbers[j]->v[0], planes[j] - 3) << j;
    EXPECT_EQ(planes[8], 442);
    const int after_nine[] = {442 + 3 + 6, 451 + 12 + 6, 469 + 12 + 6};
    for (int j = 9; j < 12; ++j) {
        EXPECT_EQ(numbers[j]->s, std::to_string(j + 1));
        EXPECT_EQ(numbers[j]->v[0], after_nine[j - 9]) << j;
    }
}

// Every text's rectangle on the recording canvas's fixed metrics.
struct Box {
    const Op* op;
    int left, top, right, bottom;
};

std::vector<Box> text_boxes(const RecordingCanvas& c) {
    std::vector<Box> boxes;
    for (const Op& o : c.ops)
        if (o.kind == Op::text)
            boxes.push_back({&o, o.v[0], o.v[1], o.v[0] + RecordingCanvas::CHAR_W * int(o.s.size()),
                             o.v[1] + RecordingCanvas::TEXT_H});
    return boxes;
}

bool meet(const Box& a, const Box& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Eleven layers, a foil of 1 mm here and there among 30 cm ones or a run of
// them at the internal face, calculated in both modes and both directions
// of the heat flow.
Partition thin_layers(bool run_inside, int calc_mode, double temp_ext, double temp_int) {
    Partition p;
    p.layer_count = 11;
    p.calc_mode = std::int16_t(calc_mode);
    p.temp_ext = temp_ext;
    p.temp_int = temp_int;
    for (int i = 0; i < 11; ++i) {
        p.layers[i] = p.layers[0];
        const bool thin = run_inside ? i >= 2 : (i % 3 == 1 || i == 10);
        p.layers[i].thickness = thin ? 0.001 : 0.3;
    }
    EXPECT_TRUE(calculate_partition(p));
    return p;
}

TEST_F(GraphTest, NoTextIsDrawnOverAnother) {
    struct Case {
        bool run_inside;
        int calc_mode;
        double temp_ext, temp_int;
    } records[] = {
        {false, 1, -20, 20}, {false, 0, -20, 20}, {true, 1, -20, 20},
        {true, 1, 30, 20},  // the internal air's value under the wall, beside the numbers
        {true, 0, 20, 20},
    };
    const GraphTarget targets[] = {screen(800, 600), screen(1024, 768), screen(784, 235),
                                   screen(1004, 310), paper()};
    for (const Case& r : records) {
        const Partition p = thin_layers(r.run_inside, r.calc_mode, r.temp_ext, r.temp_int);
        for (const GraphTarget& t : targets) {
            SCOPED_TRACE(testing::Message()
                         << r.run_inside << " " << r.calc_mode << " " << r.temp_ext << " "
                         << t.box_width << "x" << t.box_height << " " << t.page_width);
            const RecordingCanvas c = draw(p, t);
            const std::vector<Box> boxes = text_boxes(c);
            for (size_t i = 0; i < boxes.size(); ++i)
                for (size_t k = i + 1; k < boxes.size(); ++k)
                    EXPECT_FALSE(meet(boxes[i], boxes[k]))
                        << boxes[i].op->s << " / " << boxes[k].op->s;

            // All twelve numbers, in order along one row, a space apart, in the area.
            const int row = boxes.back().top;
            std::vector<Box> numbers;
            for (const Box& b : boxes)
                if (b.top == row) numbers.push_back(b);
            ASSERT_EQ(numbers.size(), 12u);
            const int left = t.graph_on_screen ? 0 : 99;
            const int right = t.graph_on_screen ? t.box_width - 1 : 99 + 992;
            for (int j = 0; j < 12; ++j) {
                EXPECT_EQ(numbers[j].op->s, std::to_string(j + 1));
                EXPECT_GE(numbers[j].left, left);
                EXPECT_LE(numbers[j].right, right);
                if (j > 0) {
                    EXPECT_GE(numbers[j].left - numbers[j - 1].right, 6) << j;
                }
            }
        }
    }
}

TEST_F(GraphTest, NumbersThatFindNoRoomAreLeftOut) {
    const Partition p = thin_layers(true, 0, -20, 20);
    for (int w = 20; w <= 300; w += 7) {
        const RecordingCanvas c = draw(p, screen(w, 201));
        std::vector<Box> numbers, others;
        for (const Box& b : text_boxes(c)) (b.top == 190 ? numbers : others).push_back(b);
        for (size_t i = 0; i < numbers.size(); ++i) {
            EXPECT_GE(numbers[i].left, 0) << w;
            EXPECT_LE(numbers[i].right, w - 1) << w;
            for (size_t k = i + 1; k < numbers.size(); ++k)
                EXPECT_FALSE(meet(numbers[i], numbers[k])) << w;
            for (const Box& o : others) EXPECT_FALSE(meet(numbers[i], o)) << w << o.op->s;
        }
    }
}

// Two layers 144 px wide each; 10 px a hPa from 6 hPa on 0.8 H.
// Layer 1-2 at a flat 10 °C (12.28 hPa, y 97) while the real pressure
// climbs from 11 to 13 hPa (y 110 to 90); layer 2-3 warms to 20 °C and the
// saturated course overtakes the real one within a sample.
Partition condensing() {
    Partition p;
    p.layer_count = 2;
    p.layers[0].thickness = p.layers[1].thickness = 0.1;
    p.temp_ext = 10;
    p.temp_int = 20;
    p.temp_span = 10;
    p.temp_min = 10;
    p.temp[0] = p.temp[1] = 10;
    p.temp[2] = 20;
    p.press_real[0] = 11;
    p.press_real[1] = 13;
    p.press_real[2] = 13.5;
    p.press_sat[0] = p.press_sat[1] = 12.28;
    p.press_sat[2] = 23.4;
    p.press_min = 6;
    p.press_span = 9;
    p.k = 1;
    return p;
}

TEST_F(GraphTest, HatchingMarksTheSampleColumnsAboveSaturation) {
    const RecordingCanvas c = draw(condensing(), screen());
    std::vector<int> red;
    for (const Op& o : c.lines(RED)) {
        EXPECT_EQ(o.v[0], o.v[2]);
        EXPECT_LT(o.v[1], o.v[3]);  // from the real course down to the saturated one
        red.push_back(o.v[0]);
    }
    // 250 is level with saturation in pixels (97 = 97) and stays clear; the
    // boundary 300 is hatched; 307 still condenses in the second layer.
    EXPECT_EQ(red, (std::vector<int>{257, 264, 271, 278, 286, 293, 300, 307}));
    EXPECT_TRUE(c.has_line(300, 90, 300, 97));
}

TEST_F(GraphTest, ThermalModeDrawsNoPressures) {
    Partition p = default_results();
    p.calc_mode = 0;
    const RecordingCanvas c = draw(p, screen());
    for (const Op& o : c.ops) {
        if (o.kind == Op::line) {
            EXPECT_TRUE(o.color == BLACK || o.color == MAROON);
            EXPECT_NE(o.style, PenStyle::dotted);
        }
    }
    for (int id : {81, 82, 83, 84}) EXPECT_EQ(c.find_text(a_text(id)), nullptr) << id;
    EXPECT_EQ(c.find_text("4.31"), nullptr);
    EXPECT_NE(c.find_text("-4.16"), nullptr);  // the temperature table stays
    EXPECT_EQ(c.color, BLACK);
}

TEST_F(GraphTest, PaperLeavesOutTheKLineAndTables) {
    // A4 at 150 dpi: area from (99, 1227), 992 x 491.
    const RecordingCanvas c = draw(default_results(), paper());
    EXPECT_EQ(c.size, 8);
    EXPECT_EQ(c.find_text(a_text(78)), nullptr);
    for (const char* s : {" 1  ", "-4.16", "4.31", "12.87"})
        EXPECT_EQ(c.find_text(s), nullptr) << s;

    const int xl = 99 + 4;         // trunc(0.005 x 992)
    const int y_leg = 1227 + 137;  // trunc(0.28 x 491)
    const Op* sat = c.find_text(a_text(81));
    const Op* real = c.find_text(a_text(83));
    ASSERT_TRUE(sat && real);
    EXPECT_EQ(sat->v[0], xl);
    EXPECT_EQ(sat->v[1], y_leg);
    EXPECT_EQ(real->v[0], xl);
    EXPECT_EQ(real->v[1], y_leg + 71);  // trunc(5.5 x 13)
    const Op* legend = c.find_text(a_text(80));
    ASSERT_NE(legend, nullptr);
    EXPECT_EQ(legend->v[0], 99 + 992 - (6 * int(a_text(80).size()) + 8));

    // Front face from trunc(0.18 H) to trunc(0.93 H) below the area's top.
    const int x0 = 99 + 258;  // round(0.26 x 992)
    EXPECT_TRUE(c.has_line(x0, 1227 + 88, x0, 1227 + 456));
}

TEST_F(GraphTest, DrawsNothingWithoutValidResults) {
    Partition p = default_results();
    for (GraphTarget t : {screen(), paper()}) {
        t.results_valid = false;
        EXPECT_TRUE(draw(p, t).ops.empty());
    }
    Partition broken = default_results();
    broken.temp[2] = std::nan("");
    EXPECT_TRUE(draw(broken, screen()).ops.empty());
    Partition empty = default_results();
    empty.layer_count = 0;
    EXPECT_TRUE(draw(empty, screen()).ops.empty());
    EXPECT_TRUE(draw(p, screen(1, 1)).ops.empty());
}

TEST_F(GraphTest, TinyBoxesNeitherHangNorDegenerate) {
    Partition p = default_results();
    p.wall_type = 1;
    for (int w = 2; w <= 40; ++w) {
        for (int h = 2; h <= 40; ++h) {
            const RecordingCanvas c = draw(p, screen(w, h));
            for (const Op& o : c.arcs()) {
                EXPECT_LE(o.v[0], o.v[2]);
                EXPECT_LT(o.v[1], o.v[3]);
            }
            if (h - 1 < 13) {
                EXPECT_TRUE(c.arcs().empty()) << w << "x" << h;
            }
        }
    }
}

}  // namespace
