// A scripted Ui for headless tests: records every box and dialog, answers
// as told, and never blocks or sleeps.
#pragma once

#include <QSize>
#include <QString>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/ui.h"
#include "qt/assessment_paint.h"
#include "qt/print_job.h"
#include "qt/text_1250.h"
#include "storage/clock.h"

// A fixed date and time, and waits that take no time: they are counted, and
// `on_sleep` runs in each, as if the time had passed.
class FakeClock : public Clock {
public:
    LocalTime time{2024, 3, 5, 14, 7, 2};  // a Tuesday
    mutable int slept_ms = 0;
    mutable int sleeps = 0;
    std::function<void()> on_sleep;

    LocalTime now() const override { return time; }
    void sleep_ms(int ms) const override {
        slept_ms += ms;
        ++sleeps;
        if (on_sleep) on_sleep();
    }
};

class FakeUi : public Ui {
public:
    struct Box {
        std::string text;  // Windows-1250, as the program passed it ("?" for a path's
                           // letter the code page lacks)
        QString unicode;   // the text as the box shows it
        std::string caption;
        MsgIcon icon;
        MsgButtons buttons;
        QObject* owner = nullptr;  // the window it came up over; null: the main window
    };

    QSize screen{1024, 768};
    int scroll_bar = 17;
    char separator = '.';
    std::vector<Box> boxes;
    std::deque<MsgAnswer> answers;         // empty: OK, or Cancel to a question
    std::function<void()> while_box_open;  // runs inside message_box
    std::deque<std::optional<QString>> open_answers, save_answers;
    std::vector<FileDialog> open_dialogs, save_dialogs;
    std::vector<QObject*> dialog_owners;  // of each file and print dialog, in order
    QObject* owner = nullptr;
    std::function<void(FileDialog&)> while_dialog_open;  // runs inside either file dialog
    bool print_answer = false;
    int print_dialogs = 0;
    std::function<void(QPrinter&)> configure_printer;  // what the user sets in the print dialog
    FakeClock fake_clock;

    MsgAnswer message_box(const char* text, const char* caption, MsgIcon icon,
                          MsgButtons buttons) override {
        text = text ? text : "";
        return record({text, from_1250(text), caption ? caption : "", icon, buttons});
    }
    MsgAnswer message_box(const char* before, const QString& path, const char* after,
                          const char* caption, MsgIcon icon, MsgButtons buttons) override {
        const QString shown = from_1250(before) + path + from_1250(after);
        return record({to_1250(shown), shown, caption ? caption : "", icon, buttons});
    }
    std::optional<QString> run_open_dialog(FileDialog& d) override {
        open_dialogs.push_back(d);
        dialog_owners.push_back(owner);
        if (while_dialog_open) while_dialog_open(d);
        return next(open_answers);
    }
    std::optional<QString> run_save_dialog(FileDialog& d) override {
        save_dialogs.push_back(d);
        dialog_owners.push_back(owner);
        if (while_dialog_open) while_dialog_open(d);
        return next(save_answers);
    }
    // The real job on a printer the test sets up (a PDF file).
    std::unique_ptr<PrintJob> run_print_dialog() override {
        ++print_dialogs;
        dialog_owners.push_back(owner);
        auto job = std::make_unique<QtPrintJob>();
        if (configure_printer) configure_printer(job->printer());
        if (!print_answer) return nullptr;
        return job;
    }
    const Clock& clock() const override { return fake_clock; }
    QSize screen_size() const override { return screen; }
    int scroll_bar_width() const override { return scroll_bar; }
    char decimal_separator() const override { return separator; }
    void set_dialog_owner(QObject* window) override { owner = window; }
    QObject* dialog_owner() const override { return owner; }
    bool render_assessment_pdf(const AssessmentPageInput& in, std::string& bytes) override {
        return assessment_pdf_bytes(in, bytes);
    }

    // The texts shown so far, one a line, for failure messages.
    std::string shown() const {
        std::string all;
        for (const Box& b : boxes) all += "[" + b.text + "]\n";
        return all;
    }

private:
    MsgAnswer record(Box box) {
        const MsgButtons buttons = box.buttons;
        box.owner = owner;
        boxes.push_back(std::move(box));
        if (while_box_open) while_box_open();
        if (!answers.empty()) {
            const MsgAnswer a = answers.front();
            answers.pop_front();
            return a;
        }
        return buttons == MsgButtons::ok ? MsgAnswer::ok : MsgAnswer::cancel;
    }
    static std::optional<QString> next(std::deque<std::optional<QString>>& q) {
        std::optional<QString> a;
        if (!q.empty()) {
            a.swap(q.front());
            q.pop_front();
        }
        return a;
    }
};
