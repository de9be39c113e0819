// Caption, toolbar, and how the window ends.
#include <QCloseEvent>
#include <QFileInfo>
#include <QSet>
#include <QToolButton>

#include "gui/Quil_hlp.h"
#include "tests/gui/shown_title.h"
#include "tests/gui/test_mainwin_fixture.h"

namespace {

TEST_F(MainWindowTest, CaptionAndSaveButtonsFollowTheCurrentFile) {
    open_window();
    document().set_current_file(QString());
    EXPECT_EQ(shown_title(*form), "PARIETA ver. 1.1 <- console");
    EXPECT_FALSE(button("SpeedButtonSave")->isEnabled());
    EXPECT_FALSE(button("SpeedButtonExport")->isEnabled());
    document().set_current_file("/data/DAT/wall.PAR");
    EXPECT_EQ(shown_title(*form), "PARIETA ver. 1.1 <- console + /data/DAT/wall.PAR");
    EXPECT_EQ(state().current_file, "/data/DAT/wall.PAR");
    EXPECT_TRUE(button("SpeedButtonSave")->isEnabled());
    EXPECT_TRUE(button("SpeedButtonExport")->isEnabled());
}

// How a button's disabled image is made.
enum class Greyed { by_qt, embossed, flag };

TEST_F(MainWindowTest, ToolbarButtonsCarryGlyphsHintsAndTheirDisabledImages) {
    open_window();
    struct Expect {
        const char* name;
        const char* hint;
        Greyed greyed;
        const char* keys;  // shown after the hint in the tooltip
    };
    const Expect buttons[] = {
        {"SpeedButtonInfo1", "About programme", Greyed::by_qt, "Shift+F1"},
        {"SpeedButtonInfo2", "Other notes about programme", Greyed::by_qt, "Ctrl+F1"},
        {"SpeedButtonOpen", "Read data from a file", Greyed::by_qt, "Ctrl+O"},
        {"SpeedButtonSave", "Save current data to the file", Greyed::embossed, "Ctrl+S"},
        {"SpeedButtonExport",
         "Export current data & results to the text file under current name with TXT extention",
         Greyed::embossed, "Ctrl+E"},
        {"SpeedButtonSaveAs", "Save current data to the file under a new name", Greyed::by_qt, "Ctrl+Shift+S"},
        {"SpeedButtonExportAs", "Export current data & results to the text file under a new name",
         Greyed::by_qt, "Ctrl+Shift+E"},
        {"SpeedButtonMaterials", "Lambda & Delta coefficients of some materials", Greyed::embossed, "Ctrl+M"},
        {"SpeedButtonPrint", "Print data and results", Greyed::by_qt, "Ctrl+P"},
        {"SpeedButtonLang044", "Change language into English", Greyed::flag, "Ctrl+L"},
        {"SpeedButtonLang048", "Change language into Polish", Greyed::flag, "Ctrl+L"},
        {"SpeedButtonExit", "Exit the programme", Greyed::by_qt, "Ctrl+Q"},
        {"SpeedButtonUndo", "Undo", Greyed::embossed, "Ctrl+Z"},
        {"SpeedButtonRedo", "Redo", Greyed::embossed, "Ctrl+Shift+Z"},
    };
    for (const Expect& e : buttons) {
        auto* b = form->findChild<QToolButton*>(e.name);
        ASSERT_NE(b, nullptr) << e.name;
        EXPECT_EQ(b->accessibleName().toStdString(), e.hint);
        EXPECT_EQ(b->toolTip().toStdString(), std::string(e.hint) + " (" + e.keys + ")");
        EXPECT_EQ(b->accessibleDescription().toStdString(), e.keys);
        EXPECT_EQ(b->size(), QSize(20, 20)) << e.name;
        EXPECT_TRUE(b->text().isEmpty()) << e.name;
        const QIcon icon = b->icon();
        const QImage normal = icon.pixmap(16, 16).toImage();
        const QImage greyed = icon.pixmap(QSize(16, 16), QIcon::Disabled).toImage();
        EXPECT_NE(normal, greyed) << e.name;
        // An embossed image carries only grey and white; a flag only greys.
        bool only_grey = true, only_greys = true;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const QColor c = greyed.pixelColor(x, y);
                if (c.alpha() && c != QColor(128, 128, 128) && c != QColor(255, 255, 255))
                    only_grey = false;
                if (c.alpha() && (c.red() != c.green() || c.green() != c.blue()))
                    only_greys = false;
            }
        EXPECT_EQ(only_grey, e.greyed == Greyed::embossed) << e.name;
        if (e.greyed == Greyed::flag) EXPECT_TRUE(only_greys) << e.name;
    }
    // The settings file says Polish (or is missing), so English is on offer.
    EXPECT_TRUE(button("SpeedButtonLang044")->isEnabled());
    EXPECT_FALSE(button("SpeedButtonLang048")->isEnabled());
}

TEST_F(MainWindowTest, ADisabledFlagStaysARecognisableFlag) {
    // Emboss a flag and little but a grey bar is left; greyed, it keeps its
    // fields, each a grey of its own, inside the outline.
    for (const QSize screen : {QSize(1024, 768), QSize(3840, 2160)}) {
        ui.screen = screen;
        open_window();
        for (const char* name : {"SpeedButtonLang044", "SpeedButtonLang048"}) {
            SCOPED_TRACE(std::string(name) + " at " + std::to_string(screen.width()));
            const QToolButton* b = button(name);
            const int side = b->iconSize().width();
            const QImage flag = b->icon().pixmap(b->iconSize(), QIcon::Disabled).toImage();
            ASSERT_EQ(flag.width(), side);
            // Inside the outline: cells 1..14 across, 3..12 down.
            const double cell = side / 16.0;
            const QRect inside(int(1 * cell) + 1, int(3 * cell) + 1, int(14 * cell) - 2,
                               int(10 * cell) - 2);
            QSet<QRgb> colours;
            bool opaque = true;
            for (int y = inside.top(); y <= inside.bottom(); ++y)
                for (int x = inside.left(); x <= inside.right(); ++x) {
                    const QColor c = flag.pixelColor(x, y);
                    opaque = opaque && c.alpha() == 255;
                    colours.insert(c.rgba());
                }
            EXPECT_TRUE(opaque);
            EXPECT_GE(colours.size(), 2);
            // The outline is darker than a field left white.
            const QColor outline = flag.pixelColor(side / 2, int(2.5 * cell));
            EXPECT_EQ(outline.alpha(), 255);
            EXPECT_LT(outline.value(), 255);
        }
        // The Polish flag's halves differ.
        const QToolButton* pl = button("SpeedButtonLang048");
        const QImage flag = pl->icon().pixmap(pl->iconSize(), QIcon::Disabled).toImage();
        const int side = flag.width();
        EXPECT_NE(flag.pixelColor(side / 2, side * 5 / 16),
                  flag.pixelColor(side / 2, side * 11 / 16));
        form.reset();
    }
}

TEST_F(MainWindowTest, EveryNamedControlIsThere) {
    open_window();
    for (const char* name :
         {"mnu_table1", "mnu_table2", "edit_title", "label_title", "mnu_radio_group_wall",
          "mnu_radio_group_calc", "edit_RadiusC", "label_RadiusC", "graph", "status_bar"})
        EXPECT_NE(form->findChild<QWidget*>(name), nullptr) << name;
    EXPECT_EQ(edit_title()->maxLength(), 80);
    EXPECT_EQ(edit_radius()->maxLength(), 10);
    EXPECT_FALSE(status_bar()->isVisible());
    EXPECT_EQ(state().open_name, "PARI");
    EXPECT_TRUE(state().open_dir.endsWith("DAT"));
    EXPECT_TRUE(QFileInfo(state().open_dir).isDir());  // made at start
    EXPECT_EQ(document().open_dialog()->default_ext, "PAR");
    EXPECT_TRUE(document().save_dialog()->overwrite_prompt);
}

TEST_F(MainWindowTest, ExitAndCloseShutTheWindowDown) {
    open_window();
    set_language(LANG_POLISH);  // nothing to write to the settings file
    button("SpeedButtonExit")->click();
    EXPECT_EQ(document().open_dialog(), nullptr);
    EXPECT_EQ(document().save_dialog(), nullptr);
    QCloseEvent after_exit;  // what the application's quit sends next
    QApplication::sendEvent(form.get(), &after_exit);
    EXPECT_TRUE(after_exit.isAccepted());

    form = std::make_unique<TForm_quil>(doc, ui);
    form->show();
    QCloseEvent close;
    QApplication::sendEvent(form.get(), &close);
    EXPECT_TRUE(close.isAccepted());
    EXPECT_EQ(document().open_dialog(), nullptr);
}

TEST_F(MainWindowTest, TheMaterialsWindowCopiesIntoTheCurrentLayerCell) {
    open_window();
    click_cell(t2(), 5, 2);
    LayerGridTarget& target = form->layer_grid();
    EXPECT_EQ(target.current_column(), 5);
    EXPECT_EQ(target.current_row(), 2);
    target.set_cell_text(5, 2, "0.7");
    EXPECT_EQ(t2()->editor()->text(), "0.7");  // the open editor shows it at once
    press_enter(t2());
    EXPECT_EQ(doc.layers[1].lambda, 0.7);
}

}  // namespace

#include <stdexcept>

#include "gui/startup.h"

namespace {

TEST(ProgramEntry, AnEscapingExceptionIsShownAndEndsWithAnError) {
    FakeUi ui;
    EXPECT_EQ(run_guarded(ui, [] { return 0; }), 0);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(run_guarded(ui, []() -> int { throw std::runtime_error("no display"); }), 1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "no display");
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::error);
    EXPECT_EQ(run_guarded(ui, []() -> int { throw 7; }), 1);
    EXPECT_EQ(ui.boxes.size(), 2u);
}

}  // namespace
