// The data-aware grid's key handling: navigation, Enter as Tab, insert and
// delete by key, and the keys of its cell editors.
#include "framework/ui/DataGrid.h"

#include "framework/base/Error.h"
#include "framework/ui/DataGuard.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/FieldText.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>

namespace fw::ui {

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

} // namespace fw::ui
