// Program entry: the one document, the application object, the start-up.
#include <QApplication>
#include <cstdio>
#include <cstring>

#include "core/Quil_c.h"
#include "gui/Quil_gui.h"
#include "gui/startup.h"
#include "qt/qt_ui.h"
#include "paths/arguments.h"
#include "paths/paths.h"

namespace {
Partition document;  // built with its defaults before the entry runs

const char USAGE[] =
    "Usage: parieta [DATAFILE]\n"
    "Opens the PARIETA window: a partition's heat transmittance and its temperature\n"
    "and water-vapour pressure distribution, recalculated after every edit.\n"
    "\n"
    "  DATAFILE         a data file (*.PAR) or its file: URL, opened as Open would\n"
    "  --help           show this text\n"
    "\n"
    "Qt's own options, such as -platform NAME, work as in every Qt program.\n"
    "The settings file PARIETA.CFG and the data folder DAT are beside the program\n"
    "when its folder may be written, otherwise in $XDG_CONFIG_HOME/parieta and in\n"
    "PARIETA/DAT in the documents folder.\n"
    "\n"
    "Exit status: 0 the window was closed, 1 the program failed to start.\n";

// Before the application object: help must not need a display.
bool asks_for_help(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) return false;
        if (std::strcmp(argv[i], "--help") == 0) return true;
    }
    return false;
}
}  // namespace

int main(int argc, char** argv) {
    if (asks_for_help(argc, argv)) {
        std::fputs(USAGE, stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    QApplication app(argc, argv);
    // Lets the desktop match the windows to pl.parieta.Parieta.desktop and its
    // icon; an icon of our own from the theme would cost the splash about 6 ms.
    QGuiApplication::setDesktopFileName(QStringLiteral("pl.parieta.Parieta"));
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
                &form, [&form, file] { form.document().open_given_file(file); },
                Qt::QueuedConnection);
        };
    }
    return run_program(document, ui, seams);
}
