// The Ui of the running program: Qt dialogs and message boxes, the primary
// screen, the system locale and the system clock. The one place that falls
// back when the platform cannot say (no screen) and that turns the locale's
// decimal mark into the program's.
#pragma once

#include <QPointer>
#include <QWidget>

#include "document/ui.h"
#include "storage/clock.h"

class QtUi : public Ui {
public:
    // Boxes and dialogs are parented to `owner` (the main window) once it is
    // set, or to the window named by set_dialog_owner.
    void set_owner(QWidget* owner) { owner_ = owner; }
    void set_dialog_owner(QObject* window) override {
        asked_from_ = qobject_cast<QWidget*>(window);
    }
    QObject* dialog_owner() const override { return asked_from_.data(); }
    bool render_assessment_pdf(const AssessmentPageInput& in, std::string& bytes) override;

    MsgAnswer message_box(const char* text, const char* caption, MsgIcon icon,
                          MsgButtons buttons) override;
    MsgAnswer message_box(const char* before, const QString& path, const char* after,
                          const char* caption, MsgIcon icon, MsgButtons buttons) override;
    std::optional<QString> run_open_dialog(FileDialog& dialog) override;
    std::optional<QString> run_save_dialog(FileDialog& dialog) override;
    std::unique_ptr<PrintJob> run_print_dialog() override;
    const Clock& clock() const override { return clock_; }
    QSize screen_size() const override;
    int scroll_bar_width() const override;
    char decimal_separator() const override;

private:
    MsgAnswer show_box(const QString& text, const char* caption, MsgIcon icon, MsgButtons buttons);
    std::optional<QString> run_file_dialog(FileDialog& dialog, bool save);

    QWidget* parent() const { return asked_from_ ? asked_from_.data() : owner_; }

    QWidget* owner_ = nullptr;
    QPointer<QWidget> asked_from_;
    SystemClock clock_;
};

class QMessageBox;

// The box QtUi shows: texts, icon, buttons, task-modal, and wide enough for
// the text's longest line.
void set_up_message_box(QMessageBox& box, const QString& text, const QString& caption, MsgIcon icon,
                        MsgButtons buttons);

// "desc|pattern|desc|pattern" as Qt's "desc (pattern);;desc (pattern)".
QString qt_file_filter(const QString& filter);
