#pragma once
#include "framework/db/Field.h"

#include <QChar>
#include <QString>
#include <QVariant>

namespace fw::ui {

/// True when `c` may be typed into a field of this type: digits and signs for
/// integers, plus the locale's decimal separator and an exponent for floats.
bool isValidFieldChar(const Field *field, QChar c);

/// The value a text typed into a field stands for: empty is null for
/// non-text fields, floats follow the user's locale. A text the field cannot
/// hold throws fw::Error naming `caption` (the field's label when empty), and
/// for whole numbers the range the field accepts.
QVariant fieldValueOfText(const Field &field, const QString &text, const QString &caption = {});

/// Writes a text as the user typed it into a field, by fieldValueOfText().
void writeFieldText(Field &field, const QString &text, const QString &caption = {});

} // namespace fw::ui
