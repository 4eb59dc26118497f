#include "framework/ui/DataGrid.h"

#include "framework/ui/DataGridDelegate.h"
#include "framework/ui/DataGuard.h"
#include "framework/ui/GridLayoutStore.h"

#include <QApplication>
#include <QHeaderView>
#include <QScopeGuard>
#include <QScopedValueRollback>

#include <algorithm>
#include <cmath>

namespace fw::ui {

DataGrid::DataGrid(QWidget *parent) : KeyHooked<QTableView>(parent), m_model(new DataGridModel(this))
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
                const QScopedValueRollback syncing(m_syncing, true);
                ds->checkBrowseMode();
                if (current.row() < m_model->rowCount() && m_model->m_insertRow < 0)
                    ds->setRecNo(current.row() + 1);
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
    GridLayoutStore(m_layoutFile, effectiveLayoutSection()).write(columnDefinitions());
}

QStringList DataGrid::storedLayout() const
{
    return GridLayoutStore(m_layoutFile, effectiveLayoutSection()).lines();
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
        auto c = GridColumn::fromLine(line);
        // A column whose field the data set no longer has is left out.
        if (!c || (ds && ds->active() && !ds->findField(c->fieldName)))
            continue;
        // The file is the host's and may be damaged: a width no column can have takes the defined one.
        if (!GridLayoutStore::widthAccepted(c->width)) {
            const auto defined = std::find_if(m_columns.begin(), m_columns.end(), [&](const GridColumn &d) {
                return d.fieldName.compare(c->fieldName, Qt::CaseInsensitive) == 0;
            });
            c->width = defined != m_columns.end() ? defined->width : 0;
        }
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
        runDataStep([&] {
            const QScopedValueRollback painting(m_paintingRow, index.row());
            onCalcCellColors(f, state, highlighted, look);
        });
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
    const Field *f = ds && ds->active() ? ds->findField(fieldName) : nullptr;
    return f ? m_model->value(row, *f) : QVariant();
}

// --- focus -----------------------------------------------------------------------------

bool DataGrid::contains(const QWidget *w) const
{
    for (; w; w = w->parentWidget())
        if (w == this)
            return true;
    return false;
}

bool DataGrid::focusAwayForAWhile() const
{
    const QWidget *now = QApplication::focusWidget();
    return window()->isVisible() && !contains(now) && (!now || now->window() != window());
}

void DataGrid::focusChanged(QWidget *, QWidget *now)
{
    if (focusAwayForAWhile())
        return;
    const bool isInside = contains(now);
    if (isInside == m_focusInside)
        return;
    m_focusInside = isInside;
    if (isInside) {
        doEnter();
    } else {
        if (m_editor && state() == QAbstractItemView::EditingState)
            commitData(m_editor);
        doExit();
    }
}

} // namespace fw::ui
