#include "framework/ui/GridColumn.h"

#include <QStringList>

namespace fw::ui {

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

} // namespace fw::ui
