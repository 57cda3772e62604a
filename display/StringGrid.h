#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QTableView>
#include <QVector>

namespace kelvra {

// The texts of a string grid, row 0 being the grid's fixed header row as in
// the tables the program saves and loads. A refill changes the texts in place
// and signals one change for the whole grid.
class StringTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit StringTableModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : rows_;
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : cols_;
    }
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void SetSize(int rows, int cols);
    QString Cell(int col, int row) const;
    // Changes a text without signalling; EndUpdate signals once.
    void SetCellQuietly(int col, int row, const QString& text);
    void EndUpdate();
    void SetEditable(bool editable) { editable_ = editable; }
    int fixedRows = 1;
    int fixedCols = 1;

Q_SIGNALS:
    // The operator changed a cell's text (column, row, new text).
    void cellEdited(int col, int row, const QString& text);

private:
    int rows_ = 0;
    int cols_ = 0;
    QVector<QStringList> cells_;  // [row][col]
    bool editable_ = false;
};

// A grid of texts with fixed column widths, the window's table control.
class StringGrid : public QTableView {
    Q_OBJECT
public:
    StringGrid(const QString& objectName, int rows, int cols, QWidget* parent = nullptr);

    int RowCount() const { return model_->rowCount(); }
    int ColCount() const { return model_->columnCount(); }
    void SetRowCount(int rows);
    void SetColCount(int cols);
    QString Cell(int col, int row) const { return model_->Cell(col, row); }
    void SetCell(int col, int row, const QString& text);  // signals at once
    void SetColWidth(int col, int width);
    int ColWidth(int col) const { return columnWidth(col); }
    void SetEditable(bool editable);
    StringTableModel* model_;

    // Batch of cell changes with one notification at the end.
    class Update {
    public:
        explicit Update(StringGrid& grid) : grid_(grid) {}
        ~Update() { grid_.model_->EndUpdate(); }
        void Set(int col, int row, const QString& text) {
            grid_.model_->SetCellQuietly(col, row, text);
        }

    private:
        StringGrid& grid_;
    };
};

}  // namespace kelvra
