// What a screen reader finds: every interactive element of the main, the
// materials and the assessment window has a name in the program's language, the cells name their
// headings, and the graph says what it shows.
#include <QAccessible>
#include <QAccessibleTableCellInterface>
#include <string>
#include <vector>

#include "gui/find_dialog.h"
#include "tests/gui/test_wiring_fixture.h"

namespace {

bool interactive(QAccessibleInterface* iface) {
    // A fixed cell without text is decoration: it can be neither chosen nor clicked.
    if (iface->role() == QAccessible::Cell) return iface->state().selectable;
    switch (iface->role()) {
        case QAccessible::PushButton:
        case QAccessible::CheckBox:
        case QAccessible::RadioButton:
        case QAccessible::ComboBox:
        case QAccessible::SpinBox:
        case QAccessible::Slider:
        case QAccessible::EditableText:
        case QAccessible::ListItem:
        case QAccessible::PageTab:
        case QAccessible::MenuItem:
        case QAccessible::ButtonMenu:
        case QAccessible::ButtonDropDown:
        case QAccessible::Link:
        case QAccessible::Table:
        case QAccessible::Graphic:
            return true;
        default:
            return false;
    }
}

// The interactive elements on screen without a name, by role and path.
void unnamed(QAccessibleInterface* iface, const std::string& path, std::vector<std::string>& out,
             int depth = 0) {
    if (!iface || !iface->isValid() || depth > 12) return;
    if (iface->state().invisible) return;
    std::string here = path + "/" + std::to_string(iface->role());
    if (iface->object()) here += " " + iface->object()->objectName().toStdString();
    if (QAccessibleTableCellInterface* cell = iface->tableCellInterface())
        here += " cell " + std::to_string(cell->rowIndex()) + "," + std::to_string(cell->columnIndex());
    if (interactive(iface) && iface->text(QAccessible::Name).trimmed().isEmpty())
        out.push_back(here);
    for (int i = 0; i < iface->childCount(); ++i) unnamed(iface->child(i), here, out, depth + 1);
}

std::vector<std::string> unnamed_in(QWidget* window) {
    std::vector<std::string> out;
    unnamed(QAccessible::queryAccessibleInterface(window), window->objectName().toStdString(), out);
    return out;
}

QAccessibleInterface* of(QObject* o) { return QAccessible::queryAccessibleInterface(o); }

// The cell of table row `row` (grid row row + 1) and `col`.
QAccessibleTableCellInterface* cell(QWidget* grid, int row, int col) {
    QAccessibleInterface* table = of(grid);
    QAccessibleInterface* c = table->tableInterface()->cellAt(row, col);
    return c ? c->tableCellInterface() : nullptr;
}

std::string name(QAccessibleInterface* i) {
    return i ? i->text(QAccessible::Name).toStdString() : std::string();
}
std::string description(QAccessibleInterface* i) {
    return i->text(QAccessible::Description).toStdString();
}

using AccessibilityTest = WiringTest;

TEST_F(AccessibilityTest, EveryInteractiveElementHasANameInBothLanguages) {
    open_joined();
    form->document().choose_calc_mode(1);
    button("SpeedButtonMaterials")->click();
    ASSERT_TRUE(help->isVisible());
    help_button("button_find")->click();
    auto* find = help->findChild<FindDialog*>();
    ASSERT_TRUE(find && find->isVisible());
    button("SpeedButtonAssess")->click();
    auto* assess = form->findChild<QWidget*>("Form_Assess");
    ASSERT_TRUE(assess && assess->isVisible());
    for (int language : {LANG_ENGLISH, LANG_POLISH}) {
        form->document().switch_language(language);
        QApplication::processEvents();
        EXPECT_EQ(unnamed_in(form.get()), std::vector<std::string>()) << language;
        EXPECT_EQ(unnamed_in(help.get()), std::vector<std::string>()) << language;
        EXPECT_EQ(unnamed_in(find), std::vector<std::string>()) << language;
        EXPECT_EQ(unnamed_in(assess), std::vector<std::string>()) << language;
    }
}

TEST_F(AccessibilityTest, CellsSayTheirHeadingsAndFollowTheLanguage) {
    open_joined();
    struct Case {
        int language;
        const char* thickness_heading;
        const char* thickness_cell;
        const char* title;
        const char* open;
    };
    const Case cases[] = {
        {LANG_ENGLISH, "Thickness (m)", "Thickness (m), 2-3, 0.15", "Title", "Read data from a file"},
        {LANG_POLISH, "Grubość (m)", "Grubość (m), 2-3, 0.15", "Tytuł", "Wczytaj dane z pliku"},
    };
    for (const Case& c : cases) {
        form->document().switch_language(c.language);
        QApplication::processEvents();
        QAccessibleTableCellInterface* thickness = cell(t2(), 1, 4);
        ASSERT_NE(thickness, nullptr);
        // Qt hands out header cells outside its cache: give them to it to delete.
        const auto headers = thickness->columnHeaderCells();
        ASSERT_EQ(headers.size(), 1);
        EXPECT_EQ(name(headers[0]), c.thickness_heading);
        for (QAccessibleInterface* h : headers)
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(h));
        EXPECT_EQ(name(of(t2())->tableInterface()->cellAt(1, 4)), c.thickness_cell);
        EXPECT_EQ(name(of(edit_title())), c.title);
        EXPECT_EQ(name(of(button("SpeedButtonOpen"))), c.open);
    }
}

TEST_F(AccessibilityTest, TheGraphDescribesKAndTheCondensingPlanes) {
    open_joined();
    Document& d = form->document();
    d.switch_language(LANG_ENGLISH);
    d.choose_calc_mode(0);
    QApplication::processEvents();
    EXPECT_EQ(description(of(graph())),
              "Thermal conduction coefficient through the partition k = 0.84 W/(m2·K)");
    d.choose_calc_mode(1);
    QApplication::processEvents();
    EXPECT_EQ(description(of(graph())),
              "Thermal conduction coefficient through the partition k = 0.84 W/(m2·K). "
              "No plane condenses.");
    // Moist air inside, frost outside: the inner planes condense.
    type_cell(t1(), 2, 3, "95", true);
    type_cell(t1(), 1, 1, "-20", true);
    QApplication::processEvents();
    EXPECT_EQ(description(of(graph())),
              "Thermal conduction coefficient through the partition k = 0.84 W/(m2·K). "
              "Condensation at planes: 2, 3, 4, 5.");
    d.switch_language(LANG_POLISH);
    QApplication::processEvents();
    EXPECT_EQ(description(of(graph())),
              "Współczynnik przenikania ciepła przez przegrodę k = 0.84 W/(m2·K). "
              "Kondensacja w płaszczyznach: 2, 3, 4, 5.");
}

}  // namespace
