#include "framework/ui/DataGridDelegate.h"

#include "framework/ui/DataGrid.h"
#include "framework/ui/DataGuard.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace fw::ui {

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
    // A message over the window (a refused value, say) neither commits nor closes the editor.
    if (editor && event->type() == QEvent::FocusOut && m_grid->focusAwayForAWhile())
        return true;
    if (!editor || event->type() != QEvent::KeyPress)
        return QStyledItemDelegate::eventFilter(object, event);
    auto *ke = static_cast<QKeyEvent *>(event);
    if (DataGrid::leavesCellEditor(editor, ke)) {
        // The editor only edits; moving and cancelling are the grid's.
        if (ke->key() == Qt::Key_Escape) {
            emit closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
        } else {
            if (!m_grid->leaveCellEditor())
                return true; // refused: the editor stays open with the text
            emit closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
        m_grid->keyFromEditor(ke);
        return true;
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
