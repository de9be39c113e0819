// What the command-line tools share: walking their arguments, the usage error, the help
// text and messages on standard error.
#pragma once

#include <string>

// The exit statuses of the tools.
enum ExitStatus {
    EXIT_WRITTEN = 0,
    EXIT_CANNOT_OPEN = 1,
    EXIT_NOT_DATA_FILE = 2,  // nor a project file
    EXIT_INVALID_DATA = 3,
    EXIT_CANNOT_WRITE = 4,
    EXIT_BAD_CLIMATE = 5,
    EXIT_USAGE = 64,
};

class CommandLine {
public:
    CommandLine(const char* program, const char* usage, int argc, char** argv)
        : program_(program), usage_(usage), argc_(argc), argv_(argv) {}

    // Moves to the next argument, stepping over the first "--"; false after the last.
    bool next();
    // A file name: an argument not starting with "-", "-" itself, or anything after "--".
    bool is_file() const;
    const char* current() const { return argv_[i_]; }
    bool is(const char* name) const;
    // True when the argument is the option `name`, given as "name VALUE" or "name=VALUE";
    // `value` is then its value, or null when none follows.
    bool option(const char* name, const char*& value);
    // The argument after the current one, taken; null when there is none.
    const char* take_value();
    // The same for a file name, which must not be empty.
    const char* take_file_name();

    // "PROGRAM: WHAT[: ARG]" and the usage on standard error; returns EXIT_USAGE.
    int usage_error(const char* what, const char* arg = nullptr) const;
    int unknown_option() const { return usage_error("unknown option", current()); }
    // The usage on standard output; EXIT_WRITTEN, or EXIT_CANNOT_WRITE.
    int help() const;

private:
    const char* program_;
    const char* usage_;
    int argc_;
    char** argv_;
    int i_ = 0;
    bool options_done_ = false;
};

// "en" or "pl" to the language index; false, and `language` untouched, for anything else.
bool parse_language(const char* text, int& language);

// A UTF-8 text and a line end on standard error, shown: controls but its
// line breaks and invalid UTF-8 as "?".
void print_error_line(const std::string& utf8);
