#pragma once
#include "framework/db/Field.h"

#include <QString>

namespace fw {

/// One column of a prepared statement's result (or a procedure's output).
struct ColumnInfo
{
    QString name;     ///< the name the statement gives it (alias or column)
    QString field;    ///< the underlying column name, when any
    QString relation; ///< the table or procedure it comes from, when any
    FieldType type = FieldType::Unknown;
    int size = 0;     ///< characters for text, bytes otherwise
    int scale = 0;    ///< decimal scale of integer-based numbers (negative), else 0
    unsigned sqlType = 0;
    int subType = 0;
    unsigned charSet = 0;
    bool nullable = true;

    /// "RELATION.FIELD", or empty.
    QString origin() const { return relation.isEmpty() || field.isEmpty() ? QString() : relation + '.' + field; }
};

} // namespace fw
