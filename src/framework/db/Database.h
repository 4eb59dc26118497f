#pragma once
#include "framework/db/FbRef.h"

#include <QObject>
#include <QSharedPointer>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <vector>

namespace Firebird {
class IAttachment;
}

namespace fw::fb {
class Link;
}

namespace fw {

class DataSet;
class Transaction;

/// Something that holds Firebird handles of a connection (data sets, raw
/// statements, stored procedures) and must let them go before it detaches or a
/// transaction ends. Registered by the objects themselves.
class DatabaseClient
{
public:
    virtual ~DatabaseClient() = default;
    /// The connection is about to detach: close cursors and free statements.
    virtual void releaseHandles() noexcept = 0;
    /// The transaction this client runs in is about to end for good (not retaining).
    virtual void transactionEnding() noexcept {}
    /// The data set behind this client, when it is one (closeDataSets closes those).
    virtual DataSet *asDataSet() noexcept { return nullptr; }
    /// The transaction the client runs in (its own or the connection's default).
    virtual Transaction *clientTransaction() const noexcept = 0;
};

/// One connection to a Firebird database in SQL dialect 1.
///
/// The database name is a plain file path (embedded engine) or
/// "host:/path" (server). Connection parameters are lines such as
/// "user_name=SYSDBA", "password=...", "lc_ctype=ISO8859_1"; text always
/// crosses the wire in ISO 8859-1. Closing the connection closes every data set
/// on it and ends every active transaction with its default action. The
/// destructor closes the connection and never throws.
///
/// Once a call reports the connection lost (the attachment killed, the server
/// shut down, the network cut), nothing more is sent on it: requests fail at
/// once with that first error, a rollback only lets the handle go, and close()
/// releases everything locally.
class Database : public QObject
{
    Q_OBJECT
public:
    explicit Database(QObject *parent = nullptr);
    ~Database() override;

    QString databaseName() const { return m_databaseName; }
    void setDatabaseName(const QString &name);

    /// Connection parameter lines, "name=value". Editable in place.
    QStringList &params() { return m_params; }
    const QStringList &params() const { return m_params; }
    void setParams(const QStringList &params) { m_params = params; }

    /// Always 1: every attachment and statement uses SQL dialect 1.
    int sqlDialect() const { return 1; }

    /// Attaches; throws fw::DatabaseError with Firebird's text on failure and
    /// fw::Error for a parameter line it does not know.
    void open();
    void close();
    bool connected() const { return bool(m_attachment); }
    /// Connected, but a call found the connection lost; close() before opening again.
    bool connectionLost() const;

    /// The transaction data sets use when they name none. Not owned.
    Transaction *defaultTransaction() const { return m_defaultTransaction; }
    void setDefaultTransaction(Transaction *transaction);

    /// Closes every data set that runs on this connection (they stay usable).
    void closeDataSets();
    /// Data sets registered on this connection, open or not.
    QList<DataSet *> dataSets() const;

    /// Registration, done by transactions and clients themselves.
    void addTransaction(Transaction *transaction);
    void removeTransaction(Transaction *transaction) noexcept;
    void addClient(DatabaseClient *client);
    void removeClient(DatabaseClient *client) noexcept;
    const std::vector<DatabaseClient *> &clients() const { return m_clients; }

    /// The live attachment; null when not connected. Owned by the Database.
    Firebird::IAttachment *attachment() const { return m_attachment.get(); }
    /// Throws fw::Error when not connected, and the error that lost the connection when lost.
    Firebird::IAttachment *checkedAttachment() const;
    /// Internal to the framework: the state of the current attachment's link; null when not connected.
    const QSharedPointer<fb::Link> &link() const { return m_link; }

signals:
    void afterConnect();
    void beforeDisconnect();
    void afterDisconnect();

private:
    QString m_databaseName;
    QStringList m_params;
    QPointer<Transaction> m_defaultTransaction;
    std::vector<Transaction *> m_transactions;
    std::vector<DatabaseClient *> m_clients;
    fb::Ref<Firebird::IAttachment> m_attachment;
    QSharedPointer<fb::Link> m_link;
};

} // namespace fw
