// Window and control geometry from the screen size.
#include <QLabel>
#include <QStatusBar>
#include <QToolButton>
#include <vector>

#include "gui/controls.h"
#include "tests/gui/test_mainwin_fixture.h"

namespace {

struct LayoutCase {
    const char* name;
    QSize screen;
    QRect window;
    QSize minimum;
    int maximum_width;
    int font_size;
    int rendered_points;  // the bitmap size the face has
    int row_height;
    std::vector<int> widths1, widths2;
    QRect table1, table2;  // default record: 4 layers, dampness mode
    QRect graph, wall, calc, label_title, edit_title, label_radius, edit_radius;
    std::vector<int> toolbar_lefts;  // the seed's twelve, undo, redo, the assessment
};

const LayoutCase LAYOUTS[] = {
    {"vga_800x600",
     {800, 600},
     {48, 6, 704, 569},  // 600 * 0.95 lies just below 570
     {704, 491},
     759,
     9,
     8,
     17,
     {167, 71, 71},  // 800 * 0.21 lies just below 168
     {56, 40, 40, 191, 71, 95, 95},
     {42, 34, 316, 94},
     {42, 138, 600, 112},
     {7, 312, 689, 226},
     {408, 79, 112, 45},
     {408, 28, 112, 45},
     {10, 277, 28, 18},
     {42, 275, 563, 20},
     {563, 85, 112, 18},
     {563, 102, 105, 20},
     {7, 29, 57, 79, 101, 123, 145, 173, 201, 229, 251, 279, 307, 329, 357}},
    {"xga_1024x768",
     {1024, 768},
     {61, 7, 901, 729},
     {901, 629},
     972,
     10,
     10,
     22,
     {215, 92, 92},
     {71, 51, 51, 245, 92, 122, 122},
     {54, 43, 406, 119},
     {54, 176, 766, 142},
     {9, 400, 882, 289},
     {522, 102, 144, 58},
     {522, 36, 144, 58},
     {13, 355, 36, 23},
     {54, 353, 720, 26},
     {720, 109, 144, 23},
     {720, 131, 135, 26},
     {9, 32, 62, 85, 108, 131, 154, 184, 214, 244, 267, 297, 327, 350, 380}},
};

void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }

class LayoutTest : public MainWindowTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(LayoutTest, EveryControlPlacedFromTheScreen) {
    const LayoutCase& c = GetParam();
    ui.screen = c.screen;
    open_window();
    TForm_quil& w = *form;

    EXPECT_EQ(w.geometry(), c.window);
    EXPECT_EQ(w.minimumSize(), c.minimum);
    EXPECT_EQ(w.maximumWidth(), c.maximum_width);
    EXPECT_EQ(w.maximumHeight(), QWIDGETSIZE_MAX);
    EXPECT_EQ(w.font_size(), c.font_size);
    EXPECT_EQ(w.font().pointSize(), c.rendered_points);
    EXPECT_EQ(child_of<QWidget>(w, "graph")->font().pointSize(), 8);

    EXPECT_EQ(t1()->default_row_height(), c.row_height);
    EXPECT_EQ(t2()->default_row_height(), c.row_height);
    EXPECT_EQ(child_of<QStatusBar>(w, "status_bar")->height(), c.row_height);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(t1()->col_width(i), c.widths1[i]) << "table1 col " << i;
    for (int i = 0; i < 7; ++i) EXPECT_EQ(t2()->col_width(i), c.widths2[i]) << "table2 col " << i;
    EXPECT_EQ(t1()->geometry(), c.table1);
    EXPECT_EQ(t2()->geometry(), c.table2);
    EXPECT_EQ(child_of<QWidget>(w, "graph")->geometry(), c.graph);
    EXPECT_EQ(child_of<RadioGroup>(w, "mnu_radio_group_wall")->geometry(), c.wall);
    EXPECT_EQ(child_of<RadioGroup>(w, "mnu_radio_group_calc")->geometry(), c.calc);
    EXPECT_EQ(child_of<QLabel>(w, "label_title")->geometry(), c.label_title);
    EXPECT_EQ(child_of<QLineEdit>(w, "edit_title")->geometry(), c.edit_title);
    EXPECT_EQ(child_of<QLabel>(w, "label_RadiusC")->geometry(), c.label_radius);
    EXPECT_EQ(child_of<QLineEdit>(w, "edit_RadiusC")->geometry(), c.edit_radius);

    const QToolButton* buttons[] = {child_of<QToolButton>(w, "SpeedButtonInfo1"),
                                    child_of<QToolButton>(w, "SpeedButtonInfo2"),
                                    child_of<QToolButton>(w, "SpeedButtonOpen"),
                                    child_of<QToolButton>(w, "SpeedButtonSave"),
                                    child_of<QToolButton>(w, "SpeedButtonExport"),
                                    child_of<QToolButton>(w, "SpeedButtonSaveAs"),
                                    child_of<QToolButton>(w, "SpeedButtonExportAs"),
                                    child_of<QToolButton>(w, "SpeedButtonMaterials"),
                                    child_of<QToolButton>(w, "SpeedButtonPrint"),
                                    child_of<QToolButton>(w, "SpeedButtonLang044"),
                                    child_of<QToolButton>(w, "SpeedButtonLang048"),
                                    child_of<QToolButton>(w, "SpeedButtonExit"),
                                    child_of<QToolButton>(w, "SpeedButtonUndo"),
                                    child_of<QToolButton>(w, "SpeedButtonRedo"),
                                    child_of<QToolButton>(w, "SpeedButtonAssess")};
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(buttons[i]->geometry(), QRect(c.toolbar_lefts[i], 1, 20, 20))
            << buttons[i]->objectName().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Screens, LayoutTest, ::testing::ValuesIn(LAYOUTS),
                         [](const auto& info) { return std::string(info.param.name); });

const char* const TOOLBAR[] = {"SpeedButtonInfo1",    "SpeedButtonInfo2",     "SpeedButtonOpen",
                               "SpeedButtonSave",     "SpeedButtonExport",    "SpeedButtonSaveAs",
                               "SpeedButtonExportAs", "SpeedButtonMaterials", "SpeedButtonPrint",
                               "SpeedButtonLang044",  "SpeedButtonLang048",   "SpeedButtonExit",
                               "SpeedButtonUndo",     "SpeedButtonRedo",      "SpeedButtonAssess"};

struct ToolbarCase {
    QSize screen;
    int side, glyph;
    std::vector<int> lefts;  // empty: as the layout table has them
};

TEST_F(MainWindowTest, TheToolbarGrowsWithScreensAbove1024x768) {
    // The gaps follow the window's width, as they always did; the buttons and
    // glyphs grow by the screen's tighter way (1080 / 768, 2160 / 768).
    const ToolbarCase cases[] = {
        {{800, 600}, 20, 16, {}},
        {{1024, 768}, 20, 16, {}},
        {{1920, 1080},
         28,
         22,
         {16, 50, 98, 132, 166, 200, 234, 282, 330, 378, 412, 460, 508, 542, 590}},
        {{3840, 2160},
         56,
         45,
         {33, 102, 198, 267, 336, 405, 474, 570, 666, 762, 831, 927, 1023, 1092, 1188}},
    };
    for (const ToolbarCase& c : cases) {
        SCOPED_TRACE(c.screen.width());
        ui.screen = c.screen;
        open_window();
        for (std::size_t i = 0; i < std::size(TOOLBAR); ++i) {
            const QToolButton* b = button(TOOLBAR[i]);
            EXPECT_EQ(b->size(), QSize(c.side, c.side)) << TOOLBAR[i];
            if (!c.lefts.empty()) EXPECT_EQ(b->pos(), QPoint(c.lefts[i], 1)) << TOOLBAR[i];
            EXPECT_EQ(b->iconSize(), QSize(c.glyph, c.glyph)) << TOOLBAR[i];
            // Drawn for that size, not a 16x16 image stretched.
            EXPECT_EQ(b->icon().pixmap(b->iconSize()).size(), b->iconSize()) << TOOLBAR[i];
        }
        form.reset();
    }
}

TEST_F(MainWindowTest, TheToolbarFollowsTheScreenWhenItChanges) {
    open_window();
    form->repaint();
    ui.screen = {1920, 1080};
    form->repaint();
    QApplication::processEvents();
    EXPECT_EQ(button("SpeedButtonAssess")->geometry(), QRect(590, 1, 28, 28));
    EXPECT_EQ(button("SpeedButtonAssess")->iconSize(), QSize(22, 22));
    ui.screen = {1024, 768};
    form->repaint();
    QApplication::processEvents();
    EXPECT_EQ(button("SpeedButtonAssess")->geometry(), QRect(380, 1, 20, 20));
    EXPECT_EQ(button("SpeedButtonAssess")->iconSize(), QSize(16, 16));
}

TEST_F(MainWindowTest, TheWindowSizeIncludesItsFrame) {
    ui.screen = {800, 600};
    open_window(false);
    const QMargins frame(form->geometry().left() - form->frameGeometry().left(),
                         form->geometry().top() - form->frameGeometry().top(),
                         form->frameGeometry().right() - form->geometry().right(),
                         form->frameGeometry().bottom() - form->geometry().bottom());
    if (frame.isNull()) GTEST_SKIP() << "this platform draws no frame";
    EXPECT_EQ(form->frameGeometry(), QRect(48, 6, 704, 569));
    EXPECT_EQ(form->minimumWidth(), 704 - frame.left() - frame.right());
    EXPECT_EQ(t1()->default_row_height(), int(form->height() * 0.03L + 0.5L));
}

TEST_F(MainWindowTest, GridBoxesFollowModeAndLayerCount) {
    ui.screen = {800, 600};
    ui.scroll_bar = 17;
    open_window();
    // Thermal mode: 3 condition rows, 6 layer columns.
    calc_group()->item(0)->click();
    EXPECT_EQ(t1()->size(), QSize(316, 4 * 1 + 3 * 17 + 3));
    EXPECT_EQ(t2()->size(), QSize(56 + 40 + 40 + 191 + 71 + 95 + 7 + 3, 112));
    calc_group()->item(1)->click();
    // Six layers: seven of eight rows shown, and a scroll bar beside them.
    for (int n = 4; n < 6; ++n) click_cell(t2(), 1, n + 1);
    ASSERT_EQ(doc.layer_count, 6);
    EXPECT_EQ(t2()->size(), QSize(600 + 17, 7 * 17 + 8 + 3));
    EXPECT_EQ(t2()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    click_cell(t2(), 2, 1);
    ASSERT_EQ(doc.layer_count, 5);
    EXPECT_EQ(t2()->size(), QSize(600, 7 * 17 + 8 + 3));
    EXPECT_EQ(t2()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

TEST_F(MainWindowTest, OnlyTheGraphAndStatusBarFollowAResize) {
    ui.screen = {800, 600};
    open_window();
    const QRect table = t1()->geometry(), edit = edit_title()->geometry();
    const QRect box = graph()->geometry();
    form->resize(form->width() + 50, form->height() + 40);
    QApplication::processEvents();
    EXPECT_EQ(t1()->geometry(), table);
    EXPECT_EQ(edit_title()->geometry(), edit);
    EXPECT_EQ(graph()->geometry(), box.adjusted(0, 0, 50, 40));
    EXPECT_EQ(status_bar()->geometry().bottom(), form->height() - 1);
}

TEST_F(MainWindowTest, AScreenWidthChangeLaysOutAgainAndKeepsTypedTexts) {
    ui.screen = {800, 600};
    open_window();
    form->repaint();
    EXPECT_EQ(form->last_screen_width(), 800);
    EXPECT_EQ(form->width(), 704);  // the first paint only records the width
    type_cell(t2(), 3, 2, "brick", false);

    ui.screen = {800, 768};  // the height alone changes nothing
    form->repaint();
    QApplication::processEvents();
    EXPECT_EQ(form->height(), 569);

    ui.screen = {1024, 768};
    form->repaint();
    QApplication::processEvents();
    EXPECT_EQ(form->last_screen_width(), 1024);
    EXPECT_EQ(form->geometry(), QRect(61, 7, 901, 729));
    EXPECT_EQ(t2()->col_width(3), 245);
    EXPECT_EQ(t2()->cell(3, 2), "brick");
}

}  // namespace
