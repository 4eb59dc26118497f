#include "framework/db/SqlStatement.h"

#include "framework/base/Error.h"
#include "framework/db/Statement.h"

namespace fw {

SqlStatement::SqlStatement(QObject *parent) : QObject(parent), m_statement(std::make_unique<detail::Statement>()) {}

SqlStatement::~SqlStatement()
{
    // Handles go before the registration (SqlClient's destructor).
    releaseHandles();
}

void SqlStatement::setSql(const QStringList &lines)
{
    unprepare();
    m_sql = lines;
}

void SqlStatement::setSql(const QString &text)
{
    setSql(text.split(QLatin1Char('\n')));
}

void SqlStatement::addSql(const QString &line)
{
    unprepare();
    m_sql << line;
}

void SqlStatement::clearSql()
{
    setSql(QStringList());
}

bool SqlStatement::prepared() const
{
    return m_statement->prepared();
}

void SqlStatement::prepare()
{
    if (prepared())
        return;
    const QString text = sqlText();
    if (text.trimmed().isEmpty())
        throw Error(QStringLiteral("La sentencia SQL está vacía"));
    Database &db = checkedDatabase();
    Transaction &tra = checkedTransaction();
    // Raw text: nothing is parsed or renamed, so there are no parameters to bind.
    m_statement->prepare(db, tra, text, QStringList());
}

void SqlStatement::unprepare() noexcept
{
    close();
    m_statement->free();
}

void SqlStatement::execute()
{
    close();
    prepare();
    Transaction &tra = checkedTransaction();
    m_rowsAffected = 0;
    if (m_statement->isSelect()) {
        m_statement->openCursor(tra);
        m_open = true;
        fetchRow();
    } else {
        m_statement->execute(tra);
        m_rowsAffected = m_statement->affected();
        // A procedure call returns its outputs as one row.
        if (!m_statement->columns().empty()) {
            m_row.resize(m_statement->columns().size());
            for (size_t i = 0; i < m_row.size(); ++i)
                m_row[i] = m_statement->value(int(i));
            m_eof = false;
        }
    }
}

void SqlStatement::fetchRow()
{
    if (m_statement->fetch()) {
        m_row.resize(m_statement->columns().size());
        for (size_t i = 0; i < m_row.size(); ++i)
            m_row[i] = m_statement->value(int(i));
        m_eof = false;
    } else {
        m_row.clear();
        m_eof = true;
    }
}

void SqlStatement::next()
{
    if (!m_open)
        throw Error(QStringLiteral("La sentencia no tiene un cursor abierto"));
    if (!m_eof)
        fetchRow();
}

void SqlStatement::close() noexcept
{
    m_statement->closeCursor();
    m_open = false;
    m_eof = true;
    m_row.clear();
}

int SqlStatement::fieldCount() const
{
    return int(m_statement->columns().size());
}

std::vector<ColumnInfo> SqlStatement::columns() const
{
    return m_statement->columns();
}

int SqlStatement::fieldIndex(const QString &name) const
{
    return m_statement->columnIndex(name);
}

QVariant SqlStatement::value(int index) const
{
    if (index < 0 || index >= fieldCount())
        throw Error(QStringLiteral("Columna %1 fuera de rango").arg(index));
    return size_t(index) < m_row.size() ? detail::outward(m_row[size_t(index)]) : QVariant();
}

QVariant SqlStatement::value(const QString &name) const
{
    const int i = fieldIndex(name);
    if (i < 0)
        throw Error(QStringLiteral("Campo '%1' no encontrado").arg(name));
    return value(i);
}

void SqlStatement::releaseHandles() noexcept
{
    unprepare();
}

} // namespace fw
