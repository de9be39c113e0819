// Every toolbar command and the layer grid's Add and Delete on the keyboard,
// pressed where typing happens: in a cell editor.
#include <functional>

#include "tests/gui/test_wiring_fixture.h"

namespace {

class CommandKeysTest : public WiringTest {
protected:
    void SetUp() override {
        WiringTest::SetUp();
        write_raw_settings(folder, language_bytes(LANG_ENGLISH));
        open_joined();
        click_cell(t2(), 4, 2);
        ASSERT_NE(t2()->editor(), nullptr);
    }

public:
    using WiringTest::doc;
    using WiringTest::form;
    using WiringTest::help;
    using WiringTest::document;
    using WiringTest::ui;
    void press(QKeyCombination key) {
        QTest::keyClick(t2()->editor(), key.key(), key.keyboardModifiers());
    }
};

struct KeyCase {
    const char* what;
    QKeyCombination key;
    std::function<bool(CommandKeysTest&)> done;
    std::function<void(CommandKeysTest&)> before = nullptr;
};

void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.what; }

const KeyCase KEY_CASES[] = {
    {"open", Qt::CTRL | Qt::Key_O, [](CommandKeysTest& t) { return t.ui.open_dialogs.size() == 1; }},
    // Before there is a file, Save and Export ask for one.
    {"save", Qt::CTRL | Qt::Key_S, [](CommandKeysTest& t) { return t.ui.save_dialogs.size() == 1; }},
    {"save as", Qt::CTRL | Qt::SHIFT | Qt::Key_S,
     [](CommandKeysTest& t) { return t.ui.save_dialogs.size() == 1; }},
    {"export", Qt::CTRL | Qt::Key_E, [](CommandKeysTest& t) { return t.ui.save_dialogs.size() == 1; }},
    {"export as", Qt::CTRL | Qt::SHIFT | Qt::Key_E,
     [](CommandKeysTest& t) { return t.ui.save_dialogs.size() == 1; }},
    {"print", Qt::CTRL | Qt::Key_P, [](CommandKeysTest& t) { return t.ui.print_dialogs == 1; }},
    {"materials", Qt::CTRL | Qt::Key_M,
     [](CommandKeysTest& t) { return t.help->isVisible(); }},
    {"about", Qt::SHIFT | Qt::Key_F1,
     [](CommandKeysTest& t) { return t.ui.boxes.size() == 1 && t.ui.boxes[0].caption == "About programme"; }},
    {"other notes", Qt::CTRL | Qt::Key_F1, [](CommandKeysTest& t) { return t.help->isVisible(); }},
    {"language", Qt::CTRL | Qt::Key_L, [](CommandKeysTest&) { return get_language() == LANG_POLISH; }},
    {"add a layer before", Qt::ALT | Qt::Key_Insert,
     [](CommandKeysTest& t) { return t.doc.layer_count == 5 && t.doc.layers[1].thickness == 0.015; }},
    {"add a layer after", Qt::ALT | Qt::SHIFT | Qt::Key_Insert,
     [](CommandKeysTest& t) { return t.doc.layer_count == 5 && t.doc.layers[3].thickness == 0.15; }},
    {"delete the layer", Qt::ALT | Qt::Key_Delete,
     [](CommandKeysTest& t) { return t.doc.layer_count == 3 && t.doc.layers[2].thickness == 0.015; }},
    {"assessment", Qt::Key_F9, [](CommandKeysTest& t) { return t.form->assessment_window() != nullptr; }},
    // Asked only of a changed record: the question shows the key got through.
    {"exit", Qt::CTRL | Qt::Key_Q,
     [](CommandKeysTest& t) { return t.ui.boxes.size() == 1; },
     [](CommandKeysTest& t) { t.document().choose_calc_mode(0); }},
};

class EachCommandKey : public CommandKeysTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(EachCommandKey, DoesWhatItsButtonDoes) {
    const KeyCase& c = GetParam();
    if (c.before) c.before(*this);
    ASSERT_FALSE(c.done(*this)) << ui.shown();
    press(c.key);
    EXPECT_TRUE(c.done(*this)) << ui.shown();
}

INSTANTIATE_TEST_SUITE_P(InACellEditor, EachCommandKey, ::testing::ValuesIn(KEY_CASES),
                         [](const auto& info) { return "key" + std::to_string(info.index); });

TEST_F(CommandKeysTest, TheTypedCellIsTakenInFirst) {
    type_text(t2()->editor(), "9");  // thickness out of limits, not yet read
    press(Qt::CTRL | Qt::SHIFT | Qt::Key_S);
    ASSERT_EQ(ui.boxes.size(), 2u) << ui.shown();
    EXPECT_EQ(ui.boxes[0].text, "Thickness for layer 2-3 is out of allowable limits.\n(min=0.00001; max=2)");
    EXPECT_EQ(ui.boxes[1].text, "Cannot save invalid data.");
    EXPECT_TRUE(ui.save_dialogs.empty());
}

}  // namespace
