// Validation messages: composition from the catalogue, the once-per-pass
// policy and the total-thickness warning.
#include "core/messages.h"

#include "core/numfmt.h"
#include "lang/catalogue.h"

namespace {

bool names_a_layer_value(TextA name) {
    return name >= TextA::ThicknessName && name <= TextA::DeltaName;
}

// Polish field names that are feminine: temperatura, wilgotność, grubość.
bool feminine_in_polish(TextA name) {
    return (name >= TextA::TempExtName && name <= TextA::HumIntName) ||
           name == TextA::ThicknessName;
}

// "\n(min=0.02; max=3)", as the out-of-limits message ends.
void append_limits(std::string& text, double low, double high, char decimal_sep) {
    text += "\n(";
    text += catalogue_a_text(TextA::MinimumIs);
    text += format_number("0.###########", low, decimal_sep);
    text += "; ";
    text += catalogue_a_text(TextA::MaximumIs);
    text += format_number("0.###########", high, decimal_sep);
    text += ')';
}

}  // namespace

CheckMessage compose_check_message(TextA name, const FieldCheck& result, int layer_number,
                                   char decimal_sep) {
    CheckMessage m;
    if (result.kind == CHECK_OK) return m;
    m.text = catalogue_a_text(name);
    if (names_a_layer_value(name) && layer_number > 0) {
        m.text += catalogue_a_text(TextA::ForLayer);
        m.text += ' ';
        m.text += std::to_string(layer_number);
        m.text += '-';
        m.text += std::to_string(static_cast<long long>(layer_number) + 1);
    }
    switch (result.kind) {
        case CHECK_LIMIT:
            m.text += catalogue_a_text(TextA::OutOfLimits);
            append_limits(m.text, result.low, result.high, decimal_sep);
            m.caption = catalogue_b_text(TextB::ErrorCaption);
            m.icon = MsgIcon::error;
            break;
        case CHECK_SUSPECT:
            m.text += catalogue_a_text(TextA::SuspectedValue);
            m.caption = catalogue_b_text(TextB::WarningCaption);
            m.icon = MsgIcon::warning;
            break;
        default:
            m.text += catalogue_a_text(get_language() == LANG_POLISH && feminine_in_polish(name)
                                           ? TextA::InvalidFeminine
                                           : TextA::InvalidMasculine);
            m.caption = catalogue_b_text(TextB::ErrorCaption);
            m.icon = MsgIcon::error;
            break;
    }
    return m;
}

void show_check_message(MessageUi& ui, TextA name, const FieldCheck& result, int layer_number,
                        char decimal_sep) {
    if (result.kind == CHECK_OK) return;
    CheckMessage m = compose_check_message(name, result, layer_number, decimal_sep);
    ui.message_box(m.text.c_str(), m.caption, m.icon, MsgButtons::ok);
}

FieldCheck check_field_with_message(CheckPass& pass, FieldId id, TextA name, const char* text,
                                   bool show, std::uint8_t& last_kind, int layer_number) {
    FieldCheck result;
    const bool changed =
        check_field(pass.record, id, text, result, layer_number - 1, pass.decimal_sep);
    if (changed) pass.any_change = true;
    if (result.kind != CHECK_OK) {
        if (show && pass.ui != nullptr && !pass.message_shown &&
            (last_kind != result.kind || changed)) {
            show_check_message(*pass.ui, name, result, layer_number, pass.decimal_sep);
            pass.message_shown = true;
        }
        if (result.error == 1) pass.any_error = true;
    }
    if (show) last_kind = result.kind;
    return result;
}

std::string field_problem_text(const Partition& p, FieldId id, TextA name, const FieldCheck& result,
                               int layer_number, char decimal_sep) {
    if (result.error == 0) return {};
    std::string text = compose_check_message(name, result, layer_number, decimal_sep).text;
    double low = 0.0, high = 0.0;
    if (result.kind == CHECK_INVALID && field_limits(p, id, layer_number - 1, low, high))
        append_limits(text, low, high, decimal_sep);
    return text;
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
        show_check_message(*pass.ui, TextA::TotalThicknessName, result, 0, pass.decimal_sep);
        pass.message_shown = true;
    }
    in_range = false;
}

namespace {

struct FieldName {
    FieldId id;
    TextA name;
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
        message = compose_check_message(f.name, result, layer + 1, sep).text;
        return true;
    };
    for (FieldName f :
         {FieldName{FLD_TEMP_INT, TextA::TempIntName}, FieldName{FLD_TEMP_EXT, TextA::TempExtName},
          FieldName{FLD_RES_INT, TextA::ResIntName}, FieldName{FLD_RES_EXT, TextA::ResExtName}}) {
        if (fails(f, -1)) return true;
    }
    if (dampness) {
        for (FieldName f :
             {FieldName{FLD_HUM_INT, TextA::HumIntName}, FieldName{FLD_HUM_EXT, TextA::HumExtName},
              FieldName{FLD_DIFF_INT, TextA::DiffIntName},
              FieldName{FLD_DIFF_EXT, TextA::DiffExtName}}) {
            if (fails(f, -1)) return true;
        }
    }
    for (int i = 0; i < p.layer_count; ++i) {
        if (fails({FLD_THICKNESS, TextA::ThicknessName}, i) ||
            fails({FLD_LAMBDA, TextA::LambdaName}, i))
            return true;
        if (dampness && fails({FLD_DELTA, TextA::DeltaName}, i)) return true;
    }
    return p.wall_type == 1 && fails({FLD_RADIUS, TextA::RadiusName}, -1);
}
