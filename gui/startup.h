// The program entry: its exception guard and the start-up sequence.
#pragma once

#include <functional>

#include "core/message_ui.h"

struct Partition;
class TForm_Help;
class TForm_quil;
class Ui;

// Runs `body`; an exception escaping it is shown in a message box and the
// result is 1 (the program ends with an error code). Otherwise body's result.
int run_guarded(MessageUi& ui, const std::function<int()>& body);

// What the start-up takes besides the Ui (whose clock times the splash).
// Tests look in between the steps.
struct StartupSeams {
    // The main window once it exists, and null again before it goes; the
    // running program parents its boxes to it.
    std::function<void(TForm_quil*)> main_window_changed;
    std::function<void()> after_splash;  // the splash is destroyed, nothing else exists yet
    std::function<void(TForm_quil&, TForm_Help&)> before_loop;  // both made, main window shown
};

// Splash, main window, hidden materials window, show, message loop, all
// inside run_guarded; needs the application object. The loop's result, or 1.
int run_program(Partition& document, Ui& ui, const StartupSeams& seams = {});
