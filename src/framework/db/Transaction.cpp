#include "framework/db/Transaction.h"

#include "framework/db/Database.h"
#include "framework/base/Error.h"
#include "framework/db/FbApi.h"

#include <algorithm>

namespace fw {

namespace {

struct TpbItem
{
    const char *name;
    unsigned char tag;
};

constexpr TpbItem kTpbItems[] = {
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

} // namespace

Transaction::Transaction(QObject *parent) : QObject(parent) {}

Transaction::~Transaction()
{
    if (active()) {
        try {
            endWithDefaultAction();
        } catch (...) {
        }
        releaseNoThrow(false);
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

    fb::Status status;
    fb::XpbBuilder tpb;
    tpb.p = fb::util()->getXpbBuilder(status.get(), Firebird::IXpbBuilder::TPB, nullptr, 0);
    status.check();
    bool accessGiven = false;
    for (const QString &line : m_params) {
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty())
            continue;
        const int eq = int(trimmed.indexOf(QLatin1Char('=')));
        QString key = (eq < 0 ? trimmed : trimmed.left(eq)).trimmed().toLower();
        if (key.startsWith(QLatin1String("isc_tpb_")))
            key = key.mid(8);
        const auto item = std::find_if(std::begin(kTpbItems), std::end(kTpbItems),
                                       [&](const TpbItem &i) { return key == QLatin1String(i.name); });
        if (item == std::end(kTpbItems))
            throw Error(QStringLiteral("Parámetro de transacción desconocido: %1").arg(trimmed));
        if (item->tag == isc_tpb_lock_timeout) {
            bool ok = false;
            const int seconds = eq < 0 ? 0 : trimmed.mid(eq + 1).trimmed().toInt(&ok);
            if (!ok)
                throw Error(QStringLiteral("Parámetro de transacción no válido: %1").arg(trimmed));
            tpb.p->insertInt(status.get(), isc_tpb_lock_timeout, seconds);
        } else {
            tpb.p->insertTag(status.get(), item->tag);
        }
        status.check();
        accessGiven = accessGiven || item->tag == isc_tpb_read || item->tag == isc_tpb_write;
    }
    if (!accessGiven) {
        tpb.p->insertTag(status.get(), isc_tpb_write);
        status.check();
    }
    const unsigned length = tpb.p->getBufferLength(status.get());
    status.check();
    const unsigned char *buffer = tpb.p->getBuffer(status.get());
    status.check();

    Firebird::ITransaction *handle = attachment->startTransaction(status.get(), length, buffer);
    if (status.failed()) {
        if (handle)
            handle->release();
        status.check();
    }
    m_handle = handle;
}

Firebird::ITransaction *Transaction::checkedHandle() const
{
    if (!m_handle)
        throw Error(QStringLiteral("La transacción no está activa"));
    return m_handle;
}

void Transaction::notifyEnding() noexcept
{
    if (!m_database)
        return;
    for (DatabaseClient *c : std::vector<DatabaseClient *>(m_database->clients()))
        if (c->clientTransaction() == this)
            c->transactionEnding();
}

void Transaction::commit()
{
    checkedHandle();
    notifyEnding();
    fb::Status status;
    m_handle->commit(status.get());
    status.check();
    // A successful commit releases the interface.
    m_handle = nullptr;
}

void Transaction::rollback()
{
    checkedHandle();
    notifyEnding();
    fb::Status status;
    m_handle->rollback(status.get());
    status.check();
    m_handle = nullptr;
}

void Transaction::commitRetaining()
{
    fb::Status status;
    checkedHandle()->commitRetaining(status.get());
    status.check();
}

void Transaction::rollbackRetaining()
{
    fb::Status status;
    checkedHandle()->rollbackRetaining(status.get());
    status.check();
}

void Transaction::endWithDefaultAction()
{
    if (!active())
        return;
    switch (m_defaultAction) {
    case TransactionAction::Commit:
    case TransactionAction::CommitRetaining:
        commit();
        break;
    case TransactionAction::Rollback:
    case TransactionAction::RollbackRetaining:
        rollback();
        break;
    }
}

void Transaction::releaseNoThrow(bool commit) noexcept
{
    if (!m_handle)
        return;
    fb::Status status;
    if (commit)
        m_handle->commit(status.get());
    else
        m_handle->rollback(status.get());
    if (status.failed())
        m_handle->release();
    m_handle = nullptr;
}

void Transaction::databaseGone() noexcept
{
    releaseNoThrow(false);
    m_database = nullptr;
}

} // namespace fw
