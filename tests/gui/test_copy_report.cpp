// Copy report: the report's text and the graph's image on the clipboard.
#include <iconv.h>

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QSet>

#include "tests/gui/test_files_fixture.h"

namespace {

// Windows-1250 decoded apart from the program's own conversion.
QString from_1250_bytes(const QByteArray& bytes) {
    iconv_t cd = iconv_open("UTF-8", "WINDOWS-1250");
    QByteArray out(bytes.size() * 3 + 1, '\0');
    char* src = const_cast<char*>(bytes.constData());
    std::size_t src_left = std::size_t(bytes.size());
    char* dst = out.data();
    std::size_t dst_left = std::size_t(out.size());
    const std::size_t r = iconv(cd, &src, &src_left, &dst, &dst_left);
    iconv_close(cd);
    EXPECT_NE(r, static_cast<std::size_t>(-1));
    out.resize(out.size() - qsizetype(dst_left));
    return QString::fromUtf8(out);
}

class CopyReportTest : public FileCommandsTest {
protected:
    QAction* copy_action() const {
        for (QAction* a : graph()->actions())
            if (a->objectName() == "ActionCopyReport") return a;
        return nullptr;
    }
    // The report Export As writes, as text.
    QString exported_text() {
        ui.save_answers.push_back(path("exported.TXT"));
        button("SpeedButtonExportAs")->click();
        return from_1250_bytes(read_bytes(path("exported.TXT")));
    }
};

TEST_F(CopyReportTest, CtrlShiftCCopiesTheExportedTextAndTheGraph) {
    ui.separator = ',';
    open_window();
    type_cell(t2(), 3, 1, QStringLiteral("Tynk cementowo-wapienny ąę"));
    QTest::keyClick(t1()->editor() ? static_cast<QWidget*>(t1()->editor()) : t1(), Qt::Key_C,
                    Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(status_bar()->currentMessage(), "Report copied to the clipboard");
    EXPECT_TRUE(ui.boxes.empty()) << ui.shown();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    ASSERT_TRUE(data->hasText());
    QString expected = exported_text();
    ASSERT_TRUE(expected.contains(QStringLiteral("ąę")));
    expected.replace("\r\n", "\n");
    EXPECT_EQ(data->text(), expected);

    ASSERT_TRUE(data->hasImage());
    const QImage image = qvariant_cast<QImage>(data->imageData());
    EXPECT_EQ(image.size(), graph()->size());
    QSet<QRgb> colours;  // white paper and the graph's lines on it
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2) colours.insert(image.pixel(x, y));
    EXPECT_GT(colours.size(), 2);
}

TEST_F(CopyReportTest, TheGraphsContextMenuOffersItInTheProgramsLanguage) {
    open_window();
    QAction* action = copy_action();
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(graph()->contextMenuPolicy(), Qt::ActionsContextMenu);
    EXPECT_EQ(action->text(), "Copy report");
    EXPECT_EQ(action->shortcut(), QKeySequence("Ctrl+Shift+C"));
    document().switch_language(LANG_POLISH);
    EXPECT_EQ(action->text(), "Kopiuj raport");
    QGuiApplication::clipboard()->clear();
    action->trigger();
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith(
        QStringLiteral("ROZKŁAD TEMPERATURY I CIŚNIENIA PARY WODNEJ W PRZEGRODZIE\n")))
        << QGuiApplication::clipboard()->text().left(80).toStdString();
    EXPECT_EQ(status_bar()->currentMessage(), "Skopiowano raport do schowka");
}

TEST_F(CopyReportTest, InvalidInputCopiesNothingAsExportWritesNothing) {
    open_window();
    QGuiApplication::clipboard()->setText("kept");
    t2()->set_cell(4, 1, "abc");
    copy_action()->trigger();
    ASSERT_EQ(ui.boxes.size(), 1u) << ui.shown();  // the cell's message, as Export shows it
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "kept");
    EXPECT_FALSE(QGuiApplication::clipboard()->mimeData()->hasImage());
    EXPECT_EQ(status_bar()->currentMessage(), "Nothing copied: the results are not valid.");
    // A refused thickness is stored, so the results stay invalid: still nothing.
    type_cell(t2(), 4, 1, "0");
    ui.boxes.clear();
    copy_action()->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "kept");
}

}  // namespace
