// Export and Export As: the text report of the document in a file.
#include <sys/stat.h>

#include <QGuiApplication>

#include "lang/catalogue.h"
#include "lang/settings.h"
#include "mainwin/Quil_gui.h"
#include "mainwin/text_1250.h"
#include "output/report.h"

namespace {

// The report beside the data file: its name with the extension TXT, which
// replaces the one after the name's last dot or is added.
QString report_path_for(const QString& data_file) {
    const QString name = name_part(data_file);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot < 0 ? name : name.left(dot);
    return folder_part(data_file) + stem + QLatin1Char('.') + QString::fromLatin1(file_name_of(4));
}

}  // namespace

void TForm_quil::export_results(const QString& file_name) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const ReportContext ctx{decimal_separator(), &ui.clock()};
    const int r = write_report(document, path_to_bytes(file_name).constData(), ctx);
    // The box must not carry the wait cursor.
    QGuiApplication::restoreOverrideCursor();
    if (r != 0)
        message_box(catalogue_a_text(11), catalogue_b_text(7), MsgIcon::error, MsgButtons::ok);
}

void TForm_quil::eh_sb_export_OnClick() {
    if (!read_grids(false, true)) return;
    if (current_file.isEmpty()) return;
    const QString path = report_path_for(current_file);
    struct stat st;
    if (::stat(path_to_bytes(path).constData(), &st) == 0) {
        // The path as it is: its letters need not exist in Windows-1250.
        const QString question = from_1250(catalogue_a_text(14)) + path +
                                 from_1250(catalogue_a_text(15)) + QLatin1Char('\n') +
                                 from_1250(catalogue_a_text(16));
        if (message_box(question, catalogue_b_text(8), MsgIcon::question, MsgButtons::yes_no) !=
            MsgAnswer::yes)
            return;
    }
    export_results(path);
}

void TForm_quil::eh_sb_export_as_OnClick() {
    if (!save_dialog) return;
    if (!read_grids(false, true)) return;
    FileDialog& d = *save_dialog;
    d.prepare(21, 77, export_dir, export_name, QString::fromLatin1(file_name_of(4)));
    const std::optional<QString> path = ui.run_save_dialog(d);
    if (!path) return;
    export_results(*path);
    // Kept whatever the result: the next Export As opens where this one went.
    export_dir = folder_part(*path);
    export_name = name_part(*path);
}
