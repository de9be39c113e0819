// Data files handed over by the desktop: files dropped on the main window,
// and a given name that is not UTF-8.
#include <sys/stat.h>

#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "paths/arguments.h"
#include "storage/datafile.h"
#include "paths/paths.h"
#include "tests/gui/shown_title.h"
#include "tests/gui/test_files_fixture.h"

namespace {

const char* const UNSAVED = "Current data have not been saved to disk.\nDo you want to save it?";

class GivenFileTest : public FileCommandsTest {
protected:
    // A data file holding this external temperature and title.
    QString data_file(const QString& name, double temp_ext, const char* title) {
        Partition p;
        p.temp_ext = temp_ext;
        set_title(p, title);
        const QString file = path(name);
        EXPECT_EQ(write_data_file(p, QFile::encodeName(file).constData()), 0);
        return file;
    }

    // Drags `file` over `target` and, when accepted, drops it there; then lets
    // the queued open run. Whether the drag was accepted.
    bool drop(QWidget* target, const QString& file,
              Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction) {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(file)});
        mime.setText(file);  // as file managers offer it too
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, actions, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted()) return false;
        EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
        QDropEvent dropped(QPointF(at), actions, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &dropped);
        EXPECT_TRUE(dropped.isAccepted());
        QApplication::processEvents();
        return true;
    }

    bool opened(const QString& file) const {
        return shown_title(*form).endsWith(" + " + file) && state().current_file == file;
    }
};

TEST_F(GivenFileTest, ADroppedDataFileOpensWhereverItLands) {
    open_window();
    struct Case {
        QWidget* target;
        const char* file;
        double temp_ext;
        const char* title;
    };
    const Case cases[] = {
        {form.get(), "WALL.par", -18.5, "North wall"},
        {graph(), "roof.PAR", -20, "Roof"},
        {edit_title(), "floor.Par", -16, "Floor"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const QString file = data_file(c.file, c.temp_ext, c.title);
        ASSERT_TRUE(drop(c.target, file));
        EXPECT_TRUE(opened(file));
        EXPECT_EQ(doc.temp_ext, c.temp_ext);
        // The edit shows the file's title, not the dropped path as text.
        EXPECT_EQ(edit_title()->text(), c.title);
        EXPECT_EQ(state().open_dir, dir.path() + "/");
        EXPECT_EQ(state().open_name, c.file);
    }
    // A cell being edited gives way to the file too.
    click_cell(t2(), 3, 1);
    ASSERT_NE(t2()->editor(), nullptr);
    const QString wall = data_file("wall2.PAR", -22, "Wall");
    ASSERT_TRUE(drop(t2()->editor(), wall));
    EXPECT_TRUE(opened(wall));
    EXPECT_TRUE(ui.boxes.empty()) << ui.shown();
}

TEST_F(GivenFileTest, AModifiedDocumentAsksFirst) {
    open_window();
    const QString wall = data_file("WALL.PAR", -18.5, "North wall");
    type_cell(t1(), 1, 1, "-7");
    ASSERT_EQ(doc.modified, 1);

    ui.answers = {MsgAnswer::cancel};
    ASSERT_TRUE(drop(form.get(), wall));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, UNSAVED);
    EXPECT_FALSE(opened(wall));
    EXPECT_EQ(doc.temp_ext, -7);

    ui.answers = {MsgAnswer::no};
    ASSERT_TRUE(drop(form.get(), wall));
    EXPECT_EQ(ui.boxes.size(), 2u);
    EXPECT_TRUE(opened(wall));
    EXPECT_EQ(doc.temp_ext, -18.5);
}

TEST_F(GivenFileTest, AFileThatCannotBeReadIsRefusedWithOpensMessages) {
    open_window();
    const QString good = data_file("good.PAR", -18.5, "Good");
    ASSERT_TRUE(drop(form.get(), good));
    write_bytes(path("broken.PAR"), QByteArray("QDAT\x01\x00\x00\x00garbage", 15));
    struct Case {
        QString file;
        const char* message;
    };
    const Case cases[] = {
        {path("broken.PAR"), "Data file is invalid."},
        {path("missing.PAR"), "Cannot open data file."},
    };
    for (const Case& c : cases) {
        ui.boxes.clear();
        document().open_given_file(c.file);
        ASSERT_EQ(ui.boxes.size(), 1u) << c.message;
        EXPECT_EQ(ui.boxes[0].text, c.message);
        EXPECT_EQ(ui.boxes[0].caption, "ERROR");
        EXPECT_TRUE(opened(good));
        EXPECT_EQ(doc.temp_ext, -18.5);
    }
}

TEST_F(GivenFileTest, DragsThatAreNoLocalFileOrOnlyMoveArePassedOver) {
    open_window();
    const QString wall = data_file("WALL.PAR", -18.5, "North wall");
    EXPECT_FALSE(drop(form.get(), wall, Qt::MoveAction));  // the source would delete it
    EXPECT_FALSE(drop(form.get(), dir.path()));            // a folder
    QMimeData text;
    text.setText("plain words");
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &enter);
    EXPECT_FALSE(enter.isAccepted());
    EXPECT_TRUE(state().current_file.isEmpty());
    EXPECT_TRUE(ui.boxes.empty()) << ui.shown();
}

// A name in Windows-1250 from an older desktop, given as the argument: it
// opens, and Save and Export write beside it under its own bytes. The title's
// control bytes show as "?" and stay in the file.
TEST_F(GivenFileTest, ANameThatIsNotUtf8OpensSavesAndExportsUnderItsBytes) {
    const QByteArray folder = QFile::encodeName(dir.path());
    const QByteArray raw = folder + "/\214ciana.PAR";
    Partition p;
    p.temp_ext = -18;
    copy_bounded(p.title, "North\x1b[2J wall\x07", TITLE_SIZE);
    ASSERT_EQ(write_data_file(p, raw.constData()), 0);

    const QString given = data_file_argument({"parieta", path_from_bytes(raw)});
    ASSERT_EQ(path_to_bytes(given), raw);
    open_window();
    document().open_given_file(given);
    EXPECT_TRUE(ui.boxes.empty()) << ui.shown();
    EXPECT_EQ(doc.temp_ext, -18);
    EXPECT_EQ(edit_title()->text(), "North?[2J wall?");
    EXPECT_TRUE(shown_title(*form).endsWith(shown_path(given)));

    type_cell(t1(), 1, 1, "-7");
    button("SpeedButtonSave")->click();
    button("SpeedButtonExport")->click();
    EXPECT_TRUE(ui.boxes.empty()) << ui.shown();
    Partition back;
    ASSERT_EQ(read_data_file(back, raw.constData()), 0);
    EXPECT_EQ(back.temp_ext, -7);
    EXPECT_STREQ(back.title, "North\x1b[2J wall\x07") << "the file keeps the title's bytes";
    struct stat st;
    EXPECT_EQ(::stat((folder + "/\214ciana.TXT").constData(), &st), 0);
    EXPECT_NE(::stat((folder + "/\357\277\275ciana.PAR").constData(), &st), 0);
}

}  // namespace
