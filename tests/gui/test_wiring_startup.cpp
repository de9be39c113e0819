// The whole run through the program's entry: splash, main window, hidden
// materials window, the loop, and what the end leaves in the settings file.
#include <QTimer>
#include <stdexcept>

#include "gui/startup.h"
#include "tests/gui/shown_title.h"
#include "tests/gui/test_wiring_fixture.h"

namespace {

QStringList top_level_names(bool visible_only) {
    QStringList names;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (!visible_only || w->isVisible()) names << w->objectName();
    return names;
}

class StartupTest : public WiringTest {
protected:
    // The splash's wait takes no time on the fake clock.
    StartupSeams quick() {
        StartupSeams s;
        s.main_window_changed = [this](TForm_quil* f) { owner = f; };
        return s;
    }

    // Runs `script` inside the loop; a script that fails to end the run is
    // ended after a while, so a fault never hangs the suite.
    int run(StartupSeams seams, std::function<void(TForm_quil&, TForm_Help&)> script) {
        auto inspect = seams.before_loop;
        seams.before_loop = [&, inspect](TForm_quil& f, TForm_Help& h) {
            if (inspect) inspect(f, h);
            QTimer::singleShot(0, &f, [&f, &h, script] { script(f, h); });
            QTimer::singleShot(10000, &f, [] { QCoreApplication::exit(99); });
        };
        return run_program(doc, ui, seams);
    }

    TForm_quil* owner = nullptr;
};

TEST_F(StartupTest, SplashFirstThenTheMainWindowWithTheHiddenMaterialsWindow) {
    QStringList during_splash;
    QTimer::singleShot(0, [&] { during_splash = top_level_names(true); });
    StartupSeams seams = quick();
    QStringList after_splash;
    seams.after_splash = [&] { after_splash = top_level_names(false); };
    bool inspected = false;
    seams.before_loop = [&](TForm_quil& f, TForm_Help& h) {
        inspected = true;
        EXPECT_TRUE(f.isVisible());
        EXPECT_FALSE(h.isVisible());
        EXPECT_EQ(f.help_window(), &h);
        EXPECT_EQ(owner, &f);
        EXPECT_FALSE(top_level_names(false).contains("FormStart"));
        // No settings file: Polish, with English on offer.
        EXPECT_EQ(get_language(), LANG_POLISH);
        EXPECT_TRUE(shown_title(f).startsWith("PARIETA wer. 1.1"));
        EXPECT_TRUE(child_of<QToolButton>(f, "SpeedButtonLang044")->isEnabled());
        EXPECT_FALSE(child_of<QToolButton>(f, "SpeedButtonLang048")->isEnabled());
    };
    const int code = run(seams, [](TForm_quil& f, TForm_Help&) {
        child_of<QToolButton>(f, "SpeedButtonExit")->click();
    });

    EXPECT_EQ(code, 0);
    EXPECT_TRUE(inspected);
    EXPECT_TRUE(during_splash.contains("FormStart")) << during_splash.join(",").toStdString();
    EXPECT_FALSE(during_splash.contains("Form_quil"));
    EXPECT_FALSE(after_splash.contains("FormStart")) << after_splash.join(",").toStdString();
    EXPECT_FALSE(after_splash.contains("Form_quil"));
    EXPECT_FALSE(after_splash.contains("Form_Help"));
    EXPECT_EQ(owner, nullptr);
    EXPECT_FALSE(read_raw_settings(folder).has_value());  // ended in Polish: nothing written
    EXPECT_TRUE(ui.boxes.empty()) << ui.shown();
}

TEST_F(StartupTest, EndingInEnglishWritesTheLanguageOnceTheEndIsAllowed) {
    enum class End { exit_button, close_window, cancel_then_exit };
    for (End end : {End::exit_button, End::close_window, End::cancel_then_exit}) {
        SCOPED_TRACE(int(end));
        const LanguageScope language;
        QFile::remove(settings_file_in(folder));
        doc = Partition{};
        ui.boxes.clear();
        bool stayed_after_cancel = false;
        const int code = run(quick(), [&](TForm_quil& f, TForm_Help&) {
            child_of<QToolButton>(f, "SpeedButtonLang044")->click();
            if (end == End::exit_button) {
                child_of<QToolButton>(f, "SpeedButtonExit")->click();
            } else if (end == End::close_window) {
                f.close();
            } else {
                child_of<StringGrid>(f, "mnu_table2")
                    ->set_cell(4, 1, "0.5");  // unsaved: the question is asked
                ui.answers = {MsgAnswer::cancel, MsgAnswer::no};
                f.close();
                stayed_after_cancel = f.isVisible() && !read_raw_settings(folder).has_value();
                child_of<QToolButton>(f, "SpeedButtonExit")->click();
            }
        });
        EXPECT_EQ(code, 0);
        EXPECT_EQ(read_raw_settings(folder), language_bytes(LANG_ENGLISH));
        if (end == End::cancel_then_exit) {
            EXPECT_TRUE(stayed_after_cancel);
            EXPECT_EQ(ui.boxes.size(), 2u) << ui.shown();  // asked on close and on Exit
        }
    }
}

TEST_F(StartupTest, AFileHoldingEnglishStartsInEnglishAndIsLeftAlone) {
    // A fifth byte shows whether the file was written again.
    const QByteArray stored = language_bytes(LANG_ENGLISH) + QByteArray(1, '\x07');
    write_raw_settings(folder, stored);
    StartupSeams seams = quick();
    seams.before_loop = [](TForm_quil& f, TForm_Help&) {
        EXPECT_EQ(get_language(), LANG_ENGLISH);
        EXPECT_EQ(shown_title(f), "PARIETA ver. 1.1 <- console");
        EXPECT_FALSE(child_of<QToolButton>(f, "SpeedButtonLang044")->isEnabled());
        EXPECT_TRUE(child_of<QToolButton>(f, "SpeedButtonLang048")->isEnabled());
    };
    EXPECT_EQ(run(seams, [](TForm_quil& f,
                            TForm_Help&) { child_of<QToolButton>(f, "SpeedButtonExit")->click(); }),
              0);
    EXPECT_EQ(read_raw_settings(folder), stored);
}

// Fails the main window's construction once armed.
class FailingScreenUi : public FakeUi {
public:
    bool fail = false;
    QSize screen_size() const override {
        if (fail) throw std::runtime_error("screen lost");
        return FakeUi::screen_size();
    }
};

TEST_F(StartupTest, AnEscapingExceptionIsShownWithNoWindowLeftAndEndsWithAnError) {
    enum class When { building_main_window, after_show };
    for (When when : {When::building_main_window, When::after_show}) {
        SCOPED_TRACE(int(when));
        const LanguageScope language;
        FailingScreenUi failing;
        std::optional<TForm_quil*> owner_at_box;
        failing.while_box_open = [&] { owner_at_box = owner; };
        StartupSeams seams = quick();
        bool reached_loop = false;
        if (when == When::building_main_window) seams.after_splash = [&] { failing.fail = true; };
        seams.before_loop = [&](TForm_quil&, TForm_Help&) {
            reached_loop = true;
            throw std::runtime_error("screen lost");
        };

        EXPECT_EQ(run_program(doc, failing, seams), 1);
        ASSERT_EQ(failing.boxes.size(), 1u) << failing.shown();
        EXPECT_EQ(failing.boxes[0].text, "screen lost");
        EXPECT_EQ(failing.boxes[0].icon, MsgIcon::error);
        EXPECT_EQ(reached_loop, when == When::after_show);
        // The box is never parented to a window being destroyed.
        EXPECT_EQ(owner_at_box, std::optional<TForm_quil*>(nullptr));
        const QStringList left = top_level_names(false);
        EXPECT_FALSE(left.contains("Form_quil")) << left.join(",").toStdString();
        EXPECT_FALSE(left.contains("Form_Help"));
        EXPECT_FALSE(left.contains("FormStart"));
    }
}

}  // namespace
