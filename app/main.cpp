// Program entry: the one document, the main window, the message loop.
#include <QApplication>

#include "core/Quil_c.h"
#include "mainwin/Quil_gui.h"
#include "mainwin/entry.h"
#include "mainwin/qt_ui.h"
#include "output/canvas_qt.h"

namespace {
Partition document;  // built with its defaults before the entry runs
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    register_font_substitutes();
    QtUi ui;
    return run_guarded(ui, [&] {
        TForm_quil form(document, ui);
        ui.set_owner(&form);
        form.show();
        const int code = app.exec();
        ui.set_owner(nullptr);
        return code;
    });
}
