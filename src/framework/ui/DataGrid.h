#pragma once
#include "framework/db/DataSource.h"
#include "framework/ui/DataGridModel.h"
#include "framework/ui/GridColumn.h"
#include "framework/ui/KeyHooks.h"

#include <QPointer>
#include <QStringList>
#include <QTableView>

#include <functional>
#include <utility>
#include <vector>

namespace fw::ui {

/// A data-aware grid: a QTableView that follows a fw::DataSource through a
/// DataGridModel. Columns come from column definition lines (or, without any,
/// from the visible fields). The layout (columns, widths, titles) can be saved
/// to and loaded from a section of an ini file. Key options: Enter acts as Tab,
/// insert and delete by key. A cell-colour handler decides each cell's font,
/// text colour and background before it is painted.
///
/// The grid neither owns its data source nor the data set; it detaches itself
/// when either is destroyed.
class DataGrid : public KeyHooked<QTableView>
{
    Q_OBJECT
public:
    explicit DataGrid(QWidget *parent = nullptr);
    ~DataGrid() override;

    DataSource *dataSource() const { return m_source; }
    void setDataSource(DataSource *source);
    DataSet *dataSet() const { return m_source ? m_source->dataSet() : nullptr; }
    /// True when the grid has a data source whose data set is open.
    bool dataSetOpen() const;

    // --- columns -------------------------------------------------------------
    QStringList columnDefinitions() const;
    /// Replaces the columns and applies them (widths, titles).
    void setColumnDefinitions(const QStringList &lines);
    const std::vector<GridColumn> &columns() const { return m_columns; }
    /// Number of columns shown.
    int gridColumnCount() const { return int(m_columns.size()); }
    /// Index of the selected (current) column; -1 when there is none.
    int selectedIndex() const;
    void setSelectedIndex(int column);
    /// Width of a column in characters, from its width in pixels.
    int columnWidthInChars(int column) const;
    int charsToPixels(int chars) const;
    int pixelsToChars(int pixels) const;

    // --- layout store ----------------------------------------------------------
    /// Ini file holding layouts; an empty name disables the store.
    QString layoutFile() const { return m_layoutFile; }
    void setLayoutFile(const QString &path) { m_layoutFile = path; }
    bool layoutEnabled() const { return m_layoutEnabled; }
    void setLayoutEnabled(bool enabled) { m_layoutEnabled = enabled; }
    /// Section of the file; when empty, the window's name followed by the grid's name.
    QString layoutSection() const { return m_layoutSection; }
    void setLayoutSection(const QString &section) { m_layoutSection = section; }
    QString effectiveLayoutSection() const;
    /// There is no registry here: a grid set to use it keeps its layouts in the file as well.
    bool useRegistry() const { return m_useRegistry; }
    void setUseRegistry(bool v) { m_useRegistry = v; }
    /// When loading, columns the grid defines now but the stored layout lacks are added at the end.
    bool addNewFieldsOnLoad() const { return m_addNewFields; }
    void setAddNewFieldsOnLoad(bool v) { m_addNewFields = v; }
    /// Writes the current layout (one entry per column) when the store is enabled
    /// and the grid has columns.
    void saveLayout();
    /// Applies the stored layout when the store is enabled and one is stored; false otherwise.
    bool loadLayout();
    /// Entries of the stored layout (empty when none).
    QStringList storedLayout() const;

    // --- options ---------------------------------------------------------------
    bool enterAsTab() const { return m_enterAsTab; }
    void setEnterAsTab(bool v) { m_enterAsTab = v; }
    bool allowInsert() const { return m_allowInsert; }
    void setAllowInsert(bool v) { m_allowInsert = v; }
    bool allowDelete() const { return m_allowDelete; }
    void setAllowDelete(bool v) { m_allowDelete = v; }
    /// Rows are read as the view scrolls to them instead of walking the whole
    /// data set whenever it changes, so a result of many thousands of rows
    /// shows its first page after one fetch from the server.
    bool fetchOnDemand() const { return m_fetchOnDemand; }
    void setFetchOnDemand(bool v) { m_fetchOnDemand = v; }
    /// A read-only grid never edits, inserts or deletes.
    bool isReadOnly() const { return isReadOnlyGrid(); }
    void setReadOnly(bool readOnly);
    bool calculatedFieldsEditable() const { return m_calcEditable; }
    void setCalculatedFieldsEditable(bool v) { m_calcEditable = v; }
    /// Header text lines (titles are centred).
    void setTitleLines(int lines);
    /// Row height as a percentage of the normal one.
    void setRowHeightPercent(int percent);
    /// A widget (usually a data-aware drop-down on the same field) shown over the
    /// current cell of that field's column instead of the grid's own editor.
    void setCellEditor(const QString &fieldName, QWidget *editor);

    // --- painting ----------------------------------------------------------------
    /// Look of a cell after the cell-colour handler.
    CellLook cellLook(const QModelIndex &index, CellStates state, bool highlighted) const;
    CellLook cellLook(int row, int column) const;
    /// Value of any field on a row as the grid shows it; inside the cell-colour
    /// handler, `paintingRow()` is the row being drawn.
    QVariant rowValue(int row, const QString &fieldName) const;
    int paintingRow() const { return m_paintingRow; }

    // --- owner's handlers --------------------------------------------------------
    /// Cell colours: field of the cell (may be null), draw state, whether the cell
    /// is highlighted, and the look to change.
    std::function<void(Field *field, CellStates state, bool highlighted, CellLook &look)> onCalcCellColors;
    /// Raised whenever a data cell is drawn: rectangle, data column, column, state.
    std::function<void(const QRect &rect, int dataColumn, const GridColumn &column, CellStates state)>
        onDrawColumnCell;

    DataGridModel *gridModel() const { return m_model; }

    /// Handles a key as the grid does (navigation, Enter as Tab, insert, delete).
    /// Keys typed into the cell editor come here as well.
    void handleKey(QKeyEvent *event);
    /// Runs a typed character through keyPress(); empty when dropped.
    QString filterTypedText(const QString &text);

    // --- the cell being edited -----------------------------------------------------
    /// Title of a column as the user reads it (its field's label when it has none).
    QString columnCaption(int column) const;
    /// Writes what was typed into the current cell's editor (the grid's own or a
    /// cell editor widget) to its field. A value the field cannot hold throws
    /// fw::Error naming the column's title; the editor keeps the text.
    void commitCellEditor();
    /// As commitCellEditor(), but a refused value is shown to the user; false then.
    bool leaveCellEditor();
    /// Drops what was typed into the current cell's editor.
    void discardCellEditor();
    /// Tells the user why a value was refused, captioned with the window's title.
    void refuse(const QString &text);

signals:
    void columnEntered(int column);
    void columnExited(int column);

protected:
    /// The grid's own handling of a key: navigation, Enter as Tab, insert, delete.
    void baseKeyDown(QKeyEvent *event) override;
    /// The focus entered the grid (or its editor) from outside, or left it.
    virtual void doEnter() {}
    virtual void doExit() {}
    virtual void colEnter() {}
    virtual void colExit() {}

    bool event(QEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void updateGeometries() override;

private:
    friend class DataGridModel;
    friend class DataGridDelegate;
    void attach();
    void applyColumns();
    void defaultColumns();
    void moveToRow(int row, int column);
    /// Moves the data set by rows (posting first); past the last row adds one when allowed.
    void moveRows(int distance, bool appendAtEnd, int column = -1);
    void nextCell(bool forward);
    bool isReadOnlyGrid() const;
    QWidget *cellEditorFor(int column) const;
    /// The editor open on the current cell, if any.
    QWidget *activeCellEditor() const;
    /// True for the keys that take the user out of a cell editor.
    static bool leavesCellEditor(const QWidget *editor, const QKeyEvent *event);
    /// A key that left a cell editor: the grid's, or the window's when it switches pages.
    void keyFromEditor(QKeyEvent *event);
    void focusChanged(QWidget *old, QWidget *now);
    /// True while another window shown over this one (a message) has the focus:
    /// that leaves neither the grid nor its cell editor.
    bool focusAwayForAWhile() const;
    void placeCellEditor();
    bool contains(const QWidget *w) const;

    QPointer<DataSource> m_source;
    DataGridModel *m_model;
    std::vector<GridColumn> m_columns;
    bool m_columnsDefined = false;
    QString m_layoutFile;
    QString m_layoutSection;
    bool m_layoutEnabled = false;
    bool m_useRegistry = false;
    bool m_addNewFields = false;
    bool m_enterAsTab = false;
    bool m_allowInsert = true;
    bool m_allowDelete = true;
    bool m_calcEditable = true;
    bool m_fetchOnDemand = false;
    bool m_syncing = false;
    bool m_resetting = false;
    bool m_applyingWidths = false;
    int m_titleLines = 1;
    int m_selectedColumn = 0;
    mutable int m_paintingRow = -1;
    bool m_keyFromEditor = false;
    bool m_focusInside = false;
    QPointer<QWidget> m_editor;
    std::vector<std::pair<QString, QPointer<QWidget>>> m_cellEditors;
    std::vector<QMetaObject::Connection> m_sourceConnections;
    QMetaObject::Connection m_focusConnection;
};

} // namespace fw::ui

