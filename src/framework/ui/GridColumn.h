#pragma once
// What a grid column and a grid cell are, for the grid, its model, its
// delegate and the owners' cell-colour handlers.
#include <QBrush>
#include <QColor>
#include <QFlags>
#include <QFont>
#include <QString>

#include <optional>

namespace fw::ui {

/// One column of a grid, as a column definition line holds it:
/// "FIELD\tWIDTH\tTITLE\tF" (width in characters, last letter T when read-only).
struct GridColumn
{
    QString fieldName;
    int width = 0; ///< characters; 0 takes the field's display width
    QString title;
    bool readOnly = false;

    /// Missing parts keep their defaults; an empty field name gives nothing.
    static std::optional<GridColumn> fromLine(const QString &line);
    QString toLine() const;
};

/// How a cell is drawn; the cell-colour handler may change any of it.
struct CellLook
{
    QFont font;
    QColor textColor;
    QBrush background;
};

enum class CellState { Selected = 0x1, Focused = 0x2, Fixed = 0x4 };
Q_DECLARE_FLAGS(CellStates, CellState)

} // namespace fw::ui

Q_DECLARE_OPERATORS_FOR_FLAGS(fw::ui::CellStates)
