#include "display/StringGrid.h"

#include <QBrush>
#include <QFont>
#include <QHeaderView>

namespace kelvra {

QVariant StringTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const bool fixed = index.row() < fixedRows || index.column() < fixedCols;
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return cells_[index.row()].value(index.column());
    if (role == Qt::BackgroundRole && fixed)
        return QBrush(QColor(0xF0, 0xF0, 0xF0));
    return {};
}

bool StringTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    cells_[index.row()][index.column()] = value.toString();
    Q_EMIT dataChanged(index, index);
    Q_EMIT cellEdited(index.column(), index.row(), value.toString());
    return true;
}

Qt::ItemFlags StringTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (editable_ && index.row() >= fixedRows && index.column() >= fixedCols)
        f |= Qt::ItemIsEditable;
    return f;
}

void StringTableModel::SetSize(int rows, int cols) {
    beginResetModel();
    rows_ = std::max(rows, 0);
    cols_ = std::max(cols, 0);
    cells_.resize(rows_);
    for (QStringList& row : cells_) {
        while (row.size() < cols_)
            row.append(QString());
        while (row.size() > cols_)
            row.removeLast();
    }
    endResetModel();
}

QString StringTableModel::Cell(int col, int row) const {
    if (row < 0 || row >= rows_ || col < 0 || col >= cols_)
        return QString();
    return cells_[row][col];
}

void StringTableModel::SetCellQuietly(int col, int row, const QString& text) {
    if (row >= 0 && row < rows_ && col >= 0 && col < cols_)
        cells_[row][col] = text;
}

void StringTableModel::EndUpdate() {
    if (rows_ > 0 && cols_ > 0)
        Q_EMIT dataChanged(index(0, 0), index(rows_ - 1, cols_ - 1));
}

StringGrid::StringGrid(const QString& name, int rows, int cols, QWidget* parent)
    : QTableView(parent) {
    setObjectName(name);
    model_ = new StringTableModel(this);
    setModel(model_);
    model_->SetSize(rows, cols);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(20);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setTextElideMode(Qt::ElideNone);
    setWordWrap(false);
    QFont small = font();
    small.setPointSize(8);  // the column widths are laid out for an 8-point font
    setFont(small);
}

void StringGrid::SetRowCount(int rows) {
    model_->SetSize(rows, model_->columnCount());
}
void StringGrid::SetColCount(int cols) {
    model_->SetSize(model_->rowCount(), cols);
}

void StringGrid::SetCell(int col, int row, const QString& text) {
    model_->SetCellQuietly(col, row, text);
    const QModelIndex i = model_->index(row, col);
    Q_EMIT model_->dataChanged(i, i);
}

void StringGrid::SetColWidth(int col, int width) {
    setColumnWidth(col, width);
}

void StringGrid::SetEditable(bool editable) {
    model_->SetEditable(editable);
    setEditTriggers(editable ? QAbstractItemView::AllEditTriggers
                             : QAbstractItemView::NoEditTriggers);
}

}  // namespace kelvra
