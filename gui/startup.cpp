#include "gui/startup.h"

#include <QApplication>
#include <QString>
#include <exception>
#include <memory>
#include <string>

#include "document/ui.h"
#include "gui/Quil_000.h"
#include "gui/Quil_gui.h"
#include "gui/Quil_hlp.h"
#include "lang/catalogue.h"
#include "qt/fonts.h"
#include "qt/text_1250.h"

int run_guarded(MessageUi& ui, const std::function<int()>& body) {
    std::string text;
    try {
        return body();
    } catch (const std::exception& e) {
        text = to_1250(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        text = "Unknown error.";
    }
    ui.message_box(text.c_str(), catalogue_b_text(TextB::ErrorCaption), MsgIcon::error,
                   MsgButtons::ok);
    return 1;
}

namespace {

// Tells the caller the main window is gone before it is destroyed, also
// when an exception unwinds: the error box must not be parented to it.
class MainWindowNotice {
public:
    MainWindowNotice(const StartupSeams& seams, TForm_quil* form) : seams_(seams) {
        if (seams_.main_window_changed) seams_.main_window_changed(form);
    }
    ~MainWindowNotice() {
        if (seams_.main_window_changed) seams_.main_window_changed(nullptr);
    }
    MainWindowNotice(const MainWindowNotice&) = delete;
    MainWindowNotice& operator=(const MainWindowNotice&) = delete;

private:
    const StartupSeams& seams_;
};

}  // namespace

int run_program(Partition& document, Ui& ui, const StartupSeams& seams) {
    return run_guarded(ui, [&] {
        register_font_substitutes();
        {
            auto splash = std::make_unique<TFormStart>(ui);
            // Closing it must not count as the last window closing.
            splash->setAttribute(Qt::WA_QuitOnClose, false);
            splash->run_splash();
            splash->close();
        }
        if (seams.after_splash) seams.after_splash();

        // Reads the settings file and sets the language.
        TForm_quil form(document, ui);
        // Destroyed before the main window, whose grid, Ui and font it uses.
        TForm_Help help(form.document().ui(), &form.layer_grid(), [&form] { return form.font(); });
        form.set_help_window(&help);
        const MainWindowNotice notice(seams, &form);

        form.show();
        // Without a window manager nobody else gives the window the keyboard.
        form.activateWindow();
        if (seams.before_loop) seams.before_loop(form, help);
        return QApplication::exec();
    });
}
