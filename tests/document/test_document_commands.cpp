// The commands without a window: the dialogs they open, what they write,
// what they ask, and the busy state they leave.
#include <QDir>

#include "storage/datafile.h"
#include "storage/project_file.h"
#include "tests/document/document_fixture.h"

namespace {

const char* const UNSAVED = "Current data have not been saved to disk.\nDo you want to save it?";

QByteArray read_bytes(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A data file holding a title (Windows-1250) and an external temperature.
void write_data(const QString& file, const char* title, double temp_ext) {
    Partition p;
    set_title(p, title);
    p.temp_ext = temp_ext;
    ASSERT_EQ(write_data_file(p, QFile::encodeName(file).constData()), WRITE_DONE);
}

TEST_F(DocumentTest, EachFileCommandSetsUpItsDialog) {
    struct DialogCase {
        const char* command;
        void (Document::*run)();
        bool open_dialog;
        const char* title;
        const char* filter;
        const char* extension;
        bool overwrite_prompt;
        bool preview;  // titles shown while a file is selected
    };
    const DialogCase cases[] = {
        {"Open", &Document::open, true, "Read data in",
         "PARIETA data files (*.PAR)|*.PAR|PARIETA project (*.parieta.json)|*.parieta.json|"
         "all files|*.*",
         "PAR", false, true},
        {"Save As", &Document::save_as, false, "Save data",
         "PARIETA data file (*.PAR)|*.PAR|PARIETA project (*.parieta.json)|*.parieta.json|"
         "PARIETA data file of any name|*.*",
         "PAR", true, false},
        {"Export As", &Document::export_as, false, "Export data and results",
         "text file (*.TXT)|*.TXT|text file of any name|*.*", "TXT", true, false},
    };
    open_document();
    for (const DialogCase& c : cases) {
        SCOPED_TRACE(c.command);
        ui.open_dialogs.clear();
        ui.save_dialogs.clear();
        (document.get()->*c.run)();  // cancelled
        const std::vector<FileDialog>& shown = c.open_dialog ? ui.open_dialogs : ui.save_dialogs;
        ASSERT_EQ(shown.size(), 1u);
        const FileDialog& d = shown[0];
        EXPECT_EQ(d.title, c.title);
        EXPECT_EQ(d.filter, c.filter);
        EXPECT_EQ(d.filter_index, 1);
        EXPECT_EQ(d.dir, document->data_folder());
        EXPECT_EQ(d.name, "PARI");
        EXPECT_EQ(d.default_ext, c.extension);
        EXPECT_EQ(d.overwrite_prompt, c.overwrite_prompt);
        EXPECT_EQ(bool(d.on_selection_change), c.preview);
    }
    EXPECT_TRUE(state().current_file.isEmpty());
    EXPECT_TRUE(ui.boxes.empty()) << ui.shown();
}

TEST_F(DocumentTest, SaveAsWritesUnderTheChosenNameAndSaveThenUnderIt) {
    open_document();
    int captions = 0;
    QObject::connect(document.get(), &Document::caption_changed, [&] { ++captions; });
    const QString job = path("job.PAR");
    ui.save_answers.push_back(job);
    document->save();  // no current file: Save As
    EXPECT_EQ(ui.save_dialogs.size(), 1u);
    EXPECT_EQ(read_bytes(job).size(), qsizetype(DATA_FILE_SIZE));
    EXPECT_EQ(state().current_file, job);
    EXPECT_EQ(captions, 1);
    EXPECT_EQ(state().save_dir, dir.path() + "/");
    EXPECT_EQ(state().save_name, "job.PAR");
    const std::vector<std::string> busy = {"busy", "status Saving data...", "idle",
                                           "status hidden"};
    EXPECT_EQ(events, busy);

    conditions().set_text(1, 1, "-12");
    document->save();
    EXPECT_EQ(ui.save_dialogs.size(), 1u);  // under the current name, no dialog
    Partition stored;
    ASSERT_EQ(read_data_file(stored, QFile::encodeName(job).constData()), READ_DONE);
    EXPECT_EQ(stored.temp_ext, -12.0);
    EXPECT_EQ(record.modified, 0);
}

TEST_F(DocumentTest, OpenPreviewsTitlesThenFillsTheCells) {
    const QString wall = path("wall.par");
    write_data(wall,
               "\x8c"
               "ciana",
               -18);
    open_document();
    ui.while_dialog_open = [&](FileDialog& d) {
        d.on_selection_change(wall);
        EXPECT_TRUE(state().status_visible);
        EXPECT_EQ(state().status_text,
                  "\x8c"
                  "ciana");
    };
    ui.open_answers.push_back(wall);
    document->open();
    EXPECT_EQ(conditions().text(1, 1), "-18");
    EXPECT_EQ(document->title_text(),
              "\x8c"
              "ciana");
    EXPECT_EQ(state().current_file, wall);
    EXPECT_EQ(state().open_name, "wall.par");
    EXPECT_TRUE(state().results_valid);
    EXPECT_FALSE(state().status_visible);
    EXPECT_TRUE(ui.boxes.empty()) << ui.shown();
}

TEST_F(DocumentTest, AFileThatCannotBeReadLeavesTheRecord) {
    QFile bad(path("bad.PAR"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write(QByteArray(DATA_FILE_SIZE, 'x'));
    bad.close();
    struct Case {
        const char* file;
        const char* message;
    };
    open_document();
    for (const Case c : {Case{"bad.PAR", "Data file is invalid."},
                         Case{"missing.PAR", "Cannot open data file."}}) {
        SCOPED_TRACE(c.file);
        ui.boxes.clear();
        const Partition before = record;
        EXPECT_FALSE(document->open_file(path(c.file)));
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].text, c.message);
        EXPECT_EQ(ui.boxes[0].caption, "ERROR");
        EXPECT_EQ(std::memcmp(&before, &record, sizeof(PartitionInput) + 1), 0);
        EXPECT_TRUE(state().current_file.isEmpty());
    }
}

// Hostile project files are refused in a moment and cost nothing that is open.
TEST_F(DocumentTest, AHostileProjectFileIsRefusedAndTheUnsavedRecordStays) {
    const auto write_text = [&](const QString& name, const std::string& text) {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.data(), qint64(text.size()));
    };
    const std::string head = "{\"format\": \"parieta-project\", \"version\": 1, \"a\": ";
    write_text("deep.parieta.json", head + std::string(60000, '[') + std::string(60000, ']') + "}");
    std::string keys = head + "0";
    for (int i = 0; keys.size() < PROJECT_FILE_MAX_SIZE - 20; ++i)
        keys += ", \"k" + std::to_string(i) + "\": 0";
    write_text("keys.parieta.json", keys + "}");
    open_document();
    conditions().set_text(1, 1, "-12");
    document->refresh_results(ReadFlag::with_messages);
    ASSERT_EQ(record.modified, 1);
    const struct {
        const char* name;
        const char* says;
    } cases[] = {{"deep.parieta.json", "line 1, column 113: nested deeper than 64 levels"},
                 {"keys.parieta.json", "line 1, column 2732: more than 256 keys in one object"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ui.boxes.clear();
        const Partition before = record;
        EXPECT_FALSE(document->open_file(path(c.name)));
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].text.rfind("Data file is invalid.", 0), 0u) << ui.shown();
        EXPECT_NE(ui.boxes[0].unicode.indexOf(c.says), -1) << ui.boxes[0].unicode.toStdString();
        EXPECT_EQ(std::memcmp(&before, &record, sizeof(PartitionInput) + 1), 0);
        EXPECT_EQ(record.modified, 1) << "the edit is still unsaved";
    }
}

TEST_F(DocumentTest, TheUnsavedChangesQuestionDecides) {
    struct Case {
        MsgAnswer answer;
        bool dropped;
        bool saved;
    };
    for (const Case c : {Case{MsgAnswer::cancel, false, false}, Case{MsgAnswer::no, true, false},
                         Case{MsgAnswer::yes, true, true}}) {
        SCOPED_TRACE(int(c.answer));
        record = Partition{};
        ui.boxes.clear();
        open_document();
        const QString job = path("job" + QString::number(int(c.answer)) + ".PAR");
        ui.save_answers = {job};
        conditions().set_text(1, 1, "-12");
        ui.answers = {c.answer};
        EXPECT_EQ(document->confirm_discard(), c.dropped);
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].text, UNSAVED);
        EXPECT_EQ(ui.boxes[0].buttons, MsgButtons::yes_no_cancel);
        EXPECT_EQ(QFile::exists(job), c.saved);
    }
    ui.boxes.clear();
    EXPECT_TRUE(document->confirm_discard());  // saved: nothing to ask
    EXPECT_TRUE(ui.boxes.empty()) << ui.shown();
}

TEST_F(DocumentTest, ExportBesideTheDataFileAsksBeforeReplacingAReport) {
    open_document();
    const QString report = path("WALL.TXT");
    {
        QFile old(report);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old report");
    }
    document->set_current_file(path("WALL"));
    ui.answers = {MsgAnswer::no};
    document->export_beside();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "The file " + report.toStdString() +
                                    " already exists.\nDo you want to write it over?");
    EXPECT_EQ(read_bytes(report), "old report");

    ui.answers = {MsgAnswer::yes};
    document->export_beside();
    EXPECT_TRUE(read_bytes(report).startsWith("TEMPERATURE AND STEAM-PRESSURE"));
    EXPECT_TRUE(read_bytes(report).contains("\r\nTuesday 2024.03.05 14:07\r\n"));  // the Ui's clock
    const std::vector<std::string> busy = {"busy", "idle"};
    EXPECT_EQ(events, busy) << "the question comes outside the busy state";
}

TEST_F(DocumentTest, PrintPutsOnePageAndEndsIdleAlsoWhenItFails) {
    open_document();
    ui.print_answer = true;
    document->print();
    EXPECT_TRUE(ui.boxes.empty()) << ui.shown();
    // One page: the report's lines, then the graph, begun and ended once.
    EXPECT_EQ(ui.printed.begun, 1);
    EXPECT_EQ(ui.printed.ended, 1);
    EXPECT_EQ(ui.printed.graphs, 1);
    ASSERT_FALSE(ui.printed.texts.empty());
    EXPECT_EQ(ui.printed.texts.front().rfind("TEMPERATURE AND STEAM-PRESSURE", 0), 0u)
        << ui.printed.texts.front();
    const std::vector<std::string> busy = {"busy", "status Printing...", "status hidden", "idle"};
    EXPECT_EQ(events, busy);
    EXPECT_TRUE(state().graph_on_screen);

    events.clear();
    ui.while_box_open = [&] { events.push_back("box"); };
    ui.printed = {};
    ui.printed.fail_begin = true;  // the job cannot start
    document->print();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Printing has failed.");
    EXPECT_EQ(ui.printed.ended, 1) << "ended, not left open";
    const std::vector<std::string> failed = {"busy", "status Printing...", "status hidden", "idle",
                                             "box"};
    EXPECT_EQ(events, failed);
}

TEST_F(DocumentTest, ALanguageSwitchRetextsTheCellsAndCommitsFirst) {
    open_document();
    int switched = 0;
    QObject::connect(document.get(), &Document::language_changed, [&] { ++switched; });
    layers().set_text(4, 1, "0.5");
    EXPECT_FALSE(document->switch_language(LANG_ENGLISH));  // in force: only commits
    EXPECT_EQ(record.layers[0].thickness, 0.5);
    EXPECT_EQ(switched, 0);

    EXPECT_TRUE(document->switch_language(LANG_POLISH));
    EXPECT_EQ(get_language(), LANG_POLISH);
    EXPECT_EQ(switched, 1);
    EXPECT_EQ(conditions().text(1, 0), "strona zewn.");
    EXPECT_EQ(layers().text(4, 1), "0.5");  // typed texts stay
    EXPECT_TRUE(ui.boxes.empty()) << ui.shown();
}

TEST_F(DocumentTest, AGivenFileOpensAfterTheQuestionAndNeverAfterShutdown) {
    const QString wall = path("WALL.PAR");
    write_data(wall, "North wall", -18.5);
    open_document();
    document->open_given_file(wall);
    EXPECT_EQ(state().current_file, wall);
    EXPECT_EQ(record.temp_ext, -18.5);

    document->shutdown();
    EXPECT_EQ(document->open_dialog(), nullptr);
    document->set_current_file(QString());
    document->open_given_file(wall);
    EXPECT_TRUE(state().current_file.isEmpty());
}

}  // namespace
