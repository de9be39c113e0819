#include "gui/Quil_hlp.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>
#include <utility>

#include "document/grid_columns.h"
#include "document/ui.h"
#include "gui/find_dialog.h"
#include "lang/catalogue.h"
#include "output/font_size.h"
#include "qt/text_1250.h"

namespace {

constexpr int EMPTY_TEXT_ID = 127;  // beyond the catalogue: no text

QString a_text(int id) { return from_1250(catalogue_a_text(static_cast<std::int8_t>(id))); }
QString a_text(TextA id) { return from_1250(catalogue_a_text(id)); }

TextA copy_caption(int mode) {
    return mode == HELP_MODE_COPY_TEXT ? TextA::CopyTextButton : TextA::CopyNumberButton;
}

// Screen fractions are taken in whole numbers so that no product lands a
// pixel short through binary rounding.
int fraction(int value, int numerator, int denominator) {
    return static_cast<int>(static_cast<long long>(value) * numerator / denominator);
}

bool is_line_break(QChar c) {
    return c == u'\r' || c == u'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

// A number as the layer grid reads it: the first word, with either decimal
// mark turned into the user's one.
QString number_from_selection(const QString& text, QChar sep) {
    QString out;
    for (QChar c : text) {
        if (c == u' ') {
            if (out.isEmpty()) continue;
            break;
        }
        if ((c == u'.' && sep != u'.') || (c == u',' && sep != u',')) c = sep;
        out += c;
    }
    return out;
}

bool is_decimal_mark(QChar c) { return c == u'.' || c == u','; }

bool is_sign(QChar c) { return c == u'-' || c == u'+'; }

// The number round the word [start, end) of `line`, as [start, end): the
// digits on either side joined through a decimal mark between two digits,
// and a sign that follows no letter or digit ("40-80" is a range). Nothing
// when the word is neither digits nor such a mark or sign.
std::pair<int, int> number_around(const QString& line, int start, int end) {
    if (start < 0 || end > line.size() || start >= end) return {-1, -1};
    auto digit = [&line](int i) { return i >= 0 && i < line.size() && line[i].isDigit(); };
    auto sign_at = [&line, &digit](int i) {
        return is_sign(line[i]) && digit(i + 1) && (i == 0 || !line[i - 1].isLetterOrNumber());
    };
    // The word boundaries take a mark or a sign as a word of its own.
    if (end - start == 1 && is_decimal_mark(line[start]) && digit(start - 1) && digit(end))
        end = start;
    else if (end - start == 1 && sign_at(start))
        start = end;
    else
        for (int i = start; i < end; ++i)
            if (!line[i].isDigit()) return {-1, -1};
    for (;;) {
        if (digit(start - 1))
            start -= 1;
        else if (start >= 2 && is_decimal_mark(line[start - 1]) && digit(start - 2))
            start -= 2;
        else
            break;
    }
    // A mark not followed by a digit ends the number: "0,5, 0,7".
    for (;;) {
        if (digit(end))
            end += 1;
        else if (end < line.size() && is_decimal_mark(line[end]) && digit(end + 1))
            end += 2;
        else
            break;
    }
    if (start >= 1 && sign_at(start - 1)) start -= 1;
    return {start, end};
}

}  // namespace

void HelpTextBox::mousePressEvent(QMouseEvent* e) {
    number_start_ = number_end_ = -1;
    QTextEdit::mousePressEvent(e);
    emit mouse_down_up();
}

void HelpTextBox::mouseDoubleClickEvent(QMouseEvent* e) {
    QTextEdit::mouseDoubleClickEvent(e);
    number_start_ = number_end_ = -1;
    const QTextCursor word = textCursor();
    if (!word.hasSelection()) return;
    const QTextBlock block = document()->findBlock(word.selectionStart());
    const int base = block.position();
    const auto [start, end] =
        number_around(block.text(), word.selectionStart() - base, word.selectionEnd() - base);
    if (start < 0) return;
    number_start_ = base + start;
    number_end_ = base + end;
    keep_number();
    // The base gave the X selection only the part it took for the word.
    if (QClipboard* clipboard = QGuiApplication::clipboard(); clipboard->supportsSelection())
        clipboard->setText(textCursor().selectedText(), QClipboard::Selection);
}

void HelpTextBox::mouseMoveEvent(QMouseEvent* e) {
    QTextEdit::mouseMoveEvent(e);
    // Dragging on from a double-click extends by words from the word the
    // double-click found, which may be only a part of the number.
    if (e->buttons() & Qt::LeftButton) keep_number();
}

void HelpTextBox::mouseReleaseEvent(QMouseEvent* e) {
    QTextEdit::mouseReleaseEvent(e);
    keep_number();
    number_start_ = number_end_ = -1;
    emit mouse_down_up();
}

void HelpTextBox::keep_number() {
    if (number_start_ < 0) return;
    QTextCursor c = textCursor();
    int anchor = c.anchor();
    int position = c.position();
    if (position < anchor) {
        anchor = std::max(anchor, number_end_);
        position = std::min(position, number_start_);
    } else {
        anchor = std::min(anchor, number_start_);
        position = std::max(position, number_end_);
    }
    if (anchor == c.anchor() && position == c.position()) return;
    c.setPosition(anchor);
    c.setPosition(position, QTextCursor::KeepAnchor);
    setTextCursor(c);
}

void HelpTextBox::keyPressEvent(QKeyEvent* e) {
    bool used_up = false;
    emit key_down(e, &used_up);
    if (used_up) return;
    QTextEdit::keyPressEvent(e);
}

TForm_Help::TForm_Help(Ui& ui, LayerGridTarget* grid, std::function<QFont()> parent_font,
                       QWidget* parent)
    : QWidget(parent, Qt::Window), ui_(ui), grid_(grid), parent_font_(std::move(parent_font)) {
    setObjectName("Form_Help");
    // A secondary window: it must never keep the program alive on its own.
    setAttribute(Qt::WA_QuitOnClose, false);

    find_dialog_ = new FindDialog(this);
    connect(find_dialog_, &FindDialog::find_next, this, [this] { on_find(); });

    Panel1 = new QFrame(this);
    Panel1->setObjectName("Panel1");
    Panel1->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    Panel1->installEventFilter(this);
    button_copy = new QPushButton(Panel1);
    button_copy->setObjectName("button_copy");
    button_find = new QPushButton(Panel1);
    button_find->setObjectName("button_find");
    Panel2 = new QFrame(this);
    Panel2->setObjectName("Panel2");
    txt_help = new HelpTextBox(Panel2);
    txt_help->setObjectName("txt_help");

    auto* panel2_layout = new QVBoxLayout(Panel2);
    panel2_layout->setContentsMargins(0, 0, 0, 0);
    panel2_layout->addWidget(txt_help);
    auto* form_layout = new QVBoxLayout(this);
    form_layout->setContentsMargins(0, 0, 0, 0);
    form_layout->setSpacing(0);
    form_layout->addWidget(Panel1);
    form_layout->addWidget(Panel2, 1);

    connect(button_copy, &QPushButton::clicked, this, [this] { eh_button_copy_OnClick(); });
    connect(button_find, &QPushButton::clicked, this, [this] { eh_button_find_OnClick(); });
    connect(
        txt_help, &HelpTextBox::key_down, this,
        [this](QKeyEvent* e, bool* used_up) {
            if (eh_txt_help_OnKeyDown(e)) *used_up = true;
        },
        Qt::DirectConnection);
    connect(txt_help, &HelpTextBox::mouse_down_up, this, [this] { eh_txt_help_OnMouseDownUp(); });

    current_id_ = EMPTY_TEXT_ID;
    previous_id_ = EMPTY_TEXT_ID;
    font_size_ = 9;
    last_screen_width_ = 0;
    eh_Form_Help_OnCreate();
}

TForm_Help::~TForm_Help() { eh_Form_Help_OnDestroy(); }

void TForm_Help::eh_Form_Help_OnCreate() {
    setWindowTitle(QString());
    hide();

    txt_help->setReadOnly(true);
    // Read-only still lets the reader move and select with the keyboard.
    txt_help->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    txt_help->setAcceptRichText(false);
    txt_help->setLineWrapMode(QTextEdit::NoWrap);
    txt_help->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    txt_help->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    txt_help->setAlignment(Qt::AlignLeft);
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSize(font_size_);
    txt_help->setFont(font);

    button_copy->setToolTip(QString());
    button_find->setToolTip(QString());
    layout_window();
}

QSize TForm_Help::screen_size() const { return ui_.screen_size(); }

QChar TForm_Help::decimal_separator() const {
    return QChar(static_cast<unsigned char>(ui_.decimal_separator()));
}

QMargins TForm_Help::frame() const {
    // Asked of the window system: the widget's own frame geometry follows only
    // moves and resizes, and a frame put round the window in its place is
    // neither. A frame once seen stays known, also for the next show, since
    // the window system forgets it for moments while it re-frames a window.
    if (const QWindow* window = windowHandle(); window && isVisible()) {
        const QMargins m = window->frameMargins();
        if (!m.isNull()) known_frame_ = m;
    }
    return known_frame_;
}

void TForm_Help::apply_geometry(const QRect& g) {
    // The geometries are of the whole window, frame included, as the main
    // window's are.
    arranging_ = true;
    frame_used_ = frame();
    setGeometry(g.marginsRemoved(frame_used_));
    arranging_ = false;
}

void TForm_Help::check_frame(bool now) {
    if (arranging_ || !isVisible() || frame() == frame_used_) return;
    // The window manager has framed the window since its geometry was
    // applied: apply it again for that frame.
    if (now) {
        apply_geometry(geometry_of_mode());
        return;
    }
    if (frame_queued_) return;
    frame_queued_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            frame_queued_ = false;
            check_frame(true);
        },
        Qt::QueuedConnection);
}

void TForm_Help::remember_geometry() {
    // Taken as the window goes, when the user is done with it: while it is
    // shown, a window manager also moves and resizes it on its own (framing
    // it, answering the program's placement), which is no user's doing. A
    // minimised or maximised window keeps the geometry it had before.
    if (arranging_ || windowState() != Qt::WindowNoState) return;
    geometry_of_mode() = geometry().marginsAdded(frame());
}

void TForm_Help::layout_window() {
    const QSize screen = screen_size();
    const int w = screen.width();
    const int h = screen.height();
    help_geometry_ = QRect(fraction(w, 8, 100), fraction(h, 50, 100), fraction(w, 84, 100),
                           fraction(h, 30, 100));
    reference_geometry_ = QRect(fraction(w, 8, 100), fraction(h, 44, 100), fraction(w, 84, 100),
                                fraction(h, 47, 100));

    // The buttons take the parent font, scaled with the screen as the main
    // window's is, so their captions fit.
    if (parent_font_) setFont(parent_font_());

    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    apply_geometry(geometry_of_mode());
    setMinimumSize(fraction(w, 48, 100), fraction(h, 19, 100));

    Panel1->hide();
    Panel1->setEnabled(false);
    const int panel_height = fraction(h, 47 * 85, 100000);
    Panel1->setFixedHeight(panel_height);
    const int panel_width = width();

    font_size_ = scale_font_size(8, 600, 12, 1200, h, 8, 18);

    const int copy_left = fraction(panel_width, 63, 100);
    copy_width_ = fraction(panel_width, 32, 100);
    copy_right_margin_ = panel_width - copy_left - copy_width_;
    find_left_ = fraction(panel_width, 5, 100);
    find_width_ = fraction(panel_width, 10, 100);
    button_top_ = fraction(panel_height, 8, 100);
    button_height_ = fraction(panel_height, 90, 100);
    for (QPushButton* b : {button_copy, button_find}) {
        b->hide();
        b->setEnabled(false);
    }
    Panel1->resize(panel_width, panel_height);
    place_buttons();
}

void TForm_Help::place_buttons() {
    const int panel_width = Panel1->width();
    button_copy->setGeometry(panel_width - copy_right_margin_ - copy_width_, button_top_,
                             copy_width_, button_height_);
    button_find->setGeometry(find_left_, button_top_, find_width_, button_height_);
}

void TForm_Help::arrange_for_mode() {
    if (mode_ == HELP_MODE_TEXT) {
        for (QWidget* w : {static_cast<QWidget*>(button_copy), static_cast<QWidget*>(button_find),
                           static_cast<QWidget*>(Panel1)}) {
            w->hide();
            w->setEnabled(false);
        }
        txt_help->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        txt_help->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        txt_help->setLineWrapMode(QTextEdit::WidgetWidth);
        return;
    }
    if (mode_ == HELP_MODE_MATERIALS) {
        button_copy->hide();
        button_copy->setEnabled(false);
    } else {
        button_copy->setText(a_text(copy_caption(mode_)));
        button_copy->setToolTip(QString());
        button_copy->setEnabled(txt_help->textCursor().hasSelection());
        button_copy->show();
    }
    button_find->setText(a_text(TextA::FindButton));
    button_find->setEnabled(true);
    button_find->show();
    Panel1->setEnabled(true);
    Panel1->show();
    txt_help->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    txt_help->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    txt_help->setLineWrapMode(QTextEdit::NoWrap);
}

void TForm_Help::show_text(int mode, int text_id) {
    // Hidden first, so that the geometry the user left goes to the kind of
    // use that was shown.
    if (isVisible()) hide();
    if (mode < HELP_MODE_TEXT || mode > HELP_MODE_COPY_NUMBER) mode = HELP_MODE_MATERIALS;
    current_id_ = text_id >= 0 && text_id < CATALOGUE_A_SIZE ? text_id : EMPTY_TEXT_ID;
    load_text();
    previous_id_ = current_id_;
    mode_ = static_cast<std::uint8_t>(mode);

    apply_geometry(geometry_of_mode());
    arrange_for_mode();

    show();
    if (isMinimized()) showNormal();
    update();
    raise();
    activateWindow();
}

void TForm_Help::load_text() {
    button_copy->setText(a_text(copy_caption(mode_)));
    button_find->setText(a_text(TextA::FindButton));
    if (find_dialog_->isVisible()) find_dialog_->retranslate();

    QString text = a_text(current_id_);
    text.replace(u'@', decimal_separator());

    // The same text again (a language switch): stay where the reader was.
    const bool same_text = current_id_ == previous_id_;
    const int caret = txt_help->textCursor().position();
    const int scroll_x = txt_help->horizontalScrollBar()->value();
    const int scroll_y = txt_help->verticalScrollBar()->value();

    txt_help->clear();
    QFont font = txt_help->font();
    font.setPointSize(font_size_);
    txt_help->setFont(font);
    txt_help->setPlainText(text);
    // The window has no caption: the text's first line names it for a screen reader.
    QString name = text.section(u'\n', 0, 0, QString::SectionSkipEmpty).simplified();
    if (name.isEmpty()) name = from_1250(catalogue_d_text(TextD::MaterialsTextName));
    txt_help->setAccessibleName(name);
    setAccessibleName(name);

    QTextCursor cursor(txt_help->document());
    if (same_text) {
        cursor.setPosition(std::min(caret, txt_help->document()->characterCount() - 1));
        txt_help->setTextCursor(cursor);
        txt_help->horizontalScrollBar()->setValue(scroll_x);
        txt_help->verticalScrollBar()->setValue(scroll_y);
    } else {
        cursor.movePosition(QTextCursor::Start);
        txt_help->setTextCursor(cursor);
    }
}

void TForm_Help::eh_Form_Help_OnResize() {
    const int screen_width = screen_size().width();
    if (screen_width != last_screen_width_) {
        const bool relayout = last_screen_width_ != 0;
        last_screen_width_ = screen_width;
        if (relayout) {
            // A new screen resolution: both kinds of use start again from the defaults.
            const bool visible = isVisible();
            if (visible) hide();
            layout_window();
            arrange_for_mode();
            if (visible) show();
        }
    }
    check_frame(false);
}

void TForm_Help::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    eh_Form_Help_OnResize();
}

void TForm_Help::moveEvent(QMoveEvent* e) {
    QWidget::moveEvent(e);
    check_frame(false);
}

void TForm_Help::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    check_frame(true);
}

void TForm_Help::hideEvent(QHideEvent* e) {
    QWidget::hideEvent(e);
    if (!e->spontaneous()) remember_geometry();
}

bool TForm_Help::event(QEvent* e) {
    const bool done = QWidget::event(e);
    // The window manager has framed the window by the time it activates it.
    if (e->type() == QEvent::WindowActivate) check_frame(false);
    return done;
}

void TForm_Help::closeEvent(QCloseEvent* e) {
    eh_Form_Help_OnClose();
    e->accept();  // a closed window is only hidden
}

void TForm_Help::eh_Form_Help_OnClose() {
    if (find_dialog_ && find_dialog_->isVisible()) find_dialog_->close();
}

void TForm_Help::eh_Form_Help_OnDestroy() {
    delete find_dialog_;
    find_dialog_ = nullptr;
}

bool TForm_Help::eventFilter(QObject* watched, QEvent* e) {
    if (watched == Panel1 && e->type() == QEvent::Resize) place_buttons();
    return QWidget::eventFilter(watched, e);
}

bool TForm_Help::eh_txt_help_OnKeyDown(QKeyEvent* e) {
    if (e->key() != Qt::Key_Escape) return false;
    // Hidden with the window, so it cannot search a text nobody sees.
    eh_Form_Help_OnClose();
    hide();
    return true;
}

// Keys the buttons leave unused arrive here: Escape hides the window
// wherever its focus is.
void TForm_Help::keyPressEvent(QKeyEvent* e) {
    if (!eh_txt_help_OnKeyDown(e)) QWidget::keyPressEvent(e);
}

void TForm_Help::eh_txt_help_OnMouseDownUp() {
    if (mode_ == HELP_MODE_COPY_TEXT || mode_ == HELP_MODE_COPY_NUMBER)
        button_copy->setEnabled(txt_help->textCursor().hasSelection());
}

void TForm_Help::eh_button_find_OnClick() {
    find_dialog_->retranslate();
    find_dialog_->show();
    find_dialog_->raise();
    find_dialog_->activateWindow();
}

void TForm_Help::on_find() {
    const QString what = find_dialog_->find_text();
    if (what.isEmpty()) return;
    const QTextCursor selection = txt_help->textCursor();
    QTextCursor from(txt_help->document());
    from.setPosition(selection.hasSelection() ? selection.selectionEnd() : 0);

    QTextDocument::FindFlags flags;
    if (find_dialog_->match_case()) flags |= QTextDocument::FindCaseSensitively;
    if (find_dialog_->whole_word()) flags |= QTextDocument::FindWholeWords;
    const QTextCursor found = txt_help->document()->find(what, from, flags);
    if (found.isNull()) {
        ui_.message_box(catalogue_a_text(TextA::SearchNotFound), "", MsgIcon::information,
                        MsgButtons::ok);
        return;
    }
    txt_help->setFocus();
    txt_help->setTextCursor(found);
    txt_help->ensureCursorVisible();
}

void TForm_Help::eh_button_copy_OnClick() {
    if (mode_ != HELP_MODE_COPY_TEXT && mode_ != HELP_MODE_COPY_NUMBER) return;
    QString text = txt_help->textCursor().selectedText().left(COPY_MAX_CHARS);
    if (!grid_) return;
    const int col = grid_->current_column();
    const int row = grid_->current_row();
    if ((col != LAYER_DESCRIPTION && col != LAYER_LAMBDA && col != LAYER_DELTA) || row < 1 ||
        text.isEmpty())
        return;

    for (qsizetype i = 0; i < text.size(); ++i) {
        if (is_line_break(text[i])) {
            text.truncate(i);
            break;
        }
    }
    if (mode_ == HELP_MODE_COPY_NUMBER) text = number_from_selection(text, decimal_separator());
    // Blanks alone would only wipe what the cell holds.
    if (text.trimmed().isEmpty()) return;
    grid_->set_cell_text(col, row, text);
}
