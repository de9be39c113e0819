// The toolbar's commands from one table: each row builds its button, the
// QAction that carries its keys, its hint and what it runs. The keys show in
// the tooltips; standard keys where Qt has them.
#include <QAction>
#include <QShortcut>
#include <QToolButton>

#include "gui/Quil_gui.h"
#include "gui/key_passage.h"
#include "gui/string_grid.h"
#include "lang/catalogue.h"
#include "qt/text_1250.h"

namespace {
// The platform's keys for a standard command; some platforms name none for
// Save As or Quit, and then the usual key stands in.
QList<QKeySequence> keys_of(QKeySequence::StandardKey key, QKeyCombination usual) {
    QList<QKeySequence> keys = QKeySequence::keyBindings(key);
    if (keys.isEmpty()) keys.append(QKeySequence(usual));
    return keys;
}
QList<QKeySequence> keys_of(QKeyCombination key) { return {QKeySequence(key)}; }
}  // namespace

std::vector<TForm_quil::Command> TForm_quil::command_table() {
    using T = TForm_quil;
    // A disabled button's key does what the user means: Save and Export
    // before there is a file ask for one, as Save As and Export As do.
    const auto or_else = [](QToolButton* Toolbar::*button, QToolButton* Toolbar::*instead) {
        return [button, instead](T& f) {
            if ((f.buttons_.*button)->isEnabled())
                (f.buttons_.*button)->click();
            else if ((f.buttons_.*instead)->isEnabled())
                (f.buttons_.*instead)->click();
        };
    };
    const int history = -2, d = -1;
    const auto has_file = [](const T& f) { return !f.document_.state().current_file.isEmpty(); };
    const auto can_undo = [](const T& f) { return f.document_.can_undo(); };
    const auto can_redo = [](const T& f) { return f.document_.can_redo(); };
    return {
        // F1 alone is the field's help.
        {&Toolbar::SpeedButtonInfo1,
         "SpeedButtonInfo1",
         Glyph::info1,
         false,
         int(TextA::HintInfo1),
         {},
         keys_of(Qt::SHIFT | Qt::Key_F1),
         true,
         [](T& f) { f.eh_sb_info_OnClick(f.buttons_.SpeedButtonInfo1); },
         {}},
        {&Toolbar::SpeedButtonInfo2,
         "SpeedButtonInfo2",
         Glyph::info2,
         false,
         int(TextA::HintInfo2),
         {},
         keys_of(Qt::CTRL | Qt::Key_F1),
         true,
         [](T& f) { f.eh_sb_info_OnClick(f.buttons_.SpeedButtonInfo2); },
         {}},
        {&Toolbar::SpeedButtonOpen,
         "SpeedButtonOpen",
         Glyph::open,
         false,
         int(TextA::HintOpen),
         {},
         keys_of(QKeySequence::Open, Qt::CTRL | Qt::Key_O),
         true,
         [](T& f) { f.document_.open(); },
         {}},
        {&Toolbar::SpeedButtonSave,
         "SpeedButtonSave",
         Glyph::save,
         true,
         int(TextA::HintSave),
         {},
         keys_of(QKeySequence::Save, Qt::CTRL | Qt::Key_S),
         true,
         [](T& f) { f.document_.save(); },
         or_else(&Toolbar::SpeedButtonSave, &Toolbar::SpeedButtonSaveAs),
         has_file},
        {&Toolbar::SpeedButtonExport,
         "SpeedButtonExport",
         Glyph::export_text,
         true,
         int(TextA::HintExport),
         {},
         keys_of(Qt::CTRL | Qt::Key_E),
         true,
         [](T& f) { f.document_.export_beside(); },
         or_else(&Toolbar::SpeedButtonExport, &Toolbar::SpeedButtonExportAs),
         has_file},
        {&Toolbar::SpeedButtonSaveAs,
         "SpeedButtonSaveAs",
         Glyph::save_as,
         false,
         int(TextA::HintSaveAs),
         {},
         keys_of(QKeySequence::SaveAs, Qt::CTRL | Qt::SHIFT | Qt::Key_S),
         true,
         [](T& f) { f.document_.save_as(); },
         {}},
        {&Toolbar::SpeedButtonExportAs,
         "SpeedButtonExportAs",
         Glyph::export_as,
         false,
         int(TextA::HintExportAs),
         {},
         keys_of(Qt::CTRL | Qt::SHIFT | Qt::Key_E),
         true,
         [](T& f) { f.document_.export_as(); },
         {}},
        {&Toolbar::SpeedButtonMaterials,
         "SpeedButtonMaterials",
         Glyph::materials,
         true,
         int(TextA::HintMaterials),
         {},
         keys_of(Qt::CTRL | Qt::Key_M),
         true,
         [](T& f) { f.eh_sb_materials_OnClick(); },
         {}},
        {&Toolbar::SpeedButtonPrint,
         "SpeedButtonPrint",
         Glyph::print,
         false,
         int(TextA::HintPrint),
         {},
         keys_of(QKeySequence::Print, Qt::CTRL | Qt::Key_P),
         true,
         [](T& f) { f.eh_sb_print_OnClick(); },
         {}},
        // One key for the language: only the other language's flag can be pressed.
        {&Toolbar::SpeedButtonLang044,
         "SpeedButtonLang044",
         Glyph::lang_english,
         true,
         int(TextA::HintEnglish),
         {},
         keys_of(Qt::CTRL | Qt::Key_L),
         true,
         [](T& f) { f.document_.switch_language(LANG_ENGLISH); },
         or_else(&Toolbar::SpeedButtonLang044, &Toolbar::SpeedButtonLang048)},
        {&Toolbar::SpeedButtonLang048,
         "SpeedButtonLang048",
         Glyph::lang_polish,
         true,
         int(TextA::HintPolish),
         {},
         keys_of(Qt::CTRL | Qt::Key_L),
         false,
         [](T& f) { f.document_.switch_language(LANG_POLISH); },
         {}},
        {&Toolbar::SpeedButtonExit,
         "SpeedButtonExit",
         Glyph::exit,
         false,
         int(TextA::HintExit),
         {},
         keys_of(QKeySequence::Quit, Qt::CTRL | Qt::Key_Q),
         true,
         [](T& f) { f.eh_sb_exit_OnClick(); },
         {}},
        // The keys are an open editor's own while it holds typed text.
        {&Toolbar::SpeedButtonUndo,
         "SpeedButtonUndo",
         Glyph::undo,
         true,
         history,
         {},
         keys_of(Qt::CTRL | Qt::Key_Z),
         true,
         [](T& f) { f.document_.undo(); },
         [](T& f) { f.undo_key(false); },
         can_undo},
        {&Toolbar::SpeedButtonRedo,
         "SpeedButtonRedo",
         Glyph::redo,
         true,
         history,
         {},
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)},
         true,
         [](T& f) { f.document_.redo(); },
         [](T& f) { f.undo_key(true); },
         can_redo},
        {&Toolbar::SpeedButtonAssess,
         "SpeedButtonAssess",
         Glyph::assess,
         false,
         d,
         TextD::HintAssess,
         keys_of(Qt::Key_F9),
         true,
         [](T& f) { f.open_assessment(); },
         {}},
    };
}

void TForm_quil::build_commands() {
    commands_ = command_table();
    for (const Command& c : commands_) {
        QToolButton*& button = buttons_.*c.button;
        button = new QToolButton(this);
        button->setObjectName(c.name);
        button->setIcon(glyph_icon(c.glyph, c.two_images));
        button->setIconSize(QSize(16, 16));
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        button->setFocusPolicy(Qt::NoFocus);  // a click leaves the focus where it is
        const std::function<void(TForm_quil&)> run = c.run;
        connect(button, &QToolButton::clicked, this, [this, run] { run(*this); });

        auto* action = new QAction(this);
        action->setObjectName(QStringLiteral("action_") + QLatin1String(c.name).mid(11));
        if (c.bind_keys) action->setShortcuts(c.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        // A key of its own runs as its row says; else it presses the button,
        // which does nothing while the button is disabled.
        const std::function<void(TForm_quil&)> key = c.key;
        connect(action, &QAction::triggered, this, [this, key, run, button] {
            if (key)
                key(*this);
            else if (button->isEnabled())
                run(*this);
        });
    }
}

void TForm_quil::show_commands_enabled() {
    for (const Command& c : commands_)
        if (c.enabled) (buttons_.*c.button)->setEnabled(c.enabled(*this));
}

void TForm_quil::show_command_hints() {
    for (const Command& c : commands_) {
        if (c.hint_a >= 0)
            show_hint(buttons_.*c.button, from_1250(catalogue_a_text(TextA(c.hint_a))));
        else if (c.hint_a == -1)
            show_hint(buttons_.*c.button, from_1250(catalogue_d_text(c.hint_d)));
    }
    show_history();
}

void TForm_quil::add_command_keys() {
    // In a cell editor or the title the keys are the window's too, but for
    // undo and redo, whose rule is above.
    new KeyPassage(this, [this] {
        QList<QKeySequence> keys;
        for (const Command& c : commands_)
            if (c.hint_a != -2 && c.bind_keys) keys += c.keys;
        return keys;
    });

    // The Add and Delete cells of the current layer's row; Alt, as the cell
    // editor keeps Ctrl+Insert (copy) and Ctrl+Delete (delete a word).
    StringGrid* layers = w_.mnu_table2;
    const auto grid_key = [this, layers](QKeyCombination key, auto run) {
        auto* shortcut = new QShortcut(QKeySequence(key), layers);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, run);
    };
    grid_key(Qt::ALT | Qt::Key_Insert, [this] { document_.insert_layer_at(w_.mnu_table2->row()); });
    grid_key(Qt::ALT | Qt::SHIFT | Qt::Key_Insert,
             [this] { document_.insert_layer_at(w_.mnu_table2->row() + 1); });
    grid_key(Qt::ALT | Qt::Key_Delete, [this] { document_.delete_layer_at(w_.mnu_table2->row()); });
}

QList<QKeySequence> TForm_quil::command_keys(const QToolButton* button) const {
    for (const Command& c : commands_)
        if (buttons_.*c.button == button) return c.keys;
    return {};
}

void TForm_quil::show_hint(QToolButton* button, const QString& hint) {
    // The screen reader has the key from the description, not from the name.
    const QList<QKeySequence> keys = command_keys(button);
    const QString key =
        keys.isEmpty() ? QString() : keys.first().toString(QKeySequence::NativeText);
    const QString named = QStringLiteral(" (") + key + QLatin1Char(')');
    // A hint may name its key already.
    button->setToolTip(key.isEmpty() || hint.endsWith(named) ? hint : hint + named);
    button->setAccessibleName(hint);
    button->setAccessibleDescription(key);
}
