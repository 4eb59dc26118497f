#pragma once
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

namespace fw {

/// A statement with its `:NAME` markers turned into positional `?` markers.
struct ParsedSql
{
    QString sql;          ///< the text sent to the server
    QStringList positions; ///< parameter name of every `?`, in order (a name may repeat)
};

/// Turns `:NAME` markers into `?`, skipping single- and double-quoted literals
/// and comments (`/* */`, `--`). Names are kept as written; a `?` already in
/// the text gets an empty name.
ParsedSql parseNamedParams(const QString &sql);

enum class ParamDirection { Input, Output };

/// One named parameter. Null until a value is set.
class Param
{
public:
    explicit Param(QString name = {}, ParamDirection direction = ParamDirection::Input)
        : m_name(std::move(name)), m_direction(direction)
    {
    }

    const QString &name() const { return m_name; }
    ParamDirection direction() const { return m_direction; }

    const QVariant &value() const { return m_value; }
    void setValue(const QVariant &value) { m_value = value; }
    bool isNull() const { return m_value.isNull(); }
    void clear() { m_value = QVariant(); }

    QString asString() const { return m_value.toString(); }
    int asInteger() const { return m_value.toInt(); }
    qlonglong asLargeInt() const { return m_value.toLongLong(); }
    double asFloat() const { return m_value.toDouble(); }
    QDateTime asDateTime() const { return m_value.toDateTime(); }
    bool asBoolean() const { return m_value.toBool(); }
    void setAsString(const QString &v) { m_value = v; }
    void setAsInteger(int v) { m_value = v; }
    void setAsLargeInt(qlonglong v) { m_value = v; }
    void setAsFloat(double v) { m_value = v; }
    void setAsDateTime(const QDateTime &v) { m_value = v; }
    void setAsDate(const QDate &v) { m_value = v; }
    void setAsBoolean(bool v) { m_value = v; }

private:
    QString m_name;
    ParamDirection m_direction;
    QVariant m_value;
};

/// The parameters of a statement, one per distinct name, found without regard to case.
class Params
{
public:
    int count() const { return int(m_items.size()); }
    bool isEmpty() const { return m_items.empty(); }
    Param &at(int i) { return m_items.at(size_t(i)); }
    const Param &at(int i) const { return m_items.at(size_t(i)); }

    /// Throws fw::Error naming the parameter when there is none by that name.
    Param &byName(const QString &name);
    const Param &byName(const QString &name) const;
    Param *find(const QString &name);
    const Param *find(const QString &name) const;
    QStringList names() const;

    /// Replaces the list with these names (duplicates collapse), keeping the
    /// values of names that were already there.
    void setNames(const QStringList &names, ParamDirection direction = ParamDirection::Input);
    Param &add(const QString &name, ParamDirection direction = ParamDirection::Input);
    void clear() { m_items.clear(); }

    auto begin() { return m_items.begin(); }
    auto end() { return m_items.end(); }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    std::vector<Param> m_items;
};

} // namespace fw
