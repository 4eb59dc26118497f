#pragma once
// Internal to the data access framework: finding fields and columns by name
// without a pass over all of them. Handlers look fields up by name for every
// record, and a select of the risk situation has some ninety columns.
#include <QHash>
#include <QString>

namespace fw::detail {

/// Case-insensitive name -> the position of the first entry of that name.
class NameIndex
{
public:
    void clear() { m_positions.clear(); }
    /// Keeps the first position given for a name.
    void add(const QString &name, int position)
    {
        if (!m_positions.contains(Key{name}))
            m_positions.insert(Key{name}, position);
    }
    /// -1 when no entry has that name.
    int find(const QString &name) const { return m_positions.value(Key{name}, -1); }

private:
    // Names are nearly always ASCII: those units are folded here, the others as
    // QString's case-insensitive comparison folds them.
    static char16_t fold(char16_t c) { return c < 0x80 ? (c >= 'A' && c <= 'Z' ? c + 32 : c) : QChar::toCaseFolded(c); }

    struct Key
    {
        QString name;
        bool operator==(const Key &other) const
        {
            const QString &a = name, &b = other.name;
            if (a.size() != b.size())
                return false;
            for (qsizetype i = 0; i < a.size(); ++i) {
                const char16_t x = a[i].unicode(), y = b[i].unicode();
                if (x != y && (x >= 0x80 || y >= 0x80))
                    return a.compare(b, Qt::CaseInsensitive) == 0;
                if (x != y && fold(x) != fold(y))
                    return false;
            }
            return true;
        }
    };
    friend size_t qHash(const Key &key, size_t seed) noexcept
    {
        // Surrogates, which the comparison folds in pairs, are left out so that
        // equal names always hash alike.
        size_t h = seed;
        for (const QChar c : key.name)
            if (!c.isSurrogate())
                h = h * 31 + fold(c.unicode());
        return h;
    }

    QHash<Key, int> m_positions;
};

} // namespace fw::detail
