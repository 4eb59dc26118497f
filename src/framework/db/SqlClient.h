#pragma once
#include "framework/db/Database.h"
#include "framework/db/Transaction.h"

#include <QPointer>

namespace fw {

/// The connection and transaction a statement-running object uses. Registers
/// itself with its Database so it lets go of its handles before the
/// connection detaches or the transaction ends.
class SqlClient : public DatabaseClient
{
public:
    SqlClient() = default;
    ~SqlClient() override;
    SqlClient(const SqlClient &) = delete;
    SqlClient &operator=(const SqlClient &) = delete;

    Database *database() const { return m_database; }
    void setDatabase(Database *database);
    /// The transaction set here, else the database's default one.
    Transaction *transaction() const;
    void setTransaction(Transaction *transaction);

    Transaction *clientTransaction() const noexcept override { return transaction(); }

protected:
    /// Throws fw::Error when there is no connected database; the transaction is
    /// started when it is not active.
    Database &checkedDatabase() const;
    Transaction &checkedTransaction() const;

private:
    QPointer<Database> m_database;
    QPointer<Transaction> m_transaction;
};

} // namespace fw
