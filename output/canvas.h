// The small drawing surface the graphs draw through: the screen's paint box,
// a QImage in tests, the printer page.
#pragma once

struct Rgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

enum class PenStyle { solid, dash_dot, dotted };

class Canvas {
public:
    virtual ~Canvas() = default;
    virtual void set_pen_color(Rgb c) = 0;
    virtual void set_pen_style(PenStyle s) = 0;
    virtual void set_pen_width(int w) = 0;
    virtual void line(int x1, int y1, int x2, int y2) = 0;
    // Elliptical arc inside the bounding rectangle, counter-clockwise from
    // the point (x3, y3) to the point (x4, y4), as the angles those points
    // make with the ellipse's centre.
    virtual void arc(int left, int top, int right, int bottom, int x3, int y3, int x4, int y4) = 0;
    // Text (Windows-1250) with its top-left corner at (x, y).
    virtual void text(int x, int y, const char* s) = 0;
    virtual int text_width(const char* s) = 0;
    virtual int text_height(const char* s) = 0;
    virtual void set_font_size(int points) = 0;
    // The same for UTF-8 text (the assessment's, with θ, φ and ²).
    virtual void text_utf8(int x, int y, const char* s) = 0;
    virtual int text_width_utf8(const char* s) = 0;
    // The rectangle from (left, top) to (right, bottom), both excluded at the far
    // edges as a line's end is, filled with `c` and without an outline.
    virtual void fill_rect(int left, int top, int right, int bottom, Rgb c) = 0;
};
