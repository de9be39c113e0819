// The main window joined to its help and materials window, with the
// executable's folder (settings file, data folder) in a temporary folder.
#pragma once

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <cstdint>
#include <cstring>
#include <optional>

#include "gui/Quil_hlp.h"
#include "qt/text_1250.h"
#include "storage/settings.h"
#include "tests/gui/test_mainwin_fixture.h"

inline QString a_text_now(int id) {
    return from_1250(catalogue_a_text(static_cast<std::int8_t>(id)));
}

// Settings file helpers; `folder` ends with "/".
inline QString settings_file_in(const QString& folder) { return folder + "PARIETA.CFG"; }

inline void write_raw_settings(const QString& folder, const QByteArray& bytes) {
    QFile f(settings_file_in(folder));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

inline QByteArray language_bytes(std::int32_t language) {
    QByteArray bytes(4, '\0');
    std::memcpy(bytes.data(), &language, 4);  // little-endian machine
    return bytes;
}

// The file's bytes, or nothing when there is no file.
inline std::optional<QByteArray> read_raw_settings(const QString& folder) {
    QFile f(settings_file_in(folder));
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    return f.readAll();
}

class WiringTest : public MainWindowTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(temp.isValid());
        folder = QDir(temp.path()).absolutePath() + "/";
        folder_bytes = QFile::encodeName(folder);
        set_exe_directory_for_testing(folder_bytes.constData());
        // The last successful read is process-wide: make it Polish, then
        // leave no file behind, as on a first run.
        write_raw_settings(folder, language_bytes(1));
        read_settings();
        QFile::remove(settings_file_in(folder));
    }

    void TearDown() override {
        if (form) form->set_help_window(nullptr);
        help.reset();
        MainWindowTest::TearDown();
        set_exe_directory_for_testing(nullptr);
    }

    // The main window as the program builds it (language from the settings
    // file), with a materials window that takes its seams from it.
    void open_joined() {
        form = std::make_unique<TForm_quil>(doc, ui);
        form->setWindowFlag(Qt::FramelessWindowHint);
        help = std::make_unique<TForm_Help>(form->document().ui(), &form->layer_grid(),
                                            [this] { return form->font(); });
        form->set_help_window(help.get());
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        QApplication::processEvents();
    }

    // The help window's controls by their objectName.
    QTextEdit* help_text() const { return help->findChild<QTextEdit*>("txt_help"); }
    QPushButton* help_button(const char* name) const { return help->findChild<QPushButton*>(name); }

    // F1 as the user presses it: on the cell editor when one is open.
    void press_f1(QWidget* w) {
        auto* g = dynamic_cast<StringGrid*>(w);
        QWidget* target = g && g->editor() ? static_cast<QWidget*>(g->editor()) : w;
        QTest::keyClick(target, Qt::Key_F1);
    }

    QTemporaryDir temp;
    QString folder;
    QByteArray folder_bytes;
    std::unique_ptr<TForm_Help> help;
};
