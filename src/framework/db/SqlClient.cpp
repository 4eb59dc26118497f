#include "framework/db/SqlClient.h"

#include "framework/base/Error.h"

namespace fw {

SqlClient::~SqlClient()
{
    if (m_database)
        m_database->removeClient(this);
}

void SqlClient::setDatabase(Database *database)
{
    if (database == m_database)
        return;
    releaseHandles();
    if (m_database)
        m_database->removeClient(this);
    m_database = database;
    if (database)
        database->addClient(this);
}

Transaction *SqlClient::transaction() const
{
    if (m_transaction)
        return m_transaction;
    return m_database ? m_database->defaultTransaction() : nullptr;
}

void SqlClient::setTransaction(Transaction *transaction)
{
    if (transaction == m_transaction)
        return;
    releaseHandles();
    m_transaction = transaction;
    if (transaction && !m_database && transaction->database())
        setDatabase(transaction->database());
}

Database &SqlClient::checkedDatabase() const
{
    if (!m_database)
        throw Error(QStringLiteral("No se ha asignado una base de datos"));
    if (!m_database->connected())
        throw Error(QStringLiteral("La base de datos no está conectada"));
    return *m_database;
}

Transaction &SqlClient::checkedTransaction() const
{
    Transaction *t = transaction();
    if (!t)
        throw Error(QStringLiteral("No se ha asignado una transacción"));
    if (!t->active())
        t->start();
    return *t;
}

} // namespace fw
