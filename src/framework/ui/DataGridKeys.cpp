// The data-aware grid's key handling: navigation, Enter as Tab, insert and
// delete by key, and the keys of its cell editors.
#include "framework/ui/DataGrid.h"

#include "framework/base/Error.h"
#include "framework/ui/DataComboBox.h"
#include "framework/ui/DataGuard.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/FieldText.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QScopeGuard>

#include <algorithm>
#include <optional>

namespace fw::ui {

namespace {

/// Ctrl+Tab and Ctrl+Shift+Tab belong to the window: they switch its pages.
bool switchesPage(const QKeyEvent *e)
{
    return (e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab) && (e->modifiers() & Qt::ControlModifier);
}

/// What was typed or chosen in a cell editor and not yet written to the field.
std::optional<QString> pendingText(const QWidget *editor)
{
    if (auto *combo = qobject_cast<const DataComboBox *>(editor))
        return combo->isModified() ? std::optional<QString>(combo->storedValue().toString()) : std::nullopt;
    if (auto *line = qobject_cast<const QLineEdit *>(editor))
        return line->isModified() ? std::optional<QString>(line->text()) : std::nullopt;
    return std::nullopt;
}

} // namespace

bool DataGrid::event(QEvent *e)
{
    // Tab would move the focus out before the grid sees it; the grid decides.
    if (e->type() == QEvent::KeyPress) {
        auto *ke = static_cast<QKeyEvent *>(e);
        if (switchesPage(ke)) {
            ke->ignore(); // on to the page control around the grid
            return false;
        }
        if (ke->key() == Qt::Key_Tab || ke->key() == Qt::Key_Backtab) {
            keyPressEvent(ke);
            return true;
        }
    }
    return QTableView::event(e);
}

void DataGrid::handleKey(QKeyEvent *e)
{
    keyPressEvent(e);
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
    const auto editor = std::find_if(m_cellEditors.begin(), m_cellEditors.end(),
                                     [&](const auto &e) { return e.second == watched; });
    const bool isCellEditor = editor != m_cellEditors.end();
    // A message over the window does not make the editor write or refuse its value.
    if (isCellEditor && event->type() == QEvent::FocusOut && focusAwayForAWhile())
        return true;
    // Leaving, confirming or cancelling a cell editor is the grid's business.
    if (isCellEditor && event->type() == QEvent::KeyPress) {
        auto *ke = static_cast<QKeyEvent *>(event);
        if (leavesCellEditor(editor->second, ke)) {
            if (ke->key() == Qt::Key_Escape)
                discardCellEditor();
            else if (!leaveCellEditor())
                return true; // refused: the user stays in the cell
            setFocus(Qt::OtherFocusReason);
            keyFromEditor(ke);
            return true;
        }
    }
    return QTableView::eventFilter(watched, event);
}

bool DataGrid::leavesCellEditor(const QWidget *editor, const QKeyEvent *e)
{
    switch (e->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        // A drop-down's list chooses with these keys only while it is open (Alt+Down opens it).
        const auto *combo = qobject_cast<const QComboBox *>(editor);
        return !(e->modifiers() & Qt::AltModifier) && !(combo && combo->view()->isVisible());
    }
    default:
        return false;
    }
}

void DataGrid::keyFromEditor(QKeyEvent *e)
{
    m_keyFromEditor = true;
    const auto done = qScopeGuard([this] { m_keyFromEditor = false; });
    if (switchesPage(e)) {
        // Sent afresh from the grid, so it travels up to the page control.
        QKeyEvent copy(e->type(), e->key(), e->modifiers(), e->text());
        QCoreApplication::sendEvent(this, &copy);
        return;
    }
    handleKey(e);
}

// --- the cell being edited -----------------------------------------------------------

QString DataGrid::columnCaption(int column) const
{
    if (column < 0 || column >= gridColumnCount())
        return {};
    const GridColumn &c = m_columns[size_t(column)];
    if (!c.title.trimmed().isEmpty())
        return c.title.trimmed();
    const Field *f = m_model->field(column);
    return f ? f->displayLabel().trimmed() : c.fieldName;
}

QWidget *DataGrid::activeCellEditor() const
{
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return nullptr;
    if (QWidget *widget = cellEditorFor(current.column()))
        return widget;
    if (m_editor && state() == QAbstractItemView::EditingState)
        return m_editor;
    return nullptr;
}

void DataGrid::commitCellEditor()
{
    QWidget *editor = activeCellEditor();
    const int column = currentIndex().column();
    const std::optional<QString> text = pendingText(editor);
    Field *f = m_model->field(column);
    if (!text || !f)
        return;
    // Checked first, so a refused value reaches neither the field nor the record.
    fieldValueOfText(*f, *text, columnCaption(column));
    if (editor == m_editor)
        commitData(m_editor);
    else if (auto *combo = qobject_cast<DataComboBox *>(editor))
        combo->updateRecord();
}

bool DataGrid::leaveCellEditor()
{
    try {
        commitCellEditor();
        return true;
    } catch (const Abort &) {
        return false;
    } catch (...) {
        refuse(errorText(std::current_exception()));
        return false;
    }
}

void DataGrid::discardCellEditor()
{
    QWidget *editor = activeCellEditor();
    if (editor && editor == m_editor)
        closeEditor(m_editor, QAbstractItemDelegate::RevertModelCache);
    else if (auto *combo = qobject_cast<DataComboBox *>(editor))
        combo->reset();
}

void DataGrid::refuse(const QString &text)
{
    QPointer<QWidget> cell = QApplication::focusWidget();
    // Shown whatever the error policy: the user has to know why the cell keeps them.
    dialogs().error(text, window()->windowTitle());
    // Back where the message found the user, whichever window the system activates.
    if (cell && cell->window() == window() && window()->isVisible()) {
        window()->activateWindow();
        cell->setFocus(Qt::OtherFocusReason);
    }
}

} // namespace fw::ui
