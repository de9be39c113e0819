// The data file among the program's arguments (a file manager's "open with").
#pragma once

#include <QString>
#include <QStringList>

// Qt's own options already taken out by the application object: the first
// argument that is not an option (or any after "--"), a file: URL made a
// local path, as a clean absolute path. Empty when there is none; every
// other argument is ignored.
QString data_file_argument(const QStringList& arguments);
