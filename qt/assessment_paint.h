// The assessment's pages on a paged device (the printer, a PDF file) and its
// charts on the window's paint box, all through QPainterCanvas.
#pragma once

#include <QPagedPaintDevice>
#include <QPainter>
#include <QString>
#include <string>

#include "output/assessment_charts.h"
#include "output/assessment_page.h"

// Every page of the assessment on an inactive `device`; false when the
// painter cannot start or the device fails.
bool paint_assessment_pages(QPagedPaintDevice& device, const AssessmentPageInput& in);
// The pages as the bytes of a PDF file; false when they cannot be made.
bool assessment_pdf_bytes(const AssessmentPageInput& in, std::string& bytes);

// The two charts side by side in `width` x `height`: the diagram on the left
// three fifths, the bars on the rest (whose box `bars` receives). Numbers
// take `decimal_sep`, 0 for the language's.
void paint_assessment_charts(QPainter& painter, const Assessment& a, int month, int width,
                             int height, char decimal_sep, ChartBox& bars);
