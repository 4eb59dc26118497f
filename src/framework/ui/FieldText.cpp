#include "FieldText.h"

#include "framework/base/Error.h"

#include <QLocale>

namespace fw::ui {

bool isValidFieldChar(const Field *field, QChar c)
{
    if (!field)
        return true;
    switch (field->dataType()) {
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::LargeInt:
        return c.isDigit() || c == u'+' || c == u'-';
    case FieldType::Float:
    case FieldType::Currency:
    case FieldType::Bcd:
        return c.isDigit() || c == u'+' || c == u'-' || c == u'E' || c == u'e' ||
               QString(c) == QLocale().decimalPoint();
    default:
        return true;
    }
}

void writeFieldText(Field &field, const QString &text)
{
    if (text.trimmed().isEmpty() && !field.isText()) {
        field.clear();
        return;
    }
    if (field.isFloat() || field.dataType() == FieldType::Bcd) {
        bool ok = false;
        const QString t = text.trimmed();
        double v = QLocale().toDouble(t, &ok);
        if (!ok)
            v = QLocale::c().toDouble(t, &ok);
        if (!ok)
            throw Error(QStringLiteral("'%1' no es un valor numérico válido").arg(text));
        field.setAsFloat(v);
        return;
    }
    field.setAsString(text);
}

} // namespace fw::ui
