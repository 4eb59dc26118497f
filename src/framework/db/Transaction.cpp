#include "framework/db/Transaction.h"

#include "framework/db/Database.h"
#include "framework/base/Error.h"
#include "framework/db/FbApi.h"

#include <algorithm>

namespace fw {

namespace {

constexpr fb::ParamName kTransactionNames[] = {
    {"read_committed", isc_tpb_read_committed},
    {"rec_version", isc_tpb_rec_version},
    {"no_rec_version", isc_tpb_no_rec_version},
    {"nowait", isc_tpb_nowait},
    {"wait", isc_tpb_wait},
    {"read", isc_tpb_read},
    {"write", isc_tpb_write},
    {"concurrency", isc_tpb_concurrency},
    {"consistency", isc_tpb_consistency},
    {"lock_timeout", isc_tpb_lock_timeout},
};
constexpr fb::ParamLineKind kTransactionLines{kTransactionNames, "isc_tpb_", "Parámetro de transacción desconocido: %1"};

bool commits(TransactionAction action)
{
    return action == TransactionAction::Commit || action == TransactionAction::CommitRetaining;
}

fb::Link *linkOf(const Database *database)
{
    return database ? database->link().get() : nullptr;
}

} // namespace

Transaction::Transaction(QObject *parent) : QObject(parent) {}

Transaction::~Transaction()
{
    if (active()) {
        notifyEnding();
        endQuietly(commits(m_defaultAction));
    }
    if (m_database)
        m_database->removeTransaction(this);
}

void Transaction::setDatabase(Database *database)
{
    if (database == m_database)
        return;
    if (active())
        throw Error(QStringLiteral("No se puede cambiar la base de datos de una transacción activa"));
    if (m_database)
        m_database->removeTransaction(this);
    m_database = database;
    if (database)
        database->addTransaction(this);
}

void Transaction::start()
{
    if (active())
        throw Error(QStringLiteral("La transacción ya está activa"));
    if (!m_database)
        throw Error(QStringLiteral("La transacción no tiene base de datos"));
    Firebird::IAttachment *attachment = m_database->checkedAttachment();

    fb::Status status(linkOf(m_database));
    fb::XpbBuilder tpb(status, Firebird::IXpbBuilder::TPB);
    bool accessGiven = false;
    for (const fb::ParamLine &line : fb::readParamLines(m_params, kTransactionLines)) {
        const unsigned char tag = line.name->tag;
        if (tag == isc_tpb_lock_timeout) {
            bool ok = false;
            const int seconds = line.value.trimmed().toInt(&ok);
            if (!ok)
                throw Error(QStringLiteral("Parámetro de transacción no válido: %1").arg(line.text));
            tpb->insertInt(&status, isc_tpb_lock_timeout, seconds);
        } else {
            tpb->insertTag(&status, tag);
        }
        accessGiven = accessGiven || tag == isc_tpb_read || tag == isc_tpb_write;
    }
    if (!accessGiven)
        tpb->insertTag(&status, isc_tpb_write);
    const unsigned length = tpb->getBufferLength(&status);
    const unsigned char *buffer = tpb->getBuffer(&status);
    m_handle.reset(attachment->startTransaction(&status, length, buffer));
    m_written = false;
}

Firebird::ITransaction *Transaction::checkedHandle() const
{
    if (!m_handle)
        throw Error(QStringLiteral("La transacción no está activa"));
    return m_handle.get();
}

void Transaction::notifyEnding() noexcept
{
    if (!m_database)
        return;
    for (DatabaseClient *c : std::vector<DatabaseClient *>(m_database->clients()))
        if (c->clientTransaction() == this)
            c->transactionEnding();
}

bool Transaction::connectionLost() const
{
    const fb::Link *link = linkOf(m_database);
    return link && link->lost();
}

void Transaction::commit()
{
    checkedHandle();
    notifyEnding();
    if (connectionLost()) {
        // The server has already dropped the work; only the handle is left to let go.
        m_handle.reset();
        m_written = false;
        m_database->link()->raiseLost();
    }
    fb::Status status(linkOf(m_database));
    try {
        m_handle->commit(&status);
    } catch (...) {
        // A commit the server refused leaves the transaction active, to be rolled back; one that
        // found the connection lost leaves nothing on the server to roll back.
        if (connectionLost()) {
            m_handle.reset();
            m_written = false;
        }
        throw;
    }
    m_handle.release();
    m_written = false;
}

void Transaction::rollback()
{
    checkedHandle();
    notifyEnding();
    if (connectionLost()) {
        // The server rolled the work back when it lost the connection.
        m_handle.reset();
        m_written = false;
        return;
    }
    fb::Status status(linkOf(m_database));
    try {
        m_handle->rollback(&status);
    } catch (...) {
        // Finding the connection lost is the end the rollback asked for.
        if (!connectionLost())
            throw;
        m_handle.reset();
        m_written = false;
        return;
    }
    m_handle.release();
    m_written = false;
}

void Transaction::commitRetaining()
{
    Firebird::ITransaction *handle = checkedHandle();
    if (!m_written)
        return;
    if (connectionLost())
        m_database->link()->raiseLost();
    fb::Status status(linkOf(m_database));
    handle->commitRetaining(&status);
    m_written = false;
}

void Transaction::rollbackRetaining()
{
    Firebird::ITransaction *handle = checkedHandle();
    if (connectionLost())
        m_database->link()->raiseLost();
    fb::Status status(linkOf(m_database));
    handle->rollbackRetaining(&status);
    m_written = false;
}

void Transaction::endWithDefaultAction()
{
    if (!active())
        return;
    if (commits(m_defaultAction))
        commit();
    else
        rollback();
}

void Transaction::endQuietly(bool commitFirst) noexcept
{
    if (!m_handle)
        return;
    m_written = false;
    if (connectionLost()) {
        m_handle.reset();
        return;
    }
    fb::QuietStatus status(linkOf(m_database));
    if (commitFirst) {
        m_handle->commit(&status);
        if (!status.failed()) {
            m_handle.release();
            return;
        }
    }
    fb::endQuietly(m_handle, status, [](Firebird::ITransaction *t, fb::QuietStatus *s) { t->rollback(s); });
}

void Transaction::databaseGone() noexcept
{
    endQuietly(false);
    m_database = nullptr;
}

} // namespace fw
