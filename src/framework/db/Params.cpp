#include "framework/db/Params.h"

#include "framework/base/Error.h"

namespace fw {

namespace {

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

} // namespace

ParsedSql parseNamedParams(const QString &sql)
{
    ParsedSql out;
    out.sql.reserve(sql.size());
    const int n = int(sql.size());
    int i = 0;
    while (i < n) {
        const QChar c = sql.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // A literal runs to the matching quote; a doubled quote stays inside.
            int j = i + 1;
            while (j < n) {
                if (sql.at(j) == c) {
                    if (j + 1 < n && sql.at(j + 1) == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            const int end = j < n ? j + 1 : n;
            out.sql += QStringView(sql).mid(i, end - i);
            i = end;
        } else if (c == QLatin1Char('/') && i + 1 < n && sql.at(i + 1) == QLatin1Char('*')) {
            const int close = int(sql.indexOf(QLatin1String("*/"), i + 2));
            const int end = close < 0 ? n : close + 2;
            out.sql += QStringView(sql).mid(i, end - i);
            i = end;
        } else if (c == QLatin1Char('-') && i + 1 < n && sql.at(i + 1) == QLatin1Char('-')) {
            const int nl = int(sql.indexOf(QLatin1Char('\n'), i));
            const int end = nl < 0 ? n : nl;
            out.sql += QStringView(sql).mid(i, end - i);
            i = end;
        } else if (c == QLatin1Char(':') && i + 1 < n && isNameChar(sql.at(i + 1))) {
            int j = i + 1;
            while (j < n && isNameChar(sql.at(j)))
                ++j;
            out.positions << sql.mid(i + 1, j - i - 1);
            out.sql += QLatin1Char('?');
            i = j;
        } else {
            if (c == QLatin1Char('?'))
                out.positions << QString();
            out.sql += c;
            ++i;
        }
    }
    return out;
}

Param *Params::find(const QString &name)
{
    for (auto &p : m_items)
        if (p.name().compare(name, Qt::CaseInsensitive) == 0)
            return &p;
    return nullptr;
}

const Param *Params::find(const QString &name) const
{
    return const_cast<Params *>(this)->find(name);
}

Param &Params::byName(const QString &name)
{
    if (Param *p = find(name))
        return *p;
    throw Error(QStringLiteral("Parámetro '%1' no encontrado").arg(name));
}

const Param &Params::byName(const QString &name) const
{
    return const_cast<Params *>(this)->byName(name);
}

QStringList Params::names() const
{
    QStringList out;
    for (const auto &p : m_items)
        out << p.name();
    return out;
}

void Params::setNames(const QStringList &names, ParamDirection direction)
{
    std::vector<Param> items;
    for (const QString &name : names) {
        if (name.isEmpty())
            continue;
        bool seen = false;
        for (const auto &p : items)
            seen = seen || p.name().compare(name, Qt::CaseInsensitive) == 0;
        if (seen)
            continue;
        Param p(name, direction);
        if (const Param *old = find(name))
            p.setValue(old->value());
        items.push_back(std::move(p));
    }
    m_items = std::move(items);
}

Param &Params::add(const QString &name, ParamDirection direction)
{
    if (Param *p = find(name))
        return *p;
    m_items.emplace_back(name, direction);
    return m_items.back();
}

} // namespace fw
