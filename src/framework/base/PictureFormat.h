#pragma once
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QVariant>

namespace fw {

/// Formats a number with a picture such as "#,##0.00" or "#0": ',' asks for
/// thousands grouping, '0' for a digit always written, '#' for an optional
/// one, '.' for the decimal point; text in quotes is copied. Up to three
/// sections separated by ';' serve positive, negative and zero values. The
/// value is rounded to the decimals shown, halves away from zero, and the
/// locale supplies the separators.
QString formatFloat(const QString &picture, double value, const QLocale &locale = QLocale());

/// Formats a date and time with a picture such as "dd/mm/yyyy hh:nn": d, dd
/// (day), ddd, dddd (short and long day name), ddddd (dd/mm/yyyy); m, mm (month,
/// or minutes right after an hour), mmm, mmmm (short and long month name); yy,
/// yyyy; h, hh; n, nn (minutes); s, ss; z, zzz; am/pm, which writes am or pm in
/// the case given and puts the hours on the 12-hour clock. Quoted text is copied,
/// and so is any other character. Names come from the locale. An invalid value
/// gives an empty text.
QString formatDateTime(const QString &picture, const QDateTime &value, const QLocale &locale = QLocale());

/// A date, time or date-and-time value as a date and time: a date at midnight, a
/// time alone on 30/12/1899 (the day that date arithmetic counts from), anything
/// else through QVariant::toDateTime().
QDateTime dateTimeOf(const QVariant &value);

} // namespace fw
