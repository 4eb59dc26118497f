#pragma once
#include <QDateTime>
#include <QLocale>
#include <QString>

namespace fw {

/// Formats a number with a picture such as "#,##0.00" or "#0": ',' asks for
/// thousands grouping, '0' for a digit always written, '#' for an optional
/// one, '.' for the decimal point; text in quotes is copied. Up to three
/// sections separated by ';' serve positive, negative and zero values. The
/// value is rounded to the decimals shown, halves away from zero, and the
/// locale supplies the separators.
QString formatFloat(const QString &picture, double value, const QLocale &locale = QLocale());

/// Formats a date and time with a picture such as "dd/mm/yyyy hh:nn": d, dd,
/// m, mm (month, or minutes right after an hour), yy, yyyy, h, hh, n, nn, s,
/// ss, z, zzz; quoted text is copied.
QString formatDateTime(const QString &picture, const QDateTime &value);

} // namespace fw
