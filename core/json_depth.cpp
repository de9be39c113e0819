#include "core/json_depth.h"

bool json_depth_within(std::string_view text, int max_depth, JsonPosition& at) {
    int depth = 0;
    bool in_string = false, escaped = false;
    std::size_t line = 1, line_start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n') {
            ++line;
            line_start = i + 1;
        }
        if (in_string) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                in_string = false;
            continue;
        }
        switch (c) {
            case '"':
                in_string = true;
                break;
            case '[':
            case '{':
                if (++depth > max_depth) {
                    at.line = line;
                    at.column = i - line_start + 1;
                    return false;
                }
                break;
            case ']':
            case '}':
                if (depth > 0) --depth;
                break;
            default:
                break;
        }
    }
    return true;
}
