// Open, Save, Save As, the given file and the unsaved-changes question.
#include "document/document.h"
#include "lang/catalogue.h"
#include "lang/file_names.h"

bool Document::confirm_discard() {
    read_grids(false, false);
    if (record_.modified == 0) return true;
    const MsgAnswer answer = message_box(catalogue_a_text(TextA::UnsavedChanges),
                                         catalogue_b_text(TextB::WarningCaption), MsgIcon::question,
                                         MsgButtons::yes_no_cancel);
    if (answer == MsgAnswer::no) return true;
    if (answer != MsgAnswer::yes) return false;
    if (!read_grids(true, true)) {
        show_invalid_data_error();
        return false;
    }
    if (!state_.current_file.isEmpty()) return save_to_file(state_.current_file);
    save_as();
    return record_.modified == 0;
}

bool Document::save_to_file(const QString& path) {
    set_busy(true);
    set_status(true, catalogue_b_text(TextB::SavingData));
    // The whole path in the file system's encoding: never a shortened name.
    const bool ok = write_data_file(record_, path_to_bytes(path).constData()) == WRITE_DONE;
    // The box must not carry the wait cursor.
    set_busy(false);
    if (ok) history_.setClean();
    if (!ok) error_box(TextA::CannotSaveData);
    set_status(false, "");
    return ok;
}

void Document::open() {
    if (!open_dialog_ || !confirm_discard()) return;
    FileDialog& d = *open_dialog_;
    set_status(true, "");
    d.prepare(TextA::OpenDialogTitle, TextA::OpenFilter, state_.open_dir, state_.open_name,
              d.default_ext);
    d.on_selection_change = [this](const QString& path) {
        char title[TITLE_SIZE] = {};
        if (!path.isEmpty())
            read_data_file_title(path_to_bytes(path).constData(), title, sizeof title);
        char shown[TITLE_SIZE] = {};
        copy_shown(shown, title, sizeof shown);
        set_status(true, shown);
    };

    if (const std::optional<QString> path = ui_.run_open_dialog(d)) open_file(*path);
    set_status(false, "");
}

bool Document::open_file(const QString& path) {
    const ReadResult r = read_data_file(record_, path_to_bytes(path).constData());
    if (r == READ_INVALID_FILE) {
        error_box(TextA::DataFileInvalid);
    } else if (r == READ_CANNOT_OPEN) {
        error_box(TextA::CannotOpenDataFile);
    } else {
        state_.open_dir = folder_part(path);
        state_.open_name = name_part(path);
        fill_grids(true);
        set_current_file(path);
        state_.results_valid = calculate_partition(record_);
        restart_history();
        emit results_changed();
        emit graph_changed();
    }
    return r == READ_DONE;
}

void Document::open_given_file(const QString& path) {
    if (!open_dialog_ || path.isEmpty() || !confirm_discard()) return;
    open_file(path);
}

void Document::save() {
    if (state_.current_file.isEmpty()) {
        save_as();
        return;
    }
    if (read_grids(false, true))
        save_to_file(state_.current_file);
    else
        show_invalid_data_error();
}

void Document::save_as() {
    if (!save_dialog_) return;
    if (!read_grids(false, true)) {
        show_invalid_data_error();
        return;
    }
    FileDialog& d = *save_dialog_;
    d.prepare(TextA::SaveDialogTitle, TextA::SaveFilter, state_.save_dir, state_.save_name,
              QString::fromLatin1(file_name_of(FileName::DataExtension)));
    const std::optional<QString> path = ui_.run_save_dialog(d);
    if (!path || !save_to_file(*path)) return;
    set_current_file(*path);
    state_.save_dir = folder_part(*path);
    state_.save_name = name_part(*path);
}
