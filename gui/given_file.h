// Data files that reach the program from the desktop: named as its argument
// (a file manager's "open with") or dropped on the main window.
#pragma once

#include <QString>
#include <QStringList>

class TForm_quil;

// The data file among the program's arguments, Qt's own options already
// taken out by QApplication: the first argument that is not an option (or
// any after "--"), a file: URL made a local path, as a clean absolute path.
// Empty when there is none; every other argument is ignored.
QString data_file_argument(const QStringList& arguments);

// Local files dropped anywhere on the window, its edits included, open as a
// given file once the drop has finished.
void accept_file_drops(TForm_quil& window);
