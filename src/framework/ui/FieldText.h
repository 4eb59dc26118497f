#pragma once
#include "framework/db/Field.h"

#include <QChar>
#include <QString>

namespace fw::ui {

/// True when `c` may be typed into a field of this type: digits and signs for
/// integers, plus the locale's decimal separator and an exponent for floats.
bool isValidFieldChar(const Field *field, QChar c);

/// Writes a text as the user typed it into a field: empty clears non-text
/// fields, floats follow the user's locale. Throws fw::Error when it does not fit.
void writeFieldText(Field &field, const QString &text);

} // namespace fw::ui
