#pragma once
#include "framework/report/Cursor.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace fw::report {

/// Formats a number with a picture mask such as "#,##0" or "#,##0.00": '0' is a
/// digit always written, '#' a digit written when needed, '.' the decimal point,
/// ',' anywhere asks for thousands grouping, quoted or other characters are kept
/// as written, and up to three sections separated by ';' give the positive,
/// negative and zero forms. Separators are the locale's, and thousands are grouped
/// for every number of four digits or more (1500 gives 1.500,00 in Spanish), which
/// Qt's own formatting does not do for Spanish. Halves round away from zero after
/// reading the value to 15 significant digits, so 1.005 gives 1,01 as a user
/// expects even though the stored double lies just below it. Negative values get a
/// leading minus; a value that rounds to zero gets none. An empty mask gives the
/// plain number. All number masks of the engine go through this one function.
QString formatNumber(double value, const QString &mask, const QLocale &locale = QLocale());

/// True when the mask formats dates rather than numbers (it holds d, m, y, h, n or s).
bool isDateMask(const QString &mask);

/// A field value through a mask: numbers through formatNumber, dates through
/// fw::formatDateTime; null gives an empty text; an empty mask gives plainText.
QString formatValue(FieldKind kind, const QVariant &value, const QString &mask, const QLocale &locale = QLocale());

/// The text of a value with no mask and no handler: numbers without grouping,
/// dates as dd/mm/yyyy, null as empty.
QString plainText(FieldKind kind, const QVariant &value);

} // namespace fw::report
