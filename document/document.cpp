#include "document/document.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "document/assessment_document.h"
#include "document/grid_columns.h"
#include "lang/catalogue.h"
#include "lang/file_names.h"
#include "storage/settings.h"

template <class Show>
MsgAnswer OneBoxUi::one_at_a_time(MsgButtons buttons, Show show) {
    if (depth_ > 0) return buttons == MsgButtons::ok ? MsgAnswer::ok : MsgAnswer::cancel;
    ++depth_;
    const MsgAnswer answer = show();
    --depth_;
    return answer;
}

bool OneBoxUi::first_telling(MsgButtons buttons, std::string text) {
    if (!in_action_ || buttons != MsgButtons::ok || depth_ > 0) return true;
    if (std::find(told_.begin(), told_.end(), text) != told_.end()) return false;
    told_.push_back(std::move(text));
    return true;
}

MsgAnswer OneBoxUi::message_box(const char* text, const char* caption, MsgIcon icon,
                                MsgButtons buttons) {
    if (!first_telling(buttons, std::string(caption) + '\n' + text)) return MsgAnswer::ok;
    return one_at_a_time(buttons, [&] { return ui_.message_box(text, caption, icon, buttons); });
}

MsgAnswer OneBoxUi::message_box(const char* before, const QString& path, const char* after,
                                const char* caption, MsgIcon icon, MsgButtons buttons) {
    if (!first_telling(buttons, std::string(caption) + '\n' + before + path.toStdString() + after))
        return MsgAnswer::ok;
    return one_at_a_time(
        buttons, [&] { return ui_.message_box(before, path, after, caption, icon, buttons); });
}

Document::Document(Partition& record, Ui& ui)
    : record_(record),
      ui_(ui),
      open_dialog_(std::make_unique<FileDialog>()),
      save_dialog_(std::make_unique<FileDialog>()) {
    conditions_.set_fixed_cols(COND_EXTERNAL);
    layers_.set_fixed_cols(LAYER_DESCRIPTION);

    const QString data = data_folder();
    // mkpath: in the documents folder its parent may be missing too. A failure is ignored.
    if (!data.isEmpty() && !QFileInfo::exists(data)) QDir().mkpath(data);

    const int language = read_settings();
    if (language != get_language()) set_language(language);

    state_.open_dir = state_.save_dir = state_.export_dir = data;
    state_.open_name = state_.save_name = state_.export_name =
        QString::fromLatin1(file_name_of(FileName::DefaultDataName));
    open_dialog_->default_ext = QString::fromLatin1(file_name_of(FileName::DataExtension));
    open_dialog_->overwrite_prompt = false;
    save_dialog_->overwrite_prompt = true;
}

Document::~Document() = default;

AssessmentDocument& Document::assessment() {
    if (!assessment_) assessment_ = std::make_unique<AssessmentDocument>(*this);
    return *assessment_;
}

QString Document::data_folder() const {
    char path[PATH_SIZE];
    data_directory(path, sizeof path);
    return path_from_bytes(path);
}

MsgAnswer Document::message_box(const char* text, const char* caption, MsgIcon icon,
                                MsgButtons buttons) {
    return ui_.message_box(text, caption, icon, buttons);
}

void Document::error_box(TextA text) {
    message_box(catalogue_a_text(text), catalogue_b_text(TextB::ErrorCaption), MsgIcon::error,
                MsgButtons::ok);
}

void Document::show_invalid_data_error() { error_box(TextA::CannotSaveInvalidData); }

void Document::set_status(bool visible, const std::string& text, bool paint_now) {
    state_.status_visible = visible;
    state_.status_text = text;
    emit status_changed(paint_now);
}

void Document::set_current_file(const QString& path) {
    state_.current_file = path;
    emit caption_changed();
}

void Document::take_title() {
    const EditScope edit(*this);
    set_title(record_, title_text_.c_str());
}

bool Document::insert_layer_at(int row) {
    const int n = used_layers(record_);
    return row >= 1 && row <= n + 1 && n < MAX_LAYERS &&
           change_layers(insert_layer, row - 1, {TextD::StepAddLayer, std::int8_t(row)});
}

bool Document::delete_layer_at(int row) {
    const int n = used_layers(record_);
    return row >= 1 && row <= n && n > 1 &&
           change_layers(delete_layer, row - 1, {TextD::StepDeleteLayer, std::int8_t(row)});
}

bool Document::change_layers(bool (*change)(Partition&, int), int index, StepName name) {
    if (!state_.grids_ready) return false;
    const EditScope edit(*this, name);
    // What was typed goes in first, so the rebuilt grid keeps it.
    read_grids();
    if (!change(record_, index)) return false;
    state_.graph_dirty = true;
    fill_grids(true);
    refresh_results(ReadFlag::numbers_only | ReadFlag::with_messages);
    return true;
}

void Document::choose_wall_type(int type) {
    if (!state_.grids_ready) return;
    type = type == 1 ? 1 : 0;
    if (type == record_.wall_type) return;
    const EditScope edit(*this, StepName{TextD::StepWallType});
    set_wall_type(record_, type);
    state_.graph_dirty = true;
    emit wall_type_changed();
    refresh_results(ReadFlag::numbers_only | ReadFlag::with_messages);
}

void Document::choose_calc_mode(int mode) {
    if (!state_.grids_ready) return;
    mode = mode == 1 ? 1 : 0;
    if (mode == record_.calc_mode) return;
    const EditScope edit(*this, StepName{TextD::StepCalcMode});
    set_calc_mode(record_, mode);
    state_.graph_dirty = true;
    fill_grids(false);
    refresh_results(ReadFlag::numbers_only | ReadFlag::with_messages);
}

void Document::shutdown() {
    write_settings(get_language() == LANG_POLISH ? 1 : 0);
    open_dialog_.reset();
    save_dialog_.reset();
    shut_down_ = true;
}
