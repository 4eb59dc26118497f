#include "FieldText.h"

#include "framework/base/Error.h"

#include <QLocale>
#include <QRegularExpression>

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

QVariant fieldValueOfText(const Field &field, const QString &text, const QString &caption)
{
    if (field.isText())
        return text;
    const QString t = text.trimmed();
    if (t.isEmpty())
        return {};
    const QString name = caption.isEmpty() ? field.displayLabel().trimmed() : caption;
    switch (field.dataType()) {
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::LargeInt: {
        static const QRegularExpression whole(QStringLiteral("^[+-]?[0-9]+$"));
        if (!whole.match(t).hasMatch())
            throw Error(QStringLiteral("'%1' no es un número entero válido para %2").arg(t, name));
        bool ok = false;
        const qint64 x = t.toLongLong(&ok);
        const auto [lo, hi] = field.integerRange();
        // Digits beyond what 64 bits hold are out of range as well.
        if (!ok || x < lo || x > hi)
            throw Error(QStringLiteral("%1 no es un valor válido para %2. Debe estar entre %3 y %4")
                            .arg(t, name)
                            .arg(lo)
                            .arg(hi));
        return QVariant::fromValue<qlonglong>(x);
    }
    case FieldType::Float:
    case FieldType::Currency:
    case FieldType::Bcd: {
        bool ok = false;
        double v = QLocale().toDouble(t, &ok);
        if (!ok)
            v = QLocale::c().toDouble(t, &ok);
        if (!ok)
            throw Error(QStringLiteral("'%1' no es un valor numérico válido para %2").arg(text, name));
        return v;
    }
    default:
        return field.convert(text);
    }
}

void writeFieldText(Field &field, const QString &text, const QString &caption)
{
    field.setValue(fieldValueOfText(field, text, caption));
}

} // namespace fw::ui
