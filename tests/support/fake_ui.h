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
#include "output/graph.h"
#include "output/report.h"
#include "storage/clock.h"
#include "storage/cp1250.h"

// What a recording print job was given: enough to see what a page would hold.
struct PrintRecord {
    int begun = 0, ended = 0, graphs = 0, assessments = 0;
    std::vector<std::string> texts;  // the report's lines as drawn (Windows-1250)
    bool fail_begin = false;         // the job cannot start
};

// A print job that records instead of painting, so the document's tests need
// no printer and no Qt painting.
class RecordingPrintJob : public PrintJob, private PrinterLineSink {
public:
    explicit RecordingPrintJob(PrintRecord& record) : record_(record) {}
    bool portrait() const override { return true; }
    bool begin() override {
        ++record_.begun;
        return !record_.fail_begin;
    }
    PrinterLineSink& report_sink() override { return *this; }
    void draw_graph(const Partition&, GraphTarget) override { ++record_.graphs; }
    bool end() override {
        ++record_.ended;
        return !record_.fail_begin;
    }
    bool print_assessment(const AssessmentPageInput&) override {
        ++record_.assessments;
        return !record_.fail_begin;
    }

private:
    int font_point_size() const override { return 10; }
    int resolution_x() const override { return 600; }
    int resolution_y() const override { return 600; }
    void draw_text(int, int, const char* text, bool) override { record_.texts.push_back(text); }

    PrintRecord& record_;
};

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
    PrintRecord printed;  // what the recording job was given
    // The job the print dialog hands over; by default one that records into `printed`.
    std::function<std::unique_ptr<PrintJob>()> make_print_job;
    // The assessment's PDF; by default a few bytes that stand for one.
    std::function<bool(const AssessmentPageInput&, std::string&)> render_pdf;
    FakeClock fake_clock;

    MsgAnswer message_box(const char* text, const char* caption, MsgIcon icon,
                          MsgButtons buttons) override {
        text = text ? text : "";
        return record({text, unicode_of(text), caption ? caption : "", icon, buttons});
    }
    MsgAnswer message_box(const char* before, const QString& path, const char* after,
                          const char* caption, MsgIcon icon, MsgButtons buttons) override {
        const QString shown = unicode_of(before) + path + unicode_of(after);
        return record({windows_1250_of(shown), shown, caption ? caption : "", icon, buttons});
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
    std::unique_ptr<PrintJob> run_print_dialog() override {
        ++print_dialogs;
        dialog_owners.push_back(owner);
        std::unique_ptr<PrintJob> job =
            make_print_job ? make_print_job() : std::make_unique<RecordingPrintJob>(printed);
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
        if (render_pdf) return render_pdf(in, bytes);
        bytes = "%PDF-1.4\n% recorded\n%%EOF\n";
        return true;
    }

    // The texts shown so far, one a line, for failure messages.
    std::string shown() const {
        std::string all;
        for (const Box& b : boxes) all += "[" + b.text + "]\n";
        return all;
    }

private:
    static QString unicode_of(const char* text) {
        return QString::fromStdString(cp1250_to_utf8_lossy(text ? text : ""));
    }
    // "?" for a character the code page lacks, as the program's conversion does.
    static std::string windows_1250_of(const QString& text) {
        std::string out;
        for (const char32_t c : text.toUcs4()) {
            std::string one;
            const std::string utf8 = QString::fromUcs4(&c, 1).toStdString();
            out += utf8_to_cp1250(utf8, one) ? one : std::string("?");
        }
        return out;
    }

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
