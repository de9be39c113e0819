// Text crosses between Qt and the program here, and only here: everything
// below this layer holds single-byte Windows-1250.
#pragma once

#include <QString>
#include <QValidator>
#include <string>

// A character with no Windows-1250 form (and a NUL) becomes "?", one "?"
// per character, surrogate pairs included.
std::string to_1250(const QString& text);
QString from_1250(const char* text);
// Whether `c` (one UTF-16 unit, not a surrogate) has a Windows-1250 form.
bool has_1250_form(QChar c);

// Keeps an edit's text in what the record can store: characters without a
// Windows-1250 form are replaced by "?" as they are typed or pasted.
class Win1250Validator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};
