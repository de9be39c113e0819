// A Canvas that records what is drawn, with fixed metrics: every byte of a
// Windows-1250 text and every character of a UTF-8 one 6 pixels wide, every
// text 13 high.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "lang/utf8.h"
#include "output/canvas.h"

struct Op {
    enum Kind { line, arc, text, utf8_text, rect } kind;
    int v[8];
    std::string s;
    Rgb color;  // the pen's; the fill's for a rect
    PenStyle style;
    int font;
};

class RecordingCanvas : public Canvas {
public:
    static constexpr int CHAR_W = 6, TEXT_H = 13;
    std::vector<Op> ops;
    Rgb color{7, 7, 7};
    PenStyle style = PenStyle::solid;
    int width = 0;
    int size = 0;

    void set_pen_color(Rgb c) override { color = c; }
    void set_pen_style(PenStyle s) override { style = s; }
    void set_pen_width(int w) override { width = w; }
    void line(int x1, int y1, int x2, int y2) override {
        ops.push_back({Op::line, {x1, y1, x2, y2}, {}, color, style, size});
    }
    void arc(int l, int t, int r, int b, int x3, int y3, int x4, int y4) override {
        ops.push_back({Op::arc, {l, t, r, b, x3, y3, x4, y4}, {}, color, style, size});
    }
    void text(int x, int y, const char* s) override {
        ops.push_back({Op::text, {x, y}, s, color, style, size});
    }
    int text_width(const char* s) override { return CHAR_W * int(std::strlen(s)); }
    int text_height(const char*) override { return TEXT_H; }
    void set_font_size(int points) override { size = points; }
    void text_utf8(int x, int y, const char* s) override {
        ops.push_back({Op::utf8_text, {x, y}, s, color, style, size});
    }
    int text_width_utf8(const char* s) override {
        return CHAR_W * int(utf8_characters(std::string(s)));
    }
    void fill_rect(int l, int t, int r, int b, Rgb c) override {
        ops.push_back({Op::rect, {l, t, r, b}, {}, c, style, size});
    }

    std::vector<Op> of_kind(Op::Kind k) const {
        std::vector<Op> out;
        for (const Op& o : ops)
            if (o.kind == k) out.push_back(o);
        return out;
    }
    std::vector<Op> lines(Rgb c, PenStyle st = PenStyle::solid) const {
        std::vector<Op> out;
        for (const Op& o : ops)
            if (o.kind == Op::line && o.color == c && o.style == st) out.push_back(o);
        return out;
    }
    std::vector<Op> arcs() const { return of_kind(Op::arc); }
    const Op* find_text(const std::string& s) const {
        for (const Op& o : ops)
            if ((o.kind == Op::text || o.kind == Op::utf8_text) && o.s == s) return &o;
        return nullptr;
    }
    const Op* find_last_text(const std::string& s) const {
        const Op* found = nullptr;
        for (const Op& o : ops)
            if ((o.kind == Op::text || o.kind == Op::utf8_text) && o.s == s) found = &o;
        return found;
    }
    bool has_line(int x1, int y1, int x2, int y2) const {
        for (const Op& o : ops)
            if (o.kind == Op::line && o.v[0] == x1 && o.v[1] == y1 && o.v[2] == x2 && o.v[3] == y2)
                return true;
        return false;
    }
};
