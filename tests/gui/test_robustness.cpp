// Random use of the real main window: keys, clicks, pasted texts, layers
// added and deleted, mode, wall and language switches, undo and redo, window
// and screen sizes, the file commands. After every burst the document must be
// either valid, with finite results, or refused with a message when saved,
// and undoing everything must give the document the history started from.
//
// PARIETA_ROBUSTNESS_SEED and PARIETA_ROBUSTNESS_BURSTS repeat or lengthen a run.
#include <QClipboard>
#include <QRadioButton>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <utility>

#include "storage/datafile.h"
#include "tests/gui/test_wiring_fixture.h"

namespace {

// What users and clipboards bring: numbers in both notations, overflowing
// and not-a-number spellings, empty and blank cells, letters, characters
// without a Windows-1250 form, a cell's worth of digits.
const QString TEXTS[] = {
    "nan",       "NaN",
    "-nan",      "inf",
    "-Infinity", "1e308",
    "1e309",     "-1e309",
    "1e-400",    "99999999999999999999999999",
    "0",         "-0",
    "",          " ",
    "abc",       "1,5",
    "1.5",       "0,000000001",
    "12e",       "e",
    "-",         "--5",
    "5-",        "0x1A",
    "1.2.3",     "ĄŚŻźć",
    "漢字",      "\t",
    "20",        "-18.5",
    "0.25",      "80",
    "2",         QString(300, '9'),
};

const int KEYS[] = {
    Qt::Key_0,      Qt::Key_1,     Qt::Key_5,        Qt::Key_9,       Qt::Key_Minus,
    Qt::Key_Period, Qt::Key_Comma, Qt::Key_E,        Qt::Key_A,       Qt::Key_Space,
    Qt::Key_Return, Qt::Key_Enter, Qt::Key_Tab,      Qt::Key_Backtab, Qt::Key_Backspace,
    Qt::Key_Delete, Qt::Key_Left,  Qt::Key_Right,    Qt::Key_Up,      Qt::Key_Down,
    Qt::Key_Home,   Qt::Key_End,   Qt::Key_PageDown, Qt::Key_Escape,  Qt::Key_F1,
    Qt::Key_Insert,
};

const QSize SCREENS[] = {{800, 600}, {1024, 768}, {1280, 1024}, {640, 480}};

struct Tally {
    long events = 0;
    int bursts = 0;
    int valid = 0;    // saved, read back and calculated
    int refused = 0;  // not saved, with the message
    long undone = 0;  // steps undone and redone by the history checks
};

class RobustnessTest : public WiringTest {
protected:
    void SetUp() override {
        WiringTest::SetUp();
        if (const char* s = std::getenv("PARIETA_ROBUSTNESS_SEED"))
            seed = std::strtoul(s, nullptr, 0);
        if (const char* b = std::getenv("PARIETA_ROBUSTNESS_BURSTS")) bursts = std::atoi(b);
        rng.seed(seed);
        Partition good;
        ASSERT_EQ(write_data_file(good, QFile::encodeName(folder + "good.PAR").constData()), 0);
        write_bytes(folder + "garbage.PAR", QByteArray("QDAT\x01\x00\x00\x00 not a record", 22));
        write_bytes(folder + "short.PAR", QByteArray("QD", 2));
    }

    static void write_bytes(const QString& file, const QByteArray& bytes) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
    template <class T, std::size_t N>
    const T& pick(const T (&items)[N]) {
        return items[pick(int(N))];
    }

    QWidget* key_target() {
        QWidget* w = QApplication::focusWidget();
        return w != nullptr ? w : form.get();
    }

    void random_cell(StringGrid* g, bool editable_only) {
        const int first_col = editable_only ? g->fixed_cols() : 0;
        const int first_row = editable_only ? 1 : 0;
        if (g->col_count() <= first_col || g->row_count() <= first_row) return;
        const int col = first_col + pick(g->col_count() - first_col);
        const int row = first_row + pick(g->row_count() - first_row);
        if (row >= 1) click_cell(g, col, row);
    }

    // Replaces the text of the widget's editor through the clipboard, as a
    // user pasting from elsewhere, and sometimes commits it.
    void paste(QLineEdit* edit) {
        if (edit == nullptr || !edit->isVisible()) return;
        QApplication::clipboard()->setText(pick(TEXTS));
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        if (pick(3) > 0) QTest::keyClick(edit, Qt::Key_Return);
    }

    QLineEdit* random_editor() {
        switch (pick(4)) {
            case 0:
                random_cell(t1(), true);
                return t1()->editor();
            case 1:
                random_cell(t2(), true);
                return t2()->editor();
            case 2:
                return edit_title();
            default:
                return edit_radius();
        }
    }

    QString saved_file() { return folder + QString("burst%1.PAR").arg(pick(4)); }

    // The file commands with random answers to their dialogs and questions.
    void file_command() {
        const MsgAnswer answers[] = {MsgAnswer::yes, MsgAnswer::no, MsgAnswer::cancel};
        ui.answers.push_back(pick(answers));
        switch (pick(6)) {
            case 0: {
                const QString files[] = {saved_file(), folder + "garbage.PAR", folder + "short.PAR",
                                         folder + "missing.PAR", folder};
                ui.open_answers.push_back(pick(files));
                button("SpeedButtonOpen")->click();
                break;
            }
            case 1:
                ui.save_answers.push_back(saved_file());
                button("SpeedButtonSaveAs")->click();
                break;
            case 2:
                button("SpeedButtonSave")->click();
                break;
            case 3:
                ui.save_answers.push_back(folder + "report.TXT");
                button("SpeedButtonExportAs")->click();
                break;
            case 4:
                button("SpeedButtonExport")->click();
                break;
            default:
                document().open_given_file(pick(2) ? saved_file() : folder + "garbage.PAR");
                break;
        }
        ui.answers.clear();
        ui.open_answers.clear();
        ui.save_answers.clear();
    }

    void one_event() {
        ++tally.events;
        switch (pick(23)) {
            case 0:
            case 1:
            case 2:
            case 3:
            case 4:
                QTest::keyClick(key_target(), Qt::Key(pick(KEYS)));
                break;
            case 5:
            case 6:
                type_text(key_target(), pick(TEXTS).left(12));
                break;
            case 7:
            case 8:
                paste(random_editor());
                break;
            case 9:
            case 10:
                random_cell(pick(2) ? t1() : t2(), false);
                break;
            case 11: {  // column 1 adds a layer before the row, column 2 deletes it
                const int rows = t2()->row_count();
                if (rows > 1) click_cell(t2(), 1 + pick(2), 1 + pick(rows - 1));
                break;
            }
            case 12:
                QTest::mouseClick(wall_group()->item(pick(2)), Qt::LeftButton);
                break;
            case 13:
                QTest::mouseClick(calc_group()->item(pick(2)), Qt::LeftButton);
                break;
            case 14:
                (button("SpeedButtonLang044")->isEnabled() ? button("SpeedButtonLang044")
                                                           : button("SpeedButtonLang048"))
                    ->click();
                break;
            case 15: {
                QToolButton* buttons[] = {button("SpeedButtonInfo1"), button("SpeedButtonInfo2"),
                                          button("SpeedButtonMaterials"),
                                          button("SpeedButtonPrint")};
                pick(buttons)->click();
                break;
            }
            case 16:
                file_command();
                break;
            case 17:
                form->resize(form->width() + pick(200) - 100, form->height() + pick(200) - 100);
                break;
            case 18:
                ui.screen = pick(SCREENS);
                form->update();
                break;
            case 19:  // back to a valid document now and then, so both outcomes occur
                if (pick(3) == 0) {
                    ui.answers = {MsgAnswer::no};
                    document().open_given_file(folder + "good.PAR");
                    ui.answers.clear();
                }
                break;
            case 20:
                button(pick(2) ? "SpeedButtonUndo" : "SpeedButtonRedo")->click();
                break;
            case 21: {
                const std::pair<Qt::Key, Qt::KeyboardModifiers> chords[] = {
                    {Qt::Key_Z, Qt::ControlModifier},
                    {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier},
                    {Qt::Key_Y, Qt::ControlModifier}};
                const auto& [key, mods] = pick(chords);
                QTest::keyClick(key_target(), key, mods);
                break;
            }
            default:
                if (help && help->isVisible()) QTest::keyClick(help.get(), Qt::Key_Escape);
                form->activateWindow();
                break;
        }
        QApplication::processEvents();
    }

    // Everything undone gives the start, everything redone the end again.
    void check_history() {
        Document& d = document();
        d.undo();  // takes in what was typed first, as a step of its own
        while (d.can_redo()) d.redo();
        std::uint8_t end_file[DATA_FILE_SIZE];
        encode_data_file(doc, end_file);
        tally.undone += d.history().index();
        while (d.can_undo()) d.undo();
        std::uint8_t now[DATA_FILE_SIZE];
        encode_data_file(doc, now);
        std::size_t first = 0;
        while (first < DATA_FILE_SIZE && now[first] == start_file[first]) ++first;
        EXPECT_EQ(first, DATA_FILE_SIZE) << "undoing everything did not give the starting document";
        while (d.can_redo()) d.redo();
        encode_data_file(doc, now);
        EXPECT_EQ(std::memcmp(now, end_file, DATA_FILE_SIZE), 0)
            << "redoing everything did not give the last state";
    }

    static bool finite_results(const Partition& p) {
        const int planes = used_layers(p) + 1;
        if (!std::isfinite(p.k) || !std::isfinite(p.temp_span) || !std::isfinite(p.temp_min))
            return false;
        for (int i = 0; i < planes; ++i) {
            if (!std::isfinite(p.temp[i])) return false;
            if (p.calc_mode == 1 &&
                (!std::isfinite(p.press_sat[i]) || !std::isfinite(p.press_real[i])))
                return false;
        }
        return true;
    }

    // The window as shown is consistent, and saving gives either a file that
    // reads back and calculates, or a refusal with its message.
    void check_after_burst(int burst) {
        SCOPED_TRACE("after burst " + std::to_string(burst));
        ASSERT_EQ(QApplication::activeModalWidget(), nullptr);
        check_history();
        ASSERT_GE(doc.layer_count, 1);
        ASSERT_LE(doc.layer_count, MAX_LAYERS);
        if (state().results_valid) {
            EXPECT_TRUE(finite_results(doc));
            EXPECT_TRUE(graph()->isVisibleTo(form.get()));
        }
        EXPECT_TRUE(button("SpeedButtonLang044")->isEnabled() !=
                    button("SpeedButtonLang048")->isEnabled());

        const QString file = folder + "check.PAR";
        QFile::remove(file);
        ui.answers.clear();
        ui.save_answers = {file};
        const std::size_t before = ui.boxes.size();
        button("SpeedButtonSaveAs")->click();
        if (QFile::exists(file)) {
            ++tally.valid;
            Partition back;
            ASSERT_EQ(read_data_file(back, QFile::encodeName(file).constData()), 0);
            EXPECT_TRUE(calculate_partition(back));
            EXPECT_TRUE(finite_results(back));
        } else {
            ++tally.refused;
            bool told = false;
            for (std::size_t i = before; i < ui.boxes.size(); ++i)
                told = told || ui.boxes[i].text == catalogue_a_text(8) ||  // invalid data
                       ui.boxes[i].text == catalogue_a_text(7);            // cannot save
            std::string shown;
            for (std::size_t b = before; b < ui.boxes.size(); ++b)
                shown += "[" + ui.boxes[b].text + "]";
            EXPECT_TRUE(told) << "not saved, and no message said so: " << shown;
        }
        ui.save_answers.clear();
    }

    unsigned long seed = 20261210;
    int bursts = 60;
    std::mt19937 rng;
    Tally tally;
    std::uint8_t start_file[DATA_FILE_SIZE] = {};
};

TEST_F(RobustnessTest, RandomUseNeverBreaksTheDocument) {
    SCOPED_TRACE("seed " + std::to_string(seed) + " (PARIETA_ROBUSTNESS_SEED repeats it)");
    set_language(pick(2) ? LANG_ENGLISH : LANG_POLISH);
    open_joined();
    // The history starts afresh on Open: what undoing everything must reach.
    encode_data_file(doc, start_file);
    QObject::connect(&document(), &Document::history_changed, [this] {
        if (document().history().count() == 0) encode_data_file(doc, start_file);
    });
    // No box of ours is modal here, so any modal widget is a real dialog that
    // would wait for a user: count it and close it.
    int modal_seen = 0;
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        if (QWidget* m = QApplication::activeModalWidget()) {
            ++modal_seen;
            m->close();
        }
        if (QWidget* p = QApplication::activePopupWidget()) {
            ++modal_seen;
            p->close();
        }
    });
    watchdog.start(200);

    const int events_per_burst = 50;
    for (int burst = 1; burst <= bursts && !HasFatalFailure(); ++burst) {
        for (int i = 0; i < events_per_burst; ++i) one_event();
        ++tally.bursts;
        check_after_burst(burst);
        if (HasFailure()) break;  // the first broken burst is the one to look at
    }
    EXPECT_EQ(modal_seen, 0);
    std::printf(
        "robustness: seed %lu, %ld events in %d bursts, %d saved valid, %d refused, %zu boxes, "
        "%ld steps undone\n",
        seed, tally.events, tally.bursts, tally.valid, tally.refused, ui.boxes.size(),
        tally.undone);
    RecordProperty("events", int(tally.events));
    RecordProperty("bursts", tally.bursts);
}

}  // namespace
