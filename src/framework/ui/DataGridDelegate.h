#pragma once
#include <QStyledItemDelegate>

namespace fw::ui {

class DataGrid;

/// Paints grid cells with the look the grid's cell-colour handler decides, and
/// routes keys typed into cell editors through the grid's key handling.
class DataGridDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit DataGridDelegate(DataGrid *grid);
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    DataGrid *m_grid;
    mutable bool m_filtering = false;
};

} // namespace fw::ui
