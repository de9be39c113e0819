// Every modal interaction of the program and what it asks of the platform,
// behind one interface: qt/ implements it with Qt, tests script a fake.
#pragma once

#include <QObject>
#include <QSize>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/message_ui.h"
#include "lang/text_ids.h"
#include "storage/clock.h"
#include "paths/paths.h"

struct AssessmentPageInput;
struct GraphTarget;
struct Partition;
class PrinterLineSink;

// What a file dialog carries from one use to the next. The document owns one
// for opening and one for saving; the Ui runs them.
struct FileDialog {
    std::string title;     // Windows-1250
    std::string filter;    // "desc|pattern|desc|pattern", as the catalogue holds it
    int filter_index = 1;  // 1-based; after the dialog, the filter the user left chosen
    QString dir;
    QString name;
    QString default_ext;  // without the dot
    bool overwrite_prompt = false;
    bool resizable = true;
    // Called with the selected path (empty when none) while the dialog is open.
    std::function<void(const QString&)> on_selection_change;

    // Sets up one use: the first filter is selected and no selection handler
    // is left over from an earlier use.
    void prepare(TextA title_id, TextA filter_id, const QString& start_dir,
                 const QString& file_name, const QString& extension);
    void prepare(const char* title_text, const char* filter_text, const QString& start_dir,
                 const QString& file_name, const QString& extension);
};

// One page on the printer the print dialog set up.
class PrintJob {
public:
    virtual ~PrintJob() = default;
    virtual bool portrait() const = 0;
    // Starts the page in the report's font; false when the job cannot start.
    virtual bool begin() = 0;
    // The report's destination on the page, once begun.
    virtual PrinterLineSink& report_sink() = 0;
    // The graph on the page's paper target; the page size is filled in.
    virtual void draw_graph(const Partition& p, GraphTarget target) = 0;
    // Ends the job (also one not begun or left by an exception); false when
    // it failed or the printer reports an error.
    virtual bool end() = 0;
    // In place of begin ... end: the assessment's pages, one or two; false
    // when the job could not start or failed.
    virtual bool print_assessment(const AssessmentPageInput& in) = 0;
};

class Ui : public MessageUi {
public:
    using MessageUi::message_box;
    // The same box for a text that names a path: `before`, the path as it is
    // (its letters need not exist in Windows-1250), `after`. The texts and
    // the caption are Windows-1250.
    virtual MsgAnswer message_box(const char* before, const QString& path, const char* after,
                                  const char* caption, MsgIcon icon, MsgButtons buttons) = 0;
    // Both return the chosen full path, or nothing when the user cancelled.
    virtual std::optional<QString> run_open_dialog(FileDialog& dialog) = 0;
    virtual std::optional<QString> run_save_dialog(FileDialog& dialog) = 0;
    // The job on the printer the user accepted; null when cancelled.
    virtual std::unique_ptr<PrintJob> run_print_dialog() = 0;
    virtual const Clock& clock() const = 0;
    // Never empty: a screen that cannot be asked counts as 800x600.
    virtual QSize screen_size() const = 0;
    virtual int scroll_bar_width() const = 0;
    // '.' or ',', whatever the locale's own mark.
    virtual char decimal_separator() const = 0;
    // Boxes and dialogs come up over `window`, a window of the program, until
    // another is named; null names the main window again.
    virtual void set_dialog_owner(QObject* window) = 0;
    virtual QObject* dialog_owner() const = 0;
    // The assessment's pages as the bytes of a PDF file; false when they
    // cannot be made. The document writes them, whole or not at all.
    virtual bool render_assessment_pdf(const AssessmentPageInput& in, std::string& bytes) = 0;
};

// Names `window` as the owner of every box and dialog while it lives, then
// the one before: a command asked from a window keeps its questions there.
class DialogOwnerScope {
public:
    DialogOwnerScope(Ui& ui, QObject* window) : ui_(ui), before_(ui.dialog_owner()) {
        ui_.set_dialog_owner(window);
    }
    ~DialogOwnerScope() { ui_.set_dialog_owner(before_); }
    DialogOwnerScope(const DialogOwnerScope&) = delete;
    DialogOwnerScope& operator=(const DialogOwnerScope&) = delete;

private:
    Ui& ui_;
    QObject* before_;
};

// Passes everything on to another Ui, but lets only one message box be open:
// while one is up a second one answers at once (OK, or Cancel to a question).
// The windows and the document share one, so check messages, command
// messages and the materials window's box all keep to that rule.
class OneBoxUi : public Ui {
public:
    explicit OneBoxUi(Ui& ui) : ui_(ui) {}
    bool box_open() const { return depth_ > 0; }
    // A key or a click of the user's starts an action, in which a given
    // message with only an OK button is shown at most once: one click can
    // run an exit pass and a selection pass that would both tell it. Before
    // the first action (scripts, tests of the document alone) nothing is held back.
    void new_action() {
        in_action_ = true;
        told_.clear();
    }

    MsgAnswer message_box(const char* text, const char* caption, MsgIcon icon,
                          MsgButtons buttons) override;
    MsgAnswer message_box(const char* before, const QString& path, const char* after,
                          const char* caption, MsgIcon icon, MsgButtons buttons) override;
    std::optional<QString> run_open_dialog(FileDialog& d) override {
        return ui_.run_open_dialog(d);
    }
    std::optional<QString> run_save_dialog(FileDialog& d) override {
        return ui_.run_save_dialog(d);
    }
    std::unique_ptr<PrintJob> run_print_dialog() override { return ui_.run_print_dialog(); }
    const Clock& clock() const override { return ui_.clock(); }
    QSize screen_size() const override { return ui_.screen_size(); }
    int scroll_bar_width() const override { return ui_.scroll_bar_width(); }
    char decimal_separator() const override { return ui_.decimal_separator(); }
    void set_dialog_owner(QObject* window) override { ui_.set_dialog_owner(window); }
    QObject* dialog_owner() const override { return ui_.dialog_owner(); }
    bool render_assessment_pdf(const AssessmentPageInput& in, std::string& bytes) override {
        return ui_.render_assessment_pdf(in, bytes);
    }

private:
    template <class Show>
    MsgAnswer one_at_a_time(MsgButtons buttons, Show show);

    // False when the message was told already in this action.
    bool first_telling(MsgButtons buttons, std::string text);

    Ui& ui_;
    int depth_ = 0;
    bool in_action_ = false;
    std::vector<std::string> told_;
};
