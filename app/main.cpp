// Program entry: the one document, the application object, the start-up.
#include <QApplication>

#include "core/Quil_c.h"
#include "document/arguments.h"
#include "gui/Quil_gui.h"
#include "gui/startup.h"
#include "qt/qt_ui.h"

namespace {
Partition document;  // built with its defaults before the entry runs
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Lets the desktop match the windows to parieta.desktop and its icon; an
    // icon of our own from the theme would cost the splash about 6 ms.
    QGuiApplication::setDesktopFileName(QStringLiteral("parieta"));
    QtUi ui;
    StartupSeams seams;
    seams.main_window_changed = [&ui](TForm_quil* form) { ui.set_owner(form); };
    const QString file = data_file_argument(QApplication::arguments());
    if (!file.isEmpty()) {
        // A data file given by the desktop opens once the loop runs, as Open would.
        seams.before_loop = [file](TForm_quil& form, TForm_Help&) {
            QMetaObject::invokeMethod(
                &form, [&form, file] { form.document().open_given_file(file); },
                Qt::QueuedConnection);
        };
    }
    return run_program(document, ui, seams);
}
