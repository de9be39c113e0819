// Paths as the document keeps them: QStrings that stand for the file
// system's bytes.
#pragma once

#include <QByteArray>
#include <QString>

// File names are bytes, and QFile::decodeName turns a name that is not UTF-8
// into U+FFFD for good. Here each byte that is not part of valid UTF-8 is kept
// as the unpaired surrogate U+DC80..U+DCFF, so the name survives the trip
// through a QString and the same file is opened, saved and exported.
QString path_from_bytes(const QByteArray& bytes);
QByteArray path_to_bytes(const QString& path);
// A path as a window title shows it: a kept byte is U+FFFD.
QString shown_path(const QString& path);

// A chosen path split at its last separator: the folder (separator included)
// and the file name, as the dialogs remember them.
QString folder_part(const QString& path);
QString name_part(const QString& path);
