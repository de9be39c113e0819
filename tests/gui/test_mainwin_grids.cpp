// Typing, checking and recalculating through the real grids.
#include <QLabel>
#include <QToolButton>
#include <cstring>

#include "gui/controls.h"
#include "tests/gui/test_mainwin_fixture.h"

namespace {

const char* const TEMP_EXT_LIMIT =
    "External temperature is out of allowable limits.\n(min=-40; max=55)";

TEST_F(MainWindowTest, StartsFilledFromTheDefaultRecordWithoutMessages) {
    open_window();
    EXPECT_TRUE(ui.boxes.empty()) << ui.shown();
    EXPECT_TRUE(state().results_valid);
    EXPECT_TRUE(graph()->isVisible());
    EXPECT_EQ(t1()->row_count(), 5);
    EXPECT_EQ(t1()->cell(1, 1), "-5");
    EXPECT_EQ(t1()->cell(2, 2), "0.12");
    EXPECT_EQ(t2()->row_count(), 6);  // header, four layers, the "Add" row
    EXPECT_EQ(t2()->cell(0, 1), "    1-2");
    EXPECT_EQ(t2()->cell(1, 1), " Add");
    EXPECT_EQ(t2()->cell(2, 4), "Delete");
    EXPECT_EQ(t2()->cell(6, 2), "0.0225");
    EXPECT_EQ(t2()->cell(1, 5), " Add");
    EXPECT_EQ(t2()->cell(2, 5), "");
    EXPECT_EQ(t2()->cell(3, 0), "        Layer description");
    EXPECT_FALSE(edit_radius()->isVisible());
    // The conditions grid has the focus, in its cell editor.
    EXPECT_EQ(QApplication::focusWidget(), t1()->editor());
}

TEST_F(MainWindowTest, EnterTakesTheTypedValueAndRecalculates) {
    open_window();
    const double k_before = doc.k;
    type_cell(t1(), 1, 1, "-20");
    EXPECT_EQ(doc.temp_ext, -20.0);
    EXPECT_DOUBLE_EQ(doc.temp[0] < -5.0, true);
    EXPECT_EQ(doc.k, k_before);  // k does not depend on the temperatures
    type_cell(t2(), 5, 2, "0.05");
    EXPECT_EQ(doc.layers[1].lambda, 0.05);
    EXPECT_LT(doc.k, k_before);
    EXPECT_TRUE(ui.boxes.empty()) << ui.shown();
    EXPECT_TRUE(graph()->isVisible());
}

TEST_F(MainWindowTest, OutOfLimitsIsToldOnceUntilAnotherValueIsTyped) {
    open_window();
    type_cell(t1(), 1, 1, "60");
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, TEMP_EXT_LIMIT);
    EXPECT_EQ(ui.boxes[0].caption, "ERROR");
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::error);
    EXPECT_FALSE(state().results_valid);
    EXPECT_FALSE(graph()->isVisible());

    press_enter(t1());
    EXPECT_EQ(ui.boxes.size(), 1u) << ui.shown();
    type_cell(t1(), 1, 1, "70");
    EXPECT_EQ(ui.boxes.size(), 2u) << ui.shown();
    type_cell(t1(), 1, 1, "10");
    EXPECT_EQ(ui.boxes.size(), 2u) << ui.shown();
    EXPECT_TRUE(graph()->isVisible());
}

TEST_F(MainWindowTest, LettersAreToldAtEveryPassNoEarlierFieldTook) {
    open_window();
    type_cell(t2(), 4, 1, "abc");
    press_enter(t2());
    ASSERT_EQ(ui.boxes.size(), 2u) << ui.shown();
    EXPECT_EQ(ui.boxes[1].text, "Thickness for layer 1-2 is invalid.");
    EXPECT_EQ(doc.layers[0].thickness, 0.015);  // nothing stored

    // An earlier field takes the pass's one message.
    t1()->set_cell(2, 1, "abc");
    press_enter(t2());
    ASSERT_EQ(ui.boxes.size(), 3u) << ui.shown();
    EXPECT_EQ(ui.boxes[2].text, "Internal temperature is invalid.");
}

TEST_F(MainWindowTest, OneClickTellsAMessageOnceThoughTwoPassesRead) {
    open_window();
    // Leaving the layer grid reads it, and so does the new cell's selection.
    type_cell(t2(), 4, 2, "e", false);
    ASSERT_TRUE(ui.boxes.empty()) << ui.shown();
    // Through the window, as the window system delivers a click.
    QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {},
                      t1()->viewport()->mapTo(form.get(), cell_center(t1(), 1, 2)));
    ASSERT_EQ(ui.boxes.size(), 1u) << ui.shown();
    EXPECT_EQ(ui.boxes[0].text, "Thickness for layer 2-3 is invalid.");
    // The next action tells it again.
    press_enter(t1());
    ASSERT_EQ(ui.boxes.size(), 2u) << ui.shown();
    EXPECT_EQ(ui.boxes[1].text, "Thickness for layer 2-3 is invalid.");
    click_cell(t1(), 1, 1);
    EXPECT_EQ(ui.boxes.size(), 3u) << ui.shown();
}

TEST_F(MainWindowTest, KeysMoveWithinTheEditableCellsAndEachMoveReads) {
    open_window();
    QWidget* keys = t1()->editor();
    QTest::keyClick(keys, Qt::Key_Up);  // row 0 and column 0 are fixed
    QTest::keyClick(keys, Qt::Key_Home);
    EXPECT_EQ(std::pair(t1()->col(), t1()->row()), std::pair(1, 1));
    QTest::keyClick(t1()->editor(), Qt::Key_Tab);
    QTest::keyClick(t1()->editor(), Qt::Key_Tab);  // on to the next row
    EXPECT_EQ(std::pair(t1()->col(), t1()->row()), std::pair(1, 2));
    t1()->set_current(2, 4);
    t1()->set_cell(2, 4, "1");  // internal diffusive resistance above 0.4
    QTest::keyClick(t1()->editor() ? static_cast<QWidget*>(t1()->editor()) : t1(), Qt::Key_Tab);
    // On to the layer grid, not round to the first cell; leaving read the cell.
    EXPECT_EQ(std::pair(t1()->col(), t1()->row()), std::pair(2, 4));
    ASSERT_EQ(ui.boxes.size(), 1u) << ui.shown();
    EXPECT_EQ(ui.boxes[0].text,
              "Diffusive resistance for ixternal side of the partition is out of allowable "
              "limits.\n(min=0; max=0.4)");
    ASSERT_NE(t2()->editor(), nullptr);
    EXPECT_TRUE(t2()->editor()->hasFocus());
    // Shift+Tab from the first cell goes back to the other grid.
    QTest::keyClick(t2()->editor(), Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_NE(t1()->editor(), nullptr);
    EXPECT_TRUE(t1()->editor()->hasFocus());
}

TEST_F(MainWindowTest, TabFromTheLastLayerCellPassesTheAddRowAndTypingReachesTheNextControl) {
    open_window();
    click_cell(t2(), 5, 4);  // Lambda of the last layer; Delta follows
    QTest::keyClick(t2()->editor(), Qt::Key_Tab);
    EXPECT_EQ(std::pair(t2()->col(), t2()->row()), std::pair(6, 4));
    QTest::keyClick(t2()->editor(), Qt::Key_Tab);
    EXPECT_EQ(std::pair(t2()->col(), t2()->row()), std::pair(6, 4));
    EXPECT_TRUE(edit_title()->hasFocus());
    type_text(edit_title(), "x");
    EXPECT_EQ(edit_title()->text(), "x");
    // And back: Shift+Tab from the title reaches the last cell's editor.
    QTest::keyClick(edit_title(), Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_NE(t2()->editor(), nullptr);
    EXPECT_TRUE(t2()->editor()->hasFocus());
    type_text(t2()->editor(), "5");
    EXPECT_EQ(t2()->cell(6, 4), "5");  // the text was selected on the way in
    EXPECT_TRUE(ui.boxes.empty()) << ui.shown();
}

TEST_F(MainWindowTest, EscapeBringsBackTheTextTheCellTookIn) {
    open_window();
    type_cell(t2(), 4, 2, "0.2");
    t2()->editor()->selectAll();
    type_text(t2()->editor(), "0.33");
    QTest::keyClick(t2()->editor(), Qt::Key_Escape);
    EXPECT_EQ(t2()->cell(4, 2), "0.2");
    EXPECT_EQ(t2()->editor()->text(), "0.2");
    press_enter(t2());
    EXPECT_EQ(doc.layers[1].thickness, 0.2);
    EXPECT_TRUE(ui.boxes.empty()) << ui.shown();
    EXPECT_FALSE(document().typed_in_cell(document().layers(), 4, 2));
}

TEST_F(MainWindowTest, TwoBadCellsGiveOneMessageForTheEarlier) {
    open_window();
    type_cell(t2(), 5, 3, "9", false);  // Lambda of layer 3, not yet read
    type_cell(t2(), 4, 3, "5", true);   // moving here read the Lambda already
    ASSERT_EQ(ui.boxes.size(), 2u) << ui.shown();
    EXPECT_EQ(ui.boxes[0].text,
              "Thermal conductivity coefficient Lambda for layer 3-4 is out of allowable "
              "limits.\n(min=0.02; max=3)");
    EXPECT_EQ(ui.boxes[1].text,
              "Thickness for layer 3-4 is out of allowable limits.\n(min=0.00001; max=2)");

    // Both at once: only the thickness, which is read before the Lambda.
    ui.boxes.clear();
    t2()->set_cell(4, 3, "6");
    t2()->set_cell(5, 3, "8");
    press_enter(t2());
    ASSERT_EQ(ui.boxes.size(), 1u) << ui.shown();
    EXPECT_EQ(ui.boxes[0].text,
              "Thickness for layer 3-4 is out of allowable limits.\n(min=0.00001; max=2)");
    // The Lambda's kind was remembered all the same.
    press_enter(t2());
    EXPECT_EQ(ui.boxes.size(), 1u) << ui.shown();
}

TEST_F(MainWindowTest, TotalThicknessWarningOncePerExcursionAndNeverDuringAnError) {
    const char* const warning = "Total thickness of the partition has suspected value.";
    open_window();
    type_cell(t2(), 4, 2, "1", false);
    type_cell(t2(), 4, 3, "1");  // 2.03 m in all
    ASSERT_EQ(ui.boxes.size(), 1u) << ui.shown();
    EXPECT_EQ(ui.boxes[0].text, warning);
    EXPECT_EQ(ui.boxes[0].caption, "Warning");
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::warning);
    EXPECT_TRUE(state().results_valid);  // a suspected value does not block
    press_enter(t2());
    EXPECT_EQ(ui.boxes.size(), 1u);

    type_cell(t2(), 4, 3, "0.5");
    type_cell(t2(), 4, 3, "1");
    ASSERT_EQ(ui.boxes.size(), 2u) << ui.shown();
    EXPECT_EQ(ui.boxes[1].text, warning);

    // Back in range, then out again while a field is in error: no warning.
    type_cell(t2(), 4, 3, "0.5");
    type_cell(t1(), 1, 1, "abc");
    type_cell(t2(), 4, 3, "1");
    for (std::size_t i = 2; i < ui.boxes.size(); ++i) EXPECT_NE(ui.boxes[i].text, warning);
}

struct KeyCase {
    char separator;
    const char* typed;
    const char* cell_text;  // what the cell holds afterwards
    double stored;          // the thickness afterwards
};

void PrintTo(const KeyCase& c, std::ostream* os) {
    *os << "'" << c.typed << "' with '" << c.separator << "'";
}

class NumberKeys : public MainWindowTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(NumberKeys, OnlyNumberCharactersReachANumberCell) {
    const KeyCase& c = GetParam();
    ui.separator = c.separator;
    open_window();
    type_cell(t2(), 4, 1, QString::fromLatin1(c.typed));
    EXPECT_EQ(t2()->cell(4, 1).toStdString(), c.cell_text);
    EXPECT_DOUBLE_EQ(doc.layers[0].thickness, c.stored);
    EXPECT_TRUE(ui.boxes.empty()) << ui.shown();
}

INSTANTIATE_TEST_SUITE_P(
    BothSeparators, NumberKeys,
    // "+" and the space are refused; either mark types the separator in force.
    ::testing::Values(KeyCase{'.', "+0.02 5", "0.025", 0.025}, KeyCase{'.', ",1", ".1", 0.1},
                      KeyCase{'.', "1e-3", "1e-3", 0.001}, KeyCase{'.', "2E-2", "2E-2", 0.02},
                      KeyCase{',', "0,02", "0,02", 0.02}, KeyCase{',', "0.1", "0,1", 0.1},
                      KeyCase{',', "1,5e-2", "1,5e-2", 0.015}, KeyCase{',', "1.5e-2", "1,5e-2", 0.015}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST_F(MainWindowTest, TheKeypadsMarkAndTheOtherMarkTypeTheCommaEverywhere) {
    ui.separator = ',';
    open_window();
    // The keypad's decimal key sends "." on X11, whatever the locale.
    const auto keypad_point = [](QWidget* w) {
        QTest::keyClick(w, Qt::Key_Period, Qt::KeypadModifier);
    };
    click_cell(t2(), 5, 2);
    QLineEdit* editor = t2()->editor();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Delete);
    type_text(editor, "0");
    keypad_point(editor);
    type_text(editor, "3");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(t2()->cell(5, 2), "0,3");
    EXPECT_DOUBLE_EQ(doc.layers[1].lambda, 0.3);

    // A key on the grid itself opens the editor with the mark in it.
    click_cell(t1(), 1, 1);
    t1()->editor()->selectAll();
    QTest::keyClick(t1()->editor(), Qt::Key_Delete);
    t1()->setFocus();
    type_text(t1(), "-2.5");
    QTest::keyClick(t1()->editor(), Qt::Key_Return);
    EXPECT_DOUBLE_EQ(doc.temp_ext, -2.5);

    wall_group()->item(1)->click();
    edit_radius()->selectAll();
    QTest::keyClick(edit_radius(), Qt::Key_Delete);
    type_text(edit_radius(), "2.5");
    QTest::keyClick(edit_radius(), Qt::Key_Return);
    EXPECT_EQ(edit_radius()->text(), "2,5");
    EXPECT_DOUBLE_EQ(doc.radius, 2.5);
    EXPECT_TRUE(ui.boxes.empty()) << ui.shown();

    // Pasted text is taken as it stands: the other mark is refused.
    click_cell(t2(), 4, 1);
    t2()->editor()->selectAll();
    t2()->editor()->insert("0.1");
    QTest::keyClick(t2()->editor(), Qt::Key_Return);
    ASSERT_EQ(ui.boxes.size(), 1u) << ui.shown();
    EXPECT_NE(ui.boxes[0].text.find("Thickness for layer 1-2 is invalid."), std::string::npos)
        << ui.shown();
}

TEST_F(MainWindowTest, DecimalCommaShowsInTheCells) {
    ui.separator = ',';
    open_window();
    EXPECT_EQ(t1()->cell(2, 2), "0,12");
    EXPECT_EQ(t2()->cell(6, 2), "0,0225");
}

TEST_F(MainWindowTest, DescriptionAndTitleTakeAnyTextWithinTheRecord) {
    open_window();
    type_cell(t2(), 3, 1, QString::fromUtf8("+ cegła ж pełna"));
    EXPECT_STREQ(doc.layers[0].description, "+ ceg\xb3\x61 ? pe\xb3na");  // Windows-1250
    type_cell(t2(), 3, 2, QString(50, QLatin1Char('x')));
    EXPECT_EQ(std::strlen(doc.layers[1].description), 36u);

    type_text(edit_title(), QString(90, QLatin1Char('t')) + QString::fromUtf8("€"));
    QTest::keyClick(edit_title(), Qt::Key_Return);
    EXPECT_EQ(std::strlen(doc.title), 80u);
    edit_title()->clear();
    type_text(edit_title(), QString::fromUtf8("Ściana "));
    edit_title()->insert(QString::fromUtf8("😀"));  // a pair, as an input method gives it
    type_text(edit_title(), QString::fromUtf8(" €"));
    t1()->setFocus();  // leaving the title takes it
    QApplication::processEvents();
    EXPECT_STREQ(doc.title, "\x8c\x63iana ? \x80");
}

TEST_F(MainWindowTest, ModeSwitchHidesAndRestoresCellsWithTheirTexts) {
    open_window();
    t1()->set_cell(1, 3, "20");  // humidity below its limit, not yet read
    t2()->set_cell(6, 2, "0.03");
    calc_group()->item(0)->click();
    EXPECT_EQ(doc.calc_mode, 0);
    EXPECT_EQ(t1()->row_count(), 3);
    EXPECT_EQ(t2()->col_count(), 6);
    EXPECT_TRUE(ui.boxes.empty()) << ui.shown();  // hidden fields are not checked
    EXPECT_EQ(state().field_status[FLD_HUM_EXT], CHECK_OK);
    EXPECT_TRUE(state().results_valid);

    calc_group()->item(1)->click();
    EXPECT_EQ(t1()->row_count(), 5);
    EXPECT_EQ(t1()->cell(1, 3), "20");
    EXPECT_EQ(t2()->cell(6, 2), "0.03");
    EXPECT_EQ(doc.hum_ext, 20.0);
    EXPECT_EQ(doc.layers[1].delta, 0.03);
    ASSERT_EQ(ui.boxes.size(), 1u) << ui.shown();
    EXPECT_EQ(ui.boxes[0].text, "External humidity is out of allowable limits.\n(min=30; max=99)");

    // Picking the mode already in force does nothing.
    ui.boxes.clear();
    calc_group()->item(1)->click();
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(MainWindowTest, CurvedWallShowsTheRadiusAndChecksIt) {
    open_window();
    wall_group()->item(1)->click();
    EXPECT_EQ(doc.wall_type, 1);
    EXPECT_TRUE(edit_radius()->isVisible());
    EXPECT_TRUE(control<QLabel>("label_RadiusC")->isVisible());
    EXPECT_EQ(edit_radius()->text(), "1.5");

    edit_radius()->selectAll();
    QTest::keyClicks(edit_radius(), "0+.1 ");  // "+" and the space are refused
    EXPECT_EQ(edit_radius()->text(), "0.1");
    QTest::keyClick(edit_radius(), Qt::Key_Return);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text,
              "Radius of curvature is out of allowable limits.\n(min=0.3465; max=500)");
    EXPECT_EQ(state().field_status[FLD_RADIUS], CHECK_LIMIT);

    wall_group()->item(0)->click();
    EXPECT_FALSE(edit_radius()->isVisible());
    EXPECT_EQ(state().field_status[FLD_RADIUS], CHECK_OK);
    EXPECT_TRUE(state().results_valid);
}

// A layer row's three fixed cells as the user sees them.
void expect_layer(const Layer& got, const Layer& want, const char* what) {
    EXPECT_EQ(got.thickness, want.thickness) << what;
    EXPECT_EQ(got.lambda, want.lambda) << what;
    EXPECT_EQ(got.delta, want.delta) << what;
}

TEST_F(MainWindowTest, AddInsertsACopyOfTheLayerBefore) {
    open_window();
    const Partition before = doc;
    click_cell(t2(), 1, 1);  // " Add" in the first row: a copy of the old first layer
    ASSERT_EQ(doc.layer_count, 5);
    expect_layer(doc.layers[0], before.layers[0], "new first");
    expect_layer(doc.layers[1], before.layers[0], "old first");
    EXPECT_EQ(t2()->row_count(), 7);
    EXPECT_EQ(t2()->cell(0, 5), "    5-6");

    click_cell(t2(), 1, 3);  // row 3: a copy of layer 2
    ASSERT_EQ(doc.layer_count, 6);
    expect_layer(doc.layers[2], doc.layers[1], "row 3");

    t2()->set_cell(4, 6, "0.2");  // typed into the last layer, read before adding
    click_cell(t2(), 1, 7);       // the "Add" row appends a copy of the last layer
    ASSERT_EQ(doc.layer_count, 7);
    EXPECT_EQ(doc.layers[6].thickness, 0.2);
    EXPECT_EQ(t2()->cell(4, 7), "0.2");

    click_cell(t2(), 2, 2);  // "Delete" in row 2
    ASSERT_EQ(doc.layer_count, 6);
    expect_layer(doc.layers[1], before.layers[0], "after delete");
    EXPECT_EQ(doc.modified, 1);
    EXPECT_TRUE(ui.boxes.empty()) << ui.shown();
}

TEST_F(MainWindowTest, ElevenLayersHaveNoAddRowAndOneLayerNoDelete) {
    open_window();
    while (doc.layer_count < MAX_LAYERS) click_cell(t2(), 1, 1);
    EXPECT_EQ(t2()->row_count(), 12);
    for (int r = 1; r <= 11; ++r) EXPECT_EQ(t2()->cell(1, r), "") << "row " << r;
    EXPECT_EQ(t2()->cell(0, 11), "    11-12");
    t2()->scrollToTop();
    click_cell(t2(), 1, 1);
    EXPECT_EQ(doc.layer_count, MAX_LAYERS);

    while (doc.layer_count > 1) click_cell(t2(), 2, 1);
    EXPECT_EQ(t2()->row_count(), 3);
    EXPECT_EQ(t2()->cell(2, 1), "");
    click_cell(t2(), 2, 1);
    EXPECT_EQ(doc.layer_count, 1);
}

TEST_F(MainWindowTest, TheAddRowCannotBeSelectedButItsAddCellWorks) {
    open_window();
    click_cell(t2(), 4, 4);
    click_cell(t2(), 4, 5);  // a cell of the "Add" row
    EXPECT_EQ(t2()->row(), 4);
    EXPECT_TRUE(t2()->editing());  // typing still reaches the current cell
    ASSERT_NE(t2()->editor(), nullptr);
    QTest::keyClick(t2(), Qt::Key_Down);  // the keyboard is refused the same way
    EXPECT_EQ(t2()->row(), 4);
    click_cell(t2(), 4, 3);
    EXPECT_EQ(t2()->row(), 3);
    EXPECT_TRUE(t2()->editing());
    EXPECT_NE(t2()->editor(), nullptr);

    click_cell(t2(), 1, 5);
    EXPECT_EQ(doc.layer_count, 5);

    // Only the left button adds or deletes.
    for (const Qt::MouseButton b : {Qt::RightButton, Qt::MiddleButton})
        for (const int col : {1, 2})
            QTest::mouseClick(t2()->viewport(), b, {}, cell_center(t2(), col, 2));
    EXPECT_EQ(doc.layer_count, 5);
}

TEST_F(MainWindowTest, ARecordWithTooManyLayersNeverReachesATwelfthSlot) {
    open_window();
    for (const int count : {200, -3, 0}) {
        doc.layer_count = std::int16_t(count);
        document().fill_grids(true);
        const int n = std::clamp(count, 0, MAX_LAYERS);
        EXPECT_EQ(t2()->row_count(), n < MAX_LAYERS ? n + 2 : n + 1) << count;
        // The calculation refuses it.
        EXPECT_FALSE(document().read_grids(ReadFlag::with_messages)) << count;
        click_cell(t2(), 2, 1);  // delete is refused for such a count
        EXPECT_EQ(doc.layer_count, count) << count;
    }
    click_cell(t2(), 1, 1);  // with no layer, " Add" in the "Add" row makes the first
    EXPECT_EQ(doc.layer_count, 1);
}

// A real box is a window of its own: while it is up the main window is not
// active, and a window manager activates the main window again only after
// the pass that showed it has ended. Keys typed then must reach the cell the
// move went to, not the first control of the tab chain.
TEST_F(MainWindowTest, AfterACheckMessageKeysGoToTheCellTheMoveReached) {
    struct Case {
        const char* name;
        bool tab;  // else a click on the next layer's thickness
        int col, row;
    };
    for (const Case& c : {Case{"Tab", true, 5, 1}, Case{"click", false, 4, 2}}) {
        SCOPED_TRACE(c.name);
        doc = Partition();
        ui.boxes.clear();
        open_window();
        QWidget box;
        box.resize(200, 80);
        ui.while_box_open = [&] {
            box.show();
            box.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&box));
            box.hide();
        };
        type_cell(t2(), 4, 1, "7", false);
        if (c.tab)
            QTest::keyClick(t2()->editor(), Qt::Key_Tab);
        else
            click_cell(t2(), 4, 2);
        ui.while_box_open = nullptr;
        ASSERT_EQ(ui.boxes.size(), 1u) << ui.shown();
        EXPECT_EQ(std::pair(t2()->col(), t2()->row()), std::pair(c.col, c.row));

        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        QWidget* keys = QApplication::focusWidget();
        ASSERT_NE(keys, nullptr);
        EXPECT_EQ(keys, t2()->editor());
        QTest::keyClick(keys, '9');
        EXPECT_EQ(t2()->cell(c.col, c.row).toStdString(), "9");
        EXPECT_EQ(t1()->cell(1, 1), "-5");
    }
}

TEST_F(MainWindowTest, ABoxOpenDuringAPassNeverGetsASecondOne) {
    open_window();
    int nested = 0;
    ui.while_box_open = [&] {
        // What an exit or selection event delivered by the box's loop does.
        ++nested;
        EXPECT_TRUE(document().message_open());
        document().refresh_results(ReadFlag::with_messages);
        EXPECT_EQ(state().field_status[FLD_TEMP_EXT], CHECK_OK);  // memory left as it was
    };
    t2()->set_cell(4, 1, "abc");
    type_cell(t1(), 1, 1, "60");
    EXPECT_GE(nested, 1);
    ASSERT_EQ(ui.boxes.size(), 1u) << ui.shown();
    EXPECT_EQ(ui.boxes[0].text, TEMP_EXT_LIMIT);
    EXPECT_EQ(state().field_status[FLD_TEMP_EXT], CHECK_LIMIT);
    EXPECT_EQ(state().thickness_status[0], CHECK_INVALID);
    EXPECT_FALSE(document().message_open());
    // And a box asked for directly while one is up answers without showing.
    ui.while_box_open = [&] {
        EXPECT_EQ(document().message_box("x", "y", MsgIcon::question, MsgButtons::yes_no_cancel),
                  MsgAnswer::cancel);
    };
    document().show_invalid_data_error();
    EXPECT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[1].text, "Cannot save invalid data.");
}

}  // namespace

namespace {

QLabel* graph_problem(const TForm_quil& form) { return child_of<QLabel>(form, "graph_problem"); }

TEST_F(MainWindowTest, TheGraphsPlaceSaysWhyAndTheRefusedCellIsMarked) {
    open_window();
    const QModelIndex thickness = t2()->model()->index(1, 4);  // layer 2-3
    EXPECT_FALSE(graph_problem(*form)->isVisible());
    EXPECT_FALSE(t2()->model()->data(thickness, Qt::BackgroundRole).isValid());

    struct Case {
        const char* typed;
        const char* said;
    } cases[] = {
        {"e", "Thickness for layer 2-3 is invalid.\n(min=0.00001; max=2)"},
        {"3", "Thickness for layer 2-3 is out of allowable limits.\n(min=0.00001; max=2)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        type_cell(t2(), 4, 2, c.typed);
        EXPECT_FALSE(graph()->isVisible());
        ASSERT_TRUE(graph_problem(*form)->isVisible());
        EXPECT_EQ(graph_problem(*form)->text().toStdString(),
                  std::string("The results are not valid.\n\n") + c.said);
        EXPECT_EQ(graph_problem(*form)->geometry(), graph()->geometry());
        EXPECT_EQ(t2()->model()->data(thickness, Qt::ToolTipRole).toString().toStdString(), c.said);
        EXPECT_TRUE(t2()->model()->data(thickness, Qt::BackgroundRole).isValid());
        // The open editor covers the cell, so it carries the mark too.
        ASSERT_NE(t2()->editor(), nullptr);
        EXPECT_EQ(t2()->editor()->toolTip().toStdString(), c.said);
        EXPECT_NE(t2()->editor()->palette().color(QPalette::Base),
                  t2()->palette().color(QPalette::Base));
    }
    // A language switch words the reasons again.
    ASSERT_TRUE(document().switch_language(LANG_POLISH));
    EXPECT_EQ(graph_problem(*form)->text(),
              QString::fromUtf8("Wyniki są nieważne.\n\nGrubość dla warstwy 2-3 jest poza "
                                "dopuszczalnym zakresem.\n(min.=0.00001; maks.=2)"));
    EXPECT_EQ(t2()->model()->data(thickness, Qt::ToolTipRole).toString(),
              QString::fromUtf8("Grubość dla warstwy 2-3 jest poza dopuszczalnym zakresem.\n"
                                "(min.=0.00001; maks.=2)"));
    ASSERT_TRUE(document().switch_language(LANG_ENGLISH));

    // The first refused field in reading order is the one told.
    type_cell(t1(), 1, 1, "x");
    EXPECT_EQ(graph_problem(*form)->text().toStdString(),
              "The results are not valid.\n\nExternal temperature is invalid.\n(min=-40; max=55)");

    type_cell(t1(), 1, 1, "-5");
    type_cell(t2(), 4, 2, "0.15");
    EXPECT_TRUE(graph()->isVisible());
    EXPECT_FALSE(graph_problem(*form)->isVisible());
    EXPECT_FALSE(t2()->model()->data(thickness, Qt::BackgroundRole).isValid());
    EXPECT_EQ(t2()->editor()->toolTip(), QString());
}

TEST_F(MainWindowTest, ALayerThatMakesTheRadiusTooSmallToldAtThatEnter) {
    open_window();
    wall_group()->item(1)->click();  // curved, radius 1.5
    type_cell(t2(), 4, 3, "0.5");
    ASSERT_TRUE(ui.boxes.empty()) << ui.shown();
    type_cell(t2(), 4, 2, "1");  // 1.53 m in all: the radius must reach 1.6065
    ASSERT_EQ(ui.boxes.size(), 1u) << ui.shown();
    EXPECT_EQ(ui.boxes[0].text,
              "Radius of curvature is out of allowable limits.\n(min=1.6065; max=500)");
    EXPECT_FALSE(state().results_valid);
    EXPECT_EQ(edit_radius()->toolTip().toStdString(), ui.boxes[0].text);
    // Told once: the next Enter says nothing new.
    press_enter(t2());
    EXPECT_EQ(ui.boxes.size(), 1u) << ui.shown();

    // Thinner again: sound at once, with no second Enter.
    type_cell(t2(), 4, 2, "0.15");
    EXPECT_TRUE(state().results_valid);
    EXPECT_EQ(edit_radius()->toolTip(), QString());
}

}  // namespace
