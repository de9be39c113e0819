// The Ui of the Qt benchmarks: counts boxes, cancels dialogs, a fixed screen.
#pragma once

#include "document/ui.h"
#include "storage/clock.h"

class BenchUi : public Ui {
public:
    MsgAnswer message_box(const char*, const char*, MsgIcon, MsgButtons) override {
        ++boxes;
        return MsgAnswer::ok;
    }
    MsgAnswer message_box(const char*, const QString&, const char*, const char*, MsgIcon,
                          MsgButtons) override {
        ++boxes;
        return MsgAnswer::ok;
    }
    std::optional<QString> run_open_dialog(FileDialog&) override { return std::nullopt; }
    std::optional<QString> run_save_dialog(FileDialog&) override { return std::nullopt; }
    std::unique_ptr<PrintJob> run_print_dialog() override { return nullptr; }
    const Clock& clock() const override { return clock_; }
    QSize screen_size() const override { return {1024, 768}; }
    int scroll_bar_width() const override { return 17; }
    char decimal_separator() const override { return '.'; }
    void set_dialog_owner(QObject*) override {}
    QObject* dialog_owner() const override { return nullptr; }
    bool render_assessment_pdf(const AssessmentPageInput&, std::string&) override { return false; }
    int boxes = 0;

private:
    SystemClock clock_;
};
