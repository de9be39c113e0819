#include "tools/command_line.h"

#include <cstdio>
#include <cstring>

#include "lang/catalogue.h"
#include "lang/shown_text.h"

bool CommandLine::next() {
    ++i_;
    if (i_ < argc_ && !options_done_ && std::strcmp(argv_[i_], "--") == 0) {
        options_done_ = true;
        ++i_;
    }
    return i_ < argc_;
}

bool CommandLine::is_file() const {
    const char* a = argv_[i_];
    return options_done_ || a[0] != '-' || std::strcmp(a, "-") == 0;
}

bool CommandLine::is(const char* name) const { return std::strcmp(argv_[i_], name) == 0; }

bool CommandLine::option(const char* name, const char*& value) {
    const std::size_t n = std::strlen(name);
    if (is(name)) {
        value = take_value();
        return true;
    }
    if (std::strncmp(argv_[i_], name, n) == 0 && argv_[i_][n] == '=') {
        value = argv_[i_] + n + 1;
        return true;
    }
    return false;
}

const char* CommandLine::take_value() { return i_ + 1 < argc_ ? argv_[++i_] : nullptr; }

const char* CommandLine::take_file_name() {
    const char* name = take_value();
    return name != nullptr && name[0] != '\0' ? name : nullptr;
}

int CommandLine::usage_error(const char* what, const char* arg) const {
    const std::string shown_arg = arg ? ": " + shown_text(arg) : std::string();
    std::fprintf(stderr, "%s: %s%s\n%s", program_, what, shown_arg.c_str(), usage_);
    return EXIT_USAGE;
}

int CommandLine::help() const {
    std::fputs(usage_, stdout);
    return std::fflush(stdout) == 0 ? EXIT_WRITTEN : EXIT_CANNOT_WRITE;
}

bool parse_language(const char* text, int& language) {
    if (std::strcmp(text, "en") == 0) {
        language = LANG_ENGLISH;
    } else if (std::strcmp(text, "pl") == 0) {
        language = LANG_POLISH;
    } else {
        return false;
    }
    return true;
}

void print_error_line(const std::string& utf8) {
    const std::string line = shown_text(utf8, true) + '\n';
    if (std::fwrite(line.data(), 1, line.size(), stderr) != line.size()) {
        // Nothing better to do when standard error itself is gone.
    }
}
