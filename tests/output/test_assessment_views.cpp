// The assessment's table, verdicts, charts and page for three walls, in both
// languages, checked on a recording canvas.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/assessment.h"
#include "core/numfmt.h"
#include "lang/catalogue.h"
#include "output/assessment_charts.h"
#include "output/assessment_page.h"
#include "output/assessment_summary.h"
#include "tests/support/language.h"
#include "tests/support/recording_canvas.h"
#include "tests/support/walls.h"

namespace {

Assessment assessed(TestWall wall, AssessmentSettings s = {PartitionKind::ExternalWall}) {
    Assessment a;
    EXPECT_TRUE(assess_partition(test_wall(wall), test_climate(), s, a));
    return a;
}

struct ViewCase {
    TestWall wall;
    int language;
    const char* interstitial;
    const char* surface;
    const char* u;
    const char* march_row;  // the cells of March joined by "|"
};

const ViewCase CASES[] = {
    {TestWall::dries, LANG_ENGLISH, "Condensate evaporates by May; max 545.0 g/m² in March.",
     "No surface mould: fRsi = 0.811 ≥ fRsi,min = 0.789 (January).",
     "U = 0.839 W/(m²·K) > Umax = 0.20 for an external wall.",
     "March|-1.0|85.0|477.7|1285.3|1|2.76|545.01|0.718"},
    {TestWall::dries, LANG_POLISH, "Kondensat odparowuje do maja; maks. 545,0 g/m² w marcu.",
     "Brak ryzyka pleśni na powierzchni: fRsi = 0,811 ≥ fRsi,min = 0,789 (styczeń).",
     "U = 0,839 W/(m²·K) > Umax = 0,20 dla: ściana zewnętrzna.",
     "marzec|-1,0|85,0|477,7|1285,3|1|2,76|545,01|0,718"},
    {TestWall::accumulates, LANG_ENGLISH,
     "Condensate accumulates: 340.9 g/m² remain after twelve months; max 1844.7 g/m² in April.",
     "No surface mould: fRsi = 0.811 ≥ fRsi,min = 0.789 (January).",
     "U = 0.839 W/(m²·K) > Umax = 0.20 for an external wall.", nullptr},
    {TestWall::accumulates, LANG_POLISH,
     "Kondensat narasta: po dwunastu miesiącach pozostaje 340,9 g/m²; maks. 1844,7 g/m² w "
     "kwietniu.",
     "Brak ryzyka pleśni na powierzchni: fRsi = 0,811 ≥ fRsi,min = 0,789 (styczeń).",
     "U = 0,839 W/(m²·K) > Umax = 0,20 dla: ściana zewnętrzna.", nullptr},
    {TestWall::curved, LANG_ENGLISH, "Condensate evaporates by May; max 369.2 g/m² in February.",
     "Surface mould likely: fRsi = 0.776 < fRsi,min = 0.789 (January).",
     "U = 0.680 W/(m²·K) > Umax = 0.20 for an external wall.", nullptr},
    {TestWall::curved, LANG_POLISH, "Kondensat odparowuje do maja; maks. 369,2 g/m² w lutym.",
     "Ryzyko pleśni na powierzchni: fRsi = 0,776 < fRsi,min = 0,789 (styczeń).",
     "U = 0,680 W/(m²·K) > Umax = 0,20 dla: ściana zewnętrzna.", nullptr},
};

std::string joined(const SummaryRow& row) {
    std::string s;
    for (const std::string& cell : row) s += (s.empty() ? "" : "|") + cell;
    return s;
}

}  // namespace

TEST(AssessmentSummary, VerdictsAndTableOfThreeWallsInBothLanguages) {
    for (const ViewCase& c : CASES) {
        const LanguageScope language(c.language);
        const Assessment a = assessed(c.wall);
        const Verdicts v = summary_verdicts(a, {PartitionKind::ExternalWall});
        SCOPED_TRACE(c.interstitial);
        EXPECT_EQ(v.interstitial.text, c.interstitial);
        EXPECT_EQ(v.surface.text, c.surface);
        EXPECT_EQ(v.u.text, c.u);
        EXPECT_EQ(v.interstitial.tone, c.wall == TestWall::accumulates ? Tone::bad : Tone::good);
        EXPECT_EQ(v.u.tone, Tone::bad);
        if (c.march_row) {
            SummaryRow row;
            summary_row(a, 2, row);
            EXPECT_EQ(joined(row), c.march_row);
        }
        // Every month has a row and no cell is empty.
        for (int m = 0; m < MONTHS; ++m) {
            SummaryRow row;
            summary_row(a, m, row);
            for (const std::string& cell : row) EXPECT_FALSE(cell.empty()) << m;
        }
    }
}

TEST(AssessmentSummary, UWithoutKindAndNoCondensation) {
    const LanguageScope language(LANG_ENGLISH);
    Partition p;
    Climate mild = test_climate();
    for (ClimateMonth& m : mild.months) m.phi_i = 30.0;
    Assessment a;
    ASSERT_TRUE(assess_partition(p, mild, {}, a));
    const Verdicts v = summary_verdicts(a, {});
    EXPECT_EQ(v.interstitial.text, "No interstitial condensation in any month.");
    EXPECT_EQ(v.u.text, "U = 0.839 W/(m²·K); no kind of partition chosen.");
    EXPECT_EQ(v.u.tone, Tone::neutral);
    EXPECT_EQ(evaporated_by_month(a), 0);
    EXPECT_EQ(default_diagram_month(a), 0);
}

TEST(AssessmentCharts, GlaserDiagramMarksPlanesFilmsAndCondensation) {
    const LanguageScope language(LANG_ENGLISH);
    Partition p = test_wall(TestWall::dries);
    p.diff_ext = 0.4;  // films with a width on the sd scale
    p.diff_int = 0.4;
    Assessment a;
    ASSERT_TRUE(assess_partition(p, test_climate(), {}, a));
    RecordingCanvas c;
    const ChartBox box{10, 20, 600, 400};
    draw_glaser_diagram(a, 0, c, box);

    // Two shaded films, each from an air edge to a surface.
    const auto rects = c.of_kind(Op::rect);
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_LT(rects[0].v[0], rects[0].v[2]);
    EXPECT_LT(rects[1].v[0], rects[1].v[2]);
    EXPECT_LT(rects[0].v[2], rects[1].v[0]);
    // A vertical line at each of the five planes and at the inside air.
    int verticals = 0;
    for (const Op& o : c.lines(CHART_GREY))
        if (o.v[0] == o.v[2] && o.v[1] != o.v[3]) ++verticals;
    EXPECT_EQ(verticals, a.layer_count + 2);
    // January condenses at plane 1: a cross (two black lines of width 2) and its g.
    ASSERT_GT(a.months[0].g[1], 0.0);
    EXPECT_NE(c.find_text(format_number("+0.00;-0.00", a.months[0].g[1], '.')), nullptr);
    EXPECT_NE(c.find_text("January"), nullptr);
    EXPECT_FALSE(c.lines(CHART_SATURATION).empty());
    EXPECT_FALSE(c.lines(CHART_VAPOUR).empty());
    EXPECT_EQ(c.lines(CHART_GREY, PenStyle::dash_dot).size(), 1u);
    // Everything stays inside the box.
    for (const Op& o : c.ops) {
        if (o.kind != Op::line) continue;
        for (int k : {0, 2}) EXPECT_TRUE(o.v[k] >= box.left && o.v[k] <= box.left + box.width);
        for (int k : {1, 3}) EXPECT_TRUE(o.v[k] >= box.top && o.v[k] <= box.top + box.height);
    }

    // A month that dries (May) shows a circle, not a cross.
    RecordingCanvas may;
    draw_glaser_diagram(a, 4, may, box);
    EXPECT_EQ(may.arcs().size(), 1u);
}

TEST(AssessmentCharts, BarsHighlightTheChosenMonthAndClicksFindIt) {
    const LanguageScope language(LANG_ENGLISH);
    const Assessment a = assessed(TestWall::dries);
    RecordingCanvas c;
    const ChartBox box{0, 0, 360, 200};
    draw_month_bars(a, 2, c, box);
    const auto rects = c.of_kind(Op::rect);
    // Months with condensate held have a bar; the chosen one is darker.
    int chosen = 0;
    for (const Op& r : rects) chosen += r.color == CHART_BAR_CHOSEN;
    EXPECT_EQ(chosen, 1);
    for (const Op& r : rects) {
        if (r.color != CHART_BAR_CHOSEN) continue;
        EXPECT_EQ(month_bar_at(box, c, (r.v[0] + r.v[2]) / 2), 2);
    }
    EXPECT_EQ(month_bar_at(box, c, -5), -1);
}

TEST(AssessmentPage, OnePageWhenHighEnoughElseTwo) {
    const LanguageScope language(LANG_POLISH);
    Partition p = test_wall(TestWall::curved);
    const Assessment a = assessed(TestWall::curved);
    AssessmentPageInput in{&p, &a, {PartitionKind::ExternalWall}, 1};
    RecordingCanvas c;
    EXPECT_EQ(assessment_page_count(c, in, 800, 1100), 1);
    EXPECT_EQ(assessment_page_count(c, in, 800, 400), 2);
    draw_assessment_page(c, in, 800, 1100, 0);
    EXPECT_NE(c.find_text("Kondensat odparowuje do maja; maks. 369,2 g/m² w lutym."), nullptr);
    EXPECT_NE(c.find_text("luty"), nullptr);
    EXPECT_FALSE(c.of_kind(Op::rect).empty()) << "charts on the one page";
    RecordingCanvas second;
    draw_assessment_page(second, in, 800, 400, 1);
    EXPECT_EQ(second.find_text("Kondensat odparowuje do maja; maks. 369,2 g/m² w lutym."), nullptr);
    EXPECT_FALSE(second.of_kind(Op::rect).empty());
}
