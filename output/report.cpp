#include "output/report.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/numfmt.h"
#include "lang/catalogue.h"
#include "storage/atomic_file.h"
#include "storage/io.h"

namespace {

// One line composed in a buffer of fixed capacity. Running past it cannot happen
// for a record inside the input limits; if it does, the report is refused
// rather than cut.
class LineBuffer {
public:
    void append(const char* s, std::size_t n) {
        if (len_ + n >= REPORT_LINE_SIZE) {
            overflow_ = true;
            return;
        }
        std::memcpy(buf_ + len_, s, n);
        len_ += n;
        buf_[len_] = '\0';
    }
    void append(const char* s) { append(s, std::strlen(s)); }
    void spaces(std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) append(" ", 1);
    }
    void repeat(char c, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) append(&c, 1);
    }
    // Right-aligned in `width`; a longer text is written whole.
    void right(const char* s, std::size_t n, std::size_t width) {
        if (n < width) spaces(width - n);
        append(s, n);
    }
    // Left-aligned, padded with spaces up to `width`.
    void left(const char* s, std::size_t n, std::size_t width) {
        append(s, n);
        if (n < width) spaces(width - n);
    }
    const char* text() const { return buf_; }
    std::size_t size() const { return len_; }
    bool overflow() const { return overflow_; }

private:
    char buf_[REPORT_LINE_SIZE] = {};
    std::size_t len_ = 0;
    bool overflow_ = false;
};

// One number of the report in its own buffer, with its length measured there.
struct Number {
    char text[REPORT_NUMBER_SIZE] = {};
    std::size_t len = 0;
};

struct ReportLine {
    bool present = false;  // false: an empty line
    std::string text;
    int breaks = 1;
    bool bold = false;
};

// Lays the report out line by line; the destinations only emit the lines.
class Composer {
public:
    Composer(const Partition& p, const ReportContext& ctx) : p_(p), ctx_(ctx) {}

    bool compose(std::vector<ReportLine>& out);

private:
    void emit(const LineBuffer& line, int breaks, bool bold = false) {
        ok_ = ok_ && !line.overflow();
        lines_.push_back({true, std::string(line.text(), line.size()), breaks, bold});
    }
    void emit_empty(int breaks) { lines_.push_back({false, std::string(), breaks, false}); }
    void emit_text(const char* text, int breaks) {
        LineBuffer line;
        line.append(text);
        emit(line, breaks);
    }
    void emit_underlined(const char* text, char rule, int rule_breaks) {
        emit_text(text, 1);
        LineBuffer line;
        line.repeat(rule, std::strlen(text));
        emit(line, rule_breaks);
    }

    // A number that is not finite or does not fit its buffer spoils the report.
    Number number(const char* mask, double value) {
        Number n;
        if (!std::isfinite(value)) {
            ok_ = false;
            return n;
        }
        std::string s = format_number(mask, value, ctx_.decimal_sep);
        if (s.size() >= REPORT_NUMBER_SIZE) {
            ok_ = false;
            return n;
        }
        std::memcpy(n.text, s.data(), s.size());
        n.len = s.size();
        return n;
    }

    void date_line();
    void data_line(TextA label, double value, const char* mask, TextA unit);
    void layer_rows(bool dampness);
    void plane_rows(bool dampness);

    const Partition& p_;
    const ReportContext& ctx_;
    std::vector<ReportLine> lines_;
    bool ok_ = true;
};

void Composer::date_line() {
    SystemClock system;
    const Clock& clock = ctx_.clock ? *ctx_.clock : static_cast<const Clock&>(system);
    LocalTime t = clock.now();
    int weekday = ((t.weekday % 7) + 7) % 7;  // never reaches the captions after the weekdays
    char date[40];
    std::snprintf(date, sizeof date, " %04d.%02d.%02d %02d:%02d", t.year, t.month, t.day, t.hour,
                  t.minute);
    LineBuffer line;
    line.append(catalogue_b_text(static_cast<std::int8_t>(weekday)));
    line.append(date);
    emit(line, 1);
}

void Composer::data_line(TextA label, double value, const char* mask, TextA unit) {
    Number n = number(mask, value);
    LineBuffer line;
    line.append(catalogue_a_text(label));
    line.right(n.text, n.len, 7);
    line.append(catalogue_a_text(unit));
    emit(line, 1);
}

void Composer::layer_rows(bool dampness) {
    const int count = used_layers(p_);
    Number thickness[MAX_LAYERS], lambda[MAX_LAYERS], delta[MAX_LAYERS];
    std::size_t t_width = 0, l_width = 0, d_width = 0;
    for (int i = 0; i < count; ++i) {
        const Layer& layer = p_.layers[i];
        thickness[i] = number("0.0###", layer.thickness);
        lambda[i] = number("0.0###", layer.lambda);
        t_width = std::max(t_width, thickness[i].len);
        l_width = std::max(l_width, lambda[i].len);
        if (dampness) {
            delta[i] = number("0.0##########", layer.delta);
            d_width = std::max(d_width, delta[i].len);
        }
    }
    for (int i = 0; i < count; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "%3d-%-2d", i + 1, i + 2);
        LineBuffer line;
        line.append(name);
        line.spaces(4);
        line.left(thickness[i].text, thickness[i].len, t_width);
        line.spaces(7);
        line.left(lambda[i].text, lambda[i].len, l_width);
        if (dampness) {
            line.spaces(12);
            line.left(delta[i].text, delta[i].len, d_width);
        }
        char description[DESCRIPTION_SIZE];
        copy_shown(description, p_.layers[i].description, DESCRIPTION_SIZE);
        if (description[0] != '\0') {
            line.spaces(3);
            line.append(description);
        }
        emit(line, 1);
    }
}

void Composer::plane_rows(bool dampness) {
    const int count = used_layers(p_);
    for (int j = 0; j <= count; ++j) {
        char plane[16];
        std::snprintf(plane, sizeof plane, "%6d", j + 1);
        LineBuffer line;
        line.append(plane);
        Number temp = number("+0.00;-0.00", p_.temp[j]);
        line.right(temp.text, temp.len, 16);
        if (dampness) {
            Number sat = number("0.00", p_.press_sat[j]);
            Number real = number("0.00", p_.press_real[j]);
            line.right(sat.text, sat.len, 16);
            line.right(real.text, real.len, 21);
            // On the stored values: two pressures that print alike can still condense.
            if (p_.press_sat[j] < p_.press_real[j]) {
                line.append("  !!!");
            }
        }
        emit(line, 1);
    }
}

bool Composer::compose(std::vector<ReportLine>& out) {
    const bool dampness = p_.calc_mode == 1;
    const bool curved = p_.wall_type == 1;

    emit_underlined(catalogue_a_text(dampness ? TextA::DampnessHeading : TextA::ThermalHeading),
                    '-', 1);
    date_line();
    // Stored texts come from files of any origin: a control byte must not
    // break a line or reach a terminal.
    char title[TITLE_SIZE];
    copy_shown(title, p_.title, TITLE_SIZE);
    if (title[0] != '\0') {
        emit_empty(1);
        LineBuffer line;
        line.append(title);
        emit(line, 1, true);
    }
    emit_empty(1);
    emit_underlined(catalogue_a_text(TextA::DataHeading), '=', 2);

    data_line(TextA::TempExtLine, p_.temp_ext, "0.0", TextA::DegreesUnit);
    data_line(TextA::TempIntLine, p_.temp_int, "0.0", TextA::DegreesUnit);
    if (dampness) {
        data_line(TextA::HumExtLine, p_.hum_ext, "0.0", TextA::PercentUnit);
        data_line(TextA::HumIntLine, p_.hum_int, "0.0", TextA::PercentUnit);
    }
    data_line(TextA::ResExtLine, p_.res_ext, "0.0000", TextA::ResistanceUnit);
    data_line(TextA::ResIntLine, p_.res_int, "0.0000", TextA::ResistanceUnit);
    if (dampness) {
        data_line(TextA::DiffExtLine, p_.diff_ext, "0.0000", TextA::DiffusiveResistanceUnit);
        data_line(TextA::DiffIntLine, p_.diff_int, "0.0000", TextA::DiffusiveResistanceUnit);
    }
    if (curved) {
        data_line(TextA::RadiusLine, p_.radius, "0.000", TextA::MetreUnit);
    }
    emit_empty(1);

    emit_text(
        catalogue_a_text(dampness ? TextA::DampnessLayerHeading1 : TextA::ThermalLayerHeading1), 1);
    emit_text(
        catalogue_a_text(dampness ? TextA::DampnessLayerHeading2 : TextA::ThermalLayerHeading2), 1);
    emit_text(
        catalogue_a_text(dampness ? TextA::DampnessLayerHeading3 : TextA::ThermalLayerHeading3), 2);
    layer_rows(dampness);
    emit_empty(1);

    emit_underlined(catalogue_a_text(TextA::ResultsHeading), '=', 2);
    {
        Number k = number(" 0.00", p_.k);
        LineBuffer line;
        line.append(catalogue_a_text(TextA::KBefore));
        line.append(k.text, k.len);
        line.append(catalogue_a_text(TextA::KUnit));
        emit(line, 2);
    }
    emit_text(
        catalogue_a_text(dampness ? TextA::DampnessPlaneHeading1 : TextA::ThermalPlaneHeading1), 1);
    emit_text(
        catalogue_a_text(dampness ? TextA::DampnessPlaneHeading2 : TextA::ThermalPlaneHeading2), 2);
    plane_rows(dampness);

    out = std::move(lines_);
    return ok_;
}

// The destinations: each takes one whole line at a time.
class LineSink {
public:
    virtual ~LineSink() = default;
    virtual void emit_line(const char* text, int breaks, bool bold) = 0;
};

// Text and CR LF line ends, as bytes, through `put`.
template <class Put>
class ByteSink : public LineSink {
public:
    explicit ByteSink(Put put) : put_(put) {}
    void emit_line(const char* text, int breaks, bool) override {
        std::string bytes = text ? text : "";
        for (int i = 0; i < breaks; ++i) bytes += "\r\n";
        if (!put_(bytes.data(), bytes.size())) failed_ = true;
    }
    bool failed() const { return failed_; }

private:
    Put put_;
    bool failed_ = false;
};

class PageSink : public LineSink {
public:
    explicit PageSink(PrinterLineSink& printer) : printer_(printer) {
        const long long s = printer.font_point_size();
        x_ = static_cast<int>(5 * std::llabs(s * printer.resolution_x() / 72));
        h_ = static_cast<int>(static_cast<double>(std::llabs(s * printer.resolution_y() / 72)) *
                              1.15);
    }
    void emit_line(const char* text, int breaks, bool bold) override {
        if (text != nullptr && text[0] != '\0') {
            printer_.draw_text(x_, n_ * h_, text, bold);
        }
        n_ += breaks;
    }

private:
    PrinterLineSink& printer_;
    int x_ = 0;
    int h_ = 0;
    int n_ = 3;  // three line heights below the top of the printable area
};

void emit_all(const std::vector<ReportLine>& lines, LineSink& sink) {
    for (const ReportLine& line : lines) {
        sink.emit_line(line.present ? line.text.c_str() : nullptr, line.breaks, line.bold);
    }
}

}  // namespace

ReportResult write_report(const Partition& p, const char* file_name, const ReportContext& ctx) {
    std::vector<ReportLine> lines;
    if (!Composer(p, ctx).compose(lines)) {
        return REPORT_FAILED;
    }
    AtomicFile file;
    if (!file.open(file_name)) {
        return REPORT_FAILED;
    }
    auto put = [&file](const char* bytes, std::size_t n) { return file.write(bytes, n); };
    ByteSink<decltype(put)> sink(put);
    emit_all(lines, sink);
    if (sink.failed()) {
        file.discard();
        return REPORT_FAILED;
    }
    return file.commit() ? REPORT_DONE : REPORT_FAILED;
}

ReportResult write_report_fd(const Partition& p, int fd, const ReportContext& ctx) {
    std::vector<ReportLine> lines;
    if (!Composer(p, ctx).compose(lines)) {
        return REPORT_FAILED;
    }
    auto put = [fd](const char* bytes, std::size_t n) { return write_all(fd, bytes, n); };
    ByteSink<decltype(put)> sink(put);
    emit_all(lines, sink);
    return sink.failed() ? REPORT_FAILED : REPORT_DONE;
}

ReportResult write_report_text(const Partition& p, std::string& bytes, const ReportContext& ctx) {
    bytes.clear();
    std::vector<ReportLine> lines;
    if (!Composer(p, ctx).compose(lines)) {
        return REPORT_FAILED;
    }
    auto put = [&bytes](const char* text, std::size_t n) {
        bytes.append(text, n);
        return true;
    };
    ByteSink<decltype(put)> sink(put);
    emit_all(lines, sink);
    return REPORT_DONE;
}

ReportResult write_report(const Partition& p, PrinterLineSink& printer, const ReportContext& ctx) {
    std::vector<ReportLine> lines;
    if (!Composer(p, ctx).compose(lines)) {
        return REPORT_FAILED;
    }
    PageSink sink(printer);
    emit_all(lines, sink);
    return REPORT_DONE;
}
