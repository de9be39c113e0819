// Validation messages: composition from the catalogue, the once-per-pass
// policy and the total-thickness warning.
#pragma once

#include <cstdint>
#include <string>

#include "core/Quil_c.h"
#include "core/message_ui.h"
#include "lang/text_ids.h"

// The text, caption and icon of a check message, in the current language.
// A CHECK_OK result gives the empty text.
struct CheckMessage {
    std::string text;  // Windows-1250
    const char* caption = "";
    MsgIcon icon = MsgIcon::error;
};
// `name` is the field's name (TempExtName to TotalThicknessName); `layer_number`
// is 1-based, 0 for no layer.
CheckMessage compose_check_message(TextA name, const FieldCheck& result, int layer_number,
                                   char decimal_sep);

// Shows the message with one OK button; nothing for CHECK_OK.
void show_check_message(MessageUi& ui, TextA name, const FieldCheck& result, int layer_number,
                        char decimal_sep);

// One grid reader pass: where messages go, and what the pass has seen so far.
struct CheckPass {
    Partition& record;
    MessageUi* ui;  // may be null when show is false
    char decimal_sep;
    bool any_error = false;
    bool message_shown = false;
    bool any_change = false;
};

// The grid reader's per-cell call. `last_kind` is the caller's memory of the
// cell: the kind last seen with messages on, CHECK_OK at start. Returns the
// cell's check.
FieldCheck check_field_with_message(CheckPass& pass, FieldId id, TextA name, const char* text, bool show,
                              std::uint8_t& last_kind, int layer_number);

// What the window says of a field in error where the graph would be, and in
// the field's tooltip: its check message, with the limits when the text is
// not a number at all (Windows-1250). Empty for a field without error.
std::string field_problem_text(const Partition& p, FieldId id, TextA name, const FieldCheck& result,
                               int layer_number, char decimal_sep);

// Run at the end of a pass with messages on; does nothing once the pass has
// an error. `in_range` is the caller's remembered state (true at start).
void check_total_thickness(CheckPass& pass, bool& in_range);

// The message of the first stored value outside its limits, in the order validation checks
// them, worded as the validation message box would word it (Windows-1250). False, and
// `message` untouched, when the record fails for another reason (layer count, wall type or
// mode out of range) or does not fail at all.
bool first_failing_message(Partition p, char decimal_sep, std::string& message);
