// Open, Save, Save As and the unsaved-changes question through the real window.
#include <QDir>
#include <QGuiApplication>

#include "storage/datafile.h"
#include "tests/gui/shown_title.h"
#include "tests/gui/test_files_fixture.h"

namespace {

const char* const UNSAVED = "Current data have not been saved to disk.\nDo you want to save it?";
const char* const TEMP_EXT_LIMIT =
    "External temperature is out of allowable limits.\n(min=-40; max=55)";

// A data file holding a title (Windows-1250) and an external temperature.
void write_data(const QString& file, const char* title, double temp_ext) {
    Partition p;
    set_title(p, title);
    p.temp_ext = temp_ext;
    ASSERT_EQ(write_data_file(p, QFile::encodeName(file).constData()), 0);
}

double stored_temp_ext(const QString& file) {
    Partition p;
    EXPECT_EQ(read_data_file(p, QFile::encodeName(file).constData()), 0);
    return p.temp_ext;
}

TEST_F(FileCommandsTest, ANewDocumentSavesThroughSaveAsThenUnderItsName) {
    open_window();
    EXPECT_FALSE(button("SpeedButtonSave")->isEnabled());
    EXPECT_FALSE(button("SpeedButtonExport")->isEnabled());

    const QString job = path("job.PAR");
    ui.save_answers.push_back(job);
    document().save();  // no current file: Save As (its dialog: tests/document)
    ASSERT_EQ(ui.save_dialogs.size(), 1u);

    EXPECT_EQ(read_bytes(job).size(), qsizetype(DATA_FILE_SIZE));
    EXPECT_EQ(doc.modified, 0);
    EXPECT_TRUE(shown_title(*form).endsWith(" + " + job));
    EXPECT_TRUE(button("SpeedButtonSave")->isEnabled());
    EXPECT_TRUE(button("SpeedButtonExport")->isEnabled());
    EXPECT_EQ(state().save_dir, dir.path() + "/");
    EXPECT_EQ(state().save_name, "job.PAR");
    EXPECT_EQ(state().open_dir, document().data_folder());  // saving leaves Open's proposal
    EXPECT_EQ(state().open_name, "PARI");
    EXPECT_TRUE(status_bar()->isVisible());  // with the note of where it went
    EXPECT_EQ(status_bar()->currentMessage(), "Saved: " + job);
    EXPECT_TRUE(status_text()->text().isEmpty());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    type_cell(t1(), 1, 1, "-12");
    button("SpeedButtonSave")->click();
    EXPECT_EQ(ui.save_dialogs.size(), 1u);  // under the current name, no dialog
    EXPECT_EQ(stored_temp_ext(job), -12.0);

    // Already reported at Enter, so Save adds only its own refusal.
    type_cell(t1(), 1, 1, "60");
    ASSERT_EQ(ui.boxes.size(), 1u);
    button("SpeedButtonSave")->click();
    ASSERT_EQ(ui.boxes.size(), 2u) << ui.shown();
    EXPECT_EQ(ui.boxes[1].text, "Cannot save invalid data.");
    EXPECT_EQ(ui.boxes[1].caption, "ERROR");
    EXPECT_EQ(stored_temp_ext(job), -12.0);
    EXPECT_EQ(doc.modified, 1);
}

TEST_F(FileCommandsTest, SaveAndExportNoteWhereTheyWroteInTheProgramsLanguage) {
    // The path as it is, also letters Windows-1250 lacks; a byte that is not
    // UTF-8 shows as U+FFFD.
    struct Case {
        int language;
        const char* saved;
        const char* exported;
    };
    for (const Case& c : {Case{LANG_ENGLISH, "Saved: ", "Exported: "},
                          Case{LANG_POLISH, "Zapisano: ", "Wyeksportowano: "}}) {
        SCOPED_TRACE(c.saved);
        const QString folder = path(QStringLiteral("Łódź Дом 家 ") + c.saved);
        ASSERT_TRUE(QDir().mkdir(folder));
        const QString odd = path_from_bytes(QFile::encodeName(folder) + "/\xff.PAR");
        open_window();
        document().switch_language(c.language);
        ui.save_answers.push_back(folder + "/job.PAR");
        button("SpeedButtonSaveAs")->click();
        EXPECT_TRUE(status_bar()->isVisible());
        EXPECT_EQ(status_bar()->currentMessage(), c.saved + folder + "/job.PAR");
        button("SpeedButtonExport")->click();
        EXPECT_EQ(status_bar()->currentMessage(), c.exported + folder + "/job.TXT");
        ui.save_answers.push_back(odd);
        button("SpeedButtonSaveAs")->click();
        EXPECT_EQ(status_bar()->currentMessage(), c.saved + folder + QStringLiteral("/\uFFFD.PAR"));

        // A failure tells its error and no note.
        type_cell(t1(), 1, 1, "-12");
        {
            const FileSizeLimit full_disk(100);
            button("SpeedButtonSave")->click();
        }
        EXPECT_FALSE(status_bar()->isVisible());
        EXPECT_TRUE(status_bar()->currentMessage().isEmpty());
        ASSERT_TRUE(QDir().mkpath(folder + "/taken.TXT"));
        ui.save_answers.push_back(folder + "/taken.TXT");
        button("SpeedButtonExportAs")->click();
        EXPECT_FALSE(status_bar()->isVisible());
        EXPECT_TRUE(status_bar()->currentMessage().isEmpty());
        ASSERT_EQ(ui.boxes.size(), 2u) << ui.shown();
        ui.boxes.clear();
        form.reset();
    }
}

TEST_F(FileCommandsTest, AnUnchangedDocumentIsDroppedWithoutAQuestion) {
    open_window();
    button("SpeedButtonExit")->click();
    EXPECT_TRUE(ui.boxes.empty()) << ui.shown();
    EXPECT_EQ(document().open_dialog(), nullptr);  // shut down
}

TEST_F(FileCommandsTest, CancelKeepsTheWindowWithItsData) {
    open_window();
    type_cell(t1(), 1, 1, "-12");
    ui.answers = {MsgAnswer::cancel};
    QCloseEvent close;
    QApplication::sendEvent(form.get(), &close);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, UNSAVED);
    EXPECT_EQ(ui.boxes[0].caption, "Warning");
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::question);
    EXPECT_EQ(ui.boxes[0].buttons, MsgButtons::yes_no_cancel);
    EXPECT_FALSE(close.isAccepted());
    EXPECT_NE(document().open_dialog(), nullptr);
    EXPECT_EQ(t1()->cell(1, 1), "-12");
    EXPECT_EQ(doc.temp_ext, -12.0);
}

TEST_F(FileCommandsTest, NoDiscardsTheChangesAndOpens) {
    const QString wall = path("wall.PAR");
    write_data(wall, "", -18);
    open_window();
    type_cell(t1(), 1, 1, "-12");
    ui.answers = {MsgAnswer::no};
    ui.open_answers.push_back(wall);
    button("SpeedButtonOpen")->click();
    EXPECT_EQ(ui.boxes.size(), 1u) << ui.shown();
    EXPECT_EQ(doc.temp_ext, -18.0);
    EXPECT_EQ(t1()->cell(1, 1), "-18");
    EXPECT_EQ(state().current_file, wall);
}

TEST_F(FileCommandsTest, YesWithAnInvalidCellShowsItsMessageThenRefuses) {
    open_window();
    t1()->set_cell(1, 1, "60");  // typed, not yet read with messages
    ui.answers = {MsgAnswer::yes, MsgAnswer::ok, MsgAnswer::ok};
    button("SpeedButtonOpen")->click();
    ASSERT_EQ(ui.boxes.size(), 3u) << ui.shown();
    EXPECT_EQ(ui.boxes[0].text, UNSAVED);
    EXPECT_EQ(ui.boxes[1].text, TEMP_EXT_LIMIT);
    EXPECT_EQ(ui.boxes[2].text, "Cannot save invalid data.");
    EXPECT_TRUE(ui.open_dialogs.empty());

    ui.answers = {MsgAnswer::yes};
    button("SpeedButtonExit")->click();  // the problem was told: only the refusal again
    ASSERT_EQ(ui.boxes.size(), 5u) << ui.shown();
    EXPECT_EQ(ui.boxes[4].text, "Cannot save invalid data.");
    EXPECT_NE(document().open_dialog(), nullptr);  // still running
}

TEST_F(FileCommandsTest, YesWithoutACurrentFileRunsSaveAsAndItsOutcomeDecides) {
    open_window();
    type_cell(t1(), 1, 1, "-12");
    ui.answers = {MsgAnswer::yes};
    ui.save_answers.push_back(std::nullopt);
    button("SpeedButtonExit")->click();
    EXPECT_EQ(ui.save_dialogs.size(), 1u);
    EXPECT_NE(document().open_dialog(), nullptr);  // cancelled: no exit
    EXPECT_EQ(doc.modified, 1);

    const QString job = path("job.PAR");
    ui.answers = {MsgAnswer::yes};
    ui.save_answers.push_back(job);
    button("SpeedButtonExit")->click();
    EXPECT_EQ(stored_temp_ext(job), -12.0);
    EXPECT_EQ(document().open_dialog(), nullptr);
}

TEST_F(FileCommandsTest, YesSavesUnderTheCurrentNameBeforeOpening) {
    const QString other = path("other.PAR");
    write_data(other, "", 7);
    open_window();
    const QString job = path("job.PAR");
    ui.save_answers.push_back(job);
    button("SpeedButtonSaveAs")->click();
    type_cell(t1(), 1, 1, "-12");
    ui.answers = {MsgAnswer::yes};
    ui.open_answers.push_back(other);
    button("SpeedButtonOpen")->click();
    EXPECT_EQ(ui.save_dialogs.size(), 1u);
    EXPECT_EQ(stored_temp_ext(job), -12.0);
    EXPECT_EQ(doc.temp_ext, 7.0);
    EXPECT_EQ(state().current_file, other);
}

TEST_F(FileCommandsTest, OpeningFillsTheWindowAndKeepsWhatSaveAsProposes) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("other"));
    const QString wall = path("other/wall.par");  // lower-case extension
    write_data(wall,
               "\x8c"
               "ciana",
               -18);
    open_window();
    ui.open_answers.push_back(wall);
    button("SpeedButtonOpen")->click();
    ASSERT_EQ(ui.open_dialogs.size(), 1u);  // its set-up: tests/document

    EXPECT_TRUE(ui.boxes.empty()) << ui.shown();
    EXPECT_EQ(t1()->cell(1, 1), "-18");
    EXPECT_EQ(edit_title()->text(), QString::fromUtf8("Ściana"));
    EXPECT_EQ(state().current_file, wall);
    EXPECT_TRUE(shown_title(*form).endsWith(" + " + wall));
    EXPECT_TRUE(button("SpeedButtonSave")->isEnabled());
    EXPECT_TRUE(button("SpeedButtonExport")->isEnabled());
    EXPECT_TRUE(state().results_valid);
    EXPECT_TRUE(graph()->isVisible());
    EXPECT_EQ(doc.modified, 0);
    EXPECT_FALSE(status_bar()->isVisible());

    ui.save_answers.push_back(std::nullopt);
    button("SpeedButtonSaveAs")->click();
    ASSERT_EQ(ui.save_dialogs.size(), 1u);
    EXPECT_EQ(ui.save_dialogs[0].dir, document().data_folder());
    EXPECT_EQ(ui.save_dialogs[0].name, "PARI");

    button("SpeedButtonOpen")->click();  // cancelled this time
    ASSERT_EQ(ui.open_dialogs.size(), 2u);
    EXPECT_EQ(ui.open_dialogs[1].dir, dir.path() + "/other/");
    EXPECT_EQ(ui.open_dialogs[1].name, "wall.par");
    EXPECT_EQ(state().current_file, wall);
}

TEST_F(FileCommandsTest, AFileThatCannotBeReadChangesNothing) {
    write_bytes(path("bad.PAR"), QByteArray(DATA_FILE_SIZE, 'x'));
    struct Case {
        const char* file;
        const char* message;
    };
    for (const Case c : {Case{"bad.PAR", "Data file is invalid."},
                         Case{"missing.PAR", "Cannot open data file."}}) {
        SCOPED_TRACE(c.file);
        ui.boxes.clear();
        open_window();
        type_cell(t1(), 1, 1, "-12");
        const Partition before = doc;
        const QString caption = shown_title(*form);
        ui.answers = {MsgAnswer::no, MsgAnswer::ok};
        ui.open_answers.push_back(path(c.file));
        button("SpeedButtonOpen")->click();
        ASSERT_EQ(ui.boxes.size(), 2u) << ui.shown();
        EXPECT_EQ(ui.boxes[1].text, c.message);
        EXPECT_EQ(ui.boxes[1].caption, "ERROR");
        EXPECT_EQ(ui.boxes[1].icon, MsgIcon::error);
        EXPECT_EQ(std::memcmp(&before, &doc, sizeof(PartitionInput) + 1), 0);  // input and flag
        EXPECT_EQ(t1()->cell(1, 1), "-12");
        EXPECT_EQ(shown_title(*form), caption);
        EXPECT_EQ(state().open_dir, document().data_folder());
        EXPECT_FALSE(button("SpeedButtonSave")->isEnabled());
        EXPECT_FALSE(status_bar()->isVisible());
    }
}

TEST_F(FileCommandsTest, AFileFailingValidationOpensSilentlyWithTheGraphHidden) {
    Partition p;
    p.layers[1].thickness = 0;
    write_raw(path("thin.PAR"), p);
    open_window();
    ui.open_answers.push_back(path("thin.PAR"));
    button("SpeedButtonOpen")->click();
    EXPECT_TRUE(ui.boxes.empty()) << ui.shown();
    EXPECT_EQ(state().current_file, path("thin.PAR"));
    EXPECT_EQ(t2()->cell(4, 2), "0");
    EXPECT_FALSE(state().results_valid);
    EXPECT_FALSE(graph()->isVisible());
}

TEST_F(FileCommandsTest, TheOpenDialogPreviewsTitlesInTheStatusBar) {
    const QString wall = path("wall.par");
    write_data(wall,
               "\x8c"
               "ciana zewn\xeatrzna",
               0);
    ASSERT_TRUE(QFile::copy(wall, path("wall.txt")));  // a data file, but not by its name
    open_window();
    std::vector<QString> shown;
    bool visible = false;
    ui.while_dialog_open = [&](FileDialog& d) {
        visible = status_bar()->isVisible();
        ASSERT_TRUE(d.on_selection_change);
        for (const QString& p : {wall, path("wall.txt"), wall, QString()}) {
            d.on_selection_change(p);
            shown.push_back(status_text()->text());
        }
    };
    button("SpeedButtonOpen")->click();
    EXPECT_TRUE(visible);
    const std::vector<QString> expected{QString::fromUtf8("Ściana zewnętrzna"), "",
                                        QString::fromUtf8("Ściana zewnętrzna"), ""};
    EXPECT_EQ(shown, expected);
    EXPECT_FALSE(status_bar()->isVisible());
    EXPECT_TRUE(status_text()->text().isEmpty());
}

TEST_F(FileCommandsTest, AFailedWriteLeavesTheFileOnDiskAsItWas) {
    open_window();
    const QString job = path("job.PAR");
    ui.save_answers.push_back(job);
    button("SpeedButtonSaveAs")->click();
    const QByteArray saved = read_bytes(job);
    type_cell(t1(), 1, 1, "-12");

    QString status_during_box;
    bool cursor_during_box = true;
    ui.while_box_open = [&] {
        status_during_box = status_text()->text();
        cursor_during_box = QGuiApplication::overrideCursor() != nullptr;
    };
    {
        const FileSizeLimit full_disk(100);
        // Two clicks, two actions: each tells its failure.
        QTest::mouseClick(button("SpeedButtonSave"), Qt::LeftButton);
        ui.save_answers.push_back(path("new.PAR"));
        QTest::mouseClick(button("SpeedButtonSaveAs"), Qt::LeftButton);
    }
    ASSERT_EQ(ui.boxes.size(), 2u) << ui.shown();
    for (const FakeUi::Box& b : ui.boxes) {
        EXPECT_EQ(b.text, "Cannot save data.");
        EXPECT_EQ(b.caption, "ERROR");
    }
    EXPECT_EQ(status_during_box, "Saving data...");
    EXPECT_FALSE(cursor_during_box);
    EXPECT_EQ(read_bytes(job), saved);
    EXPECT_FALSE(QFile::exists(path("new.PAR")));
    EXPECT_EQ(doc.modified, 1);
    EXPECT_EQ(state().current_file, job);  // the failed Save As changed nothing
    EXPECT_EQ(state().save_name, "job.PAR");
    EXPECT_FALSE(status_bar()->isVisible());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(FileCommandsTest, ALongPathIsWrittenWhole) {
    QString deep = dir.path();
    for (int i = 0; i < 3; ++i) deep += "/" + QString(100, QLatin1Char('a' + i));
    ASSERT_TRUE(QDir().mkpath(deep));
    const QString job = deep + "/job.PAR";
    ASSERT_GT(QFile::encodeName(job).size(), qsizetype(PATH_SIZE));
    open_window();
    ui.save_answers.push_back(job);
    button("SpeedButtonSaveAs")->click();
    EXPECT_TRUE(ui.boxes.empty()) << ui.shown();
    EXPECT_EQ(read_bytes(job).size(), qsizetype(DATA_FILE_SIZE));
    EXPECT_EQ(state().current_file, job);
    type_cell(t1(), 1, 1, "-12");
    button("SpeedButtonSave")->click();
    EXPECT_EQ(stored_temp_ext(job), -12.0);
}

}  // namespace
