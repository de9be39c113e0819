// Program entry: the one document, the application object, the start-up.
#include <QApplication>

#include "core/Quil_c.h"
#include "mainwin/Quil_gui.h"
#include "mainwin/entry.h"
#include "mainwin/given_file.h"
#include "mainwin/qt_ui.h"
#include "mainwin/text_1250.h"

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
    // From argv itself, which QApplication has left without its own options:
    // arguments() would have lost the bytes of a name that is not UTF-8.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << path_from_bytes(QByteArray(argv[i]));
    const QString file = data_file_argument(arguments);
    if (!file.isEmpty()) {
        // A data file given by the desktop opens once the loop runs, as Open would.
        seams.before_loop = [file](TForm_quil& form, TForm_Help&) {
            QMetaObject::invokeMethod(
                &form, [&form, file] { form.open_given_file(file); }, Qt::QueuedConnection);
        };
    }
    return run_program(document, ui, seams);
}
