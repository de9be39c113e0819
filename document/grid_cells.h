// The texts of one string grid, without a widget: cells addressed (column,
// row), row 0 the header and the first `fixed_cols` columns fixed. Texts are
// Windows-1250 and live beyond the current counts, so hidden rows and columns
// keep theirs. The grid on screen is a view of it.
#pragma once

#include <QObject>
#include <map>
#include <string>
#include <utility>
#include <vector>

class GridCells : public QObject {
    Q_OBJECT

public:
    const std::string& text(int col, int row) const;  // empty outside the store
    void set_text(int col, int row, const std::string& text);

    int col_count() const { return cols_; }
    int row_count() const { return rows_; }
    void set_col_count(int n);  // at least 0
    void set_row_count(int n);  // at least 1, the header
    int fixed_cols() const { return fixed_cols_; }
    void set_fixed_cols(int n);
    bool is_fixed(int col, int row) const { return row < 1 || col < fixed_cols_; }

    // A cell whose value the checks refuse carries the reason (Windows-1250),
    // which the view marks and shows as its tooltip; empty for a sound cell.
    using Problems = std::map<std::pair<int, int>, std::string>;  // by (column, row)
    const std::string& problem(int col, int row) const;
    void set_problems(Problems problems);  // signals only a change

    // The current cell; moving it asks nobody (the view asks first).
    int col() const { return cur_col_; }
    int row() const { return cur_row_; }
    void set_current(int col, int row);
    // Keeps the current cell inside columns first_col.. and rows 1..last_row.
    void clamp_current(int first_col, int last_row);

signals:
    void text_changed(int col, int row);
    // A count changed; the new one is in force already.
    void cols_changed(int from, int to);
    void rows_changed(int from, int to);
    void fixed_cols_changed();
    void current_changed();
    void problems_changed();

private:
    std::vector<std::vector<std::string>> store_;  // [row][col]
    Problems problems_;
    int cols_ = 0;
    int rows_ = 1;
    int fixed_cols_ = 1;
    int cur_col_ = 1;
    int cur_row_ = 1;
};
