// The toolbar's commands on the keyboard, standard keys where Qt has them,
// and the layer grid's Add and Delete cells. The keys show in the tooltips.
#include <QShortcut>
#include <QToolButton>

#include "gui/Quil_gui.h"
#include "gui/key_passage.h"
#include "gui/string_grid.h"

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

void TForm_quil::add_command_keys() {
    const Toolbar& b = buttons_;
    command_keys_ = {
        {b.SpeedButtonInfo1, keys_of(Qt::SHIFT | Qt::Key_F1)},  // F1 alone is the field's help
        {b.SpeedButtonInfo2, keys_of(Qt::CTRL | Qt::Key_F1)},
        {b.SpeedButtonOpen, keys_of(QKeySequence::Open, Qt::CTRL | Qt::Key_O)},
        {b.SpeedButtonSave, keys_of(QKeySequence::Save, Qt::CTRL | Qt::Key_S)},
        {b.SpeedButtonExport, keys_of(Qt::CTRL | Qt::Key_E)},
        {b.SpeedButtonSaveAs, keys_of(QKeySequence::SaveAs, Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
        {b.SpeedButtonExportAs, keys_of(Qt::CTRL | Qt::SHIFT | Qt::Key_E)},
        {b.SpeedButtonMaterials, keys_of(Qt::CTRL | Qt::Key_M)},
        {b.SpeedButtonPrint, keys_of(QKeySequence::Print, Qt::CTRL | Qt::Key_P)},
        {b.SpeedButtonLang044, keys_of(Qt::CTRL | Qt::Key_L)},
        {b.SpeedButtonLang048, keys_of(Qt::CTRL | Qt::Key_L)},
        {b.SpeedButtonExit, keys_of(QKeySequence::Quit, Qt::CTRL | Qt::Key_Q)},
        {b.SpeedButtonUndo, keys_of(Qt::CTRL | Qt::Key_Z)},
        {b.SpeedButtonRedo,
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}},
        {b.SpeedButtonAssess, keys_of(Qt::Key_F9)},
    };
    const auto add = [this](const QList<QKeySequence>& keys, auto run) {
        auto* shortcut = new QShortcut(this);
        shortcut->setKeys(keys);
        connect(shortcut, &QShortcut::activated, this, run);
    };
    // A disabled button's key does what the user means: Save and Export
    // before there is a file ask for one, as Save As and Export As do.
    const auto press = [](QToolButton* button, QToolButton* instead = nullptr) {
        return [button, instead] {
            if (button->isEnabled())
                button->click();
            else if (instead && instead->isEnabled())
                instead->click();
        };
    };
    for (QToolButton* button : {b.SpeedButtonInfo1, b.SpeedButtonInfo2, b.SpeedButtonOpen,
                                b.SpeedButtonSaveAs, b.SpeedButtonExportAs, b.SpeedButtonMaterials,
                                b.SpeedButtonPrint, b.SpeedButtonExit, b.SpeedButtonAssess})
        add(command_keys(button), press(button));
    add(command_keys(b.SpeedButtonSave), press(b.SpeedButtonSave, b.SpeedButtonSaveAs));
    add(command_keys(b.SpeedButtonExport), press(b.SpeedButtonExport, b.SpeedButtonExportAs));
    // One key for the language: only the other language's flag can be pressed.
    add(command_keys(b.SpeedButtonLang044), [this] {
        (buttons_.SpeedButtonLang044->isEnabled() ? buttons_.SpeedButtonLang044
                                                  : buttons_.SpeedButtonLang048)
            ->click();
    });
    // Where no edit has the focus (an edit gets these keys as its own first).
    add(command_keys(b.SpeedButtonUndo), [this] { undo_key(false); });
    add(command_keys(b.SpeedButtonRedo), [this] { undo_key(true); });

    // In a cell editor or the title the keys are the window's too, but for
    // undo and redo, whose rule is above.
    new KeyPassage(this, [this] {
        QList<QKeySequence> keys;
        for (const auto& [button, its] : command_keys_)
            if (button != buttons_.SpeedButtonUndo && button != buttons_.SpeedButtonRedo)
                keys += its;
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
    for (const auto& [b, keys] : command_keys_)
        if (b == button) return keys;
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
