// Program entry: the one document, the application object, the start-up.
#include <QApplication>

#include "core/Quil_c.h"
#include "mainwin/Quil_gui.h"
#include "mainwin/entry.h"
#include "mainwin/qt_ui.h"

namespace {
Partition document;  // built with its defaults before the entry runs
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QtUi ui;
    StartupSeams seams;
    seams.main_window_changed = [&ui](TForm_quil* form) { ui.set_owner(form); };
    return run_program(document, ui, seams);
}
