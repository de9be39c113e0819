// Printing to a PDF file through the real window, with a scripted print
// dialog; the page is read back with the PDF tools of poppler.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <optional>

#include "core/numfmt.h"
#include "tests/gui/test_files_fixture.h"

namespace {

constexpr int DPI = 600;

// A word of the page as the PDF tools see it, in printer pixels.
struct Word {
    QString text;
    double left, top;
};

std::optional<QString> run_tool(const QString& tool, const QStringList& args) {
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0) return std::nullopt;
    return QString::fromUtf8(p.readAllStandardOutput());
}

std::vector<Word> words_of(const QString& pdf) {
    std::vector<Word> words;
    const std::optional<QString> xml = run_tool("pdftotext", {"-bbox", pdf, "-"});
    if (!xml) return words;
    static const QRegularExpression re(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="[\d.]+" yMax="[\d.]+">([^<]*)</word>)re");
    for (auto it = re.globalMatch(*xml); it.hasNext();) {
        const auto m = it.next();
        words.push_back({m.captured(3), m.captured(1).toDouble() * DPI / 72.0,
                         m.captured(2).toDouble() * DPI / 72.0});
    }
    return words;
}

const Word* find_word(const std::vector<Word>& words, const QString& text) {
    for (const Word& w : words)
        if (w.text == text) return &w;
    return nullptr;
}

// What the user picks in the print dialog.
void pick_pdf(QPrinter& p, const QString& file, QPageLayout::Orientation o) {
    p.setOutputFormat(QPrinter::PdfFormat);
    p.setResolution(DPI);
    p.setPageSize(QPageSize(QPageSize::A4));
    p.setPageOrientation(o);
    p.setOutputFileName(file);
}

// The texts the status bar shows while it paints.
class StatusWatch : public QObject {
public:
    explicit StatusWatch(QLabel* label) : label_(label) { label->installEventFilter(this); }
    std::vector<QString> painted;
    bool waiting = false;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint && label_->isVisible()) {
            painted.push_back(label_->text());
            const QCursor* c = QGuiApplication::overrideCursor();
            waiting = c && c->shape() == Qt::WaitCursor;
        }
        return false;
    }

private:
    QLabel* label_;
};

class PrintTest : public FileCommandsTest {
protected:
    void SetUp() override {
        FileCommandsTest::SetUp();
        if (!run_tool("pdftotext", {"-v"})) GTEST_SKIP() << "poppler-utils missing";
    }

    void print_to(const QString& file, QPageLayout::Orientation o = QPageLayout::Portrait) {
        ui.print_answer = true;
        ui.configure_printer = [file, o](QPrinter& p) { pick_pdf(p, file, o); };
        button("SpeedButtonPrint")->click();
    }

    // The printable area of that page, in printer pixels.
    static QRect printable(QPageLayout::Orientation o = QPageLayout::Portrait) {
        QPrinter p(QPrinter::HighResolution);
        pick_pdf(p, "unused.pdf", o);
        return p.pageLayout().paintRectPixels(DPI);
    }

    // Left when nothing is wrong: the window as it was before printing.
    void expect_idle() {
        EXPECT_TRUE(button("SpeedButtonPrint")->isEnabled());
        EXPECT_TRUE(state().graph_on_screen);
        EXPECT_FALSE(status_bar()->isVisible());
        EXPECT_TRUE(status_text()->text().isEmpty());
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    }
};

TEST_F(PrintTest, ReportAndGraphStandWhereThePageSays) {
    open_window();
    const QString pdf = path("page.pdf");
    print_to(pdf);
    EXPECT_TRUE(ui.boxes.empty()) << ui.shown();
    EXPECT_EQ(ui.print_dialogs, 1);
    expect_idle();
    EXPECT_TRUE(
        run_tool("pdfinfo", {pdf}).value_or("").contains(QRegularExpression("Pages: +1\n")));
    EXPECT_TRUE(run_tool("pdffonts", {pdf}).value_or("").contains("LiberationMono"));

    const QRect area = printable();
    const std::vector<Word> words = words_of(pdf);
    const Word* heading = find_word(words, "TEMPERATURE");
    const Word* dashes = find_word(words, QString(58, QLatin1Char('-')));
    const Word* data = find_word(words, "Data:");
    ASSERT_TRUE(heading && dashes && data);
    EXPECT_NEAR(heading->left - area.left(), 375, 0.01);
    EXPECT_NEAR(data->left - area.left(), 375, 0.01);
    // The top of a line is where its font's ascent puts it: within a pixel.
    EXPECT_NEAR(heading->top - area.top(), 258, 1.0);
    EXPECT_NEAR(dashes->top - heading->top, 86, 0.01);
    EXPECT_NEAR(data->top - heading->top, 4 * 86, 0.01);  // no title: date, empty, Data:

    // The graph's texts keep to its area; the saturation legend stands at
    // its left margin, 0.28 of the graph's height down.
    const int x0 = int(0.08 * area.width()), y0 = int(0.7 * area.height());
    const int w = int(0.8 * area.width()), h = int(0.28 * area.height());
    const Word* legend = find_word(words, "saturat.-steam");
    ASSERT_NE(legend, nullptr);
    EXPECT_NEAR(legend->left - area.left(), x0 + int(0.005 * w), 0.01);
    EXPECT_NEAR(legend->top - area.top(), y0 + int(0.28 * h), 1.0);
    const Word* last_row = find_word(words, "+17.48");  // plane 5, the report's last line
    ASSERT_NE(last_row, nullptr);
    for (const Word& word : words) {
        if (word.top <= last_row->top) continue;
        EXPECT_GE(word.top - area.top(), y0) << word.text.toStdString();
        EXPECT_GE(word.left - area.left(), x0) << word.text.toStdString();
        EXPECT_LT(word.left - area.left(), x0 + w) << word.text.toStdString();
    }
}

// The lengths of the runs of dark and of light pixels along one row.
struct Runs {
    std::vector<int> dark, light;
};

Runs runs_of(const QImage& img, int y, int from, int to) {
    Runs r;
    int length = 0;
    bool was_dark = false;
    for (int x = from; x <= to + 1; ++x) {
        const bool dark = x <= to && qGray(img.pixel(x, y)) < 128;
        if (x > from && (dark != was_dark || x > to)) {
            (was_dark ? r.dark : r.light).push_back(length);
            length = 0;
        }
        was_dark = dark;
        ++length;
    }
    return r;
}

int count_between(const std::vector<int>& v, int lo, int hi) {
    return int(std::count_if(v.begin(), v.end(), [&](int n) { return n >= lo && n <= hi; }));
}

TEST_F(PrintTest, PensOnPaperHaveTheScreensWeight) {
    open_window();
    const QString pdf = path("pens.pdf");
    print_to(pdf);
    ASSERT_TRUE(ui.boxes.empty()) << ui.shown();

    // A 600 dpi pixel is a hairline: a screen pixel is 600 / 96 = 6.25 of
    // them, so the pens are 6 wide and the dash-dot line's dashes, dots and
    // gaps 24, 6 and 12 long.
    const QRect area = printable();
    const int x0 = int(0.08 * area.width()), y0 = int(0.7 * area.height());
    const int w = int(0.8 * area.width()), h = int(0.28 * area.height());
    const int face = area.left() + x0 + int(std::lround(0.26 * w));
    const int inner = area.left() + x0 + w - int(std::lround(0.26 * w));
    const int top = area.top() + y0 + int(0.18 * h);
    const int left = face - 40, upper = top - 40;
    const QString png = path("pens");
    ASSERT_TRUE(run_tool("pdftoppm", {"-r", QString::number(DPI), "-aa", "no", "-aaVector", "no",
                                      "-x", QString::number(left), "-y", QString::number(upper),
                                      "-W", QString::number(inner - left + 40), "-H", "200", "-png",
                                      "-singlefile", pdf, png}));
    const QImage img(png + ".png");
    ASSERT_FALSE(img.isNull());

    const Runs across_face = runs_of(img, 140, 0, 80);  // 100 px below the top edge
    ASSERT_EQ(across_face.dark.size(), 1u);
    EXPECT_NEAR(across_face.dark[0], 6, 1);

    const Runs edge = runs_of(img, top - upper, 40 + 10, inner - left - 10);
    EXPECT_GE(count_between(edge.dark, 22, 26), 20);
    EXPECT_GE(count_between(edge.dark, 5, 7), 20);  // the dots
    EXPECT_GE(count_between(edge.light, 10, 14), 40);
}

TEST_F(PrintTest, TheStatusBarSaysPrintingInTheCurrentLanguageMeanwhile) {
    open_window();
    StatusWatch watch(status_text());
    print_to(path("en.pdf"));
    ASSERT_FALSE(watch.painted.empty());
    EXPECT_EQ(watch.painted.back(), "Printing...");
    EXPECT_TRUE(watch.waiting);

    set_language(LANG_POLISH);
    watch.painted.clear();
    print_to(path("pl.pdf"));
    ASSERT_FALSE(watch.painted.empty());
    EXPECT_EQ(watch.painted.back(), "Drukowanie...");
    expect_idle();
    EXPECT_TRUE(ui.boxes.empty()) << ui.shown();
}

TEST_F(PrintTest, LandscapeAsksFirst) {
    open_window();
    ui.answers = {MsgAnswer::no};
    print_to(path("no.pdf"), QPageLayout::Landscape);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text,
              "The printout may look not as expected,\nbecause the portrait orientation has "
              "not been set.\n\nDo you want to continue, even then?");
    EXPECT_EQ(ui.boxes[0].caption, "Warning");
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::question);
    EXPECT_EQ(ui.boxes[0].buttons, MsgButtons::yes_no);
    EXPECT_FALSE(QFile::exists(path("no.pdf")));
    expect_idle();

    ui.answers = {MsgAnswer::yes};
    print_to(path("wide.pdf"), QPageLayout::Landscape);
    EXPECT_EQ(ui.boxes.size(), 2u) << ui.shown();
    EXPECT_TRUE(run_tool("pdfinfo", {path("wide.pdf")}).value_or("").contains("842 x 595"));
    const QRect area = printable(QPageLayout::Landscape);
    const std::vector<Word> words = words_of(path("wide.pdf"));
    const Word* legend = find_word(words, "saturat.-steam");
    ASSERT_NE(legend, nullptr);
    EXPECT_NEAR(legend->left - area.left(),
                int(0.08 * area.width()) + int(0.005 * int(0.8 * area.width())), 0.01);
}

TEST_F(PrintTest, AFailedJobLeavesTheBusyStateThenSaysSo) {
    open_window();
    bool busy_during_box = true;
    ui.while_box_open = [&] {
        busy_during_box = status_bar()->isVisible() || !state().graph_on_screen ||
                          QGuiApplication::overrideCursor() != nullptr;
    };
    print_to(path("missing/page.pdf"));  // the job cannot start
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Printing has failed.");
    EXPECT_EQ(ui.boxes[0].caption, "Warning");
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::warning);
    EXPECT_FALSE(busy_during_box);
    expect_idle();

    // The paint box draws the graph again.
    const QImage shot = graph()->grab().toImage();
    int dark = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) dark += qGray(shot.pixel(x, y)) < 100;
    EXPECT_GT(dark, 500);
}

TEST_F(PrintTest, NothingIsPrintedForInvalidInputOrACancelledDialog) {
    open_window();
    t2()->set_cell(4, 1, "abc");
    print_to(path("bad.pdf"));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_NE(ui.boxes[0].text.find("is invalid"), std::string::npos) << ui.shown();
    EXPECT_EQ(ui.print_dialogs, 0);

    t2()->set_cell(4, 1, "0.015");
    ui.print_answer = false;
    button("SpeedButtonPrint")->click();
    EXPECT_EQ(ui.print_dialogs, 1);
    EXPECT_EQ(ui.boxes.size(), 1u) << ui.shown();
    EXPECT_FALSE(QFile::exists(path("bad.pdf")));
    expect_idle();
}

// Eleven layers, curved, dampness mode, a title: a report of 55 lines that
// runs into the graph's area and is neither shortened nor moved. The PDFs
// stay in the build folder for looking at.
TEST_F(PrintTest, ALongReportKeepsItsLines) {
    const char* const descriptions[MAX_LAYERS] = {"tynk cementowo-wapienny",
                                                  "mur z ceg\xb3y pe\xb3nej",
                                                  "styropian",
                                                  "pustka powietrzna",
                                                  "beton kom\xf3rkowy",
                                                  "folia",
                                                  "we\xb3na mineralna",
                                                  "p\xb3yta OSB",
                                                  "papa",
                                                  "drewno sosnowe",
                                                  "tynk gipsowy"};
    doc.layer_count = MAX_LAYERS;
    doc.calc_mode = 1;
    doc.wall_type = 1;
    doc.radius = 4.0;
    doc.hum_int = 70;
    set_title(doc,
              "\x8c"
              "ciana zewn\xeatrzna \xb3ukowa, budynek B");
    for (int i = 0; i < MAX_LAYERS; ++i) {
        doc.layers[i] = doc.layers[0];
        set_layer_description(doc, descriptions[i], i);
        doc.layers[i].thickness = 0.01 + 0.01 * (i % 4);
        doc.layers[i].lambda = i % 3 == 2 ? 0.04 : 0.8;
        doc.layers[i].delta = i == 5 ? 0.0001 : 0.02;
    }
    ASSERT_TRUE(calculate_partition(doc));
    const QString out = QString(PARIETA_BUILD_DIR) + "/print-pdf";
    QDir().mkpath(out);
    const QRect area = printable();
    for (const int language : {LANG_ENGLISH, LANG_POLISH}) {
        SCOPED_TRACE(language);
        open_window();
        set_language(language);
        const QString pdf = out + (language == LANG_ENGLISH ? "/eleven_en.pdf" : "/eleven_pl.pdf");
        print_to(pdf);
        EXPECT_TRUE(ui.boxes.empty()) << ui.shown();
        const std::vector<Word> words = words_of(pdf);
        const QString internal_surface =
            QString::fromStdString(format_number("+0.00;-0.00", doc.temp[MAX_LAYERS], '.'));
        const Word* last = find_word(words, internal_surface);
        ASSERT_NE(last, nullptr) << internal_surface.toStdString();
        EXPECT_NEAR(last->top - area.top(), 57 * 86, 1.0);
        EXPECT_GT(last->top - area.top(), 0.7 * area.height());
        EXPECT_TRUE(
            run_tool("pdfinfo", {pdf}).value_or("").contains(QRegularExpression("Pages: +1\n")));
    }
}

}  // namespace
