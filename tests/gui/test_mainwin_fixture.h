// The real main window on the offscreen platform, driven with QTest events.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "core/Quil_c.h"
#include "gui/Quil_gui.h"
#include "gui/controls.h"
#include "gui/string_grid.h"
#include "lang/catalogue.h"
#include "tests/support/language.h"
#include "tests/support/qt_fake_ui.h"

// A control of a window by its objectName; null when there is none.
template <class T = QWidget>
T* child_of(const QObject& window, const char* name) {
    return window.findChild<T*>(name);
}

class MainWindowTest : public ::testing::Test {
protected:
    // English texts, a '.' separator and a 1024x768 screen unless a test
    // says otherwise before `open_window`.
    // Frameless by default, so that the client area is the whole window.
    void open_window(bool frameless = true) {
        form = std::make_unique<TForm_quil>(doc, ui);
        form->setWindowFlag(Qt::FramelessWindowHint, frameless);
        set_language(LANG_ENGLISH);
        document().fill_grids(false);
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        QApplication::processEvents();
    }

    void TearDown() override { form.reset(); }

    // A control of the window by its objectName.
    template <class T = QWidget>
    T* control(const char* name) const {
        T* found = form->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QToolButton* button(const char* name) const { return control<QToolButton>(name); }
    StringGrid* t1() const { return control<StringGrid>("mnu_table1"); }
    StringGrid* t2() const { return control<StringGrid>("mnu_table2"); }
    QLineEdit* edit_title() const { return control<QLineEdit>("edit_title"); }
    QLineEdit* edit_radius() const { return control<QLineEdit>("edit_RadiusC"); }
    QWidget* graph() const { return control<QWidget>("graph"); }
    QStatusBar* status_bar() const { return control<QStatusBar>("status_bar"); }
    QLabel* status_text() const { return control<QLabel>("status_text"); }
    RadioGroup* wall_group() const { return control<RadioGroup>("mnu_radio_group_wall"); }
    RadioGroup* calc_group() const { return control<RadioGroup>("mnu_radio_group_calc"); }
    Document& document() const { return form->document(); }
    const WindowState& state() const { return form->document().state(); }

    QPoint cell_center(StringGrid* g, int col, int row) const {
        return g->visualRect(g->model()->index(row - 1, col)).center();
    }

    void click_cell(StringGrid* g, int col, int row) {
        g->scrollTo(g->model()->index(row - 1, col));
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, cell_center(g, col, row));
    }

    // Key presses for each character; QTest knows keys for ASCII only.
    static void type_text(QWidget* w, const QString& text) {
        for (const QChar c : text) {
            if (c.unicode() < 0x80) {
                QTest::keyClick(w, char(c.unicode()));
                continue;
            }
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(w, &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(w, &release);
        }
    }

    // Selects the cell with the mouse, replaces its text by typing, and
    // presses Enter unless told not to.
    void type_cell(StringGrid* g, int col, int row, const QString& text, bool enter = true) {
        click_cell(g, col, row);
        QLineEdit* editor = g->editor();
        ASSERT_NE(editor, nullptr) << "no cell editor at " << col << "," << row;
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_Delete);
        type_text(editor, text);
        if (enter) QTest::keyClick(editor, Qt::Key_Return);
    }

    void press_enter(StringGrid* g) {
        QTest::keyClick(g->editor() ? static_cast<QWidget*>(g->editor()) : g, Qt::Key_Return);
    }

    // The language the settings file would say (Polish) comes back at the end.
    const LanguageScope language_;
    Partition doc;
    QtFakeUi ui;
    std::unique_ptr<TForm_quil> form;
};
