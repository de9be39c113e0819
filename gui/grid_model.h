// A document grid's cell texts as a Qt table model: row 0 is the horizontal
// header, grid row r the table's row r - 1. The texts are converted at the
// Windows-1250 boundary as they are shown and typed. The model's own counts
// follow the grid's as rows and columns are inserted and removed, so the
// grid's new counts are in force while the view takes its leave of the old
// rows (a hidden editor's focus moves through the grid's keys then).
#pragma once

#include <QAbstractTableModel>

class GridCells;

class GridModel : public QAbstractTableModel {
public:
    GridModel(GridCells& cells, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    QString text(int col, int row) const;  // one line, for screen readers
    void change_cols(int from, int to);
    void change_rows(int from, int to);

    GridCells& cells_;
    int cols_;
    int rows_;  // the table's rows: the grid's without its header
};
