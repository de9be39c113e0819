// Every modal interaction of the main window and what it asks of the
// platform, behind one interface: the real one wraps Qt, tests script a fake.
#pragma once

#include <QSize>
#include <QString>
#include <functional>
#include <optional>

#include "core/clock.h"
#include "core/message_ui.h"

class QPrinter;
class QWidget;

// What a file dialog carries from one use to the next. The window owns one
// for opening and one for saving; the Ui runs them.
struct FileDialog {
    QString title;
    QString filter;        // "desc|pattern|desc|pattern", as the catalogue holds it
    int filter_index = 1;  // 1-based
    QString dir;
    QString name;
    QString default_ext;  // without the dot
    bool overwrite_prompt = false;
    bool hide_read_only = true;
    bool resizable = true;
    // Called with the selected path (empty when none) while the dialog is open.
    std::function<void(const QString&)> on_selection_change;

    // Sets up one use: texts are catalogue A ids, the first filter is selected
    // and no selection handler is left over from an earlier use.
    void prepare(int title_id, int filter_id, const QString& start_dir, const QString& file_name,
                 const QString& extension);
};

// A chosen path split at its last separator: the folder (separator included)
// and the file name, as the dialogs remember them.
QString folder_part(const QString& path);
QString name_part(const QString& path);

class Ui : public MessageUi {
public:
    using MessageUi::message_box;
    // The same box for a text that is Unicode already because it holds a
    // path, whose letters need not exist in Windows-1250. The caption is
    // Windows-1250.
    virtual MsgAnswer message_box(const QString& text, const char* caption, MsgIcon icon,
                                  MsgButtons buttons) = 0;
    // Both return the chosen full path, or nothing when the user cancelled.
    virtual std::optional<QString> run_open_dialog(FileDialog& dialog) = 0;
    virtual std::optional<QString> run_save_dialog(FileDialog& dialog) = 0;
    // True when the user accepted the printer set-up.
    virtual bool run_print_dialog(QPrinter& printer) = 0;
    virtual const Clock& clock() const = 0;
    virtual QSize screen_size() const = 0;
    virtual int scroll_bar_width() const = 0;
    virtual char decimal_separator() const = 0;
};
