// The help and materials window: geometry, modes, copy into the layers grid,
// search, and reloading after a language switch.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFont>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QStringDecoder>
#include <QTest>
#include <QTextCursor>
#include <optional>
#include <string>
#include <vector>

#include "gui/Quil_hlp.h"
#include "gui/find_dialog.h"
#include "lang/catalogue.h"
#include "qt/text_1250.h"
#include "tests/gui/test_text_mouse.h"
#include "tests/support/fake_ui.h"
#include "tests/support/language.h"

namespace {

QString a_text(int id) { return from_1250(catalogue_a_text(static_cast<std::int8_t>(id))); }

struct CellWrite {
    int col;
    int row;
    QString text;
};

class FakeGrid : public LayerGridTarget {
public:
    int current_column() const override { return col; }
    int current_row() const override { return row; }
    void set_cell_text(int c, int r, const QString& text) override {
        writes.push_back({c, r, text});
    }
    int col = 3;
    int row = 1;
    std::vector<CellWrite> writes;
};

class HelpWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { QFont::insertSubstitution("Courier New", "Liberation Mono"); }

    void SetUp() override {
        ui_.separator = ',';
        form_ = std::make_unique<TForm_Help>(ui_, &grid_);
    }

    void TearDown() override { form_.reset(); }

    // The window's controls by their objectName.
    QTextEdit* txt() const { return form_->findChild<QTextEdit*>("txt_help"); }
    // The Copy button pressed after a selection, as the mouse's release
    // leaves it enabled or not.
    void press_copy() {
        emit static_cast<HelpTextBox*>(txt())->mouse_down_up();
        form_->findChild<QPushButton*>("button_copy")->click();
    }
    QFrame* panel() const { return form_->findChild<QFrame*>("Panel1"); }
    QPushButton* copy_button() const { return form_->findChild<QPushButton*>("button_copy"); }
    QPushButton* find_button() const { return form_->findChild<QPushButton*>("button_find"); }
    FindDialog* find_dialog() const { return form_->findChild<FindDialog*>("find_dialog"); }

    QChar sep() const { return QChar(ui_.separator); }
    void set_sep(QChar c) { ui_.separator = c.toLatin1(); }

    // Replaces the shown text with a fixture and selects `length` characters
    // from the first occurrence of `from`.
    void select_in(const QString& text, const QString& from, int length) {
        txt()->setPlainText(text);
        const int start = static_cast<int>(text.indexOf(from));
        ASSERT_GE(start, 0) << from.toStdString();
        QTextCursor c(txt()->document());
        c.setPosition(start);
        c.setPosition(start + length, QTextCursor::KeepAnchor);
        txt()->setTextCursor(c);
    }

    // The window with its frame, which the geometries are of.
    QRect window_rect() const { return form_->frameGeometry(); }
    QSize frame_extra() const { return form_->frameGeometry().size() - form_->size(); }

    // Lets a user-made move or resize arrive as it would from the window
    // system: the user drags the frame.
    void user_places(const QRect& r) {
        form_->move(r.topLeft());
        form_->resize(r.size() - frame_extra());
        QCoreApplication::processEvents();
    }

    const LanguageScope language_{LANG_ENGLISH};
    FakeUi ui_;
    FakeGrid grid_;
    std::unique_ptr<TForm_Help> form_;
};

struct ScreenCase {
    QSize screen;
    QRect materials;
    QRect help;
    int font_size;
    QSize minimum;
    int panel_height;
    QRect copy_button;
};

TEST_F(HelpWindowTest, GeometryFollowsScreen) {
    const ScreenCase cases[] = {
        {{1024, 768},
         {81, 337, 860, 360},
         {81, 384, 860, 230},
         9,
         {491, 145},
         30,
         {541, 2, 275, 27}},
        {{800, 600},
         {64, 264, 672, 282},
         {64, 300, 672, 180},
         8,
         {384, 114},
         23,
         {423, 1, 215, 20}},
    };
    for (const ScreenCase& c : cases) {
        SCOPED_TRACE(c.screen.width());
        ui_.screen = c.screen;
        form_ = std::make_unique<TForm_Help>(ui_, &grid_);
        form_->show_text(HELP_MODE_COPY_NUMBER, MATERIALS_TEXT_ID);
        EXPECT_EQ(window_rect(), c.materials);
        EXPECT_EQ(form_->minimumSize(), c.minimum);
        EXPECT_EQ(form_->font_size(), c.font_size);
        EXPECT_EQ(txt()->font().pointSize(), c.font_size);
        EXPECT_EQ(panel()->height(), c.panel_height);
        // Laid out for the whole width, the copy button then keeps its
        // distance from the right edge as the frame takes its part.
        EXPECT_EQ(copy_button()->geometry(), c.copy_button.translated(-frame_extra().width(), 0));

        form_->show_text(HELP_MODE_TEXT, 114);
        EXPECT_EQ(window_rect(), c.help);
    }
}

TEST_F(HelpWindowTest, ModesArrangeButtons) {
    struct ModeCase {
        int mode;
        bool panel;
        bool copy;
        int copy_caption;
        QTextEdit::LineWrapMode wrap;
    };
    const ModeCase cases[] = {
        {HELP_MODE_TEXT, false, false, 0, QTextEdit::WidgetWidth},
        {HELP_MODE_MATERIALS, true, false, 0, QTextEdit::NoWrap},
        {HELP_MODE_COPY_TEXT, true, true, 36, QTextEdit::NoWrap},
        {HELP_MODE_COPY_NUMBER, true, true, 35, QTextEdit::NoWrap},
    };
    for (const ModeCase& c : cases) {
        SCOPED_TRACE(c.mode);
        form_->show_text(c.mode, c.mode == HELP_MODE_TEXT ? 125 : MATERIALS_TEXT_ID);
        EXPECT_TRUE(form_->isVisible());
        EXPECT_EQ(form_->mode(), c.mode);
        EXPECT_EQ(panel()->isVisible(), c.panel);
        EXPECT_EQ(find_button()->isVisible(), c.panel);
        EXPECT_EQ(copy_button()->isVisible(), c.copy);
        EXPECT_EQ(txt()->lineWrapMode(), c.wrap);
        if (c.panel) {
            EXPECT_EQ(find_button()->text(), a_text(34));
            EXPECT_TRUE(find_button()->isEnabled());
        }
        if (c.copy) {
            EXPECT_EQ(copy_button()->text(), a_text(c.copy_caption));
            EXPECT_FALSE(copy_button()->isEnabled()) << "no selection yet";
        }
    }
}

TEST_F(HelpWindowTest, TextTakesTheUsersDecimalSeparator) {
    struct SeparatorCase {
        int mode;
        int id;
        const char* number;  // as the catalogue writes it
    };
    const SeparatorCase cases[] = {
        {HELP_MODE_MATERIALS, MATERIALS_TEXT_ID, "0@045"},
        {HELP_MODE_TEXT, 118, "0@12"},
    };
    for (const SeparatorCase& c : cases) {
        for (QChar sep : {QChar(u','), QChar(u'.')}) {
            SCOPED_TRACE(testing::Message() << c.id << " " << sep.toLatin1());
            set_sep(sep);
            form_->show_text(c.mode, c.id);
            const QString shown = txt()->toPlainText();
            EXPECT_TRUE(shown.contains(QString(c.number).replace(u'@', sep)));
            EXPECT_FALSE(shown.contains(u'@'));
            EXPECT_EQ(shown, QString(a_text(c.id)).replace(u'@', sep));
        }
    }
}

TEST_F(HelpWindowTest, UnknownIdShowsEmptyText) {
    form_->show_text(HELP_MODE_TEXT, 125);
    for (int id : {127, 200, -1}) {
        form_->show_text(HELP_MODE_TEXT, id);
        EXPECT_TRUE(txt()->toPlainText().isEmpty()) << id;
    }
}

const QString COPY_FIXTURE =
    "   0,04545   0,05   0,04545\n"
    "1.5\n"
    "  Lime plaster              1700\n"
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcd\n"
    "Reinforced concrete\n"
    "second line of the fixture\n";

TEST_F(HelpWindowTest, CopyTakesTheSelectionByMode) {
    struct CopyCase {
        const char* name;
        int mode;
        QChar sep;
        QString from;
        int length;
        std::optional<QString> written;
    };
    const CopyCase cases[] = {
        {"number: first of a row", 3, u',', "   0,04545", 17, "0,04545"},
        {"number: point becomes comma", 3, u',', "1.5", 3, "1,5"},
        {"number: comma becomes point", 3, u'.', "0,04545", 7, "0.04545"},
        {"number: cut at the line break", 3, u',', "1.5", 10, "1,5"},
        {"number: blanks alone write nothing", 3, u',', "   0,04545", 3, std::nullopt},
        {"text keeps leading spaces", 2, u',', "  Lime plaster", 14, "  Lime plaster"},
        {"text: at most 36 characters", 2, u',', "ABCDEF", 40,
         "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"},
        {"text: first line only", 2, u',', "Reinforced", 26, "Reinforced concrete"},
        {"text: 36 cut before the line break", 2, u',', "Reinforced", 40, "Reinforced concrete"},
        {"text: selection starting at a line break", 2, u',', "\nsecond", 7, std::nullopt},
        {"view mode never copies", 1, u',', "1.5", 3, std::nullopt},
        {"nothing selected", 2, u',', "1.5", 0, std::nullopt},
    };
    for (const CopyCase& c : cases) {
        SCOPED_TRACE(c.name);
        set_sep(c.sep);
        grid_.writes.clear();
        form_->show_text(c.mode, MATERIALS_TEXT_ID);
        select_in(COPY_FIXTURE, c.from, c.length);
        press_copy();
        if (!c.written) {
            EXPECT_TRUE(grid_.writes.empty());
            continue;
        }
        ASSERT_EQ(grid_.writes.size(), 1u);
        EXPECT_EQ(grid_.writes[0].text, *c.written);
        EXPECT_EQ(grid_.writes[0].col, 3);
        EXPECT_EQ(grid_.writes[0].row, 1);
    }
}

TEST_F(HelpWindowTest, CopyWritesOnlyDescriptionLambdaAndDeltaCells) {
    struct CellCase {
        int col;
        int row;
        bool written;
    };
    const CellCase cases[] = {
        {3, 1, true},  {5, 1, true},  {6, 11, true}, {0, 1, false}, {1, 1, false},
        {2, 1, false}, {4, 1, false}, {7, 1, false}, {3, 0, false}, {5, 0, false},
    };
    // The column test is the same in both modes.
    for (int mode : {HELP_MODE_COPY_TEXT, HELP_MODE_COPY_NUMBER}) {
        form_->show_text(mode, MATERIALS_TEXT_ID);
        for (const CellCase& c : cases) {
            SCOPED_TRACE(testing::Message()
                         << "mode " << mode << " cell " << c.col << "," << c.row);
            grid_.writes.clear();
            grid_.col = c.col;
            grid_.row = c.row;
            select_in(COPY_FIXTURE, "1.5", 3);
            press_copy();
            ASSERT_EQ(grid_.writes.size(), c.written ? 1u : 0u);
            if (c.written) {
                EXPECT_EQ(grid_.writes[0].col, c.col);
                EXPECT_EQ(grid_.writes[0].row, c.row);
            }
        }
    }
    form_->set_layer_grid(nullptr);
    press_copy();  // no grid: nothing to do, no crash
}

TEST_F(HelpWindowTest, CopyButtonFollowsMouseSelection) {
    form_->show_text(HELP_MODE_COPY_TEXT, MATERIALS_TEXT_ID);
    QTextEdit* txt = this->txt();
    QWidget* view = txt->viewport();
    txt->setPlainText(COPY_FIXTURE);
    auto point_at = [txt](int pos) {
        QTextCursor c(txt->document());
        c.setPosition(pos);
        return txt->cursorRect(c).center();
    };
    const int lime = static_cast<int>(COPY_FIXTURE.indexOf("Lime"));

    // A drag by hand: QTest's own mouse moves carry no button.
    auto send = [view](QEvent::Type type, QPoint at, Qt::MouseButton button,
                       Qt::MouseButtons held) {
        QMouseEvent e(type, at, view->mapToGlobal(at), button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(view, &e);
    };
    const QPoint from = point_at(lime);
    const QPoint to = point_at(lime + 12);
    send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    ASSERT_TRUE(txt->textCursor().hasSelection());
    EXPECT_TRUE(copy_button()->isEnabled());

    // Through the button itself, as the user does it.
    grid_.col = 5;
    grid_.row = 2;
    QTest::mouseClick(copy_button(), Qt::LeftButton);
    ASSERT_EQ(grid_.writes.size(), 1u);
    EXPECT_EQ(grid_.writes[0].text, "Lime plaster");

    // A plain click leaves no selection.
    send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, from, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(txt->textCursor().hasSelection());
    EXPECT_FALSE(copy_button()->isEnabled());

    // A keyboard selection does not enable the button.
    txt->setFocus();
    QTest::keyClick(txt, Qt::Key_End, Qt::ShiftModifier);
    EXPECT_TRUE(txt->textCursor().hasSelection());
    EXPECT_FALSE(copy_button()->isEnabled());
}

TEST_F(HelpWindowTest, DoubleClickSelectsTheWholeNumber) {
    struct ClickCase {
        const char* line;  // '@' is the decimal separator shown
        const char* at;    // the click lands on the first character of this
        const char* selected;
    };
    const ClickCase cases[] = {
        {"Felts, mats     40-80    0@045    0@05", "45 ", "0@045"},
        {"Felts, mats     40-80    0@045    0@05", "0@045", "0@045"},
        {"Felts, mats     40-80    0@045    0@05", "@045", "0@045"},
        {"Felts, mats     40-80    0@045    0@05", "80", "80"},
        {"Felts, mats     40-80    0@045    0@05", "40", "40"},
        {"range 0@03-0@05 here", "05 ", "0@05"},
        {"range 0@03-0@05 here", "3-", "0@03"},
        {"a list 0@5, 0@7 and 12@25.", "5,", "0@5"},
        {"a list 0@5, 0@7 and 12@25.", "25.", "12@25"},
        {"below zero -0@35 or (+2@5)", "35", "-0@35"},
        {"below zero -0@35 or (+2@5)", "5)", "+2@5"},
        {"below zero -0@35 or (+2@5)", "-0", "-0@35"},
        {"-1@5 at the start", "5 ", "-1@5"},
        {"(acc. to PN-91/B-02020)", "91", "91"},
        {"(acc. to PN-91/B-02020)", "020)", "02020"},
        {"Mineral-wool boards", "wool", "wool"},
        {"Lime plaster", "plaster", "plaster"},
    };
    for (QChar sep : {QChar(u','), QChar(u'.')}) {
        for (const ClickCase& c : cases) {
            for (bool jitter : {false, true}) {
                // A new window each time: a click soon after a double-click
                // near it would be a triple-click.
                form_ = std::make_unique<TForm_Help>(ui_, &grid_);
                form_->show_text(HELP_MODE_COPY_NUMBER, MATERIALS_TEXT_ID);
                QTextEdit* txt = this->txt();
                const QString line = QString(c.line).replace(u'@', sep);
                const QString at = QString(c.at).replace(u'@', sep);
                SCOPED_TRACE(testing::Message() << line.toStdString() << " at " << at.toStdString()
                                                << (jitter ? " with jitter" : ""));
                txt->setPlainText("first line\n" + line + "\nlast line");
                const int pos = static_cast<int>(txt->toPlainText().indexOf(at));
                ASSERT_GT(pos, 0);
                double_click(txt, char_center(txt, pos), jitter);
                EXPECT_EQ(txt->textCursor().selectedText(), QString(c.selected).replace(u'@', sep));
                EXPECT_TRUE(copy_button()->isEnabled());
            }
        }
    }
}

class HelpFindTest : public HelpWindowTest {
protected:
    void SetUp() override {
        HelpWindowTest::SetUp();
        form_->show_text(HELP_MODE_MATERIALS, MATERIALS_TEXT_ID);
        txt()->setPlainText(FIXTURE);
        QTest::mouseClick(find_button(), Qt::LeftButton);
        dialog_ = find_dialog();
    }

    // The selection the search left, as (start, length).
    std::pair<int, int> find(const QString& what, bool match_case = false,
                             bool whole_word = false) {
        dialog_->findChild<QCheckBox*>("check_match_case")->setChecked(match_case);
        dialog_->findChild<QCheckBox*>("check_whole_word")->setChecked(whole_word);
        dialog_->findChild<QLineEdit*>("edit_find")->setText(what);
        QTest::mouseClick(dialog_->findChild<QPushButton*>("button_find_next"), Qt::LeftButton);
        const QTextCursor c = txt()->textCursor();
        return {c.selectionStart(), c.selectionEnd() - c.selectionStart()};
    }

    void put_caret(int pos) {
        QTextCursor c(txt()->document());
        c.setPosition(pos);
        txt()->setTextCursor(c);
    }

    static inline const QString FIXTURE =
        "Lime plaster\n"        // 0
        "lime mortar\n"         // 13
        "Limestone\n"           // 25
        "Cement-lime plaster";  // 35, "lime" at 42
    FindDialog* dialog_ = nullptr;
};

TEST_F(HelpFindTest, StartsAtTopWithoutSelectionAndContinuesAfterAMatch) {
    ASSERT_TRUE(dialog_->isVisible());
    EXPECT_FALSE(dialog_->isModal());
    put_caret(30);
    EXPECT_EQ(find("lime"), std::make_pair(0, 4));
    EXPECT_EQ(find("lime"), std::make_pair(13, 4));
    EXPECT_EQ(find("lime"), std::make_pair(25, 4));
    put_caret(30);  // caret moved, nothing selected: from the top again
    EXPECT_EQ(find("lime"), std::make_pair(0, 4));
    EXPECT_TRUE(ui_.boxes.empty());
}

TEST_F(HelpFindTest, HonoursCaseAndWholeWords) {
    EXPECT_EQ(find("lime", true), std::make_pair(13, 4));
    EXPECT_EQ(find("lime", true), std::make_pair(42, 4));
    put_caret(0);
    EXPECT_EQ(find("Lime", false, true), std::make_pair(0, 4));
    EXPECT_EQ(find("Lime", false, true), std::make_pair(13, 4));
    EXPECT_EQ(find("Lime", false, true), std::make_pair(42, 4)) << "Limestone is no whole word";
    EXPECT_TRUE(ui_.boxes.empty());
}

TEST_F(HelpFindTest, NotFoundShowsTheMessageAndKeepsTheSelection) {
    EXPECT_EQ(find("mortar"), std::make_pair(18, 6));
    EXPECT_EQ(find("mortar"), std::make_pair(18, 6));
    ASSERT_EQ(ui_.boxes.size(), 1u);
    EXPECT_EQ(ui_.boxes[0].text, catalogue_a_text(17));
    EXPECT_EQ(ui_.boxes[0].caption, "");
    EXPECT_EQ(ui_.boxes[0].icon, MsgIcon::information);
    EXPECT_EQ(ui_.boxes[0].buttons, MsgButtons::ok);

    put_caret(0);
    find("LIME", true);
    EXPECT_EQ(ui_.boxes.size(), 2u);
}

TEST_F(HelpWindowTest, EachKindOfUseKeepsTheUsersGeometry) {
    form_->show_text(HELP_MODE_MATERIALS, MATERIALS_TEXT_ID);
    const QRect user_reference(100, 50, 700, 400);
    user_places(user_reference);
    QTest::keyClick(txt(), Qt::Key_Escape);
    EXPECT_FALSE(form_->isVisible());
    EXPECT_EQ(form_->reference_geometry(), user_reference);

    form_->show_text(HELP_MODE_TEXT, 114);
    EXPECT_EQ(window_rect(), QRect(81, 384, 860, 230));
    const QRect user_help(20, 30, 600, 200);
    user_places(user_help);
    // Moved only, not resized: still remembered.
    form_->move(40, 60);
    QCoreApplication::processEvents();

    form_->show_text(HELP_MODE_COPY_NUMBER, MATERIALS_TEXT_ID);
    EXPECT_EQ(window_rect(), user_reference);
    form_->show_text(HELP_MODE_TEXT, 115);
    EXPECT_EQ(window_rect(), QRect(40, 60, 600, 200));
}

TEST_F(HelpWindowTest, LanguageReloadKeepsModeAndGeometry) {
    struct ReloadCase {
        int mode;
        int id;
    };
    for (const ReloadCase& c :
         {ReloadCase{HELP_MODE_COPY_NUMBER, MATERIALS_TEXT_ID}, ReloadCase{HELP_MODE_TEXT, 118}}) {
        SCOPED_TRACE(c.mode);
        set_language(0);
        form_->show_text(c.mode, c.id);
        const QRect user(90, 70, 640, 300);
        user_places(user);
        txt()->verticalScrollBar()->setValue(5);
        const int scrolled = txt()->verticalScrollBar()->value();
        const QString english = txt()->toPlainText();

        set_language(1);
        form_->load_text();
        EXPECT_EQ(form_->mode(), c.mode);
        EXPECT_TRUE(form_->isVisible());
        EXPECT_EQ(window_rect(), user);
        EXPECT_EQ(txt()->toPlainText(), QString(a_text(c.id)).replace(u'@', sep()));
        EXPECT_NE(txt()->toPlainText(), english);
        EXPECT_EQ(txt()->verticalScrollBar()->value(), scrolled);
        if (c.mode != HELP_MODE_TEXT) {
            EXPECT_TRUE(copy_button()->isVisible());
            EXPECT_EQ(copy_button()->text(), a_text(35));
            EXPECT_EQ(find_button()->text(), a_text(34));
        }
    }
}

TEST_F(HelpWindowTest, NewScreenSizeBringsBackTheDefaults) {
    form_->show_text(HELP_MODE_COPY_TEXT, MATERIALS_TEXT_ID);
    user_places(QRect(100, 50, 700, 400));
    ui_.screen = QSize(800, 600);
    user_places(QRect(100, 50, 720, 400));  // the next resize notices the new screen
    EXPECT_EQ(form_->reference_geometry(), QRect(64, 264, 672, 282));
    EXPECT_EQ(form_->help_geometry(), QRect(64, 300, 672, 180));
    EXPECT_EQ(window_rect(), QRect(64, 264, 672, 282));
    EXPECT_EQ(form_->font_size(), 8);
    EXPECT_TRUE(form_->isVisible());
    EXPECT_TRUE(copy_button()->isVisible()) << "the mode's buttons stay";
    EXPECT_TRUE(find_button()->isVisible());
}

TEST_F(HelpWindowTest, CloseOnlyHides) {
    form_->show_text(HELP_MODE_COPY_TEXT, MATERIALS_TEXT_ID);
    QTest::mouseClick(find_button(), Qt::LeftButton);
    ASSERT_TRUE(find_dialog()->isVisible());
    form_->close();
    EXPECT_FALSE(form_->isVisible());
    EXPECT_FALSE(find_dialog()->isVisible());
    EXPECT_EQ(form_->mode(), HELP_MODE_COPY_TEXT);
    EXPECT_FALSE(txt()->toPlainText().isEmpty());

    form_->show_text(HELP_MODE_COPY_TEXT, MATERIALS_TEXT_ID);
    QTest::mouseClick(find_button(), Qt::LeftButton);
    QTest::keyClick(txt(), Qt::Key_Escape);
    EXPECT_FALSE(form_->isVisible());
    EXPECT_FALSE(find_dialog()->isVisible());
}

}  // namespace
