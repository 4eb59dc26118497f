#include "framework/db/SqlQuery.h"

#include "framework/base/Error.h"
#include "framework/db/Statement.h"

namespace fw {

SqlQuery::SqlQuery(QObject *parent) : DataSet(parent), m_statement(std::make_unique<detail::Statement>()) {}

SqlQuery::~SqlQuery()
{
    // Handles go before the registration (SqlClient's destructor); no handler runs
    // while the object is being destroyed.
    m_statement->free();
}

void SqlQuery::setSql(const QStringList &lines)
{
    close();
    unprepare();
    m_sql = lines;
    m_params.setNames(parseNamedParams(m_sql.join(QLatin1Char('\n'))).positions);
}

void SqlQuery::setSql(const QString &text)
{
    setSql(text.split(QLatin1Char('\n')));
}

void SqlQuery::addSql(const QString &line)
{
    QStringList lines = m_sql;
    lines << line;
    setSql(lines);
}

void SqlQuery::clearSql()
{
    setSql(QStringList());
}

void SqlQuery::selectChanged()
{
    close();
    unprepare();
    m_params.setNames(parseNamedParams(selectLines().join(QLatin1Char('\n'))).positions);
}

bool SqlQuery::prepared() const
{
    return m_statement->prepared();
}

void SqlQuery::prepareStatement(detail::Statement &statement, const QStringList &lines)
{
    if (statement.prepared())
        return;
    const QString text = lines.join(QLatin1Char('\n'));
    if (text.trimmed().isEmpty())
        throw Error(objectName().isEmpty() ? QStringLiteral("La sentencia SQL está vacía")
                                           : QStringLiteral("%1: la sentencia SQL está vacía").arg(objectName()));
    Database &db = checkedDatabase();
    Transaction &tra = checkedTransaction();
    const ParsedSql parsed = parseNamedParams(text);
    statement.prepare(db, tra, parsed.sql, parsed.positions);
}

void SqlQuery::bindParams(detail::Statement &statement, const Params &params)
{
    const QStringList &positions = statement.positions();
    for (int i = 0; i < positions.size(); ++i) {
        const Param *p = positions[i].isEmpty() ? nullptr : params.find(positions[i]);
        statement.setInput(i, p ? p->value() : QVariant());
    }
}

void SqlQuery::prepare()
{
    prepareStatement(*m_statement, selectLines());
}

void SqlQuery::unprepare()
{
    close();
    m_statement->free();
}

void SqlQuery::internalOpen()
{
    prepare();
    if (!m_statement->isSelect())
        throw Error(QStringLiteral("La sentencia no devuelve registros; use execSql"));
    Transaction &tra = checkedTransaction();

    m_columnToField.clear();
    m_convert.clear();
    const std::vector<ColumnInfo> &columns = m_statement->columns();
    if (fieldCount() == 0) {
        for (size_t i = 0; i < columns.size(); ++i) {
            const ColumnInfo &c = columns[i];
            FieldDef def;
            def.name = c.name;
            def.type = c.type;
            def.size = c.type == FieldType::String ? c.size : 0;
            Field &f = makeField(def);
            f.setOrigin(c.origin());
            // A NOT NULL column gives a required field.
            f.setRequired(!c.nullable);
            m_columnToField.emplace_back(int(i), f.index());
            m_convert.push_back(false);
        }
    } else {
        for (const auto &f : fields()) {
            if (f->kind() != FieldKind::Data)
                continue;
            const int column = m_statement->columnIndex(f->fieldName());
            if (column < 0)
                throw Error(objectName().isEmpty()
                                ? QStringLiteral("Campo '%1' no encontrado").arg(f->fieldName())
                                : QStringLiteral("%1: Campo '%2' no encontrado").arg(objectName(), f->fieldName()));
            const ColumnInfo &c = columns[size_t(column)];
            if (f->origin().isEmpty())
                f->setOrigin(c.origin());
            m_columnToField.emplace_back(column, f->index());
            // Only a declared type that differs from the column's needs converting per row.
            m_convert.push_back(f->dataType() != c.type);
        }
    }
    bindParams(*m_statement, m_params);
    m_statement->openCursor(tra);
}

void SqlQuery::internalClose() noexcept
{
    m_statement->closeCursor();
}

bool SqlQuery::fetchRecord(Record &record)
{
    if (!m_statement->fetch())
        return false;
    for (size_t i = 0; i < m_columnToField.size(); ++i) {
        const auto [column, index] = m_columnToField[i];
        QVariant &slot = record.values[size_t(index)];
        m_statement->readValue(column, slot);
        if (m_convert[i])
            slot = field(index).convert(slot);
    }
    return true;
}

void SqlQuery::execSql()
{
    if (active())
        throw Error(QStringLiteral("No se puede ejecutar una consulta abierta"));
    prepare();
    Transaction &tra = checkedTransaction();
    bindParams(*m_statement, m_params);
    m_statement->execute(tra);
    m_rowsAffected = m_statement->affected();
}

std::vector<ColumnInfo> SqlQuery::columns() const
{
    return m_statement->columns();
}

void SqlQuery::releaseHandles() noexcept
{
    SqlQuery::transactionEnding();
    m_statement->free();
}

void SqlQuery::transactionEnding() noexcept
{
    try {
        close();
    } catch (...) {
        // A close handler failed or refused; the cursor goes anyway, as the transaction does.
    }
    internalClose();
}

} // namespace fw
