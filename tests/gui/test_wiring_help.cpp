// F1 on the input fields, the information buttons and the materials button,
// reaching the real help and materials window.
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

#include "tests/gui/test_text_mouse.h"
#include "tests/gui/test_wiring_fixture.h"

namespace {

class FieldHelpTest : public WiringTest {
protected:
    void SetUp() override {
        WiringTest::SetUp();
        write_raw_settings(folder, language_bytes(LANG_ENGLISH));
        open_joined();
    }

    // Hidden, and marked with a text no F1 shows, so "nothing" is visible.
    void reset_help() {
        help->show_text(HELP_MODE_TEXT, 0);
        help->hide();
    }
};

TEST_F(FieldHelpTest, ConditionsGridByRowAndColumn) {
    struct Case {
        int col, row, id;  // id < 0: nothing is shown
    };
    const Case dampness[] = {
        {1, 1, 115}, {2, 1, 114}, {1, 2, 119}, {2, 2, 118}, {1, 3, 117},
        {2, 3, 116}, {1, 4, 121}, {2, 4, 120}, {0, 1, -1},  {0, 4, -1},
    };
    for (const Case& c : dampness) {
        reset_help();
        t1()->set_current(c.col, c.row);
        QTest::keyClick(t1(), Qt::Key_F1);
        const bool expect = c.id >= 0;
        EXPECT_EQ(help->isVisible(), expect) << c.col << "," << c.row;
        EXPECT_EQ(help->current_text_id(), expect ? c.id : 0) << c.col << "," << c.row;
        if (expect) {
            EXPECT_EQ(help->mode(), HELP_MODE_TEXT);
        }
    }

    // Through the cell editor, as the user presses it.
    reset_help();
    click_cell(t1(), 2, 2);
    press_f1(t1());
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->current_text_id(), 118);
    EXPECT_TRUE(help_text()->toPlainText().startsWith(
        "Specify resistance of taking up the heat for the internal side of the partition."));

    // Thermal mode: humidity and diffusive resistance rows are gone.
    calc_group()->item(0)->click();
    ASSERT_EQ(t1()->row_count(), 3);
    for (int row : {3, 4}) {
        reset_help();
        t1()->set_current(1, row);
        QTest::keyClick(t1(), Qt::Key_F1);
        EXPECT_FALSE(help->isVisible()) << "row " << row;
    }
    reset_help();
    t1()->set_current(1, 2);
    QTest::keyClick(t1(), Qt::Key_F1);
    EXPECT_EQ(help->current_text_id(), 119);
}

TEST_F(FieldHelpTest, LayersGridByColumnOnLayerRowsOnly) {
    struct Case {
        int col, row;
        bool shows;
        int mode, id;
    };
    const int add_row = used_layers(doc) + 1;
    const Case cases[] = {
        {3, 2, true, HELP_MODE_COPY_TEXT, MATERIALS_TEXT_ID},
        {4, 1, true, HELP_MODE_TEXT, 124},
        {5, 4, true, HELP_MODE_COPY_NUMBER, MATERIALS_TEXT_ID},
        {6, 3, true, HELP_MODE_COPY_NUMBER, MATERIALS_TEXT_ID},
        {0, 1, false, 0, 0},  // fixed cells
        {1, 2, false, 0, 0},
        {2, 3, false, 0, 0},
        {3, 0, false, 0, 0},  // header row
        {3, add_row, false, 0, 0},
        {5, add_row, false, 0, 0},
    };
    for (const Case& c : cases) {
        reset_help();
        if (c.shows) {
            click_cell(t2(), c.col, c.row);
            press_f1(t2());
        } else {
            t2()->set_current(c.col, c.row);
            QTest::keyClick(t2(), Qt::Key_F1);
        }
        EXPECT_EQ(help->isVisible(), c.shows) << c.col << "," << c.row;
        if (!c.shows) continue;
        EXPECT_EQ(help->mode(), c.mode) << c.col << "," << c.row;
        EXPECT_EQ(help->current_text_id(), c.id) << c.col << "," << c.row;
    }
    // The description column offers the text copy, Lambda the number copy.
    reset_help();
    click_cell(t2(), 3, 1);
    press_f1(t2());
    EXPECT_TRUE(help_button("button_copy")->isVisible());
    EXPECT_EQ(help_button("button_copy")->text(), "Copy the selected text to the data table");
    click_cell(t2(), 5, 1);
    press_f1(t2());
    EXPECT_EQ(help_button("button_copy")->text(), "Copy the selected number to the data table");
}

// A key the cell editor has no use for must not reach the grid a second
// time: F1 would show the window, hide it and show it again, and a window
// manager may leave it hidden.
TEST_F(FieldHelpTest, F1InACellEditorShowsTheWindowOnce) {
    struct ShowCounter : QObject {
        int shows = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Show) ++shows;
            return false;
        }
    } counter;
    help->installEventFilter(&counter);
    for (StringGrid* g : {t1(), t2()}) {
        reset_help();
        counter.shows = 0;
        click_cell(g, g == t1() ? 1 : 4, 1);
        ASSERT_NE(g->editor(), nullptr);
        press_f1(g);
        EXPECT_TRUE(help->isVisible());
        EXPECT_EQ(counter.shows, 1) << g->objectName().toStdString();
    }
}

// The buttons take the main window's font, so both captions fit on the
// smallest screen, in both languages.
TEST_F(FieldHelpTest, CaptionsFitTheButtonsAt800x600) {
    form->set_help_window(nullptr);
    help.reset();
    form.reset();
    ui.screen = {800, 600};
    open_joined();
    for (const std::int8_t language : {LANG_ENGLISH, LANG_POLISH}) {
        set_language(language);
        for (const int mode : {HELP_MODE_COPY_TEXT, HELP_MODE_COPY_NUMBER}) {
            help->show_materials(mode);
            for (const QPushButton* b : {help_button("button_copy"), help_button("button_find")}) {
                SCOPED_TRACE(b->text().toStdString());
                EXPECT_EQ(b->font().toString().toStdString(),
                          form->font().toString().toStdString());
                QStyleOptionButton option;
                option.initFrom(b);
                option.text = b->text();
                const QRect room =
                    b->style()->subElementRect(QStyle::SE_PushButtonContents, &option, b);
                EXPECT_LE(b->fontMetrics().horizontalAdvance(b->text()), room.width());
            }
        }
    }
}

TEST_F(FieldHelpTest, TitleAndRadiusEdits) {
    reset_help();
    press_f1(edit_title());
    EXPECT_EQ(help->current_text_id(), 123);
    EXPECT_EQ(help_text()->toPlainText(), "Enter a job title.");

    wall_group()->item(1)->click();  // curved: the radius edit shows
    ASSERT_TRUE(edit_radius()->isVisible());
    reset_help();
    press_f1(edit_radius());
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->mode(), HELP_MODE_TEXT);
    EXPECT_EQ(help_text()->toPlainText(),
              "Specify the radius of curvature of the external partition edge.");
}

TEST_F(FieldHelpTest, F1ReadsNothingAndChecksNothing) {
    const double thickness = doc.layers[0].thickness;
    type_cell(t2(), 4, 1, "0.5", false);
    press_f1(t2());
    EXPECT_EQ(help->current_text_id(), 124);
    EXPECT_EQ(doc.layers[0].thickness, thickness);
    type_cell(t1(), 1, 1, "e", false);  // invalid, still only typed
    press_f1(t1());
    EXPECT_EQ(help->current_text_id(), 115);
    EXPECT_TRUE(ui.boxes.empty()) << ui.shown();
}

TEST_F(FieldHelpTest, InformationButtonsShowTheCheckMessageFirst) {
    // About box.
    type_cell(t1(), 1, 1, "e", false);
    button("SpeedButtonInfo1")->click();
    ASSERT_EQ(ui.boxes.size(), 2u) << ui.shown();
    EXPECT_EQ(ui.boxes[0].caption, "ERROR");
    EXPECT_NE(ui.boxes[0].text.find("External temperature"), std::string::npos);
    const FakeUi::Box& about = ui.boxes[1];
    EXPECT_EQ(about.text.rfind("\t\tPARIETA ver. 1.1, release 2000.07\n", 0), 0u);
    EXPECT_EQ(about.text, catalogue_a_text(18));
    EXPECT_EQ(about.caption, "About programme");
    EXPECT_EQ(about.icon, MsgIcon::information);
    EXPECT_EQ(about.buttons, MsgButtons::ok);
    EXPECT_FALSE(help->isVisible());

    // General notes, after the message of another invalid cell.
    type_cell(t1(), 1, 1, "-5");
    type_cell(t2(), 5, 2, "-", false);
    ui.boxes.clear();
    button("SpeedButtonInfo2")->click();
    ASSERT_EQ(ui.boxes.size(), 1u) << ui.shown();
    EXPECT_NE(ui.boxes[0].text.find("Lambda"), std::string::npos) << ui.shown();
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->mode(), HELP_MODE_TEXT);
    EXPECT_EQ(help->current_text_id(), 125);
    EXPECT_TRUE(help_text()->toPlainText().startsWith(
        "The programme requires at least 800x600 screen resolution mode."));
}

TEST_F(FieldHelpTest, MaterialsButtonCommitsThenShowsTheTableToRead) {
    type_cell(t2(), 5, 1, "0.7", false);
    button("SpeedButtonMaterials")->click();
    EXPECT_EQ(doc.layers[0].lambda, 0.7);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->mode(), HELP_MODE_MATERIALS);
    EXPECT_EQ(help->current_text_id(), MATERIALS_TEXT_ID);
    EXPECT_FALSE(help_button("button_copy")->isVisible());
    EXPECT_TRUE(help_button("button_find")->isVisible());
    EXPECT_TRUE(help_text()->toPlainText().startsWith(
        "Values of thermal conductivity coefficients Lambda"));
}

// The word boundaries stop at the decimal mark: a copy of "045" alone would
// be out of limits.
TEST_F(FieldHelpTest, DoubleClickedNumberCopiesWholeIntoLambda) {
    for (const char sep : {'.', ','}) {
        SCOPED_TRACE(sep);
        // The grids show the separator too: a window opened with it.
        form->set_help_window(nullptr);
        help.reset();
        form.reset();
        ui.separator = sep;
        open_joined();
        ui.boxes.clear();
        click_cell(t2(), 5, 1);
        press_f1(t2());
        ASSERT_EQ(help->mode(), HELP_MODE_COPY_NUMBER);
        QTextEdit* txt = help_text();
        const QString number = QString("0") + sep + "045";
        const int at = static_cast<int>(txt->toPlainText().indexOf(number + " "));
        ASSERT_GT(at, 0);
        double_click(txt, char_center(txt, at + 3));
        EXPECT_EQ(txt->textCursor().selectedText(), number);
        QTest::mouseClick(help_button("button_copy"), Qt::LeftButton);
        EXPECT_EQ(t2()->cell(5, 1), number);
        button("SpeedButtonMaterials")->click();  // takes the grids in
        EXPECT_EQ(doc.layers[0].lambda, 0.045);
        EXPECT_TRUE(ui.boxes.empty()) << ui.shown();
    }
}

TEST_F(FieldHelpTest, EscapeHidesTheWindowWhereverItsFocusIs) {
    click_cell(t2(), 3, 1);
    press_f1(t2());
    ASSERT_TRUE(help->isVisible());
    QTest::keyClick(help_button("button_find"), Qt::Key_Escape);
    EXPECT_FALSE(help->isVisible());

    press_f1(t2());
    ASSERT_TRUE(help->isVisible());
    QTest::keyClick(help_text(), Qt::Key_Escape);
    EXPECT_FALSE(help->isVisible());

    // Other keys on a button leave it up.
    press_f1(t2());
    QTest::keyClick(help_button("button_find"), Qt::Key_A);
    EXPECT_TRUE(help->isVisible());
}

}  // namespace
