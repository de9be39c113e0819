// Open, Save, Save As and the unsaved-changes question.
#include <QGuiApplication>
#include <QLabel>
#include <QStatusBar>

#include "core/Quil_c.h"
#include "lang/catalogue.h"
#include "lang/settings.h"
#include "mainwin/Quil_gui.h"
#include "mainwin/controls.h"
#include "mainwin/text_1250.h"

namespace {

void error_box(TForm_quil& w, int id) {
    w.message_box(catalogue_a_text(std::int8_t(id)), catalogue_b_text(7), MsgIcon::error,
                  MsgButtons::ok);
}

}  // namespace

bool TForm_quil::confirm_discard() {
    read_grids(false, false);
    if (document.modified == 0) return true;
    const MsgAnswer answer = message_box(catalogue_a_text(12), catalogue_b_text(8),
                                         MsgIcon::question, MsgButtons::yes_no_cancel);
    if (answer == MsgAnswer::no) return true;
    if (answer != MsgAnswer::yes) return false;
    if (!read_grids(true, true)) {
        show_invalid_data_error();
        return false;
    }
    if (!current_file.isEmpty()) return save_to_file(current_file);
    eh_sb_save_as_OnClick();
    return document.modified == 0;
}

bool TForm_quil::save_to_file(const QString& path) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    status_text->setText(from_1250(catalogue_b_text(9)));
    status_bar->show();
    // The whole path in the file system's encoding: never a shortened name.
    const bool ok = write_data_file(document, path_to_bytes(path).constData()) == 0;
    // The box must not carry the wait cursor.
    QGuiApplication::restoreOverrideCursor();
    if (!ok) error_box(*this, 7);
    status_text->clear();
    status_bar->hide();
    return ok;
}

void TForm_quil::eh_sb_open_OnClick() {
    if (!open_dialog || !confirm_discard()) return;
    FileDialog& d = *open_dialog;
    status_text->clear();
    status_bar->show();
    d.prepare(19, 75, open_dir, open_name, d.default_ext);
    d.on_selection_change = [this](const QString& path) {
        char title[TITLE_SIZE] = {};
        if (!path.isEmpty())
            read_data_file_title(path_to_bytes(path).constData(), title, sizeof title);
        status_text->setText(shown_from_1250(title, sizeof title));
    };

    if (const std::optional<QString> path = ui.run_open_dialog(d)) open_file(*path);
    status_bar->hide();
    status_text->clear();
}

bool TForm_quil::open_file(const QString& path) {
    const int r = read_data_file(document, path_to_bytes(path).constData());
    if (r == 2) {
        error_box(*this, 10);
    } else if (r == 1) {
        error_box(*this, 9);
    } else {
        open_dir = folder_part(path);
        open_name = name_part(path);
        fill_grids(true);
        update_caption(path);
        results_valid = calculate_partition(document);
        graph->setVisible(results_valid);
        graph->update();
    }
    return r == 0;
}

void TForm_quil::eh_sb_save_OnClick() {
    if (current_file.isEmpty()) {
        eh_sb_save_as_OnClick();
        return;
    }
    if (read_grids(false, true))
        save_to_file(current_file);
    else
        show_invalid_data_error();
}

void TForm_quil::eh_sb_save_as_OnClick() {
    if (!save_dialog) return;
    if (!read_grids(false, true)) {
        show_invalid_data_error();
        return;
    }
    FileDialog& d = *save_dialog;
    d.prepare(20, 76, save_dir, save_name, QString::fromLatin1(file_name_of(1)));
    const std::optional<QString> path = ui.run_save_dialog(d);
    if (!path || !save_to_file(*path)) return;
    update_caption(*path);
    save_dir = folder_part(*path);
    save_name = name_part(*path);
}
