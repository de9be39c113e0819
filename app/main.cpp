// Program entry: the one document, the application object, the start-up.
#include <QApplication>
#include <QIcon>

#include "core/Quil_c.h"
#include "mainwin/Quil_gui.h"
#include "mainwin/entry.h"
#include "mainwin/given_file.h"
#include "mainwin/qt_ui.h"

namespace {
Partition document;  // built with its defaults before the entry runs
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The desktop entry and the icon theme name the same program.
    QGuiApplication::setDesktopFileName(QStringLiteral("parieta"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("parieta")));
    QtUi ui;
    StartupSeams seams;
    seams.main_window_changed = [&ui](TForm_quil* form) { ui.set_owner(form); };
    // A data file given by the desktop opens once the loop runs, as Open would.
    const QString file = data_file_argument(QApplication::arguments());
    if (!file.isEmpty()) {
        seams.before_loop = [file](TForm_quil& form, TForm_Help&) {
            QMetaObject::invokeMethod(
                &form, [&form, file] { form.open_given_file(file); }, Qt::QueuedConnection);
        };
    }
    return run_program(document, ui, seams);
}
