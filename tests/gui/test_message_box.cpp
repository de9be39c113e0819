// The message box the running program shows: it keeps the text's own line
// breaks and is as wide as the longest line needs.
#include <gtest/gtest.h>

#include <QLabel>
#include <QMessageBox>
#include <QTest>

#include "lang/catalogue.h"
#include "qt/qt_ui.h"
#include "qt/text_1250.h"
#include "tests/support/language.h"

namespace {

struct BoxCase {
    std::int8_t language;
    TextA text;
};

TEST(MessageBoxTest, KeepsTheTextsLineBreaksAndFitsTheLongestLine) {
    const LanguageScope language;
    // The About text (tab-indented lines wider than half a small screen), and
    // a one-line text that Qt never wrapped.
    for (const BoxCase c :
         {BoxCase{LANG_ENGLISH, TextA::AboutText}, BoxCase{LANG_POLISH, TextA::AboutText},
          BoxCase{LANG_ENGLISH, TextA::CannotSaveInvalidData}}) {
        set_language(c.language);
        const QString text = from_1250(catalogue_a_text(c.text));
        SCOPED_TRACE(text.toStdString());
        QMessageBox box;
        set_up_message_box(box, text, from_1250(catalogue_a_text(TextA::AboutCaption)),
                           MsgIcon::information, MsgButtons::ok);
        box.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
        const auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        ASSERT_NE(label, nullptr);

        // The same text laid out without wrapping: one row per line of its own.
        QLabel unwrapped(text);
        unwrapped.setFont(label->font());
        unwrapped.setTextInteractionFlags(label->textInteractionFlags());
        const QSize needed = unwrapped.sizeHint();
        EXPECT_EQ(label->height(), needed.height()) << "a line was wrapped";
        EXPECT_GE(label->width(), needed.width());
        EXPECT_LE(box.width(), needed.width() + 200) << "wider than its text needs";
        EXPECT_LE(box.frameGeometry().width(), box.screen()->availableGeometry().width());
    }
}

}  // namespace
