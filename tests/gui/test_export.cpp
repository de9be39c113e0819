// Export and Export As through the real window.
#include <QDir>
#include <QGuiApplication>

#include "tests/gui/test_files_fixture.h"

namespace {

const char* const HEADING = "TEMPERATURE AND STEAM-PRESSURE DISTRIBUTION IN A PARTITION\r\n";

class ExportTest : public FileCommandsTest {
protected:
    // Export under the current name of a data file that need not exist.
    void export_beside(const QString& data_file) {
        document().set_current_file(data_file);
        button("SpeedButtonExport")->click();
    }
};

TEST_F(ExportTest, TheReportLiesBesideTheDataFileWithTheExtensionTxt) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("jobs.2000"));
    struct Case {
        const char* data_file;
        const char* report;
    };
    const Case cases[] = {
        {"WALL", "WALL.TXT"},
        {"wall.par", "wall.TXT"},
        {"job.v2.PAR", "job.v2.TXT"},
        {"jobs.2000/ROOF", "jobs.2000/ROOF.TXT"},  // a dot in the folder is no extension
    };
    ui.separator = ',';
    open_window();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data_file);
        export_beside(path(c.data_file));
        const QByteArray report = read_bytes(path(c.report));
        EXPECT_TRUE(report.startsWith(HEADING));
        // The fake clock's time and the user's decimal comma reach the file.
        EXPECT_TRUE(report.contains("\r\nTuesday 2024.03.05 14:07\r\n"));
        EXPECT_TRUE(
            report.contains("=    -5,0 \xb0"
                            "C\r\n"));
    }
    EXPECT_TRUE(ui.boxes.empty()) << ui.shown();
    EXPECT_FALSE(QFile::exists(path("WALL")));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(ExportTest, AnExistingReportIsReplacedOnlyAfterYes) {
    // The question names the path as it is, also letters Windows-1250 lacks.
    const QString folder = QStringLiteral("Łódź Дом 家");
    ASSERT_TRUE(QDir(dir.path()).mkdir(folder));
    const QString report = path(folder + "/WALL.TXT");
    write_bytes(report, "old report");
    open_window();
    ui.answers = {MsgAnswer::no};
    export_beside(path(folder + "/WALL"));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(
        ui.boxes[0].unicode.toStdString(),
        ("The file " + report + " already exists.\nDo you want to write it over?").toStdString());
    EXPECT_EQ(ui.boxes[0].caption, "Warning");
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::question);
    EXPECT_EQ(ui.boxes[0].buttons, MsgButtons::yes_no);
    EXPECT_EQ(read_bytes(report), "old report");

    ui.answers = {MsgAnswer::yes};
    button("SpeedButtonExport")->click();
    EXPECT_EQ(ui.boxes.size(), 2u) << ui.shown();
    EXPECT_TRUE(read_bytes(report).startsWith(HEADING));
}

TEST_F(ExportTest, ExportAsRemembersTheFolderAndNameWhateverTheResult) {
    open_window();
    ui.save_answers.push_back(std::nullopt);
    button("SpeedButtonExportAs")->click();
    ASSERT_EQ(ui.save_dialogs.size(), 1u);                    // its set-up: tests/document
    EXPECT_EQ(state().export_dir, document().data_folder());  // cancelled: nothing changes

    ui.save_answers.push_back(path("r1.TXT"));
    button("SpeedButtonExportAs")->click();
    EXPECT_TRUE(read_bytes(path("r1.TXT")).startsWith(HEADING));
    EXPECT_EQ(state().export_dir, dir.path() + "/");
    EXPECT_EQ(state().export_name, "r1.TXT");

    // A folder of that name cannot be replaced by a report.
    ASSERT_TRUE(QDir(dir.path()).mkpath("sub/taken.TXT"));
    ui.save_answers.push_back(path("sub/taken.TXT"));
    button("SpeedButtonExportAs")->click();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Cannot save results.");
    EXPECT_EQ(ui.boxes[0].caption, "ERROR");
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::error);
    EXPECT_TRUE(QFileInfo(path("sub/taken.TXT")).isDir());
    EXPECT_EQ(state().export_dir, dir.path() + "/sub/");
    EXPECT_EQ(state().export_name, "taken.TXT");

    button("SpeedButtonExportAs")->click();
    EXPECT_EQ(ui.save_dialogs.back().dir, dir.path() + "/sub/");
    EXPECT_EQ(ui.save_dialogs.back().name, "taken.TXT");
    // Export As leaves the data-file dialogs' proposals alone.
    EXPECT_EQ(state().save_dir, document().data_folder());
    EXPECT_EQ(state().save_name, "PARI");
}

TEST_F(ExportTest, InvalidInputStopsBothExportsBeforeAnythingIsWritten) {
    open_window();
    document().set_current_file(path("WALL"));
    t2()->set_cell(4, 1, "abc");
    button("SpeedButtonExport")->click();
    button("SpeedButtonExportAs")->click();
    ASSERT_EQ(ui.boxes.size(), 2u) << ui.shown();  // the cell's message each time, nothing more
    for (const FakeUi::Box& b : ui.boxes) EXPECT_NE(b.text, "Cannot save results.");
    EXPECT_TRUE(ui.save_dialogs.empty());
    EXPECT_FALSE(QFile::exists(path("WALL.TXT")));
}

TEST_F(ExportTest, AFailedWriteLeavesTheOldReport) {
    write_bytes(path("WALL.TXT"), "old report");
    open_window();
    bool cursor_during_box = true;
    ui.while_box_open = [&] { cursor_during_box = QGuiApplication::overrideCursor() != nullptr; };
    ui.answers = {MsgAnswer::yes, MsgAnswer::ok};
    {
        const FileSizeLimit full_disk(100);
        export_beside(path("WALL"));
    }
    ASSERT_EQ(ui.boxes.size(), 2u) << ui.shown();
    EXPECT_EQ(ui.boxes[1].text, "Cannot save results.");
    EXPECT_FALSE(cursor_during_box);
    EXPECT_EQ(read_bytes(path("WALL.TXT")), "old report");
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

}  // namespace
