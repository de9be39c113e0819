// Tests that change the process-wide language put it back, whatever way
// they end.
#pragma once

#include <cstdint>

#include "lang/catalogue.h"

class LanguageScope {
public:
    // Keeps the language in force now, to be put back at the end.
    LanguageScope() : saved_(get_language()) {}
    // ... and switches to `language` meanwhile.
    explicit LanguageScope(int language) : saved_(get_language()) { set_language(language); }
    ~LanguageScope() { set_language(saved_); }
    LanguageScope(const LanguageScope&) = delete;
    LanguageScope& operator=(const LanguageScope&) = delete;

private:
    std::int8_t saved_;
};
