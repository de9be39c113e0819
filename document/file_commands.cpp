// Open, Save, Save As, the given file and the unsaved-changes question.
#include "document/assessment_document.h"
#include "document/document.h"
#include "lang/catalogue.h"
#include "lang/catalogue_e.h"
#include "lang/file_names.h"
#include "storage/datafile.h"
#include "storage/project_file.h"

namespace {

constexpr char PROJECT_SUFFIX[] = ".parieta.json";

// A catalogue filter with the project's filter after its first pair, so the
// data file's stays first.
std::string with_project_filter(const char* filter) {
    std::string s = filter;
    std::size_t bar = s.find('|');
    if (bar != std::string::npos) bar = s.find('|', bar + 1);
    const std::string project = catalogue_d_text(TextD::ProjectFilter);
    if (bar == std::string::npos) return s + "|" + project;
    return s.substr(0, bar) + "|" + project + s.substr(bar);
}

// `path` as a project's name: the data file's extension, which a dialog
// may have added, gives way to the project's.
QString as_project_path(QString path) {
    if (path.endsWith(QLatin1String(PROJECT_SUFFIX), Qt::CaseInsensitive)) return path;
    const QString data_ext = QString::fromLatin1(file_name_of(FileName::DataExtensionDot));
    if (path.endsWith(data_ext, Qt::CaseInsensitive)) path.chop(data_ext.size());
    return path + QLatin1String(PROJECT_SUFFIX);
}

bool names_project(const QString& path) {
    return path.endsWith(QLatin1String(PROJECT_SUFFIX), Qt::CaseInsensitive);
}

}  // namespace

bool Document::confirm_discard() {
    read_grids();
    if (record_.modified == 0) return true;
    const MsgAnswer answer = message_box(catalogue_a_text(TextA::UnsavedChanges),
                                         catalogue_b_text(TextB::WarningCaption), MsgIcon::question,
                                         MsgButtons::yes_no_cancel);
    if (answer == MsgAnswer::no) return true;
    if (answer != MsgAnswer::yes) return false;
    if (!read_grids(ReadFlag::numbers_only | ReadFlag::with_messages)) {
        show_invalid_data_error();
        return false;
    }
    if (!state_.current_file.isEmpty()) return save_to_file(state_.current_file);
    save_as();
    return record_.modified == 0;
}

Document::SaveChoice Document::ask_what_to_keep() {
    if (!holds_more_than_partition()) return SaveChoice::data_file;
    // The question is UTF-8: it is the project's, in catalogue E.
    switch (ui_.message_box("", QString::fromUtf8(catalogue_e_text(E_KEEP_QUESTION)), "",
                            catalogue_b_text(TextB::WarningCaption), MsgIcon::question,
                            MsgButtons::yes_no_cancel)) {
        case MsgAnswer::yes:
            return SaveChoice::project;
        case MsgAnswer::no:
            return SaveChoice::partition_only;
        default:
            return SaveChoice::cancel;
    }
}

bool Document::save_to_file(const QString& path, bool project) {
    set_busy(true);
    set_status(true, catalogue_b_text(TextB::SavingData));
    // The whole path in the file system's encoding: never a shortened name.
    const QByteArray bytes = path_to_bytes(path);
    bool ok = false;
    if (project) {
        AssessmentDocument& a = assessment();
        std::string error;
        ok = write_project_file(bytes.constData(), record_, a.climate(), a.settings(), error);
    } else {
        ok = write_data_file(record_, bytes.constData()) == WRITE_DONE;
    }
    // The box must not carry the wait cursor.
    set_busy(false);
    if (ok) {
        record_.modified = 0;
        history_.setClean();
        emit history_changed();  // the unsaved mark goes
        state_.last_saved = project                       ? SavedWhat::project
                            : holds_more_than_partition() ? SavedWhat::partition_only
                                                          : SavedWhat::data_file;
    }
    if (!ok) error_box(TextA::CannotSaveData);
    set_status(false, "");
    if (ok) emit saved(path);
    return ok;
}

void Document::open() {
    if (!open_dialog_ || !confirm_discard()) return;
    FileDialog& d = *open_dialog_;
    set_status(true, "");
    d.prepare(TextA::OpenDialogTitle, TextA::OpenFilter, state_.open_dir, state_.open_name,
              d.default_ext);
    d.filter = with_project_filter(d.filter.c_str());
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
    if (looks_like_project_file(path_to_bytes(path).constData()))
        return open_project(path) == READ_DONE;
    const ReadResult r = read_data_file(record_, path_to_bytes(path).constData());
    if (r == READ_INVALID_FILE) {
        error_box(TextA::DataFileInvalid);
    } else if (r == READ_CANNOT_OPEN) {
        error_box(TextA::CannotOpenDataFile);
    } else {
        opened(path, false);
    }
    return r == READ_DONE;
}

ReadResult Document::open_project(const QString& path) {
    Project project;
    std::string error;
    const ReadResult r = read_project(path_to_bytes(path).constData(), project, error);
    if (r == READ_CANNOT_OPEN) {
        error_box(TextA::CannotOpenDataFile);
    } else if (r != READ_DONE) {
        // The reader's message says where; it is UTF-8 and shown as it is.
        const std::string before = std::string(catalogue_a_text(TextA::DataFileInvalid)) + "\n";
        ui_.message_box(before.c_str(), QString::fromUtf8(error), "",
                        catalogue_b_text(TextB::ErrorCaption), MsgIcon::error, MsgButtons::ok);
    } else {
        static_cast<PartitionInput&>(record_) = project.partition;
        record_.modified = 0;
        AssessmentDocument& a = assessment();
        a.set_kind(project.settings.kind);
        if (project.has_climate) a.set_climate(project.climate);
        opened(path, true);
    }
    return r;
}

void Document::opened(const QString& path, bool project) {
    state_.open_dir = folder_part(path);
    state_.open_name = name_part(path);
    state_.current_is_project = project;
    fill_grids(true);
    set_current_file(path);
    state_.results_valid = calculate_partition(record_);
    restart_history();
    emit results_changed();
    emit graph_changed();
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
    if (!read_grids(ReadFlag::with_messages)) {
        show_invalid_data_error();
        return;
    }
    if (state_.current_is_project) {
        save_to_file(state_.current_file, true);
        return;
    }
    // A data file keeps the partition only: never drop the rest unasked.
    switch (ask_what_to_keep()) {
        case SaveChoice::cancel:
            return;
        case SaveChoice::project:
            run_save_as(true);
            return;
        default:
            save_to_file(state_.current_file, false);
    }
}

void Document::save_as() {
    if (!read_grids(ReadFlag::with_messages)) {
        show_invalid_data_error();
        return;
    }
    run_save_as(state_.current_is_project);
}

void Document::run_save_as(bool project_first) {
    if (!save_dialog_) return;
    FileDialog& d = *save_dialog_;
    d.prepare(TextA::SaveDialogTitle, TextA::SaveFilter, state_.save_dir, state_.save_name,
              QString::fromLatin1(file_name_of(FileName::DataExtension)));
    d.filter = with_project_filter(d.filter.c_str());
    // The project's filter is the second.
    if (project_first) {
        d.filter_index = 2;
        d.name = as_project_path(d.name);
        d.default_ext = QLatin1String(PROJECT_SUFFIX + 1);
    }
    std::optional<QString> path = ui_.run_save_dialog(d);
    if (!path) return;
    // The filter chosen wins; a name typed with the project's suffix counts as choosing it.
    bool project = d.filter_index == 2 || names_project(*path);
    if (!project) {
        switch (ask_what_to_keep()) {
            case SaveChoice::cancel:
                return;
            case SaveChoice::project:
                project = true;
                break;
            default:
                break;
        }
    }
    if (project) *path = as_project_path(*path);
    if (!save_to_file(*path, project)) return;
    state_.current_is_project = project;
    set_current_file(*path);
    state_.save_dir = folder_part(*path);
    state_.save_name = name_part(*path);
}
