#pragma once
#include "framework/db/DataSet.h"

#include <QAbstractTableModel>

#include <vector>

namespace fw::ui {

class DataGrid;

/// Table model over a grid's data source: one row per record, one column per
/// grid column. Rows other than the current one are read by walking the data
/// set once (controls disabled, current record restored) whenever its rows
/// change; the current row is always read live from the fields. Editing a cell
/// puts the data set in edit mode and sets the field; moving to another row posts.
class DataGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit DataGridModel(DataGrid *grid);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    /// The field shown in a column; null when the data set lacks it or is closed.
    Field *field(int column) const;
    /// Value of a field on a row: live on the current row and on a row being
    /// inserted, as read before on the others; invalid when the row has none.
    QVariant value(int row, const Field &field) const;
    /// Row of the data set's current record; -1 when there is none.
    int currentRow() const { return m_currentRow; }
    /// Reads every row again.
    void reload();
    /// Columns changed: reread.
    void columnsChanged();
    /// Small-integer and boolean columns show a check box.
    static bool isCheckField(const Field *field);

    /// Reading rows on demand: more records are read only when the view
    /// scrolls to them.
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

private:
    friend class DataGrid;
    struct Cell
    {
        QVariant value;
        QString display;
        QString edit;
    };
    using Row = std::vector<Cell>;
    Row readCurrent() const;
    void readRows(DataSet &ds);
    bool isLive(int row) const;
    const Cell *storedCell(int row, const Field &field) const;
    const Cell *cell(int row, int column, Cell &scratch) const;
    void syncCurrentRow();
    void currentRecordChanged();
    void stateChanged(DataSetState state);
    /// Reads the records between the last row read and `upTo` (1-based); with
    /// `more`, first asks the data set for the next records from its source.
    void readMoreRows(int upTo, bool more);

    DataGrid *m_grid;
    std::vector<Row> m_rows;
    int m_currentRow = -1;
    int m_insertRow = -1; ///< row of a record being inserted, -1 when none
    bool m_walking = false;
    bool m_mayHaveMore = false; ///< on demand: the data set may hold records not read yet
};

} // namespace fw::ui
