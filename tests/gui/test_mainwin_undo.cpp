// Undo and Redo in the window: the buttons follow the history, the keys go
// to an edit while it holds text not yet taken in, and every control shows
// the earlier state again.
#include "document/grid_columns.h"
#include "gui/Quil_hlp.h"
#include "tests/gui/test_wiring_fixture.h"
#include "tests/support/cp1250.h"

namespace {

class UndoWindowTest : public WiringTest {
protected:
    void SetUp() override {
        WiringTest::SetUp();
        open_window();
    }
    // The step's name; the tooltip adds the key.
    std::string tip(const char* name) { return to_1250(button(name)->accessibleName()); }
    void chord(QWidget* w, Qt::Key key, Qt::KeyboardModifiers mods = Qt::ControlModifier) {
        QTest::keyClick(w, key, mods);
    }
};

TEST_F(UndoWindowTest, TheButtonsFollowTheHistoryAndNameTheStep) {
    QToolButton* undo = button("SpeedButtonUndo");
    QToolButton* redo = button("SpeedButtonRedo");
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    EXPECT_EQ(tip("SpeedButtonUndo"), "Undo");
    EXPECT_EQ(tip("SpeedButtonRedo"), "Redo");

    type_cell(t2(), LAYER_THICKNESS, 2, "0.3");
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    EXPECT_EQ(tip("SpeedButtonUndo"), "Undo: thickness of layer 2-3");
    EXPECT_EQ(button("SpeedButtonUndo")->toolTip(), "Undo: thickness of layer 2-3 (Ctrl+Z)");

    undo->click();
    EXPECT_EQ(doc.layers[1].thickness, 0.15);
    EXPECT_EQ(t2()->cell(LAYER_THICKNESS, 2), "0.15");
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_TRUE(redo->isEnabled());
    EXPECT_EQ(tip("SpeedButtonRedo"), "Redo: thickness of layer 2-3");

    document().switch_language(LANG_POLISH);  // no step, the names follow
    EXPECT_TRUE(redo->isEnabled());
    EXPECT_EQ(tip("SpeedButtonUndo"), w1250("Cofnij"));
    EXPECT_EQ(tip("SpeedButtonRedo"), w1250("Ponów: grubość warstwy 2-3"));
    redo->click();
    EXPECT_EQ(doc.layers[1].thickness, 0.3);
    EXPECT_EQ(tip("SpeedButtonUndo"), w1250("Cofnij: grubość warstwy 2-3"));
}

TEST_F(UndoWindowTest, CtrlZIsTheEditorsOwnUntilTheValueIsTakenIn) {
    type_cell(t2(), LAYER_THICKNESS, 2, "0.3", false);
    QLineEdit* editor = t2()->editor();
    ASSERT_NE(editor, nullptr);
    for (int i = 0; i < 5 && editor->text() != "0.15"; ++i) chord(editor, Qt::Key_Z);
    EXPECT_EQ(editor->text(), "0.15");  // the typing undone by the editor itself
    EXPECT_EQ(document().history().count(), 0);

    editor->end(false);
    type_text(editor, "5");
    press_enter(t2());
    EXPECT_EQ(doc.layers[1].thickness, 0.155);
    chord(t2()->editor(), Qt::Key_Z);  // taken in: the document's step
    EXPECT_EQ(doc.layers[1].thickness, 0.15);
    EXPECT_EQ(t2()->editor()->text(), "0.15");
    chord(t2()->editor(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(doc.layers[1].thickness, 0.155);
    chord(t2()->editor(), Qt::Key_Z);

    // The title edit, and a control without an editor, the same way.
    edit_title()->setFocus();
    type_text(edit_title(), "Wall");
    chord(edit_title(), Qt::Key_Z);
    EXPECT_EQ(edit_title()->text(), "");
    EXPECT_EQ(doc.layers[1].thickness, 0.15);
    calc_group()->item(0)->setFocus();
    chord(calc_group()->item(0), Qt::Key_Y);
    EXPECT_EQ(doc.layers[1].thickness, 0.155);
}

TEST_F(UndoWindowTest, EveryControlShowsTheEarlierStateAgain) {
    wall_group()->item(1)->click();
    edit_radius()->setFocus();
    edit_radius()->selectAll();
    type_text(edit_radius(), "3.5");
    QTest::keyClick(edit_radius(), Qt::Key_Return);
    edit_title()->setFocus();
    type_text(edit_title(), "Wall A");
    QTest::keyClick(edit_title(), Qt::Key_Return);
    calc_group()->item(0)->click();
    type_cell(t2(), LAYER_THICKNESS, 1, "6");  // beyond its limit: no step, no graph
    EXPECT_FALSE(graph()->isVisibleTo(form.get()));
    ASSERT_EQ(document().history().count(), 4);

    QToolButton* undo = button("SpeedButtonUndo");
    undo->click();  // the mode, and the refused thickness with it
    EXPECT_EQ(calc_group()->item_index(), 1);
    EXPECT_EQ(t2()->col_count(), 7);
    EXPECT_EQ(t1()->row_count(), 5);
    EXPECT_EQ(t2()->cell(LAYER_THICKNESS, 1), "0.015");
    EXPECT_TRUE(graph()->isVisibleTo(form.get()));
    undo->click();
    EXPECT_EQ(edit_title()->text(), "");
    undo->click();
    EXPECT_EQ(edit_radius()->text(), "1.5");
    EXPECT_TRUE(edit_radius()->isVisibleTo(form.get()));
    undo->click();
    EXPECT_EQ(wall_group()->item_index(), 0);
    EXPECT_FALSE(edit_radius()->isVisibleTo(form.get()));
    EXPECT_EQ(doc.modified, 0);

    for (int i = 0; i < 4; ++i) button("SpeedButtonRedo")->click();
    EXPECT_EQ(wall_group()->item_index(), 1);
    EXPECT_EQ(edit_radius()->text(), "3.5");
    EXPECT_EQ(edit_title()->text(), "Wall A");
    EXPECT_EQ(calc_group()->item_index(), 0);
    EXPECT_EQ(t2()->col_count(), 6);
    EXPECT_EQ(doc.radius, 3.5);
}

TEST_F(UndoWindowTest, AValueCopiedFromTheMaterialsIsAStep) {
    click_cell(t2(), LAYER_LAMBDA, 1);
    form->layer_grid().set_cell_text(LAYER_LAMBDA, 1, "0.56");
    click_cell(t2(), LAYER_LAMBDA, 2);  // taken in on leaving the cell
    EXPECT_EQ(doc.layers[0].lambda, 0.56);
    EXPECT_EQ(tip("SpeedButtonUndo"), "Undo: Lambda of layer 1-2");
    button("SpeedButtonUndo")->click();
    EXPECT_EQ(doc.layers[0].lambda, 1.0);
    EXPECT_EQ(t2()->cell(LAYER_LAMBDA, 1), "1");
}

TEST_F(UndoWindowTest, UndoingBackToTheSavedStateLetsExitAskNothing) {
    type_cell(t2(), LAYER_LAMBDA, 1, "0.5");
    ui.save_answers = {folder + "WALL.PAR"};
    button("SpeedButtonSaveAs")->click();
    EXPECT_EQ(doc.modified, 0);
    type_cell(t2(), LAYER_LAMBDA, 1, "0.6");
    button("SpeedButtonUndo")->click();
    ui.boxes.clear();
    button("SpeedButtonExit")->click();
    EXPECT_TRUE(ui.boxes.empty()) << ui.shown();
    EXPECT_TRUE(document().is_shut_down());
}

}  // namespace
