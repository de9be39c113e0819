#include "output/assessment_page.h"

#include <algorithm>
#include <string>
#include <vector>

#include "lang/catalogue_c.h"
#include "output/assessment_charts.h"
#include "output/assessment_summary.h"
#include "storage/cp1250.h"

namespace {

// Words of `text` in lines no wider than `width`; a word wider than that stands alone.
std::vector<std::string> wrapped(Canvas& c, const std::string& text, int width) {
    std::vector<std::string> lines;
    std::string line;
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t space = text.find(' ', from);
        if (space == std::string::npos) space = text.size();
        const std::string word = text.substr(from, space - from);
        const std::string longer = line.empty() ? word : line + " " + word;
        if (!line.empty() && c.text_width_utf8(longer.c_str()) > width) {
            lines.push_back(line);
            line = word;
        } else {
            line = longer;
        }
        from = space + 1;
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

struct TextBlock {
    std::vector<std::string> head;  // title and verdicts, wrapped
    std::vector<SummaryRow> table;  // headings first
    int line_h = 0;
    int height() const { return int(head.size() + 1 + table.size()) * line_h; }
};

TextBlock text_block(Canvas& c, const AssessmentPageInput& in, int width) {
    TextBlock b;
    b.line_h = c.text_height("0") + 2;
    std::string title = catalogue_c_text(C_W_TITLE);
    const std::string record_title = shown_field_utf8(in.partition->title, TITLE_SIZE);
    if (!record_title.empty()) title += ": " + record_title;
    b.head = wrapped(c, title, width);
    b.head.emplace_back();
    const Verdicts v = summary_verdicts(*in.assessment, in.settings, in.decimal_sep);
    for (const Verdict* one : {&v.interstitial, &v.surface, &v.u}) {
        for (std::string& l : wrapped(c, one->text, width)) b.head.push_back(std::move(l));
    }
    b.table.push_back(summary_headings());
    for (int m = 0; m < MONTHS; ++m) {
        SummaryRow row;
        summary_row(*in.assessment, m, row, in.decimal_sep);
        b.table.push_back(std::move(row));
    }
    return b;
}

void draw_text_block(Canvas& c, const TextBlock& b, int width) {
    int y = 0;
    for (const std::string& l : b.head) {
        c.text_utf8(0, y, l.c_str());
        y += b.line_h;
    }
    y += b.line_h;
    // Columns as wide as their widest cell; numbers to the right, the month left.
    int widths[SUMMARY_COLUMNS] = {};
    int total = 0;
    for (int col = 0; col < SUMMARY_COLUMNS; ++col) {
        for (const SummaryRow& row : b.table)
            widths[col] = std::max(widths[col], c.text_width_utf8(row[col].c_str()));
        total += widths[col];
    }
    const int gap = std::max(4, (width - total) / SUMMARY_COLUMNS);
    for (const SummaryRow& row : b.table) {
        int x = 0;
        for (int col = 0; col < SUMMARY_COLUMNS; ++col) {
            const int w = c.text_width_utf8(row[col].c_str());
            const bool left = col == SUM_MONTH || col == SUM_PLANES;
            c.text_utf8(left ? x : x + widths[col] - w, y, row[col].c_str());
            x += widths[col] + gap;
        }
        y += b.line_h;
    }
}

// The charts side by side in a band `height` high from `top`.
void draw_charts(Canvas& c, const AssessmentPageInput& in, int width, int top, int height) {
    const int diagram_w = width * 3 / 5;
    draw_glaser_diagram(*in.assessment, in.month, c,
                        {0, top, diagram_w - 8, height, in.decimal_sep});
    draw_month_bars(*in.assessment, in.month, c,
                    {diagram_w + 8, top, width - diagram_w - 8, height, in.decimal_sep});
}

int least_chart_height(Canvas& c, int width) {
    return std::max(14 * (c.text_height("0") + 2), width * 3 / 10);
}

}  // namespace

int assessment_page_count(Canvas& c, const AssessmentPageInput& in, int width, int height) {
    const TextBlock b = text_block(c, in, width);
    return b.height() + b.line_h + least_chart_height(c, width) <= height ? 1 : 2;
}

void draw_assessment_page(Canvas& c, const AssessmentPageInput& in, int width, int height,
                          int page) {
    const TextBlock b = text_block(c, in, width);
    const int pages = b.height() + b.line_h + least_chart_height(c, width) <= height ? 1 : 2;
    // The charts keep a diagram's proportions rather than fill a tall page.
    const int chart_cap = width * 3 / 5;
    if (page == 0) {
        draw_text_block(c, b, width);
        if (pages == 1) {
            const int top = b.height() + b.line_h;
            draw_charts(c, in, width, top, std::min(height - top, chart_cap));
        }
    } else if (pages == 2) {
        draw_charts(c, in, width, 0, std::min(height, chart_cap));
    }
}
