#include "gui/Quil_gui.h"
#include "gui/Quil_hlp.h"
#include "gui/string_grid.h"

namespace {

class GridTarget : public LayerGridTarget {
public:
    explicit GridTarget(StringGrid* grid) : grid_(grid) {}
    int current_column() const override { return grid_->col(); }
    int current_row() const override { return grid_->row(); }
    // Taken into the record at the next read of the grids.
    void set_cell_text(int col, int row, const QString& text) override {
        grid_->set_cell(col, row, text);
    }

private:
    StringGrid* grid_;
};

}  // namespace

LayerGridTarget& TForm_quil::layer_grid() {
    if (!layer_grid_) layer_grid_ = std::make_unique<GridTarget>(w_.mnu_table2);
    return *layer_grid_;
}
