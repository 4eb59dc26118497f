#pragma once
#include "framework/db/FbRef.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

namespace Firebird {
class ITransaction;
}

namespace fw {

class Database;

/// What happens to a transaction still active when its connection closes or
/// the Transaction object is destroyed.
enum class TransactionAction { Commit, CommitRetaining, Rollback, RollbackRetaining };

/// A Firebird transaction on one Database.
///
/// Parameter lines map to the transaction parameter block: "read_committed",
/// "rec_version", "no_rec_version", "nowait", "wait", "read", "write",
/// "concurrency", "consistency", "lock_timeout=N" (an "isc_tpb_" prefix is
/// accepted). Write access is the default. commit() and rollback() close the
/// data sets running in the transaction first; the retaining variants keep
/// every cursor open. The destructor applies the default action when the
/// transaction is still active and never throws.
///
/// The transaction knows whether a statement that can write ran on it since it
/// started or last ended its work: DML, DDL, procedure calls, selects that run a
/// stored procedure or lock rows, and so the posts of editable data sets.
/// commitRetaining() sends nothing when none did, as such a commit changes
/// nothing anyone can see. A select that writes only through a stored function
/// in its column list is not noticed; commit such work with commit().
///
/// On a lost connection rollback() only lets the handle go, and commit() lets it
/// go and throws the error that lost the connection.
class Transaction : public QObject
{
    Q_OBJECT
public:
    explicit Transaction(QObject *parent = nullptr);
    ~Transaction() override;

    Database *database() const { return m_database; }
    void setDatabase(Database *database);

    QStringList &params() { return m_params; }
    const QStringList &params() const { return m_params; }
    void setParams(const QStringList &params) { m_params = params; }

    TransactionAction defaultAction() const { return m_defaultAction; }
    void setDefaultAction(TransactionAction action) { m_defaultAction = action; }

    void start();
    void commit();
    void commitRetaining();
    void rollback();
    void rollbackRetaining();
    bool active() const { return bool(m_handle); }

    /// Called by statements that can write, as they run.
    void noteWrite() noexcept { m_written = true; }
    /// A statement that can write ran since the start or the last commit or rollback.
    bool written() const { return m_written; }

    /// Ends an active transaction with the default action (retaining actions
    /// end it for good here, as the connection is going away).
    void endWithDefaultAction();

    /// The live handle; null when not active. Owned by the Transaction.
    Firebird::ITransaction *handle() const { return m_handle.get(); }
    /// Throws fw::Error when not active.
    Firebird::ITransaction *checkedHandle() const;

private:
    friend class Database;
    void databaseGone() noexcept;
    void notifyEnding() noexcept;
    /// The connection under the transaction is known lost: nothing more may be sent on it.
    bool connectionLost() const;
    /// Ends the transaction without throwing: commits first when asked, rolls
    /// back otherwise or when the commit fails, and lets the handle go at last.
    void endQuietly(bool commitFirst) noexcept;

    QPointer<Database> m_database;
    QStringList m_params;
    TransactionAction m_defaultAction = TransactionAction::Commit;
    fb::Ref<Firebird::ITransaction> m_handle;
    bool m_written = false;
};

} // namespace fw
