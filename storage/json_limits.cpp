#include "storage/json_limits.h"

JsonLimit json_past_limits(std::string_view text, JsonPosition& at) {
    // Per open level: whether it is an object, and its keys so far.
    bool object[JSON_MAX_DEPTH + 1] = {};
    int keys[JSON_MAX_DEPTH + 1] = {};
    int depth = 0;
    bool in_string = false, escaped = false;
    std::size_t line = 1, line_start = 0;
    const auto stop = [&](std::size_t i, JsonLimit limit) {
        at.line = line;
        at.column = i - line_start + 1;
        return limit;
    };
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
                if (depth == JSON_MAX_DEPTH) return stop(i, JsonLimit::depth);
                ++depth;
                object[depth] = c == '{';
                keys[depth] = 0;
                break;
            case ']':
            case '}':
                if (depth > 0) --depth;
                break;
            case ':':
                if (object[depth] && ++keys[depth] > JSON_MAX_KEYS) return stop(i, JsonLimit::keys);
                break;
            default:
                break;
        }
    }
    return JsonLimit::none;
}

const char* json_limit_text(JsonLimit limit) {
    switch (limit) {
        case JsonLimit::depth:
            return "nested deeper than 64 levels";
        case JsonLimit::keys:
            return "more than 256 keys in one object";
        case JsonLimit::none:
            break;
    }
    return "";
}
