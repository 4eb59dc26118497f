#pragma once
#include <QLocale>
#include <QString>

namespace fw::host {

/// Formats a number with a picture mask such as "#,##0", "#0", "#,##0.00" or
/// "#0.000": ',' groups the integer part by thousands, the zeros after '.' are
/// the exact number of decimals, '0's before the point are the minimum integer
/// digits. Only the separators come from the locale: grouping always applies
/// when the mask asks for it (Qt's Spanish locale leaves 1500 ungrouped, the
/// masks write 1.500). Rounding is half away from zero on the value's
/// 15-significant-digit decimal form; negative values get a leading '-'.
QString formatNumberMask(double value, const QString &mask, const QLocale &locale = QLocale());

} // namespace fw::host
