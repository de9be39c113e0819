#include "gui/grid_model.h"

#include <QStringList>

#include "document/grid_cells.h"
#include "gui/controls.h"
#include "qt/text_1250.h"

GridModel::GridModel(GridCells& cells, QObject* parent)
    : QAbstractTableModel(parent),
      cells_(cells),
      cols_(cells.col_count()),
      rows_(cells.row_count() - 1) {
    connect(&cells_, &GridCells::text_changed, this, [this](int col, int row) {
        if (col >= cols_ || row > rows_) return;
        if (row == 0) {
            emit headerDataChanged(Qt::Horizontal, col, col);
        } else {
            const QModelIndex i = index(row - 1, col);
            emit dataChanged(i, i);
        }
    });
    connect(&cells_, &GridCells::cols_changed, this, &GridModel::change_cols);
    connect(&cells_, &GridCells::rows_changed, this, &GridModel::change_rows);
    connect(&cells_, &GridCells::fixed_cols_changed, this, [this] {
        if (rows_ > 0 && cols_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, cols_ - 1));
    });
    connect(&cells_, &GridCells::problems_changed, this, [this] {
        if (rows_ > 0 && cols_ > 0)
            emit dataChanged(index(0, 0), index(rows_ - 1, cols_ - 1),
                             {Qt::BackgroundRole, Qt::ToolTipRole, Qt::AccessibleDescriptionRole});
    });
}

void GridModel::change_cols(int, int to) {
    if (to > cols_) {
        beginInsertColumns({}, cols_, to - 1);
        cols_ = to;
        endInsertColumns();
    } else if (to < cols_) {
        beginRemoveColumns({}, to, cols_ - 1);
        cols_ = to;
        endRemoveColumns();
    }
}

void GridModel::change_rows(int, int to) {
    const int rows = to - 1;
    if (rows > rows_) {
        beginInsertRows({}, rows_, rows - 1);
        rows_ = rows;
        endInsertRows();
    } else if (rows < rows_) {
        beginRemoveRows({}, rows, rows_ - 1);
        rows_ = rows;
        endRemoveRows();
    }
}

int GridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int GridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : cols_; }

QString GridModel::text(int col, int row) const {
    return from_1250(cells_.text(col, row).c_str()).simplified();
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int col = index.column();
    const int row = index.row() + 1;
    if (role == Qt::DisplayRole || role == Qt::EditRole) return from_1250(cells_.text(col, row).c_str());
    if (role == Qt::BackgroundRole || role == Qt::ToolTipRole ||
        role == Qt::AccessibleDescriptionRole) {
        const std::string& problem = cells_.problem(col, row);
        if (problem.empty()) return {};
        if (role == Qt::BackgroundRole) return PROBLEM_BACKGROUND;
        return from_1250(problem.c_str());
    }
    if (role != Qt::AccessibleTextRole) return {};
    // What a screen reader says of a cell: "Thickness (m), 2-3, 0.15" — its
    // column's heading, its row's, then its text; a fixed cell is its own heading.
    QStringList parts;
    for (const QString& part : {text(col, 0), col < cells_.fixed_cols() ? QString() : text(0, row),
                                text(col, row)})
        if (!part.isEmpty()) parts << part;
    return parts.join(QStringLiteral(", "));
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return from_1250(cells_.text(section, 0).c_str());
    // The row headings exist for screen readers only; the grid draws its
    // fixed column itself.
    if (role == Qt::AccessibleTextRole)
        return orientation == Qt::Horizontal ? text(section, 0) : text(0, section + 1);
    return {};
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    if (cells_.is_fixed(index.column(), index.row() + 1)) return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) return false;
    cells_.set_text(index.column(), index.row() + 1, to_1250(value.toString()));
    return true;
}
