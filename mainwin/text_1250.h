// Text crosses between Qt and the core here, and only here: the core holds
// single-byte Windows-1250.
#pragma once

#include <QByteArray>
#include <QString>
#include <QValidator>
#include <cstddef>
#include <string>

// A character with no Windows-1250 form (and a NUL) becomes "?", one "?"
// per character, surrogate pairs included.
std::string to_1250(const QString& text);
QString from_1250(const char* text);
// A stored title or description (a buffer of `size` bytes) as the screen
// shows it: control and undefined bytes as "?".
QString shown_from_1250(const char* text, std::size_t size);

// File names are bytes, and QFile::decodeName turns a name that is not UTF-8
// into U+FFFD for good. Here each byte that is not part of valid UTF-8 is kept
// as the unpaired surrogate U+DC80..U+DCFF, so the name survives the trip
// through a QString and the same file is opened, saved and exported.
QString path_from_bytes(const QByteArray& bytes);
QByteArray path_to_bytes(const QString& path);
// A path as a window title shows it: a kept byte is U+FFFD.
QString shown_path(const QString& path);

// Whether `c` (one UTF-16 unit, not a surrogate) has a Windows-1250 form.
bool has_1250_form(QChar c);

// Keeps an edit's text in what the record can store: characters without a
// Windows-1250 form are replaced by "?" as they are typed or pasted.
class Win1250Validator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};
