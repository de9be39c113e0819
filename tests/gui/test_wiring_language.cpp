// The two flag buttons: every text on screen follows, the typed input is
// always committed first, and the materials window reloads in place.
#include <QPushButton>

#include "tests/gui/shown_title.h"
#include "tests/gui/test_wiring_fixture.h"

namespace {

using LanguageSwitchTest = WiringTest;

QString first_line(const TForm_Help& help) {
    return child_of<QTextEdit>(help, "txt_help")->toPlainText().section(u'\n', 0, 0);
}

// What the window shows in one language.
struct Screen {
    int language;
    const char* caption;
    const char* external_side;
    const char* temperature;
    const char* description_heading;
    const char* add;
    const char* remove;
    const char* title_label;
    const char* radius_label;
    const char* wall_group;
    const char* wall_items[2];
    const char* calc_group;
    const char* calc_items[2];
    const char* info1_hint;
    const char* exit_hint;
    const char* error_caption;
};

const Screen ENGLISH = {
    LANG_ENGLISH,
    "PARIETA ver. 1.1 <- console",
    "external side",
    "temperature (°C)",
    "        Layer description",
    " Add",
    "Delete",
    "Title",
    "Radius of curv. (m)",
    "partition",
    {"straight", "curved"},
    "calculations",
    {"thermal", "therm.-dampn."},
    "About programme",
    "Exit the programme",
    "ERROR",
};

const Screen POLISH = {
    LANG_POLISH,
    "PARIETA wer. 1.1 <- konsola",
    "strona zewn.",
    "temperatura (°C)",
    "        Opis warstwy",
    "Dodaj",
    "Usuń",
    "Tytuł",
    "Promień krzywizny (m)",
    "przegroda",
    {"prosta", "zakrzywiona"},
    "obliczenia",
    {"termiczne", "term.-wilgotn."},
    "Informacja o programie",
    "Zakończ pracę z programem",
    "BŁĄD",
};

void expect_screen(TForm_quil& form, const Screen& s) {
    const QString u = QString::fromUtf8(s.caption);
    SCOPED_TRACE(u.toStdString());
    EXPECT_EQ(get_language(), s.language);
    EXPECT_EQ(title_text(form), u);
    EXPECT_EQ(child_of<QToolButton>(form, "SpeedButtonLang044")->isEnabled(),
              s.language != LANG_ENGLISH);
    EXPECT_EQ(child_of<QToolButton>(form, "SpeedButtonLang048")->isEnabled(),
              s.language != LANG_POLISH);
    EXPECT_EQ(child_of<StringGrid>(form, "mnu_table1")->cell(1, 0),
              QString::fromUtf8(s.external_side));
    EXPECT_EQ(child_of<StringGrid>(form, "mnu_table1")->cell(0, 1),
              QString::fromUtf8(s.temperature));
    EXPECT_EQ(child_of<StringGrid>(form, "mnu_table2")->cell(3, 0),
              QString::fromUtf8(s.description_heading));
    EXPECT_EQ(child_of<StringGrid>(form, "mnu_table2")->cell(1, 1), QString::fromUtf8(s.add));
    EXPECT_EQ(child_of<StringGrid>(form, "mnu_table2")->cell(2, 1), QString::fromUtf8(s.remove));
    EXPECT_EQ(child_of<QLabel>(form, "label_title")->text(), QString::fromUtf8(s.title_label));
    EXPECT_EQ(child_of<QLabel>(form, "label_RadiusC")->text(), QString::fromUtf8(s.radius_label));
    EXPECT_EQ(child_of<RadioGroup>(form, "mnu_radio_group_wall")->title(),
              QString::fromUtf8(s.wall_group));
    EXPECT_EQ(child_of<RadioGroup>(form, "mnu_radio_group_calc")->title(),
              QString::fromUtf8(s.calc_group));
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(child_of<RadioGroup>(form, "mnu_radio_group_wall")->item(i)->text(),
                  QString::fromUtf8(s.wall_items[i]));
        EXPECT_EQ(child_of<RadioGroup>(form, "mnu_radio_group_calc")->item(i)->text(),
                  QString::fromUtf8(s.calc_items[i]));
    }
    EXPECT_EQ(child_of<QToolButton>(form, "SpeedButtonInfo1")->toolTip(),
              QString::fromUtf8(s.info1_hint) + " (Shift+F1)");
    EXPECT_EQ(child_of<QToolButton>(form, "SpeedButtonExit")->toolTip(),
              QString::fromUtf8(s.exit_hint) + " (Ctrl+Q)");
}

TEST_F(LanguageSwitchTest, EveryTextOnScreenFollowsAndLaterBoxesToo) {
    open_joined();  // no settings file: Polish
    expect_screen(*form, POLISH);

    struct Step {
        const char* button;
        const Screen& screen;
    };
    const Step steps[] = {{"SpeedButtonLang044", ENGLISH}, {"SpeedButtonLang048", POLISH}};
    for (const Step& step : steps) {
        button(step.button)->click();
        expect_screen(*form, step.screen);
        // A box opened afterwards needs no refresh of its own.
        ui.boxes.clear();
        type_cell(t1(), 1, 1, "e");
        ASSERT_EQ(ui.boxes.size(), 1u) << ui.shown();
        EXPECT_EQ(from_1250(ui.boxes[0].caption.c_str()),
                  QString::fromUtf8(step.screen.error_caption));
        EXPECT_EQ(ui.boxes[0].text.rfind(catalogue_a_text(48), 0), 0u) << ui.shown();
        type_cell(t1(), 1, 1, "-5");
    }
}

TEST_F(LanguageSwitchTest, TheButtonOfTheLanguageInForceOnlyCommitsTheInput) {
    open_joined();
    ASSERT_EQ(get_language(), LANG_POLISH);
    // Marks that any rebuild of the texts would overwrite.
    t2()->set_cell(3, 0, "stale");
    form->setWindowTitle("stale");

    type_cell(t2(), 4, 1, "0.5", false);
    document().switch_language(LANG_POLISH);
    EXPECT_EQ(doc.layers[0].thickness, 0.5);
    EXPECT_TRUE(ui.boxes.empty()) << ui.shown();

    type_cell(t2(), 4, 1, "e", false);
    document().switch_language(LANG_POLISH);
    EXPECT_EQ(ui.boxes.size(), 1u) << ui.shown();  // validated as well

    EXPECT_EQ(get_language(), LANG_POLISH);
    EXPECT_EQ(t2()->cell(3, 0), "stale");
    EXPECT_EQ(shown_title(*form), "stale");
    EXPECT_TRUE(button("SpeedButtonLang044")->isEnabled());
    EXPECT_FALSE(button("SpeedButtonLang048")->isEnabled());
}

TEST_F(LanguageSwitchTest, TheVisibleMaterialsTableReloadsInPlace) {
    open_joined();
    click_cell(t2(), 3, 1);
    QTest::keyClick(t2()->editor(), Qt::Key_F1);
    ASSERT_TRUE(help->isVisible());
    ASSERT_EQ(help->mode(), HELP_MODE_COPY_TEXT);
    EXPECT_TRUE(first_line(*help).startsWith(QString::fromUtf8("Wartości współczynnik")));
    // Where the user put it.
    help->move(120, 90);
    help->resize(640, 300);
    QApplication::processEvents();
    const QRect where = help->geometry();

    button("SpeedButtonLang044")->click();
    QApplication::processEvents();
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->mode(), HELP_MODE_COPY_TEXT);
    EXPECT_EQ(help->current_text_id(), MATERIALS_TEXT_ID);
    EXPECT_EQ(help->geometry(), where);
    EXPECT_EQ(first_line(*help), "Values of thermal conductivity coefficients Lambda");
    EXPECT_EQ(help_button("button_copy")->text(), "Copy the selected text to the data table");
    EXPECT_EQ(help_button("button_find")->text(), "Find");
}

TEST_F(LanguageSwitchTest, AShownHelpTextIsRedisplayedAHiddenOneLeftAlone) {
    open_joined();
    click_cell(t2(), 4, 1);
    QTest::keyClick(t2()->editor(), Qt::Key_F1);
    EXPECT_EQ(help_text()->toPlainText(), QString::fromUtf8("Podaj grubość warstwy."));

    button("SpeedButtonLang044")->click();
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->mode(), HELP_MODE_TEXT);
    EXPECT_EQ(help_text()->toPlainText(), "Specify the layer thickness.");

    help->hide();
    button("SpeedButtonLang048")->click();
    EXPECT_FALSE(help->isVisible());
    EXPECT_EQ(help_text()->toPlainText(), "Specify the layer thickness.");
    // Loaded afresh when shown again.
    click_cell(t2(), 4, 2);
    QTest::keyClick(t2()->editor(), Qt::Key_F1);
    EXPECT_EQ(help_text()->toPlainText(), QString::fromUtf8("Podaj grubość warstwy."));
}

}  // namespace

TEST_F(LanguageSwitchTest, QtsOwnDialogsFollowTheLanguage) {
    // The texts of Qt's message box buttons and of its file and print dialogs.
    struct QtText {
        const char* context;
        const char* text;
    };
    const QtText texts[] = {{"QPlatformTheme", "&Yes"},
                            {"QPlatformTheme", "Cancel"},
                            {"QFileDialog", "Look in:"},
                            {"QFileDialog", "File &name:"},
                            {"QPrintDialog", "Print"}};
    const auto expect_translated = [&](bool polish) {
        for (const QtText& t : texts) {
            const QString shown = QCoreApplication::translate(t.context, t.text);
            SCOPED_TRACE(shown.toStdString());
            EXPECT_EQ(shown != QString::fromUtf8(t.text), polish);
            EXPECT_FALSE(shown.isEmpty());
        }
    };
    open_joined();  // no settings file: Polish
    // Loaded at the user's first action, before Qt can show any text of its own.
    expect_translated(false);
    click_cell(t1(), 1, 1);
    expect_translated(true);
    button("SpeedButtonLang044")->click();
    expect_translated(false);
    button("SpeedButtonLang048")->click();
    expect_translated(true);
    form->set_help_window(nullptr);
    help.reset();
    form.reset();  // the translator leaves with the window
    expect_translated(false);
}
