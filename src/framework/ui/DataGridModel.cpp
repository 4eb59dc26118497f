#include "framework/ui/DataGridModel.h"

#include "framework/base/Error.h"
#include "framework/ui/DataGrid.h"
#include "framework/ui/DataGuard.h"
#include "framework/ui/FieldText.h"

#include <QBrush>

#include <algorithm>
#include <exception>
#include <limits>

namespace fw::ui {

namespace {

bool editingState(DataSetState s)
{
    return s == DataSetState::Edit || s == DataSetState::Insert;
}

} // namespace

DataGridModel::DataGridModel(DataGrid *grid) : QAbstractTableModel(grid), m_grid(grid) {}

bool DataGridModel::isCheckField(const Field *field)
{
    return field && (field->dataType() == FieldType::SmallInt || field->dataType() == FieldType::Boolean);
}

Field *DataGridModel::field(int column) const
{
    DataSet *ds = m_grid->dataSet();
    if (!ds || !ds->active() || column < 0 || column >= int(m_grid->m_columns.size()))
        return nullptr;
    return ds->findField(m_grid->m_columns[size_t(column)].fieldName);
}

int DataGridModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return int(m_rows.size()) + (m_insertRow >= 0 ? 1 : 0);
}

int DataGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_grid->m_columns.size());
}

DataGridModel::Row DataGridModel::readCurrent() const
{
    Row row;
    DataSet *ds = m_grid->dataSet();
    row.reserve(size_t(ds->fieldCount()));
    for (const auto &f : ds->fields())
        row.push_back(Cell{f->value(), f->displayText(), f->text()});
    return row;
}

bool DataGridModel::isLive(int row) const
{
    // The current row (and a row being inserted) is read from the fields themselves.
    return row == m_insertRow || row == m_currentRow;
}

const DataGridModel::Cell *DataGridModel::storedCell(int row, const Field &f) const
{
    const int stored = (m_insertRow >= 0 && row > m_insertRow) ? row - 1 : row;
    if (stored < 0 || stored >= int(m_rows.size()) || f.index() >= int(m_rows[size_t(stored)].size()))
        return nullptr;
    return &m_rows[size_t(stored)][size_t(f.index())];
}

const DataGridModel::Cell *DataGridModel::cell(int row, int column, Cell &scratch) const
{
    Field *f = field(column);
    if (!f)
        return nullptr;
    if (isLive(row)) {
        scratch = Cell{f->value(), f->displayText(), f->text()};
        return &scratch;
    }
    return storedCell(row, *f);
}

QVariant DataGridModel::value(int row, const Field &field) const
{
    if (isLive(row))
        return field.value();
    const Cell *c = storedCell(row, field);
    return c ? c->value : QVariant();
}

QVariant DataGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    Field *f = field(index.column());
    if (!f)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
    case Qt::CheckStateRole: {
        Cell scratch;
        const Cell *c = cell(index.row(), index.column(), scratch);
        if (!c)
            return {};
        if (isCheckField(f)) {
            if (role != Qt::CheckStateRole)
                return {};
            const bool on = !c->value.isNull() && (c->value.typeId() == QMetaType::Bool ? c->value.toBool()
                                                                                        : c->value.toInt() != 0);
            return on ? Qt::Checked : Qt::Unchecked;
        }
        if (role == Qt::CheckStateRole)
            return {};
        return role == Qt::DisplayRole ? c->display : c->edit;
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(f->alignment() | Qt::AlignVCenter));
    case Qt::FontRole:
    case Qt::ForegroundRole:
    case Qt::BackgroundRole: {
        const CellLook look = m_grid->cellLook(index.row(), index.column());
        if (role == Qt::FontRole)
            return look.font;
        if (role == Qt::ForegroundRole)
            return QBrush(look.textColor);
        return look.background;
    }
    default:
        return {};
    }
}

bool DataGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole && role != Qt::CheckStateRole)
        return false;
    Field *f = field(index.column());
    if (!f || !(flags(index) & (Qt::ItemIsEditable | Qt::ItemIsUserCheckable)))
        return false;
    const QString caption = m_grid->columnCaption(index.column());
    if (role == Qt::EditRole) {
        // A value the field cannot hold is refused before the row moves or enters edit mode.
        try {
            fieldValueOfText(*f, value.toString(), caption);
        } catch (const Error &e) {
            m_grid->refuse(e.message());
            return false;
        }
    }
    bool done = false;
    runDataStep([&] {
        if (index.row() != m_currentRow && index.row() != m_insertRow)
            m_grid->moveToRow(index.row(), index.column());
        DataSet *ds = f->dataSet();
        if (!editingState(ds->state()) && !(m_grid->m_source && m_grid->m_source->edit()))
            return;
        if (role == Qt::CheckStateRole) {
            const bool on = value.toInt() == Qt::Checked;
            if (f->dataType() == FieldType::Boolean)
                f->setAsBoolean(on);
            else
                f->setAsInteger(on ? 1 : 0);
        } else {
            writeFieldText(*f, value.toString(), caption);
        }
        done = true;
    });
    if (done)
        emit dataChanged(this->index(index.row(), 0), this->index(index.row(), columnCount() - 1));
    return done;
}

Qt::ItemFlags DataGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    Field *f = field(index.column());
    if (!f)
        return flags;
    const GridColumn &column = m_grid->m_columns[size_t(index.column())];
    DataSet *ds = f->dataSet();
    const bool sourceEditable = m_grid->m_source && (m_grid->m_source->autoEdit() || editingState(ds->state()));
    bool editable = !m_grid->isReadOnlyGrid() && !column.readOnly && !f->readOnly() && ds->canModify() &&
                    sourceEditable && f->kind() != FieldKind::Lookup;
    if (f->kind() == FieldKind::Calculated && !m_grid->m_calcEditable)
        editable = false;
    if (isCheckField(f)) {
        if (editable)
            flags |= Qt::ItemIsUserCheckable;
        return flags;
    }
    if (editable)
        flags |= Qt::ItemIsEditable;
    return flags;
}

QVariant DataGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= int(m_grid->m_columns.size()))
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole) {
        const GridColumn &c = m_grid->m_columns[size_t(section)];
        if (!c.title.isEmpty())
            return c.title;
        Field *f = field(section);
        return f ? f->displayLabel() : c.fieldName;
    }
    return {};
}

void DataGridModel::reload()
{
    if (m_walking)
        return;
    beginResetModel();
    m_insertRow = -1;
    m_currentRow = -1;
    DataSet *ds = m_grid->dataSet();
    if (!ds || !ds->active() || !m_grid->m_source->enabled()) {
        m_rows.clear();
        endResetModel();
        return;
    }
    const DataSetState state = ds->state();
    if (editingState(state)) {
        // Moving now would post or cancel the record being edited: keep the rows read before.
        if (state == DataSetState::Insert) {
            m_insertRow = std::clamp(ds->recNo() - 1, 0, int(m_rows.size()));
            m_currentRow = m_insertRow;
        } else {
            m_currentRow = std::clamp(ds->recNo() - 1, -1, int(m_rows.size()) - 1);
        }
        endResetModel();
        return;
    }
    m_rows.clear();
    m_mayHaveMore = false;
    m_walking = true;
    std::exception_ptr error;
    try {
        readRows(*ds);
    } catch (...) {
        // Any error of the walk keeps the rows read so far; it is reported once the model is whole again.
        error = std::current_exception();
    }
    m_walking = false;
    endResetModel();
    if (error)
        runDataStep([&] { std::rethrow_exception(error); });
}

void DataGridModel::readRows(DataSet &ds)
{
    if (ds.uniDirectional()) {
        if (!ds.isEmpty())
            m_rows.push_back(readCurrent());
        m_currentRow = m_rows.empty() ? -1 : 0;
        return;
    }
    if (ds.isEmpty())
        return;
    const int current = ds.recNo();
    // On demand only the records the data set holds already are read.
    const int known = m_grid->m_fetchOnDemand ? ds.recordCount() : -1;
    m_mayHaveMore = known >= 0;
    {
        const ControlsDisabled quiet(ds);
        ds.first();
        while (!ds.eof()) {
            m_rows.push_back(readCurrent());
            if (known >= 0 && int(m_rows.size()) >= known)
                break;
            ds.next();
        }
        ds.setRecNo(current);
    }
    m_currentRow = ds.recNo() - 1;
}

bool DataGridModel::canFetchMore(const QModelIndex &parent) const
{
    DataSet *ds = m_grid->dataSet();
    return !parent.isValid() && m_grid->m_fetchOnDemand && m_mayHaveMore && !m_walking && ds && ds->active()
           && !ds->uniDirectional();
}

void DataGridModel::fetchMore(const QModelIndex &parent)
{
    if (canFetchMore(parent))
        readMoreRows(std::numeric_limits<int>::max(), true);
}

void DataGridModel::readMoreRows(int upTo, bool more)
{
    DataSet *ds = m_grid->dataSet();
    if (m_walking || !ds || !ds->active() || ds->uniDirectional() || editingState(ds->state()) || m_insertRow >= 0
        || !m_grid->m_source->enabled())
        return;
    const int have = int(m_rows.size());
    std::vector<Row> added;
    m_walking = true;
    try {
        const int current = ds->recNo();
        const ControlsDisabled quiet(*ds);
        if (more) {
            if (ds->isEmpty()) {
                m_mayHaveMore = false;
            } else {
                // Stepping past the last record held makes the data set read its next records.
                ds->setRecNo(ds->recordCount());
                ds->next();
                if (ds->eof())
                    m_mayHaveMore = false;
            }
        }
        upTo = std::min(upTo, ds->recordCount());
        if (upTo > have) {
            ds->setRecNo(have + 1);
            for (int i = have; i < upTo; ++i) {
                added.push_back(readCurrent());
                if (i + 1 < upTo)
                    ds->next();
            }
        }
        if (current > 0)
            ds->setRecNo(current);
    } catch (...) {
        // A failing read is reported once; scrolling on must not repeat it.
        m_walking = false;
        m_mayHaveMore = false;
        handleCurrentError();
        return;
    }
    m_walking = false;
    if (added.empty())
        return;
    beginInsertRows({}, have, have + int(added.size()) - 1);
    for (Row &r : added)
        m_rows.push_back(std::move(r));
    endInsertRows();
}

void DataGridModel::columnsChanged()
{
    beginResetModel();
    endResetModel();
}

void DataGridModel::syncCurrentRow()
{
    DataSet *ds = m_grid->dataSet();
    // The data set moved past the rows read so far (a search, the last record).
    if (m_grid->m_fetchOnDemand && ds && ds->active() && ds->recNo() > int(m_rows.size()))
        readMoreRows(ds->recNo(), false);
    const int before = m_currentRow;
    m_currentRow = ds && ds->active() && !ds->isEmpty() ? ds->recNo() - 1 : -1;
    if (m_insertRow >= 0)
        m_currentRow = m_insertRow;
    const int last = columnCount() - 1;
    if (last < 0)
        return;
    // The row left shows its stored values again, the new one the live fields.
    if (before >= 0 && before < rowCount() && before != m_currentRow)
        emit dataChanged(index(before, 0), index(before, last));
    if (m_currentRow >= 0 && m_currentRow < rowCount())
        emit dataChanged(index(m_currentRow, 0), index(m_currentRow, last));
}

void DataGridModel::currentRecordChanged()
{
    if (m_walking || m_currentRow < 0 || m_currentRow >= rowCount() || columnCount() == 0)
        return;
    emit dataChanged(index(m_currentRow, 0), index(m_currentRow, columnCount() - 1));
}

void DataGridModel::stateChanged(DataSetState)
{
    currentRecordChanged();
}

} // namespace fw::ui
