// One project behind both windows: the climate and the kind count as unsaved
// changes, are undone from either window, and the assessment window's keys
// and boxes are its own.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>
#include <QUrl>

#include "document/assessment_document.h"
#include "document/grid_columns.h"
#include "gui/assess_window.h"
#include "lang/catalogue.h"
#include "storage/project_file.h"
#include "tests/gui/shown_title.h"
#include "tests/gui/test_mainwin_fixture.h"
#include "tests/support/walls.h"

namespace {

class OneProjectTest : public MainWindowTest {
protected:
    void open_both() {
        doc = test_wall(TestWall::dries);
        open_window();
        QTest::keyClick(form.get(), Qt::Key_F9);
        assess = form->assessment_window();
        ASSERT_NE(assess, nullptr);
        QApplication::processEvents();
    }
    AssessmentDocument& adoc() { return assess->assessment(); }
    QComboBox* combo(const char* name) const { return assess->findChild<QComboBox*>(name); }
    QTableView* climate() const { return assess->findChild<QTableView*>("climate"); }
    void key(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::ControlModifier) {
        QTest::keyClick(w, Qt::Key(key), mods);
        QApplication::processEvents();
    }
    // A climate cell typed and taken with Enter, as the user does.
    void type_climate(int month, int column, const char* text) {
        climate()->setCurrentIndex(climate()->model()->index(month, column));
        climate()->edit(climate()->currentIndex());
        auto* editor = climate()->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
    }

    QTemporaryDir dir;
    TForm_Assess* assess = nullptr;
};

// Each way of dropping the project asks after a change of the climate alone
// or of the kind alone, in both languages; Cancel keeps the project.
TEST_F(OneProjectTest, AClimateOrKindChangeAloneIsAskedAboutBeforeItIsLost) {
    struct Change {
        const char* name;
        std::function<void()> make;
    };
    const Change changes[] = {
        {"a climate cell", [this] { type_climate(1, CLIMATE_THETA_E, "-3"); }},
        {"the kind", [this] { combo("kind")->setCurrentIndex(2); }},
        {"the humidity class", [this] { combo("humidity")->setCurrentIndex(4); }},
    };
    struct Leave {
        const char* name;
        std::function<void()> run;
    };
    const Leave leaves[] = {
        {"Exit", [this] { button("SpeedButtonExit")->click(); }},
        {"the window's close",
         [this] {
             QCloseEvent close;
             QApplication::sendEvent(form.get(), &close);
         }},
        {"Open", [this] { button("SpeedButtonOpen")->click(); }},
        {"a dropped file",
         [this] {
             QMimeData mime;
             mime.setUrls({QUrl::fromLocalFile(dir.filePath("other.PAR"))});
             QDragEnterEvent enter({10, 10}, Qt::CopyAction, &mime, Qt::LeftButton, {});
             QApplication::sendEvent(form.get(), &enter);
             QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
             QApplication::sendEvent(form.get(), &dropped);
             QApplication::processEvents();
         }},
    };
    for (const int language : {LANG_ENGLISH, LANG_POLISH}) {
        for (const Change& change : changes) {
            for (const Leave& leave : leaves) {
                SCOPED_TRACE(std::string(change.name) + ", " + leave.name +
                             (language == LANG_ENGLISH ? ", English" : ", Polish"));
                ui.boxes.clear();
                open_both();
                document().switch_language(language);
                change.make();
                ASSERT_TRUE(document().modified());
                EXPECT_TRUE(form->isWindowModified());
                EXPECT_TRUE(shown_title(*form).endsWith(QStringLiteral("*")))
                    << shown_title(*form).toStdString();
                ASSERT_TRUE(ui.boxes.empty()) << ui.shown();
                ui.answers = {MsgAnswer::cancel};
                const AssessmentState before = adoc().state();
                leave.run();
                ASSERT_EQ(ui.boxes.size(), 1u) << ui.shown();
                EXPECT_EQ(ui.boxes[0].text, catalogue_a_text(TextA::UnsavedChanges));
                EXPECT_EQ(ui.boxes[0].buttons, MsgButtons::yes_no_cancel);
                EXPECT_NE(document().open_dialog(), nullptr) << "not shut down";
                EXPECT_EQ(adoc().state().climate.months[1].theta_e,
                          before.climate.months[1].theta_e);
                EXPECT_EQ(adoc().settings().kind, before.settings.kind);
                form.reset();
            }
        }
    }
}

// One history: a step of either window is undone and redone from either,
// named in the language in force, and undoing back to the save clears the mark.
TEST_F(OneProjectTest, OneHistoryUndoesTheClimateAndTheKindFromEitherWindow) {
    open_both();
    const PartitionKind kind_before = adoc().settings().kind;
    combo("kind")->setCurrentIndex(2);
    ASSERT_EQ(adoc().settings().kind, PartitionKind::Roof);
    EXPECT_EQ(button("SpeedButtonUndo")->accessibleName(), "Undo: kind of partition");
    key(form.get(), Qt::Key_Z);  // the main window's Ctrl+Z
    EXPECT_EQ(adoc().settings().kind, kind_before);
    EXPECT_EQ(combo("kind")->currentIndex(), 0);
    EXPECT_FALSE(document().modified()) << "back at the saved state";
    EXPECT_FALSE(form->isWindowModified());
    key(assess, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);  // F9's redo
    EXPECT_EQ(adoc().settings().kind, PartitionKind::Roof);
    key(assess, Qt::Key_Z);
    EXPECT_EQ(adoc().settings().kind, kind_before);

    type_climate(1, CLIMATE_THETA_E, "-3");
    EXPECT_EQ(button("SpeedButtonUndo")->accessibleName(),
              QString::fromUtf8("Undo: θe of February"));
    document().switch_language(LANG_POLISH);
    EXPECT_EQ(button("SpeedButtonUndo")->accessibleName(), QString::fromUtf8("Cofnij: θe w lutym"));
    // A main-window edit and a climate edit interleave in one history.
    type_cell(t1(), 1, 1, "-12");
    key(form.get(), Qt::Key_Z);
    EXPECT_EQ(document().record().temp_ext, test_wall(TestWall::dries).temp_ext);
    EXPECT_EQ(adoc().climate().months[1].theta_e, -3.0);
    key(assess, Qt::Key_Z);
    EXPECT_NE(adoc().climate().months[1].theta_e, -3.0);
    EXPECT_FALSE(document().can_undo());
}

// Save As with the project's filter and a bare name writes a project, which
// opens again with its climate; a data file asks before it drops the climate.
TEST_F(OneProjectTest, SaveFollowsTheChosenTypeAndNeverDropsTheClimateUnasked) {
    open_both();
    type_climate(3, CLIMATE_PHI_E, "77");
    const QString bare = dir.filePath("job");
    ui.save_answers.push_back(bare);
    ui.while_dialog_open = [](FileDialog& d) { d.filter_index = 2; };
    document().save_as();
    ui.while_dialog_open = nullptr;
    const QString project = bare + ".parieta.json";
    ASSERT_TRUE(looks_like_project_file(project.toUtf8().constData())) << ui.shown();
    EXPECT_EQ(status_bar()->currentMessage(), "Saved the project: " + project);
    EXPECT_FALSE(document().modified());
    EXPECT_FALSE(form->isWindowModified()) << "saved: the mark goes";

    // To a data file: the question, and Cancel writes nothing.
    const QString par = dir.filePath("job.PAR");
    for (const MsgAnswer answer : {MsgAnswer::cancel, MsgAnswer::no}) {
        ui.boxes.clear();
        ui.answers = {answer};
        ui.save_answers.push_back(par);
        ui.while_dialog_open = [](FileDialog& d) { d.filter_index = 1; };
        document().save_as();
        ui.while_dialog_open = nullptr;
        ASSERT_EQ(ui.boxes.size(), 1u) << ui.shown();
        EXPECT_EQ(ui.boxes[0].buttons, MsgButtons::yes_no_cancel);
        EXPECT_TRUE(ui.boxes[0].unicode.contains("cannot keep")) << ui.shown();
        EXPECT_EQ(QFile::exists(par), answer == MsgAnswer::no);
    }
    EXPECT_EQ(status_bar()->currentMessage(), "Saved the partition only: " + par);

    // The project opens with its climate.
    type_climate(3, CLIMATE_PHI_E, "55");
    ui.answers = {MsgAnswer::no};
    ui.open_answers.push_back(project);
    button("SpeedButtonOpen")->click();
    EXPECT_EQ(adoc().climate().months[3].phi_e, 77.0);
}

// The assessment window's own keys, its Tab order and its boxes.
TEST_F(OneProjectTest, TheAssessmentWindowsKeysTabAndBoxesAreItsOwn) {
    open_both();
    assess->activateWindow();
    QApplication::processEvents();

    // Ctrl+S saves the project: with no file yet, Save As over this window.
    key(climate(), Qt::Key_S);
    ASSERT_EQ(ui.save_dialogs.size(), 1u);
    EXPECT_EQ(ui.dialog_owners.back(), assess);
    // Ctrl+P prints the assessment.
    key(climate(), Qt::Key_P);
    EXPECT_EQ(ui.print_dialogs, 1);
    EXPECT_EQ(ui.dialog_owners.back(), assess);

    // A box from here comes up over this window.
    QApplication::clipboard()->setText("1\t2");
    climate()->setFocus();
    key(climate(), Qt::Key_V);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].owner, assess);
    EXPECT_EQ(ui.owner, nullptr) << "the main window's again afterwards";

    // Tab leaves the grid, and does not wrap back to January.
    climate()->setFocus();
    climate()->setCurrentIndex(climate()->model()->index(11, CLIMATE_PHI_I));
    QTest::keyClick(climate(), Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), climate());
    EXPECT_TRUE(assess->isAncestorOf(QApplication::focusWidget()));

    // Escape closes it.
    key(assess, Qt::Key_Escape, Qt::NoModifier);
    EXPECT_FALSE(assess->isVisible());
}

// Ctrl+E exports from inside a cell and from the title, as its hint says.
TEST_F(OneProjectTest, CommandKeysWorkFromACellEditorAndTheTitle) {
    open_both();
    form->activateWindow();
    QApplication::processEvents();
    type_cell(t1(), 1, 1, "-12", false);
    QLineEdit* editor = t1()->editor();
    ASSERT_NE(editor, nullptr);
    key(editor, Qt::Key_E);
    EXPECT_EQ(ui.save_dialogs.size(), 1u) << "Export As asks for a name";
    EXPECT_EQ(document().record().temp_ext, -12.0) << "the typed cell taken in first";
    auto* title = form->findChild<QLineEdit*>("edit_title");
    ASSERT_NE(title, nullptr);
    title->setFocus();
    key(title, Qt::Key_E);
    EXPECT_EQ(ui.save_dialogs.size(), 2u);
}

}  // namespace

namespace {

// The toolbar comes from one table: each button has its action, whose keys
// are the ones its tooltip and description name.
TEST_F(OneProjectTest, EveryToolbarButtonHasTheActionOfItsRow) {
    open_window();
    const QList<QToolButton*> buttons =
        form->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(buttons.size(), 15);
    for (QToolButton* b : buttons) {
        SCOPED_TRACE(b->objectName().toStdString());
        auto* action = form->findChild<QAction*>("action_" + b->objectName().mid(11));
        ASSERT_NE(action, nullptr);
        if (b->objectName() == "SpeedButtonLang048") {
            EXPECT_TRUE(action->shortcuts().isEmpty()) << "Ctrl+L is the other flag's action's";
            continue;
        }
        ASSERT_FALSE(action->shortcuts().isEmpty());
        EXPECT_EQ(b->accessibleDescription(),
                  action->shortcuts().first().toString(QKeySequence::NativeText));
        EXPECT_TRUE(b->toolTip().endsWith("(" + b->accessibleDescription() + ")"));
    }
}

}  // namespace
