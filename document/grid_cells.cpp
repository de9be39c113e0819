#include "document/grid_cells.h"

#include <algorithm>

const std::string& GridCells::text(int col, int row) const {
    static const std::string none;
    if (row < 0 || col < 0 || row >= int(store_.size()) || col >= int(store_[row].size()))
        return none;
    return store_[row][col];
}

void GridCells::set_text(int col, int row, const std::string& text) {
    if (col < 0 || row < 0) return;
    if (row >= int(store_.size())) store_.resize(row + 1);
    if (col >= int(store_[row].size())) store_[row].resize(col + 1);
    if (store_[row][col] == text) return;
    store_[row][col] = text;
    emit text_changed(col, row);
}

void GridCells::set_col_count(int n) {
    n = std::max(0, n);
    if (n == cols_) return;
    const int from = cols_;
    cols_ = n;
    emit cols_changed(from, n);
}

void GridCells::set_row_count(int n) {
    n = std::max(1, n);
    if (n == rows_) return;
    const int from = rows_;
    rows_ = n;
    emit rows_changed(from, n);
}

void GridCells::set_fixed_cols(int n) {
    n = std::max(0, n);
    if (n == fixed_cols_) return;
    fixed_cols_ = n;
    emit fixed_cols_changed();
}

void GridCells::set_current(int col, int row) {
    cur_col_ = col;
    cur_row_ = row;
    emit current_changed();
}

void GridCells::clamp_current(int first_col, int last_row) {
    int col = cur_col_, row = cur_row_;
    if (col >= cols_) col = cols_ - 1;
    if (col < first_col) col = first_col;
    if (row > last_row) row = last_row;
    if (row < 1) row = 1;
    set_current(col, row);
}

const std::string& GridCells::problem(int col, int row) const {
    static const std::string none;
    const auto it = problems_.find({col, row});
    return it == problems_.end() ? none : it->second;
}

void GridCells::set_problems(Problems problems) {
    if (problems == problems_) return;
    problems_ = std::move(problems);
    emit problems_changed();
}
