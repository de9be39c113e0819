#include "mainwin/Quil_gui.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QRadioButton>
#include <QStatusBar>
#include <QToolButton>
#include <string>

#include "lang/catalogue.h"
#include "lang/settings.h"
#include "mainwin/controls.h"
#include "mainwin/given_file.h"
#include "mainwin/glyphs.h"
#include "mainwin/string_grid.h"
#include "mainwin/text_1250.h"
#include "materials/Quil_hlp.h"
#include "output/canvas_qt.h"

namespace {

// The window's own MessageUi, so that check messages take the same road
// (and the same one-box-at-a-time rule) as every other box.
class WindowMessages : public MessageUi {
public:
    explicit WindowMessages(TForm_quil& window) : window_(window) {}
    MsgAnswer message_box(const char* text, const char* caption, MsgIcon icon,
                          MsgButtons buttons) override {
        return window_.message_box(text, caption, icon, buttons);
    }

private:
    TForm_quil& window_;
};

template <class T>
T* named(T* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}

}  // namespace

TForm_quil::TForm_quil(Partition& doc, Ui& ui_, QWidget* parent)
    : QWidget(parent), document(doc), ui(ui_), messages_(std::make_unique<WindowMessages>(*this)) {
    setObjectName("Form_quil");
    register_font_substitutes();
    create_controls();
    connect_handlers();
    accept_file_drops(*this);

    // State starts as declared: empty paths, zero check memory, flags true.
    open_dialog = std::make_unique<FileDialog>();
    save_dialog = std::make_unique<FileDialog>();

    const QString data = data_folder();
    // mkpath: in the documents folder its parent may be missing too. A failure is ignored.
    if (!data.isEmpty() && !QFileInfo::exists(data)) QDir().mkpath(data);

    const int language = read_settings();
    if (language != get_language()) set_language(language);

    eh_Form_quil_OnCreate();
}

TForm_quil::~TForm_quil() = default;

void TForm_quil::create_controls() {
    mnu_table1 = named(new StringGrid(this), "mnu_table1");
    mnu_table2 = named(new StringGrid(this), "mnu_table2");
    edit_title = named(new KeyEdit(this), "edit_title");
    label_title = named(new QLabel(this), "label_title");
    mnu_radio_group_wall = named(new RadioGroup(this), "mnu_radio_group_wall");
    mnu_radio_group_calc = named(new RadioGroup(this), "mnu_radio_group_calc");
    edit_RadiusC = named(new KeyEdit(this), "edit_RadiusC");
    label_RadiusC = named(new QLabel(this), "label_RadiusC");
    graph = named(new GraphBox(this), "graph");
    status_bar = named(new QStatusBar(this), "status_bar");
    status_text = named(new QLabel(status_bar), "status_text");
    status_bar->addWidget(status_text, 1);
    status_bar->setSizeGripEnabled(false);
    status_bar->hide();

    mnu_table1->set_fixed_cols(1);
    mnu_table2->set_fixed_cols(3);
    mnu_table2->set_col_max_length(3, int(DESCRIPTION_SIZE) - 1);
    edit_title->setMaxLength(int(TITLE_SIZE) - 1);
    edit_title->setValidator(new Win1250Validator(edit_title));
    edit_RadiusC->setMaxLength(10);
    label_title->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label_RadiusC->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // The graph keeps its own font whatever the window's size.
    graph->setFont(QFont("MS Sans Serif", 8));
    graph->setAutoFillBackground(false);

    struct ButtonSpec {
        QToolButton*& button;
        const char* name;
        Glyph glyph;
        bool two_images;
    };
    const ButtonSpec buttons[] = {
        {SpeedButtonInfo1, "SpeedButtonInfo1", Glyph::info1, false},
        {SpeedButtonInfo2, "SpeedButtonInfo2", Glyph::info2, false},
        {SpeedButtonOpen, "SpeedButtonOpen", Glyph::open, false},
        {SpeedButtonSave, "SpeedButtonSave", Glyph::save, true},
        {SpeedButtonExport, "SpeedButtonExport", Glyph::export_text, true},
        {SpeedButtonSaveAs, "SpeedButtonSaveAs", Glyph::save_as, false},
        {SpeedButtonExportAs, "SpeedButtonExportAs", Glyph::export_as, false},
        {SpeedButtonMaterials, "SpeedButtonMaterials", Glyph::materials, true},
        {SpeedButtonPrint, "SpeedButtonPrint", Glyph::print, false},
        {SpeedButtonLang044, "SpeedButtonLang044", Glyph::lang_english, true},
        {SpeedButtonLang048, "SpeedButtonLang048", Glyph::lang_polish, true},
        {SpeedButtonExit, "SpeedButtonExit", Glyph::exit, false},
    };
    for (const ButtonSpec& b : buttons) {
        b.button = named(new QToolButton(this), b.name);
        b.button->setIcon(glyph_icon(b.glyph, b.two_images));
        b.button->setIconSize(QSize(16, 16));
        b.button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        b.button->setFocusPolicy(Qt::NoFocus);  // a click leaves the focus where it is
    }

    setTabOrder(mnu_table1, mnu_table2);
    setTabOrder(mnu_table2, edit_title);
    setTabOrder(edit_title, mnu_radio_group_wall->item(0));
    setTabOrder(mnu_radio_group_wall->item(0), mnu_radio_group_wall->item(1));
    setTabOrder(mnu_radio_group_wall->item(1), mnu_radio_group_calc->item(0));
    setTabOrder(mnu_radio_group_calc->item(0), mnu_radio_group_calc->item(1));
    setTabOrder(mnu_radio_group_calc->item(1), edit_RadiusC);
}

void TForm_quil::connect_handlers() {
    mnu_table1->on_key_down = [this](StringGrid* g, int& key, Qt::KeyboardModifiers) {
        eh_table1_OnKeyDown(g, key);
    };
    mnu_table1->on_key_press = [this](StringGrid* g, char16_t& key) {
        eh_table1_OnKeyPress(g, key);
    };
    mnu_table1->on_select_cell = [this](StringGrid* g, int c, int r, bool& ok) {
        eh_table1_OnSelectCell(g, c, r, ok);
    };
    mnu_table2->on_key_down = [this](StringGrid* g, int& key, Qt::KeyboardModifiers) {
        eh_table2_OnKeyDown(g, key);
    };
    mnu_table2->on_key_press = [this](StringGrid* g, char16_t& key) {
        eh_table2_OnKeyPress(g, key);
    };
    mnu_table2->on_select_cell = [this](StringGrid* g, int c, int r, bool& ok) {
        eh_table2_OnSelectCell(g, c, r, ok);
    };
    mnu_table2->on_mouse_down = [this](StringGrid* g, Qt::MouseButton b, QPoint pos) {
        eh_table2_OnMouseDown(g, b, pos);
    };
    new ExitWatcher(mnu_table1, [this] { eh_EditingOnExit(mnu_table1); });
    new ExitWatcher(mnu_table2, [this] { eh_EditingOnExit(mnu_table2); });
    new ExitWatcher(edit_RadiusC, [this] { eh_EditingOnExit(edit_RadiusC); });
    new ExitWatcher(edit_title, [this] { eh_edit_title_OnExit(); });
    edit_RadiusC->on_key_down = [this](int& key, Qt::KeyboardModifiers) {
        eh_edit_RadiusC_OnKeyDown(key);
    };
    edit_RadiusC->on_key_press = [this](char16_t& key) { eh_edit_RadiusC_OnKeyPress(key); };
    edit_title->on_key_down = [this](int& key, Qt::KeyboardModifiers) {
        eh_edit_title_OnKeyDown(key);
    };
    mnu_radio_group_wall->on_click = [this] { eh_mnu_radio_group_wall_OnClick(); };
    mnu_radio_group_calc->on_click = [this] { eh_mnu_radio_group_calc_OnClick(); };
    graph->on_paint = [this] { eh_graph_on_paint(); };

    auto on_click = [this](QToolButton* b, auto handler) {
        connect(b, &QToolButton::clicked, this, handler);
    };
    on_click(SpeedButtonInfo1, [this] { eh_sb_info_OnClick(SpeedButtonInfo1); });
    on_click(SpeedButtonInfo2, [this] { eh_sb_info_OnClick(SpeedButtonInfo2); });
    on_click(SpeedButtonOpen, [this] { eh_sb_open_OnClick(); });
    on_click(SpeedButtonSave, [this] { eh_sb_save_OnClick(); });
    on_click(SpeedButtonExport, [this] { eh_sb_export_OnClick(); });
    on_click(SpeedButtonSaveAs, [this] { eh_sb_save_as_OnClick(); });
    on_click(SpeedButtonExportAs, [this] { eh_sb_export_as_OnClick(); });
    on_click(SpeedButtonMaterials, [this] { eh_sb_materials_OnClick(); });
    on_click(SpeedButtonPrint, [this] { eh_sb_print_OnClick(); });
    on_click(SpeedButtonLang044, [this] { eh_sb_language_OnClick(SpeedButtonLang044); });
    on_click(SpeedButtonLang048, [this] { eh_sb_language_OnClick(SpeedButtonLang048); });
    on_click(SpeedButtonExit, [this] { eh_sb_exit_OnClick(); });
}

QString TForm_quil::catalogue_a(int id) const {
    return from_1250(catalogue_a_text(std::int8_t(id)));
}

QString TForm_quil::data_folder() const {
    char path[PATH_SIZE];
    data_directory(path, sizeof path);
    return path_from_bytes(path);
}

void TForm_quil::eh_Form_quil_OnCreate() {
    hide();
    update_caption();

    const int language = read_settings();
    for (QToolButton* b :
         {SpeedButtonInfo1, SpeedButtonInfo2, SpeedButtonOpen, SpeedButtonSaveAs,
          SpeedButtonExportAs, SpeedButtonMaterials, SpeedButtonPrint, SpeedButtonExit})
        b->setEnabled(true);
    SpeedButtonSave->setEnabled(false);
    SpeedButtonExport->setEnabled(false);
    SpeedButtonLang044->setEnabled(language == 1);
    SpeedButtonLang048->setEnabled(language != 1);
    for (QToolButton* b : findChildren<QToolButton*>(Qt::FindDirectChildrenOnly)) {
        b->setVisible(true);
        b->setText(QString());
    }

    const QString data = data_folder();
    open_dir = save_dir = export_dir = data;
    open_name = save_name = export_name = QString::fromLatin1(file_name_of(3));

    open_dialog->default_ext = QString::fromLatin1(file_name_of(1));
    open_dialog->overwrite_prompt = false;
    save_dialog->overwrite_prompt = true;

    mnu_table1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (StringGrid* g : {mnu_table1, mnu_table2}) {
        g->set_editing(true);
        g->set_tabs(true);
        g->set_always_show_editor(true);
    }

    layout_controls();
    fill_grids(true);
    refresh_results(true, false);
}

void TForm_quil::update_caption() {
    QString title = catalogue_a(0) + QStringLiteral(" <- ") + catalogue_a(1);
    if (!current_file.isEmpty()) title += QStringLiteral(" + ") + shown_path(current_file);
    setWindowTitle(title);
    SpeedButtonSave->setEnabled(!current_file.isEmpty());
    SpeedButtonExport->setEnabled(!current_file.isEmpty());
}

void TForm_quil::update_caption(const QString& path) {
    // Kept whole: a shortened path would make Save write another file.
    current_file = path;
    update_caption();
}

void TForm_quil::eh_Form_quil_OnShow() {
    // Both grids get their cell editors; the conditions grid keeps the focus.
    for (StringGrid* g : {mnu_table1, mnu_table2, mnu_table1}) {
        g->setFocus();
        g->show_editor();
    }
}

void TForm_quil::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    // The window's size includes its frame, known only once it is shown.
    if (frame_size() != frame_used_) {
        layout_controls();
        fill_grids(false);
    }
    if (!e->spontaneous()) eh_Form_quil_OnShow();
}

void TForm_quil::eh_Form_quil_OnPaint() {
    const int width = ui.screen_size().width();
    if (width == last_screen_width) return;
    if (last_screen_width != 0) queue_relayout();
    last_screen_width = width;
}

void TForm_quil::queue_relayout() {
    // Laid out right after this paint: resizing inside a paint event is unsafe.
    if (relayout_queued_) return;
    relayout_queued_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            relayout_queued_ = false;
            layout_controls();
            fill_grids(false);
        },
        Qt::QueuedConnection);
}

void TForm_quil::paintEvent(QPaintEvent* e) {
    QWidget::paintEvent(e);
    // A window manager may add its frame after the window was shown.
    if (frame_size() != frame_used_) queue_relayout();
    eh_Form_quil_OnPaint();
}

void TForm_quil::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    place_anchored();
}

template <class Show>
MsgAnswer TForm_quil::one_box_at_a_time(MsgButtons buttons, Show show) {
    if (message_depth_ > 0) return buttons == MsgButtons::ok ? MsgAnswer::ok : MsgAnswer::cancel;
    ++message_depth_;
    const MsgAnswer answer = show();
    --message_depth_;
    return answer;
}

MsgAnswer TForm_quil::message_box(const char* text, const char* caption, MsgIcon icon,
                                  MsgButtons buttons) {
    return one_box_at_a_time(buttons, [&] { return ui.message_box(text, caption, icon, buttons); });
}

MsgAnswer TForm_quil::message_box(const QString& text, const char* caption, MsgIcon icon,
                                  MsgButtons buttons) {
    return one_box_at_a_time(buttons, [&] { return ui.message_box(text, caption, icon, buttons); });
}

void TForm_quil::show_invalid_data_error() {
    message_box(catalogue_a_text(8), catalogue_b_text(7), MsgIcon::error, MsgButtons::ok);
}

void TForm_quil::shutdown_window() {
    write_settings(get_language() == LANG_POLISH ? 1 : 0);
    open_dialog.reset();
    save_dialog.reset();
    shut_down_ = true;
}

void TForm_quil::eh_Form_quil_OnClose(bool& allow_close) {
    if (shut_down_) {
        allow_close = true;
        return;
    }
    allow_close = confirm_discard();
    if (allow_close) shutdown_window();
}

void TForm_quil::closeEvent(QCloseEvent* e) {
    bool allow = false;
    eh_Form_quil_OnClose(allow);
    if (!allow) {
        e->ignore();
        return;
    }
    e->accept();
    // Other windows (the materials window) must not keep the program alive.
    QCoreApplication::quit();
}

void TForm_quil::eh_sb_exit_OnClick() {
    if (!confirm_discard()) return;
    shutdown_window();
    QCoreApplication::quit();
}
