#pragma once
#include <QString>
#include <QVariant>

namespace fw::report {

/// The kind of value a field holds, as far as the report engine cares.
enum class FieldKind { Unknown, Text, Integer, Float, Boolean, Date, Time, DateTime, Blob };

/// What the report engine reads: a forward walk over records and, on the current
/// record, each field's value and display text. Fields are addressed by an index
/// resolved once from the name, so the per-record work is a plain array access.
///
/// The engine never owns a cursor: whoever builds the report keeps it alive while
/// pages are generated. A cursor that is not the report's own (a company record
/// read by a few elements) is only read at its current record, never moved.
class Cursor
{
public:
    virtual ~Cursor() = default;

    /// Called before and after the report walks this cursor (after also when
    /// generation fails), so a data set can stop notifying its widgets meanwhile.
    virtual void beginWalk() {}
    virtual void endWalk() noexcept {}

    virtual void first() = 0;
    virtual void next() = 0;
    virtual bool eof() const = 0;

    /// -1 when the cursor has no field of that name (case-insensitive).
    virtual int fieldIndex(const QString &name) const = 0;
    virtual FieldKind fieldKind(int field) const = 0;
    /// A null QVariant for a null value.
    virtual QVariant value(int field) const = 0;
    /// The text a user sees for the value (the field's own get-text handler applies).
    virtual QString displayText(int field) const = 0;
};

} // namespace fw::report
