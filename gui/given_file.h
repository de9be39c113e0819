// Data files dropped on the main window.
#pragma once

#include <QString>

class TForm_quil;

// Local files dropped anywhere on the window, its edits included, open as a
// given file once the drop has finished.
void accept_file_drops(TForm_quil& window);
