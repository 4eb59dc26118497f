#include "DataGrid.h"

#include "DataGuard.h"
#include "Dialogs.h"
#include "FieldText.h"
#include "framework/base/Error.h"
#include "framework/host/IniFile.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QScopeGuard>

#include <limits>

namespace fw::ui {

// ---------------------------------------------------------------------------
// GridColumn

std::optional<GridColumn> GridColumn::fromLine(const QString &line)
{
    const QStringList parts = line.split(QLatin1Char('\t'));
    GridColumn c;
    c.fieldName = parts.value(0).trimmed();
    if (c.fieldName.isEmpty())
        return std::nullopt;
    c.width = parts.value(1).trimmed().toInt();
    c.title = parts.value(2);
    c.readOnly = parts.size() >= 4 && line.endsWith(QLatin1Char('T'));
    return c;
}

QString GridColumn::toLine() const
{
    return fieldName + QLatin1Char('\t') + QString::number(width) + QLatin1Char('\t') + title + QLatin1Char('\t') +
           (readOnly ? QLatin1Char('T') : QLatin1Char('F'));
}

// ---------------------------------------------------------------------------
// DataGridModel

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

const DataGridModel::Cell *DataGridModel::cell(int row, int column, Cell &scratch) const
{
    Field *f = field(column);
    if (!f)
        return nullptr;
    // The current row (and a row being inserted) is read from the fields themselves.
    if (row == m_insertRow || row == m_currentRow) {
        scratch = Cell{f->value(), f->displayText(), f->text()};
        return &scratch;
    }
    const int stored = (m_insertRow >= 0 && row > m_insertRow) ? row - 1 : row;
    if (stored < 0 || stored >= int(m_rows.size()) || f->index() >= int(m_rows[size_t(stored)].size()))
        return nullptr;
    return &m_rows[size_t(stored)][size_t(f->index())];
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
            writeFieldText(*f, value.toString());
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
    try {
        if (ds->uniDirectional()) {
            if (!ds->isEmpty())
                m_rows.push_back(readCurrent());
            m_currentRow = m_rows.empty() ? -1 : 0;
        } else if (!ds->isEmpty()) {
            const int current = ds->recNo();
            // On demand only the records the data set holds already are read.
            const int known = m_grid->m_fetchOnDemand ? ds->recordCount() : -1;
            m_mayHaveMore = known >= 0;
            ds->disableControls();
            try {
                ds->first();
                while (!ds->eof()) {
                    m_rows.push_back(readCurrent());
                    if (known >= 0 && int(m_rows.size()) >= known)
                        break;
                    ds->next();
                }
                ds->setRecNo(current);
            } catch (...) {
                ds->enableControls();
                throw;
            }
            ds->enableControls();
            m_currentRow = ds->recNo() - 1;
        }
    } catch (...) {
        m_walking = false;
        endResetModel();
        try {
            throw;
        } catch (const Abort &) {
        } catch (...) {
            handleCurrentError();
        }
        return;
    }
    m_walking = false;
    endResetModel();
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
        ds->disableControls();
        const auto enable = qScopeGuard([ds] { ds->enableControls(); });
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
        m_walking = false;
        m_mayHaveMore = false; // scrolling on must not repeat a failing read
        handleCurrentError();  // a step cancelled on purpose passes quietly
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

// ---------------------------------------------------------------------------
// DataGrid

DataGrid::DataGrid(QWidget *parent) : QTableView(parent), m_model(new DataGridModel(this))
{
    setModel(m_model);
    setItemDelegate(new DataGridDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setReadOnly(false);
    setTabKeyNavigation(false);
    verticalHeader()->setVisible(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    horizontalHeader()->setHighlightSections(false);
    // Widths the user drags are kept in the columns, so a model reset (which
    // re-creates the header sections) and the saved layout both keep them.
    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this, [this] { m_resetting = true; });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { m_resetting = false; });
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int logical, int, int size) {
        if (m_resetting || m_applyingWidths || logical < 0 || logical >= gridColumnCount())
            return;
        m_columns[size_t(logical)].width = pixelsToChars(size);
    });
    m_focusConnection = connect(qApp, &QApplication::focusChanged, this,
                                guardedData([this](QWidget *old, QWidget *now) { focusChanged(old, now); }));
}

DataGrid::~DataGrid()
{
    // The focus leaves a widget only once it is half destroyed: too late to call back into it.
    disconnect(m_focusConnection);
    for (const auto &c : m_sourceConnections)
        disconnect(c);
}

void DataGrid::setReadOnly(bool readOnly)
{
    setEditTriggers(readOnly ? QAbstractItemView::NoEditTriggers
                             : QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                                   QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
}

bool DataGrid::isReadOnlyGrid() const
{
    return editTriggers() == QAbstractItemView::NoEditTriggers;
}

void DataGrid::setDataSource(DataSource *source)
{
    if (source == m_source)
        return;
    for (const auto &c : m_sourceConnections)
        disconnect(c);
    m_sourceConnections.clear();
    m_source = source;
    if (source) {
        m_sourceConnections.push_back(connect(source, &DataSource::dataChanged, this, guardedData([this] { attach(); })));
        m_sourceConnections.push_back(connect(source, &DataSource::activeChanged, this, guardedData([this](bool) {
                                                  attach();
                                              })));
        m_sourceConnections.push_back(connect(source, &DataSource::layoutChanged, this, guardedData([this] { attach(); })));
        m_sourceConnections.push_back(connect(source, &DataSource::scrolled, this, guardedData([this] {
                                                  m_model->syncCurrentRow();
                                                  moveToRow(m_model->currentRow(), selectedIndex());
                                              })));
        m_sourceConnections.push_back(connect(source, &DataSource::recordChanged, this, guardedData([this](Field *) {
                                                  m_model->currentRecordChanged();
                                              })));
        m_sourceConnections.push_back(connect(source, &DataSource::stateChanged, this,
                                              guardedData([this](DataSetState s) { m_model->stateChanged(s); })));
        m_sourceConnections.push_back(connect(source, &DataSource::updateData, this, guardedData([this] {
                                                  if (m_editor && state() == QAbstractItemView::EditingState)
                                                      commitData(m_editor);
                                              })));
        m_sourceConnections.push_back(connect(source, &QObject::destroyed, this, [this] { attach(); }));
    }
    attach();
}

bool DataGrid::dataSetOpen() const
{
    DataSet *ds = dataSet();
    return ds && ds->active();
}

void DataGrid::attach()
{
    if (m_model->m_walking)
        return;
    if (!m_columnsDefined)
        defaultColumns();
    const int column = std::max(selectedIndex(), 0);
    m_model->reload();
    applyColumns();
    moveToRow(m_model->currentRow(), column);
}

void DataGrid::defaultColumns()
{
    m_columns.clear();
    DataSet *ds = dataSet();
    if (!ds || !ds->active())
        return;
    for (const auto &f : ds->fields()) {
        if (f->visible())
            m_columns.push_back(GridColumn{f->fieldName(), f->displayWidth(), f->displayLabel(), false});
    }
}

QStringList DataGrid::columnDefinitions() const
{
    QStringList lines;
    for (int i = 0; i < int(m_columns.size()); ++i) {
        GridColumn c = m_columns[size_t(i)];
        c.width = columnWidthInChars(i);
        lines << c.toLine();
    }
    return lines;
}

void DataGrid::setColumnDefinitions(const QStringList &lines)
{
    const int column = selectedIndex();
    std::vector<GridColumn> columns;
    for (const QString &line : lines)
        if (auto c = GridColumn::fromLine(line))
            columns.push_back(*c);
    m_columns = std::move(columns);
    m_columnsDefined = true;
    m_model->columnsChanged();
    applyColumns();
    moveToRow(m_model->currentRow(), std::clamp(column, 0, std::max(0, gridColumnCount() - 1)));
}

void DataGrid::applyColumns()
{
    m_applyingWidths = true;
    const auto done = qScopeGuard([this] { m_applyingWidths = false; });
    for (int i = 0; i < int(m_columns.size()); ++i) {
        int chars = m_columns[size_t(i)].width;
        if (chars <= 0) {
            Field *f = m_model->field(i);
            chars = f ? f->displayWidth() : 10;
        }
        setColumnWidth(i, charsToPixels(chars));
    }
}

int DataGrid::charsToPixels(int chars) const
{
    return chars * fontMetrics().horizontalAdvance(QLatin1Char('0')) + 4;
}

int DataGrid::pixelsToChars(int pixels) const
{
    const int charWidth = std::max(1, fontMetrics().horizontalAdvance(QLatin1Char('0')));
    return std::max(1, int(std::lround(double(pixels - 4) / charWidth)));
}

int DataGrid::columnWidthInChars(int column) const
{
    if (column < 0 || column >= gridColumnCount())
        return 0;
    if (horizontalHeader()->count() <= column)
        return m_columns[size_t(column)].width;
    return pixelsToChars(columnWidth(column));
}

int DataGrid::selectedIndex() const
{
    if (m_columns.empty())
        return -1;
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.column() : m_selectedColumn;
}

void DataGrid::setSelectedIndex(int column)
{
    if (column < 0 || column >= gridColumnCount())
        return;
    moveToRow(m_model->currentRow(), column);
}

void DataGrid::moveToRow(int row, int column)
{
    if (column >= 0)
        m_selectedColumn = column;
    if (row < 0 || row >= m_model->rowCount() || column < 0 || column >= m_model->columnCount())
        return;
    const QModelIndex target = m_model->index(row, column);
    if (currentIndex() == target)
        return;
    setCurrentIndex(target);
}

void DataGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    runDataStep([&] {
        if (current.isValid() && current.row() != m_model->currentRow() && !m_syncing) {
            DataSet *ds = dataSet();
            if (ds && ds->active()) {
                m_syncing = true;
                try {
                    ds->checkBrowseMode();
                    if (current.row() < m_model->rowCount() && m_model->m_insertRow < 0)
                        ds->setRecNo(current.row() + 1);
                } catch (...) {
                    m_syncing = false;
                    throw;
                }
                m_syncing = false;
            }
        }
        const int before = previous.isValid() ? previous.column() : -1;
        const int now = current.isValid() ? current.column() : -1;
        if (now >= 0)
            m_selectedColumn = now;
        if (before != now) {
            if (before >= 0) {
                colExit();
                emit columnExited(before);
            }
            if (now >= 0) {
                colEnter();
                emit columnEntered(now);
            }
        }
        placeCellEditor();
    });
}

// --- layout store ----------------------------------------------------------------

QString DataGrid::effectiveLayoutSection() const
{
    if (!m_layoutSection.isEmpty())
        return m_layoutSection;
    const QWidget *w = window();
    return (w && w != this ? w->objectName() : QString()) + objectName();
}

void DataGrid::saveLayout()
{
    // A grid without columns (closed before they were made) never wipes a stored layout.
    if (!m_layoutEnabled || m_layoutFile.isEmpty() || m_columns.empty())
        return;
    fw::host::IniFile ini(m_layoutFile);
    if (!ini.load())
        throw Error(QStringLiteral("No se puede leer %1").arg(m_layoutFile));
    const QString section = effectiveLayoutSection();
    ini.eraseSection(section);
    const QStringList lines = columnDefinitions();
    for (int i = 0; i < lines.size(); ++i)
        ini.writeString(section, QStringLiteral("Columna%1").arg(i + 1), lines[i]);
    if (!ini.save())
        throw Error(QStringLiteral("No se puede escribir %1").arg(m_layoutFile));
}

QStringList DataGrid::storedLayout() const
{
    if (m_layoutFile.isEmpty())
        return {};
    fw::host::IniFile ini(m_layoutFile);
    if (!ini.load())
        return {};
    const QString section = effectiveLayoutSection();
    QStringList lines;
    for (const QString &key : ini.keys(section))
        lines << ini.readString(section, key);
    return lines;
}

bool DataGrid::loadLayout()
{
    if (!m_layoutEnabled || m_layoutFile.isEmpty())
        return false;
    const QStringList stored = storedLayout();
    if (stored.isEmpty())
        return false;
    DataSet *ds = dataSet();
    QStringList lines;
    QStringList names;
    for (const QString &line : stored) {
        const auto c = GridColumn::fromLine(line);
        // A column whose field the data set no longer has is left out.
        if (!c || (ds && ds->active() && !ds->findField(c->fieldName)))
            continue;
        lines << c->toLine();
        names << c->fieldName.toUpper();
    }
    if (m_addNewFields) {
        for (const GridColumn &c : m_columns) {
            if (!names.contains(c.fieldName.toUpper()) && (!ds || !ds->active() || ds->findField(c.fieldName)))
                lines << c.toLine();
        }
    }
    setColumnDefinitions(lines);
    return true;
}

// --- options -------------------------------------------------------------------------

void DataGrid::setTitleLines(int lines)
{
    m_titleLines = std::max(1, lines);
    horizontalHeader()->setDefaultAlignment(Qt::Alignment(Qt::AlignCenter | Qt::TextWordWrap));
    horizontalHeader()->setMinimumHeight(fontMetrics().lineSpacing() * m_titleLines + 6);
}

void DataGrid::setRowHeightPercent(int percent)
{
    verticalHeader()->setDefaultSectionSize(std::max(1, fontMetrics().height() * percent / 100 + 4));
}

void DataGrid::setCellEditor(const QString &fieldName, QWidget *editor)
{
    m_cellEditors.erase(std::remove_if(m_cellEditors.begin(), m_cellEditors.end(),
                                       [&](const auto &e) { return e.first.compare(fieldName, Qt::CaseInsensitive) == 0; }),
                        m_cellEditors.end());
    if (editor) {
        editor->setParent(viewport());
        editor->installEventFilter(this);
        editor->hide();
        m_cellEditors.emplace_back(fieldName, editor);
    }
    placeCellEditor();
}

QWidget *DataGrid::cellEditorFor(int column) const
{
    if (column < 0 || column >= gridColumnCount())
        return nullptr;
    for (const auto &e : m_cellEditors)
        if (e.second && e.first.compare(m_columns[size_t(column)].fieldName, Qt::CaseInsensitive) == 0)
            return e.second;
    return nullptr;
}

void DataGrid::placeCellEditor()
{
    const QModelIndex current = currentIndex();
    QWidget *active = current.isValid() ? cellEditorFor(current.column()) : nullptr;
    for (const auto &e : m_cellEditors) {
        if (e.second && e.second != active)
            e.second->hide();
    }
    if (active) {
        active->setGeometry(visualRect(current));
        active->show();
        active->raise();
    }
}

void DataGrid::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    placeCellEditor();
}

void DataGrid::updateGeometries()
{
    QTableView::updateGeometries();
    placeCellEditor();
}

// --- painting ------------------------------------------------------------------------

CellLook DataGrid::cellLook(const QModelIndex &index, CellStates state, bool highlighted) const
{
    CellLook look;
    look.font = font();
    look.textColor = palette().color(highlighted ? QPalette::HighlightedText : QPalette::Text);
    look.background = palette().brush(highlighted ? QPalette::Highlight : QPalette::Base);
    if (onCalcCellColors && index.isValid()) {
        Field *f = m_model->field(index.column());
        m_paintingRow = index.row();
        try {
            onCalcCellColors(f, state, highlighted, look);
        } catch (...) {
            m_paintingRow = -1;
            handleCurrentError();
            return look;
        }
        m_paintingRow = -1;
    }
    return look;
}

CellLook DataGrid::cellLook(int row, int column) const
{
    return cellLook(m_model->index(row, column), {}, false);
}

QVariant DataGrid::rowValue(int row, const QString &fieldName) const
{
    DataSet *ds = dataSet();
    Field *f = ds && ds->active() ? ds->findField(fieldName) : nullptr;
    if (!f)
        return {};
    const bool live = row == m_model->m_insertRow || row == m_model->m_currentRow;
    if (live)
        return f->value();
    const int stored = (m_model->m_insertRow >= 0 && row > m_model->m_insertRow) ? row - 1 : row;
    if (stored < 0 || stored >= int(m_model->m_rows.size()) || f->index() >= int(m_model->m_rows[size_t(stored)].size()))
        return {};
    return m_model->m_rows[size_t(stored)][size_t(f->index())].value;
}

// --- keys ------------------------------------------------------------------------------

bool DataGrid::event(QEvent *e)
{
    // Tab would move the focus out before the grid sees it; the grid decides.
    if (e->type() == QEvent::KeyPress) {
        auto *ke = static_cast<QKeyEvent *>(e);
        if (ke->key() == Qt::Key_Tab || ke->key() == Qt::Key_Backtab) {
            keyPressEvent(ke);
            return true;
        }
    }
    return QTableView::event(e);
}

void DataGrid::keyPressEvent(QKeyEvent *e)
{
    runDataStep([&] { keyDown(e); });
}

void DataGrid::handleKey(QKeyEvent *e)
{
    runDataStep([&] { keyDown(e); });
}

bool DataGrid::ownerKeyDown(QKeyEvent *e)
{
    if (!onKeyDown)
        return true;
    int key = e->key();
    onKeyDown(key, e->modifiers());
    return key != 0;
}

void DataGrid::keyDown(QKeyEvent *e)
{
    if (!ownerKeyDown(e))
        return;
    baseKeyDown(e);
}

void DataGrid::keyPress(QString &text)
{
    if (onKeyPress)
        onKeyPress(text);
}

QString DataGrid::filterTypedText(const QString &text)
{
    QString t = text;
    runDataStep([&] { keyPress(t); });
    // What the cell's field cannot hold is refused, as the edit does.
    if (!t.isEmpty() && !isValidFieldChar(m_model->field(selectedIndex()), t.at(0)))
        t.clear();
    return t;
}

void DataGrid::nextCell(bool forward)
{
    const int column = selectedIndex();
    const int row = m_model->currentRow();
    if (forward) {
        if (column < gridColumnCount() - 1) {
            setSelectedIndex(column + 1);
            return;
        }
        moveRows(1, true, 0);
    } else {
        if (column > 0) {
            setSelectedIndex(column - 1);
            return;
        }
        if (row > 0)
            moveRows(-1, false, gridColumnCount() - 1);
    }
}

void DataGrid::moveRows(int distance, bool appendAtEnd, int column)
{
    DataSet *ds = dataSet();
    if (!ds || !ds->active())
        return;
    const int target = column >= 0 ? column : selectedIndex();
    if (ds->state() == DataSetState::Insert && distance > 0 && !ds->modified())
        return; // an untouched new row: nothing below it yet
    ds->checkBrowseMode();
    // Records not read yet lie beyond the last one held, not past the end.
    if (m_fetchOnDemand && distance > 0 && !ds->isEmpty() && ds->recNo() >= ds->recordCount())
        m_model->readMoreRows(ds->recNo() + distance, true);
    const bool atEnd = distance > 0 && (ds->isEmpty() || ds->recNo() >= ds->recordCount());
    if (atEnd) {
        // Past the last row a new one is added, when the grid allows it.
        if (appendAtEnd && m_allowInsert && ds->canModify() && !isReadOnlyGrid()) {
            try {
                ds->append();
            } catch (const Abort &) {
            }
        }
    } else {
        ds->moveBy(distance);
    }
    m_model->syncCurrentRow();
    moveToRow(m_model->currentRow(), target);
}

void DataGrid::baseKeyDown(QKeyEvent *e)
{
    DataSet *ds = dataSet();
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    const bool fromEditor = m_keyFromEditor;
    switch (e->key()) {
    case Qt::Key_Tab:
        if (mods & Qt::ShiftModifier)
            nextCell(false);
        else
            nextCell(true);
        return;
    case Qt::Key_Backtab:
        nextCell(false);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_enterAsTab) {
            nextCell(!(mods & Qt::ShiftModifier));
        } else if (!fromEditor && currentIndex().isValid()) {
            edit(currentIndex(), QAbstractItemView::EditKeyPressed, e);
        }
        return;
    case Qt::Key_Up:
        if (ds && ds->active() && ds->state() == DataSetState::Insert && !ds->modified()) {
            ds->cancel();
            return;
        }
        moveRows(-1, false);
        return;
    case Qt::Key_Down:
        moveRows(1, true);
        return;
    case Qt::Key_PageUp:
        moveRows(-std::max(1, viewport()->height() / std::max(1, rowHeight(0)) - 1), false);
        return;
    case Qt::Key_PageDown:
        moveRows(std::max(1, viewport()->height() / std::max(1, rowHeight(0)) - 1), false);
        return;
    case Qt::Key_Left:
        if (selectedIndex() > 0)
            setSelectedIndex(selectedIndex() - 1);
        return;
    case Qt::Key_Right:
        if (selectedIndex() < gridColumnCount() - 1)
            setSelectedIndex(selectedIndex() + 1);
        return;
    case Qt::Key_Home:
        if (mods & Qt::ControlModifier) {
            if (ds && ds->active()) {
                ds->first();
                moveToRow(m_model->currentRow(), selectedIndex());
            }
        } else {
            setSelectedIndex(0);
        }
        return;
    case Qt::Key_End:
        if (mods & Qt::ControlModifier) {
            if (ds && ds->active()) {
                ds->last();
                moveToRow(m_model->currentRow(), selectedIndex());
            }
        } else {
            setSelectedIndex(gridColumnCount() - 1);
        }
        return;
    case Qt::Key_Insert:
        if (mods == Qt::NoModifier && ds && ds->active() && m_allowInsert && ds->canModify() && !isReadOnlyGrid()) {
            try {
                ds->insert();
            } catch (const Abort &) {
            }
            moveToRow(m_model->currentRow(), selectedIndex());
        }
        return;
    case Qt::Key_Delete:
        if ((mods & Qt::ControlModifier) && ds && ds->active() && !ds->isEmpty()) {
            if (!m_allowDelete || !ds->canModify() || isReadOnlyGrid())
                return;
            if (dialogs().confirm(QStringLiteral("¿Borrar el registro?"), QApplication::applicationDisplayName())) {
                try {
                    ds->remove();
                } catch (const Abort &) {
                }
            }
            return;
        }
        break;
    case Qt::Key_Escape:
        if (ds && ds->active() && (ds->state() == DataSetState::Edit || ds->state() == DataSetState::Insert)) {
            ds->cancel();
            return;
        }
        e->ignore(); // a dialog's cancel button may want it
        return;
    case Qt::Key_F2:
        if (currentIndex().isValid())
            edit(currentIndex(), QAbstractItemView::EditKeyPressed, e);
        return;
    default:
        break;
    }
    QTableView::keyPressEvent(e);
}

bool DataGrid::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    // A column with a widget of its own is edited there.
    if (QWidget *editor = cellEditorFor(index.column())) {
        if (trigger == QAbstractItemView::AllEditTriggers || trigger == QAbstractItemView::CurrentChanged ||
            trigger == QAbstractItemView::SelectedClicked)
            return false;
        placeCellEditor();
        if (!(model()->flags(index) & Qt::ItemIsEditable))
            return false;
        editor->setFocus(Qt::OtherFocusReason);
        // Typing replaces the cell's text, as in the grid's own editor.
        QLineEdit *line = qobject_cast<QLineEdit *>(editor);
        if (auto *combo = qobject_cast<QComboBox *>(editor))
            line = combo->lineEdit();
        if (event && event->type() == QEvent::KeyPress) {
            auto *ke = static_cast<QKeyEvent *>(event);
            if (!ke->text().isEmpty() && ke->text().at(0).isPrint()) {
                const QString typed = filterTypedText(ke->text());
                if (typed.isEmpty())
                    return true;
                if (line)
                    line->selectAll();
                QKeyEvent copy(QEvent::KeyPress, typed.at(0).toUpper().unicode(), ke->modifiers(), typed);
                QApplication::sendEvent(editor, &copy);
            }
        }
        return true;
    }
    return QTableView::edit(index, trigger, event);
}

bool DataGrid::eventFilter(QObject *watched, QEvent *event)
{
    // Leaving, confirming or cancelling a cell editor is the grid's business.
    if (event->type() == QEvent::KeyPress) {
        const bool isCellEditor = std::any_of(m_cellEditors.begin(), m_cellEditors.end(),
                                              [&](const auto &e) { return e.second == watched; });
        auto *ke = static_cast<QKeyEvent *>(event);
        switch (isCellEditor ? ke->key() : 0) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            setFocus(Qt::OtherFocusReason); // the editor writes its value as the focus leaves it
            m_keyFromEditor = true;
            handleKey(ke);
            m_keyFromEditor = false;
            return true;
        default:
            break;
        }
    }
    return QTableView::eventFilter(watched, event);
}

// --- focus -----------------------------------------------------------------------------

bool DataGrid::contains(const QWidget *w) const
{
    for (; w; w = w->parentWidget())
        if (w == this)
            return true;
    return false;
}

void DataGrid::focusChanged(QWidget *old, QWidget *now)
{
    const bool wasInside = contains(old);
    const bool isInside = contains(now);
    if (!wasInside && isInside)
        doEnter();
    else if (wasInside && !isInside) {
        if (m_editor && state() == QAbstractItemView::EditingState)
            commitData(m_editor);
        doExit();
    }
}

// ---------------------------------------------------------------------------
// DataGridDelegate

DataGridDelegate::DataGridDelegate(DataGrid *grid) : QStyledItemDelegate(grid), m_grid(grid) {}

void DataGridDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    CellStates state;
    if (option->state & QStyle::State_Selected)
        state |= CellState::Selected;
    if (option->state & QStyle::State_HasFocus)
        state |= CellState::Focused;
    const bool highlighted = (option->state & QStyle::State_Selected) != 0;
    const CellLook look = m_grid->cellLook(index, state, highlighted);
    option->font = look.font;
    option->fontMetrics = QFontMetrics(look.font);
    if (highlighted) {
        option->palette.setBrush(QPalette::Highlight, look.background);
        option->palette.setColor(QPalette::HighlightedText, look.textColor);
    } else {
        option->backgroundBrush = look.background;
        option->palette.setColor(QPalette::Text, look.textColor);
    }
}

void DataGridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    if (m_grid->onDrawColumnCell && index.column() < m_grid->gridColumnCount()) {
        CellStates state;
        if (option.state & QStyle::State_Selected)
            state |= CellState::Selected;
        if (option.state & QStyle::State_HasFocus)
            state |= CellState::Focused;
        runDataStep([&] {
            m_grid->onDrawColumnCell(option.rect, index.column(), m_grid->columns()[size_t(index.column())], state);
        });
    }
}

QWidget *DataGridDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const
{
    auto *editor = new QLineEdit(parent);
    editor->setFrame(false);
    if (Field *f = m_grid->gridModel()->field(index.column())) {
        editor->setAlignment(f->alignment());
        if (f->isText() && f->size() > 0)
            editor->setMaxLength(f->size());
    }
    m_grid->m_editor = editor;
    return editor;
}

void DataGridDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (auto *line = qobject_cast<QLineEdit *>(editor)) {
        // Keep what the user is typing when the row repaints under the editor.
        if (line->isModified())
            return;
        line->setText(index.data(Qt::EditRole).toString());
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

bool DataGridDelegate::eventFilter(QObject *object, QEvent *event)
{
    auto *editor = qobject_cast<QWidget *>(object);
    if (!editor || event->type() != QEvent::KeyPress)
        return QStyledItemDelegate::eventFilter(object, event);
    auto *ke = static_cast<QKeyEvent *>(event);
    switch (ke->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Escape: {
        // The editor only edits; moving and cancelling are the grid's.
        if (ke->key() == Qt::Key_Escape) {
            emit closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
        } else {
            emit commitData(editor);
            emit closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
        m_grid->m_keyFromEditor = true;
        m_grid->handleKey(ke);
        m_grid->m_keyFromEditor = false;
        return true;
    }
    default:
        break;
    }
    const QString text = ke->text();
    if (!m_filtering && !text.isEmpty() && text.at(0).isPrint() &&
        !(ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        const QString typed = m_grid->filterTypedText(text);
        if (typed.isEmpty())
            return true;
        if (typed != text) {
            const int key = typed.at(0).toUpper().unicode();
            QKeyEvent replaced(QEvent::KeyPress, key, ke->modifiers(), typed);
            m_filtering = true;
            QApplication::sendEvent(editor, &replaced);
            m_filtering = false;
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

} // namespace fw::ui
