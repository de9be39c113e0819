// The assessment on paper: the title, the three verdicts, the monthly table
// and the two charts. One page when it is high enough for all, else the
// charts go on a second. Drawn through a Canvas in its current font. No Qt.
#pragma once

#include "core/Quil_c.h"
#include "core/assessment.h"
#include "core/climate.h"
#include "output/canvas.h"

struct AssessmentPageInput {
    const Partition* partition = nullptr;
    const Assessment* assessment = nullptr;
    AssessmentSettings settings;
    int month = 0;  // of the diagram, 0 = January
    char decimal_sep = 0;  // 0: the language's
};

// 1 or 2, for a printable area of `width` x `height`.
int assessment_page_count(Canvas& canvas, const AssessmentPageInput& in, int width, int height);
// Page `page` (0 or 1) of that count.
void draw_assessment_page(Canvas& canvas, const AssessmentPageInput& in, int width, int height,
                          int page);
