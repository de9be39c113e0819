// Validation messages: composition from the catalogue, the once-per-pass
// policy and the total-thickness warning.
#include "core/messages.h"

#include "core/numfmt.h"
#include "lang/catalogue.h"

namespace {

constexpr std::int8_t A_INVALID_MASCULINE = 3;
constexpr std::int8_t A_INVALID_FEMININE = 4;
constexpr std::int8_t A_FOR_LAYER = 6;
constexpr std::int8_t A_OUT_OF_LIMITS = 44;
constexpr std::int8_t A_SUSPECTED = 45;
constexpr std::int8_t A_MIN = 46;
constexpr std::int8_t A_MAX = 47;
constexpr std::int8_t B_ERROR = 7;
constexpr std::int8_t B_WARNING = 8;

bool names_a_layer_value(std::uint8_t name_id) { return name_id >= 57 && name_id <= 59; }

// Polish field names that are feminine: temperatura, wilgotność, grubość.
bool feminine_in_polish(std::uint8_t name_id) {
    return (name_id >= 48 && name_id <= 51) || name_id == 57;
}

const char* name_text(std::uint8_t name_id) {
    // Ids above 127 must not wrap to a negative, valid-looking id.
    return name_id < CATALOGUE_A_SIZE ? catalogue_a_text(static_cast<std::int8_t>(name_id)) : "";
}

}  // namespace

CheckMessage compose_check_message(std::uint8_t name_id, const FieldCheck& result, int layer_number,
                                   char decimal_sep) {
    CheckMessage m;
    if (result.kind == CHECK_OK) return m;
    m.text = name_text(name_id);
    if (names_a_layer_value(name_id) && layer_number > 0) {
        m.text += catalogue_a_text(A_FOR_LAYER);
        m.text += ' ';
        m.text += std::to_string(layer_number);
        m.text += '-';
        m.text += std::to_string(static_cast<long long>(layer_number) + 1);
    }
    switch (result.kind) {
        case CHECK_LIMIT:
            m.text += catalogue_a_text(A_OUT_OF_LIMITS);
            m.text += "\n(";
            m.text += catalogue_a_text(A_MIN);
            m.text += format_number("0.###########", result.low, decimal_sep);
            m.text += "; ";
            m.text += catalogue_a_text(A_MAX);
            m.text += format_number("0.###########", result.high, decimal_sep);
            m.text += ')';
            m.caption = catalogue_b_text(B_ERROR);
            m.icon = MsgIcon::error;
            break;
        case CHECK_SUSPECT:
            m.text += catalogue_a_text(A_SUSPECTED);
            m.caption = catalogue_b_text(B_WARNING);
            m.icon = MsgIcon::warning;
            break;
        default:
            m.text += catalogue_a_text(get_language() == LANG_POLISH && feminine_in_polish(name_id)
                                           ? A_INVALID_FEMININE
                                           : A_INVALID_MASCULINE);
            m.caption = catalogue_b_text(B_ERROR);
            m.icon = MsgIcon::error;
            break;
    }
    return m;
}

void show_check_message(MessageUi& ui, std::uint8_t name_id, const FieldCheck& result,
                        int layer_number, char decimal_sep) {
    if (result.kind == CHECK_OK) return;
    CheckMessage m = compose_check_message(name_id, result, layer_number, decimal_sep);
    ui.message_box(m.text.c_str(), m.caption, m.icon, MsgButtons::ok);
}

void check_field_with_message(CheckPass& pass, FieldId id, std::uint8_t name_id, const char* text,
                              bool show, std::uint8_t& last_kind, int layer_number) {
    FieldCheck result;
    const bool changed =
        check_field(pass.record, id, text, result, layer_number - 1, pass.decimal_sep);
    if (changed) pass.any_change = true;
    if (result.kind != CHECK_OK) {
        if (show && pass.ui != nullptr && !pass.message_shown &&
            (last_kind != result.kind || changed)) {
            show_check_message(*pass.ui, name_id, result, layer_number, pass.decimal_sep);
            pass.message_shown = true;
        }
        if (result.error == 1) pass.any_error = true;
    }
    if (show) last_kind = result.kind;
}

void check_total_thickness(CheckPass& pass, bool& in_range) {
    if (pass.any_error) return;
    RangeCheck check;
    check.check_limits = 0;
    check.check_suspect = 1;
    check.suspect_low = 0.01;
    check.suspect_high = 2.0;
    const FieldCheck result = range_check(check, total_thickness(pass.record));
    if (result.flagged == 0) {
        in_range = true;
        return;
    }
    if (in_range && !pass.message_shown && pass.ui != nullptr) {
        show_check_message(*pass.ui, NAME_TOTAL_THICKNESS, result, 0, pass.decimal_sep);
        pass.message_shown = true;
    }
    in_range = false;
}

namespace {

struct FieldName {
    FieldId id;
    std::uint8_t name_id;
};

}  // namespace

bool first_failing_message(Partition p, char sep, std::string& message) {
    if (p.layer_count < 1 || p.layer_count > MAX_LAYERS || p.wall_type < 0 || p.wall_type > 1 ||
        p.calc_mode < 0 || p.calc_mode > 1) {
        return false;
    }
    const bool dampness = p.calc_mode == 1;
    auto fails = [&](FieldName f, int layer) {
        FieldCheck result;
        check_field(p, f.id, nullptr, result, layer, sep);
        if (result.error == 0) return false;
        message = compose_check_message(f.name_id, result, layer + 1, sep).text;
        return true;
    };
    for (FieldName f : {FieldName{FLD_TEMP_INT, 49}, FieldName{FLD_TEMP_EXT, 48},
                        FieldName{FLD_RES_INT, 53}, FieldName{FLD_RES_EXT, 52}}) {
        if (fails(f, -1)) return true;
    }
    if (dampness) {
        for (FieldName f : {FieldName{FLD_HUM_INT, 51}, FieldName{FLD_HUM_EXT, 50},
                            FieldName{FLD_DIFF_INT, 55}, FieldName{FLD_DIFF_EXT, 54}}) {
            if (fails(f, -1)) return true;
        }
    }
    for (int i = 0; i < p.layer_count; ++i) {
        if (fails({FLD_THICKNESS, 57}, i) || fails({FLD_LAMBDA, 58}, i)) return true;
        if (dampness && fails({FLD_DELTA, 59}, i)) return true;
    }
    return p.wall_type == 1 && fails({FLD_RADIUS, 56}, -1);
}
