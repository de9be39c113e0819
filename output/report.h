// The text report: one writer, two destinations (a text file, a printer page).
#pragma once

#include <cstddef>
#include <string>

#include "core/Quil_c.h"
#include "lang/result_codes.h"
#include "storage/clock.h"

// What the writer needs besides the record.
struct ReportContext {
    char decimal_sep = '.';
    const Clock* clock = nullptr;  // null: the system clock
};

// Draws the lines of the printer destination; printing implements it with QPainter.
class PrinterLineSink {
public:
    virtual ~PrinterLineSink() = default;
    virtual int font_point_size() const = 0;
    virtual int resolution_x() const = 0;  // dots per inch
    virtual int resolution_y() const = 0;
    // Text (Windows-1250) with its top-left corner at (x, y).
    virtual void draw_text(int x, int y, const char* text, bool bold) = 0;
};

// Capacities of the line being composed and of one number of the layer table.
constexpr std::size_t REPORT_LINE_SIZE = 164;
constexpr std::size_t REPORT_NUMBER_SIZE = 21;

// Writes the report to `file_name` (Windows-1250, CR LF). The file is written
// beside the target under a temporary name and renamed over it only when
// every line was written. 0 written, 1 failed (an earlier file stays as it was).
ReportResult write_report(const Partition& p, const char* file_name, const ReportContext& ctx);

// The same bytes to an open descriptor (standard output of the report tool).
// 0 written, 1 a write failed.
ReportResult write_report_fd(const Partition& p, int fd, const ReportContext& ctx);

// The same bytes into `bytes` (replaced), for the clipboard. 0 composed, 1
// for a record that cannot be reported, which leaves `bytes` empty.
ReportResult write_report_text(const Partition& p, std::string& bytes, const ReportContext& ctx);

// Draws the report on the page of a running print job. 0 drawn; 1 only for a
// record that cannot be reported (a number that is not finite or does not fit
// its column), in which case nothing is drawn.
ReportResult write_report(const Partition& p, PrinterLineSink& printer, const ReportContext& ctx);
