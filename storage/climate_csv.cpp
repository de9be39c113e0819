#include "storage/climate_csv.h"

#include <unistd.h>

#include <iterator>
#include <string_view>

#include "core/assessment.h"
#include "core/numfmt.h"
#include "lang/catalogue_c.h"
#include "lang/shown_text.h"
#include "lang/utf8.h"
#include "storage/io.h"

namespace {

constexpr std::string_view BOM = "\xEF\xBB\xBF";
constexpr const char* COLUMNS[4] = {"month", "theta_e", "phi_e", "theta_i"};
constexpr const char* PHI_I = "phi_i";
constexpr const char* HUMIDITY_CLASS = "humidity_class";

bool blank(char c) { return c == ' ' || c == '\t'; }

struct Field {
    std::string_view text;  // without surrounding blanks
    std::size_t offset;     // of its first character (or of where it would be) in the file
};

bool parse_whole(std::string_view f, int& out) {
    if (f.empty() || f.size() > 3) return false;
    int value = 0;
    for (char c : f) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    out = value;
    return true;
}

class Parser {
public:
    Parser(std::string_view text, ClimateCsvResult& result) : t_(text), r_(result) {}

    bool run(Climate& out);

private:
    bool fail(ClimateCsvError e, std::size_t offset, int month = 0) {
        r_.error = e;
        r_.line = line_;
        r_.column =
            1 + static_cast<int>(utf8_characters(t_.substr(line_start_, offset - line_start_)));
        r_.month = month;
        return false;
    }
    // Splits the content of the current line (comment and line end removed) at the commas.
    int split(std::size_t begin, std::size_t end, Field fields[], int capacity) const {
        int count = 0;
        std::size_t start = begin;
        while (true) {
            std::size_t stop = start;
            while (stop < end && t_[stop] != ',') ++stop;
            std::size_t a = start, b = stop;
            while (a < b && blank(t_[a])) ++a;
            while (b > a && blank(t_[b - 1])) --b;
            // An empty field points at where it starts.
            if (count < capacity) fields[count] = Field{t_.substr(a, b - a), a < b ? a : start};
            ++count;
            if (stop >= end) break;
            start = stop + 1;
        }
        return count;
    }
    bool header(const Field fields[], int count, std::size_t end);
    bool row(const Field fields[], int count, std::size_t end);

    std::string_view t_;
    ClimateCsvResult& r_;
    Climate climate_{};
    int line_ = 0;
    std::size_t line_start_ = 0;
    bool have_header_ = false;
    bool by_class_ = false;
    int rows_ = 0;
    int order_[MONTHS] = {};  // months in the order of their rows, 0 = January
    int row_line_[MONTHS] = {};
    std::size_t last_offset_[MONTHS] = {};  // of the last field of each month
    std::size_t last_line_start_[MONTHS] = {};
    bool seen_[MONTHS] = {};
};

bool Parser::header(const Field fields[], int count, std::size_t end) {
    for (int i = 0; i < 5; ++i) {
        const char* want = i < 4 ? COLUMNS[i] : nullptr;
        if (i >= count) {
            r_.expected = want ? want : PHI_I;
            return fail(ClimateCsvError::BadHeader, end);
        }
        const std::string_view name = fields[i].text;
        if (i < 4 ? name != want : (name != PHI_I && name != HUMIDITY_CLASS)) {
            r_.expected = want ? want : PHI_I;
            return fail(ClimateCsvError::BadHeader, fields[i].offset);
        }
    }
    if (count > 5) return fail(ClimateCsvError::FieldCount, fields[5].offset);
    by_class_ = fields[4].text == HUMIDITY_CLASS;
    have_header_ = true;
    return true;
}

bool Parser::row(const Field fields[], int count, std::size_t end) {
    if (rows_ == MONTHS) return fail(ClimateCsvError::TooManyRows, fields[0].offset);
    if (count != 5) {
        return fail(ClimateCsvError::FieldCount, count > 5 ? fields[5].offset : end);
    }
    int month = 0;
    if (!parse_whole(fields[0].text, month) || month < 1 || month > MONTHS) {
        return fail(ClimateCsvError::BadMonth, fields[0].offset);
    }
    if (seen_[month - 1]) return fail(ClimateCsvError::RepeatedMonth, fields[0].offset, month);
    double v[4] = {};
    for (int i = 1; i < 5; ++i) {
        if (i == 4 && by_class_) break;
        if (!parse_number(fields[i].text, '.', v[i - 1])) {
            return fail(ClimateCsvError::BadNumber, fields[i].offset);
        }
        const bool theta = i == 1 || i == 3;
        if (!(theta ? climate_theta_ok(v[i - 1]) : climate_phi_ok(v[i - 1]))) {
            return fail(theta ? ClimateCsvError::ThetaRange : ClimateCsvError::PhiRange,
                        fields[i].offset);
        }
    }
    ClimateMonth& m = climate_.months[month - 1];
    m.theta_e = v[0];
    m.phi_e = v[1];
    m.theta_i = v[2];
    if (by_class_) {
        int humidity_class = 0;
        if (!parse_whole(fields[4].text, humidity_class) || humidity_class < 1 ||
            humidity_class > HUMIDITY_CLASSES) {
            return fail(ClimateCsvError::BadClass, fields[4].offset);
        }
        if (rows_ > 0 && humidity_class != climate_.humidity_class) {
            return fail(ClimateCsvError::ClassDiffers, fields[4].offset);
        }
        climate_.humidity_class = humidity_class;
    } else {
        m.phi_i = v[3];
    }
    seen_[month - 1] = true;
    order_[rows_++] = month - 1;
    row_line_[month - 1] = line_;
    last_offset_[month - 1] = fields[4].offset;
    last_line_start_[month - 1] = line_start_;
    return true;
}

bool Parser::run(Climate& out) {
    std::size_t pos = t_.substr(0, BOM.size()) == BOM ? BOM.size() : 0;
    for (std::size_t i = pos; i < t_.size();) {
        const std::size_t len = utf8_sequence_length(t_, i);
        if (len == 0) {
            // Line and column of the bad byte.
            line_ = 1;
            line_start_ = pos;
            for (std::size_t k = pos; k < i; ++k) {
                if (t_[k] == '\n') ++line_, line_start_ = k + 1;
            }
            return fail(ClimateCsvError::NotUtf8, i);
        }
        i += len;
    }
    Field fields[6];
    while (pos <= t_.size()) {
        ++line_;
        line_start_ = pos;
        std::size_t next = t_.find('\n', pos);
        if (next == std::string_view::npos) next = t_.size();
        std::size_t end = next;
        if (end > pos && t_[end - 1] == '\r') --end;
        const std::size_t hash = t_.find('#', pos);
        if (hash != std::string_view::npos && hash < end) end = hash;
        std::size_t first = pos;
        while (first < end && blank(t_[first])) ++first;
        if (first < end) {
            const int count = split(pos, end, fields, 6);
            if (!(have_header_ ? row(fields, count, end) : header(fields, count, end))) {
                return false;
            }
        }
        pos = next + 1;
    }
    if (!have_header_) {
        r_.error = ClimateCsvError::NoHeader;
        return false;
    }
    if (rows_ < MONTHS) {
        int missing = 0;
        while (seen_[missing]) ++missing;
        // At the end of the file.
        line_start_ = t_.rfind('\n') == std::string_view::npos ? 0 : t_.rfind('\n') + 1;
        return fail(ClimateCsvError::MissingMonth, t_.size(), missing + 1);
    }
    for (int k = 0; k < MONTHS && by_class_; ++k) {
        const int m = order_[k];
        double p_e, p_i;
        month_pressures(climate_, m, p_e, p_i);
        const double p_sat = saturation_pressure_pa(climate_.months[m].theta_i);
        if (p_i > p_sat) {
            line_ = row_line_[m];
            line_start_ = last_line_start_[m];
            r_.humidity_class = climate_.humidity_class;
            r_.p_i = p_i;
            r_.p_sat = p_sat;
            return fail(ClimateCsvError::ClassSaturates, last_offset_[m], m + 1);
        }
    }
    out = climate_;
    return true;
}

}  // namespace

bool parse_climate_csv(const char* data, std::size_t size, Climate& out, ClimateCsvResult& result) {
    result = ClimateCsvResult{};
    if (size > CLIMATE_FILE_LIMIT) {
        result.error = ClimateCsvError::TooLarge;
        return false;
    }
    return Parser(std::string_view(data, size), result).run(out);
}

bool read_climate_file(const char* path, Climate& out, ClimateCsvResult& result) {
    result = ClimateCsvResult{};
    const int fd = open_regular_file(path);
    if (fd < 0) {
        result.error = ClimateCsvError::CannotOpen;
        return false;
    }
    std::string data(CLIMATE_FILE_LIMIT + 1, '\0');
    const std::size_t got = read_full(fd, data.data(), data.size());
    ::close(fd);
    return parse_climate_csv(data.data(), got, out, result);
}

std::string climate_csv_text(const Climate& climate) {
    const bool by_class = climate.humidity_class > 0;
    std::string s;
    for (const char* column : COLUMNS) s += std::string(column) + ",";
    s += std::string(by_class ? HUMIDITY_CLASS : PHI_I) + "\n";
    for (int m = 0; m < MONTHS; ++m) {
        const ClimateMonth& c = climate.months[m];
        s += std::to_string(m + 1);
        for (double v : {c.theta_e, c.phi_e, c.theta_i}) s += "," + format_number("0.0###", v, '.');
        s += "," + (by_class ? std::to_string(climate.humidity_class)
                             : format_number("0.0###", c.phi_i, '.'));
        s += "\n";
    }
    return s;
}

std::string climate_error_message(const ClimateCsvResult& r, const char* path) {
    // Index: the error; 0 for those whose text is filled in below.
    constexpr int TEXTS[] = {
        0,
        C_ERR_CLIMATE_OPEN,
        C_ERR_TOO_LARGE,
        C_ERR_NOT_UTF8,
        C_ERR_NO_HEADER,
        0,
        C_ERR_FIELD_COUNT,
        C_ERR_NUMBER,
        C_ERR_MONTH,
        0,
        C_ERR_TOO_MANY_ROWS,
        0,
        C_ERR_THETA,
        C_ERR_PHI,
        C_ERR_CLASS,
        C_ERR_CLASS_DIFFERS,
        0,
    };
    static_assert(std::size(TEXTS) ==
                  static_cast<std::size_t>(ClimateCsvError::ClassSaturates) + 1);
    const char sep = catalogue_c_decimal_separator();
    const std::string month = std::to_string(r.month);
    std::string text;
    switch (r.error) {
        case ClimateCsvError::None:
            return {};
        case ClimateCsvError::BadHeader:
            text = fill_text(catalogue_c_text(C_ERR_BAD_HEADER), {r.expected});
            break;
        case ClimateCsvError::RepeatedMonth:
            text = fill_text(catalogue_c_text(C_ERR_REPEATED_MONTH), {month});
            break;
        case ClimateCsvError::MissingMonth:
            text = fill_text(catalogue_c_text(C_ERR_MISSING_MONTH), {month});
            break;
        case ClimateCsvError::ClassSaturates:
            text = fill_text(
                catalogue_c_text(C_ERR_CLASS_SATURATES),
                {month, catalogue_c_text(C_MONTH_1 + r.month - 1), std::to_string(r.humidity_class),
                 format_number("0.0", r.p_i, sep), format_number("0.0", r.p_sat, sep)});
            break;
        default:
            text = catalogue_c_text(TEXTS[static_cast<int>(r.error)]);
            break;
    }
    std::string out = path ? shown_text(path) : "";
    if (r.line > 0) out += ":" + std::to_string(r.line) + ":" + std::to_string(r.column);
    return out + ": " + text;
}
