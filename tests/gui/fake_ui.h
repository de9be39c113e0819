// A scripted Ui for headless tests: records every box and dialog, answers
// as told, and never blocks.
#pragma once

#include <QSize>
#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/clock.h"
#include "mainwin/text_1250.h"
#include "mainwin/ui.h"

class FakeUi : public Ui {
public:
    struct Box {
        std::string text;  // Windows-1250 ("?" for a letter it lacks)
        QString unicode;   // the text as the box shows it
        std::string caption;
        MsgIcon icon;
        MsgButtons buttons;
    };

    QSize screen{1024, 768};
    int scroll_bar = 17;
    char separator = '.';
    std::vector<Box> boxes;
    std::deque<MsgAnswer> answers;         // empty: OK, or Cancel to a question
    std::function<void()> while_box_open;  // runs inside message_box
    std::deque<std::optional<QString>> open_answers, save_answers;
    std::vector<FileDialog> open_dialogs, save_dialogs;
    std::function<void(FileDialog&)> while_dialog_open;  // runs inside either file dialog
    bool print_answer = false;
    int print_dialogs = 0;
    std::function<void(QPrinter&)> configure_printer;  // what the user sets in the print dialog
    FixedClock fixed_clock{LocalTime{2024, 3, 5, 14, 7, 2}};

    MsgAnswer message_box(const char* text, const char* caption, MsgIcon icon,
                          MsgButtons buttons) override {
        return message_box(from_1250(text ? text : ""), caption, icon, buttons);
    }
    MsgAnswer message_box(const QString& text, const char* caption, MsgIcon icon,
                          MsgButtons buttons) override {
        boxes.push_back({to_1250(text), text, caption ? caption : "", icon, buttons});
        if (while_box_open) while_box_open();
        if (!answers.empty()) {
            const MsgAnswer a = answers.front();
            answers.pop_front();
            return a;
        }
        return buttons == MsgButtons::ok ? MsgAnswer::ok : MsgAnswer::cancel;
    }
    std::optional<QString> run_open_dialog(FileDialog& d) override {
        open_dialogs.push_back(d);
        if (while_dialog_open) while_dialog_open(d);
        return next(open_answers);
    }
    std::optional<QString> run_save_dialog(FileDialog& d) override {
        save_dialogs.push_back(d);
        if (while_dialog_open) while_dialog_open(d);
        return next(save_answers);
    }
    bool run_print_dialog(QPrinter& printer) override {
        ++print_dialogs;
        if (configure_printer) configure_printer(printer);
        return print_answer;
    }
    const Clock& clock() const override { return fixed_clock; }
    QSize screen_size() const override { return screen; }
    int scroll_bar_width() const override { return scroll_bar; }
    char decimal_separator() const override { return separator; }

    // The texts shown so far, one a line, for failure messages.
    std::string shown() const {
        std::string all;
        for (const Box& b : boxes) all += "[" + b.text + "]\n";
        return all;
    }

private:
    static std::optional<QString> next(std::deque<std::optional<QString>>& q) {
        std::optional<QString> a;
        if (!q.empty()) {
            a.swap(q.front());
            q.pop_front();
        }
        return a;
    }
};
