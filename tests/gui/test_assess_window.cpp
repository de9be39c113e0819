// The assessment window on the real main window: opening it, the climate
// grid's edits, paste and undo, the verdicts and table in both languages,
// the reports, and project files through Save As and Open.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QTableView>
#include <QTemporaryDir>
#include <QAction>
#include <QPushButton>

#include "document/assessment_document.h"
#include "document/grid_columns.h"
#include "gui/assess_window.h"
#include "output/assessment_report.h"
#include "storage/datafile.h"
#include "storage/project_file.h"
#include "tests/gui/test_mainwin_fixture.h"
#include "tests/support/walls.h"

namespace {

class AssessWindowTest : public MainWindowTest {
protected:
    // The main window on `wall`, then the assessment window by its key.
    void open_on(TestWall wall) {
        doc = test_wall(wall);
        open_window();
        ASSERT_EQ(form->assessment_window(), nullptr);
        ASSERT_FALSE(document().has_assessment()) << "made before it was needed";
        QTest::keyClick(form.get(), Qt::Key_F9);
        assess = form->assessment_window();
        ASSERT_NE(assess, nullptr);
        ASSERT_TRUE(assess->isVisible());
        adoc().set_climate(test_climate());
        adoc().set_kind(PartitionKind::ExternalWall);
        QApplication::processEvents();
    }
    AssessmentDocument& adoc() { return assess->assessment(); }
    // A layer cell of the main window typed and taken, as Enter would.
    void set_layer_cell(int col, const char* text) {
        document().layers().set_text(col, 1, text);
        document().refresh_results();
        QApplication::processEvents();
    }
    QString verdict(int i) const {
        return assess->findChild<QLabel*>(QStringLiteral("verdict_%1").arg(i))->text();
    }
    QTableView* table(const char* name) const { return assess->findChild<QTableView*>(name); }
    QString cell(const char* name, int row, int col) const {
        QAbstractItemModel* m = table(name)->model();
        return m->data(m->index(row, col)).toString();
    }
    QString last_box() const { return ui.boxes.empty() ? QString() : ui.boxes.back().unicode; }
    // A button or an action of the window, by its name, as the user reaches it.
    void press(const char* name) {
        auto* button = assess->findChild<QPushButton*>(name);
        ASSERT_NE(button, nullptr) << name;
        button->click();
    }
    void act(const char* name) {
        auto* action = assess->findChild<QAction*>(name);
        ASSERT_NE(action, nullptr) << name;
        action->trigger();
    }
    void paste(const QString& text) {
        QApplication::clipboard()->setText(text);
        table("climate")->setFocus();
        QTest::keyClick(table("climate"), Qt::Key_V, Qt::ControlModifier);
    }
    std::string path(const char* name) const { return dir.filePath(name).toStdString(); }

    QTemporaryDir dir;
    TForm_Assess* assess = nullptr;
};

struct WindowCase {
    TestWall wall;
    int language;
    const char* interstitial;
    const char* u;
    const char* march_m_a;  // the results table's M_a of March
};

}  // namespace

TEST_F(AssessWindowTest, ThreeWallsInBothLanguagesFollowingTheSwitch) {
    const WindowCase cases[] = {
        {TestWall::dries, LANG_ENGLISH, "Condensate evaporates by May; max 545.0 g/m² in March.",
         "U = 0.839 W/(m²·K) > Umax = 0.20 for an external wall.", "545.01"},
        {TestWall::dries, LANG_POLISH, "Kondensat odparowuje do maja; maks. 545,0 g/m² w marcu.",
         "U = 0,839 W/(m²·K) > Umax = 0,20 dla: ściana zewnętrzna.", "545,01"},
        {TestWall::accumulates, LANG_ENGLISH,
         "Condensate accumulates: 340.9 g/m² remain after twelve months; max 1844.7 g/m² in "
         "April.",
         "U = 0.839 W/(m²·K) > Umax = 0.20 for an external wall.", "1743.89"},
        {TestWall::curved, LANG_POLISH, "Kondensat odparowuje do maja; maks. 369,2 g/m² w lutym.",
         "U = 0,680 W/(m²·K) > Umax = 0,20 dla: ściana zewnętrzna.", "335,57"},
    };
    for (const WindowCase& c : cases) {
        SCOPED_TRACE(c.interstitial);
        // As under a Polish and an English locale.
        ui.separator = c.language == LANG_POLISH ? ',' : '.';
        open_on(c.wall);
        document().switch_language(c.language);
        QApplication::processEvents();
        EXPECT_EQ(verdict(0), QString::fromUtf8(c.interstitial));
        EXPECT_EQ(verdict(2), QString::fromUtf8(c.u));
        // Column 6 is M_a (the month is the row's header).
        EXPECT_EQ(cell("results", 2, 6), QString::fromUtf8(c.march_m_a));
        // The diagram shows the month of M_a,max unless one is chosen.
        const int max_month = adoc().assessment().m_a_max_month - 1;
        EXPECT_EQ(adoc().month(), max_month);
        EXPECT_EQ(assess->findChild<QComboBox*>("month")->currentIndex(), max_month);
        const QString title = c.language == LANG_POLISH ? "Ocena całoroczna" : "Year-round assessment";
        EXPECT_EQ(assess->windowTitle(), title);
        EXPECT_EQ(button("SpeedButtonAssess")->toolTip(), title + " (F9)");
        EXPECT_EQ(table("climate")->accessibleName(),
                  c.language == LANG_POLISH ? "Tabela klimatu" : "Climate grid");
        TearDown();
    }
}

TEST_F(AssessWindowTest, EditsOfThePartitionAndTheMonthReachTheWindow) {
    open_on(TestWall::dries);
    // A more open outer layer in the main window: no condensation at all.
    set_layer_cell(LAYER_DELTA, "0.05");
    EXPECT_EQ(verdict(0), "No interstitial condensation in any month.");
    // Invalid data in the main window: a reason, not old results.
    set_layer_cell(LAYER_THICKNESS, "-1");
    EXPECT_FALSE(adoc().valid());
    EXPECT_TRUE(assess->findChild<QLabel*>("problem")->isVisibleTo(assess));
    EXPECT_EQ(assess->findChild<QLabel*>("problem")->text(),
              "No results: the partition's data in the main window are not valid.");

    // A click on a row chooses the diagram's month.
    set_layer_cell(LAYER_THICKNESS, "0.015");
    ASSERT_TRUE(adoc().valid());
    QTableView* results = table("results");
    QTest::mouseClick(results->viewport(), Qt::LeftButton, {},
                      results->visualRect(results->model()->index(6, 0)).center());
    EXPECT_EQ(adoc().month(), 6);
    EXPECT_EQ(assess->findChild<QComboBox*>("month")->currentIndex(), 6);
    // So does a click on a bar: December's is the last, at the right edge.
    QWidget* charts = assess->findChild<QWidget*>("charts");
    charts->repaint();
    QTest::mouseClick(charts, Qt::LeftButton, {}, QPoint(charts->width() - 12, charts->height() / 2));
    EXPECT_EQ(adoc().month(), 11);
    QTest::mouseClick(charts, Qt::LeftButton, {}, QPoint(5, charts->height() / 2));
    EXPECT_EQ(adoc().month(), 11) << "the diagram is not a bar";
}

TEST_F(AssessWindowTest, CellEditsAreCheckedWithTheLocalesSeparatorAndUndone) {
    ui.separator = ',';
    open_on(TestWall::dries);
    QAbstractItemModel* m = table("climate")->model();
    const QModelIndex jan_theta_e = m->index(0, CLIMATE_THETA_E);
    EXPECT_EQ(m->data(jan_theta_e).toString(), "-8,0");
    // The results speak with the cells' separator, not the language's.
    EXPECT_EQ(cell("results", 2, 6), "545,01");
    EXPECT_EQ(verdict(2), QString::fromUtf8("U = 0,839 W/(m²·K) > Umax = 0,20 for an external wall."));

    struct Edit {
        const char* text;
        bool taken;
        const char* message;  // part of it
    } edits[] = {
        {"-3,5", true, nullptr},
        {"-3.5", false, "is not a number"},
        {"abc", false, "is not a number"},
        {"-70", false, "between −50 and 60"},
    };
    for (const Edit& e : edits) {
        SCOPED_TRACE(e.text);
        ui.boxes.clear();
        EXPECT_EQ(m->setData(jan_theta_e, QString(e.text)), e.taken);
        EXPECT_EQ(adoc().climate().months[0].theta_e, -3.5);
        if (e.message) EXPECT_TRUE(last_box().contains(QString::fromUtf8(e.message))) << ui.shown();
    }
    QTest::keyClick(table("climate"), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(adoc().climate().months[0].theta_e, -8.0);
    QTest::keyClick(table("climate"), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(adoc().climate().months[0].theta_e, -3.5);

    // Typed, either mark is the comma: the keypad sends ".".
    QTableView* grid = table("climate");
    grid->setCurrentIndex(m->index(1, CLIMATE_THETA_E));
    grid->edit(grid->currentIndex());
    auto* editor = grid->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "-1");
    QTest::keyClick(editor, Qt::Key_Period, Qt::KeypadModifier);
    QTest::keyClicks(editor, "5");
    EXPECT_EQ(editor->text(), "-1,5");
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();  // the delegate commits on a queued call
    EXPECT_EQ(adoc().climate().months[1].theta_e, -1.5);
    act("action_undo");

    // A humidity class for the year: φi then shows what the class gives and takes no typing.
    assess->findChild<QComboBox*>("humidity")->setCurrentIndex(3);
    EXPECT_EQ(adoc().climate().humidity_class, 3);
    EXPECT_FALSE(m->flags(m->index(0, CLIMATE_PHI_I)) & Qt::ItemIsEditable);
    act("action_undo");
    EXPECT_EQ(adoc().climate().humidity_class, 0);
    EXPECT_EQ(assess->findChild<QComboBox*>("humidity")->currentIndex(), 0);
}

TEST_F(AssessWindowTest, PasteOfTwelveRowsAllOrNothing) {
    open_on(TestWall::dries);
    QString good;
    for (int m = 0; m < 12; ++m) good += QStringLiteral("%1\t80\t21\t50\r\n").arg(m - 5);
    paste(good);
    EXPECT_TRUE(ui.boxes.empty()) << ui.shown();
    EXPECT_EQ(adoc().climate().months[11].theta_e, 6.0);
    EXPECT_EQ(adoc().climate().months[0].phi_i, 50.0);
    EXPECT_EQ(document().history().count(), 1);

    const Climate before = adoc().climate();
    struct Bad {
        QString text;
        const char* message;
    } bad[] = {
        {good.section('\n', 0, 10), "the clipboard holds 11"},
        {QString(good).replace("21\t50", "21"), "Row 1 holds 3 values; 4 expected."},
        {QString(good).replace(QStringLiteral("6\t80"), QStringLiteral("6\tx80")),
         "Row 12, column 2: “x80” is not a number."},
        {QString(good).replace(QStringLiteral("-5\t80"), QStringLiteral("-5\t180")),
         "January: The relative humidity"},
    };
    for (const Bad& b : bad) {
        ui.boxes.clear();
        paste(b.text);
        EXPECT_TRUE(last_box().contains(QString::fromUtf8(b.message))) << ui.shown();
        EXPECT_EQ(adoc().climate().months[11].theta_e, before.months[11].theta_e);
    }
    EXPECT_EQ(document().history().count(), 1);
}

TEST_F(AssessWindowTest, ProjectRoundTripThroughSaveAsAndOpen) {
    open_on(TestWall::curved);
    adoc().set_kind(PartitionKind::Roof);
    Climate climate = test_climate();
    climate.months[6].phi_i = 61.5;
    adoc().set_climate(climate);

    const QString file = dir.filePath("wall");
    ui.save_answers.push_back(file + ".PAR");  // the dialog added the data file's extension
    ui.while_dialog_open = [](FileDialog& d) { d.filter_index = 2; };
    document().save_as();
    ui.while_dialog_open = nullptr;
    const QString saved = file + ".parieta.json";
    ASSERT_TRUE(looks_like_project_file(saved.toUtf8().constData())) << ui.shown();
    EXPECT_EQ(state().current_file, saved);
    EXPECT_TRUE(state().current_is_project);

    // Save keeps the kind it was saved as.
    set_layer_cell(LAYER_THICKNESS, "0.02");
    document().save();
    Project read;
    std::string error;
    ASSERT_EQ(read_project(saved.toUtf8().constData(), read, error), READ_DONE) << error;
    EXPECT_EQ(read.partition.layers[0].thickness, 0.02);
    EXPECT_EQ(read.climate.months[6].phi_i, 61.5);
    EXPECT_EQ(read.settings.kind, PartitionKind::Roof);
    EXPECT_EQ(read.partition.wall_type, 1);

    // Changed, then opened back: the partition, the climate and the kind return.
    adoc().set_climate(test_climate());
    adoc().set_kind(PartitionKind::None);
    set_layer_cell(LAYER_THICKNESS, "0.03");
    ui.answers.push_back(MsgAnswer::no);  // drop the changes
    ui.open_answers.push_back(saved);
    document().open();
    EXPECT_EQ(document().record().layers[0].thickness, 0.02);
    EXPECT_EQ(adoc().climate().months[6].phi_i, 61.5);
    EXPECT_EQ(adoc().settings().kind, PartitionKind::Roof);
    EXPECT_EQ(assess->findChild<QComboBox*>("kind")->currentIndex(), 2);
    EXPECT_EQ(t2()->cell(LAYER_THICKNESS, 1), "0.02");

    // A data file is still written as one by Save As with its own filter,
    // once the user says the climate and kind may be left out.
    // Save As on a project offers the project's type first: the user picks the other.
    ui.save_answers.push_back(dir.filePath("plain.PAR"));
    ui.answers.push_back(MsgAnswer::no);
    ui.while_dialog_open = [](FileDialog& d) {
        EXPECT_EQ(d.filter_index, 2);
        d.filter_index = 1;
    };
    document().save_as();
    ui.while_dialog_open = nullptr;
    EXPECT_FALSE(state().current_is_project);
    EXPECT_FALSE(looks_like_project_file(dir.filePath("plain.PAR").toUtf8().constData()));
    Partition back;
    EXPECT_EQ(read_data_file(back, dir.filePath("plain.PAR").toUtf8().constData()), READ_DONE);

    // Named on the command line or dropped, a project opens by its content, whatever its name.
    const QString renamed = dir.filePath("renamed.txt");
    ASSERT_TRUE(QFile::copy(saved, renamed));
    adoc().set_kind(PartitionKind::None);
    document().open_given_file(renamed);
    EXPECT_TRUE(state().current_is_project);
    EXPECT_EQ(adoc().settings().kind, PartitionKind::Roof);
}

TEST_F(AssessWindowTest, ClimateFileSavedAndOpenedBackAsOneUndoStep) {
    open_on(TestWall::dries);
    for (int humidity_class : {0, 4}) {
        Climate saved = test_climate();
        saved.months[3].theta_e = 6.125;
        saved.humidity_class = humidity_class;
        adoc().set_climate(saved);
        const QString file = dir.filePath(humidity_class ? "class.csv" : "phi.csv");
        ui.save_answers.push_back(file);
        press("save_climate");
        adoc().set_climate(test_climate());
        ui.open_answers.push_back(file);
        press("open_climate");
        EXPECT_TRUE(ui.boxes.empty()) << ui.shown();
        EXPECT_EQ(adoc().climate().months[3].theta_e, 6.125);
        EXPECT_EQ(adoc().climate().humidity_class, humidity_class);
        act("action_undo");
        EXPECT_EQ(adoc().climate().months[3].theta_e, 6.0);
    }
    // A file that is not a climate: the reader's message, the climate kept.
    QFile bad(dir.filePath("bad.csv"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("month,theta_e\n");
    bad.close();
    ui.open_answers.push_back(bad.fileName());
    press("open_climate");
    EXPECT_TRUE(last_box().contains("bad.csv:1")) << ui.shown();
    EXPECT_EQ(adoc().climate().months[3].theta_e, 6.0);
}

TEST_F(AssessWindowTest, ReportsAsTextPdfAndPrint) {
    open_on(TestWall::accumulates);
    const QString text = dir.filePath("a.txt");
    ui.save_answers.push_back(text);
    press("export_text");
    QFile t(text);
    ASSERT_TRUE(t.open(QIODevice::ReadOnly));
    EXPECT_EQ(t.readAll().toStdString(), adoc().report_text());
    EXPECT_NE(adoc().report_text().find("Verdict: condensate remains after twelve months"),
              std::string::npos);

    const QString pdf = dir.filePath("a.pdf");
    ui.save_answers.push_back(pdf);
    press("export_pdf");
    QFile p(pdf);
    ASSERT_TRUE(p.open(QIODevice::ReadOnly));
    const QByteArray bytes = p.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF-"));
    EXPECT_TRUE(bytes.trimmed().endsWith("%%EOF")) << "written whole";
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page "), 1) << "one page on A4";

    const QString printed = dir.filePath("p.pdf");
    ui.print_answer = true;
    ui.configure_printer = [printed](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::A5));
        printer.setPageOrientation(QPageLayout::Landscape);
        printer.setOutputFileName(printed);
    };
    ui.boxes.clear();
    press("print");
    EXPECT_TRUE(ui.boxes.empty()) << ui.shown();
    QFile q(printed);
    ASSERT_TRUE(q.open(QIODevice::ReadOnly));
    EXPECT_TRUE(q.readAll().trimmed().endsWith("%%EOF"));
}
