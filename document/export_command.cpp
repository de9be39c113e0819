// Export and Export As: the text report of the record in a file; its text
// for the clipboard.
#include <sys/stat.h>

#include <string>

#include "document/document.h"
#include "lang/catalogue.h"
#include "lang/file_names.h"
#include "output/report.h"

namespace {

// The report beside the data file: its name with the extension TXT, which
// replaces the one after the name's last dot or is added.
QString report_path_for(const QString& data_file) {
    const QString name = name_part(data_file);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot < 0 ? name : name.left(dot);
    return folder_part(data_file) + stem + QLatin1Char('.') +
           QString::fromLatin1(file_name_of(FileName::ReportExtension));
}

}  // namespace

void Document::export_results(const QString& file_name) {
    set_busy(true);
    const ReportContext ctx{decimal_separator(), &ui_.clock()};
    const ReportResult r = write_report(record_, path_to_bytes(file_name).constData(), ctx);
    // The box must not carry the wait cursor.
    set_busy(false);
    if (r != REPORT_DONE)
        error_box(TextA::CannotSaveResults);
    else
        emit exported(file_name);
}

bool Document::report_text(std::string& bytes) {
    bytes.clear();
    if (!read_grids(ReadFlag::with_messages)) return false;
    return write_report_text(record_, bytes, ReportContext{decimal_separator(), &ui_.clock()}) ==
           REPORT_DONE;
}

void Document::export_beside() {
    if (!read_grids(ReadFlag::with_messages)) return;
    if (state_.current_file.isEmpty()) return;
    const QString path = report_path_for(state_.current_file);
    struct stat st;
    if (::stat(path_to_bytes(path).constData(), &st) == 0) {
        // The path as it is: its letters need not exist in Windows-1250.
        const std::string after = std::string(catalogue_a_text(TextA::AlreadyExists)) + "\n" +
                                  catalogue_a_text(TextA::WriteOver);
        if (ui_.message_box(catalogue_a_text(TextA::TheFile), path, after.c_str(),
                            catalogue_b_text(TextB::WarningCaption), MsgIcon::question,
                            MsgButtons::yes_no) != MsgAnswer::yes)
            return;
    }
    export_results(path);
}

void Document::export_as() {
    if (!save_dialog_) return;
    if (!read_grids(ReadFlag::with_messages)) return;
    FileDialog& d = *save_dialog_;
    d.prepare(TextA::ExportDialogTitle, TextA::ExportFilter, state_.export_dir, state_.export_name,
              QString::fromLatin1(file_name_of(FileName::ReportExtension)));
    const std::optional<QString> path = ui_.run_save_dialog(d);
    if (!path) return;
    export_results(*path);
    // Kept whatever the result: the next Export As opens where this one went.
    state_.export_dir = folder_part(*path);
    state_.export_name = name_part(*path);
}
