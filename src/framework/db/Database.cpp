#include "framework/db/Database.h"

#include "framework/db/DataSet.h"
#include "framework/base/Error.h"
#include "framework/db/FbApi.h"
#include "framework/db/Transaction.h"

#include <algorithm>

namespace fw {

namespace {

// Connection parameter lines the framework understands.
constexpr fb::ParamName kConnectionNames[] = {
    {"user_name", isc_dpb_user_name},   {"password", isc_dpb_password},
    {"lc_ctype", isc_dpb_lc_ctype},     {"sql_role_name", isc_dpb_sql_role_name},
    {"role_name", isc_dpb_sql_role_name},
};
constexpr fb::ParamLineKind kConnectionLines{kConnectionNames, "isc_dpb_", "Parámetro de conexión desconocido: %1"};

} // namespace

Database::Database(QObject *parent) : QObject(parent) {}

Database::~Database()
{
    try {
        close();
    } catch (...) {
        // A failed commit, detach or signal handler cannot be reported from a destructor.
    }
    // Clients and transactions outlive us only as dangling registrations; tell them.
    for (Transaction *t : std::vector<Transaction *>(m_transactions))
        t->databaseGone();
}

void Database::setDatabaseName(const QString &name)
{
    if (connected() && name != m_databaseName)
        throw Error(QStringLiteral("No se puede cambiar el nombre de una base de datos conectada"));
    m_databaseName = name;
}

void Database::setDefaultTransaction(Transaction *transaction)
{
    m_defaultTransaction = transaction;
    if (transaction && !transaction->database())
        transaction->setDatabase(this);
}

void Database::open()
{
    if (connected())
        return;
    if (m_databaseName.isEmpty())
        throw Error(QStringLiteral("No se ha indicado el nombre de la base de datos"));

    fb::Status status;
    fb::XpbBuilder dpb(status, Firebird::IXpbBuilder::DPB);
    for (const fb::ParamLine &line : fb::readParamLines(m_params, kConnectionLines)) {
        if (line.name->tag == isc_dpb_lc_ctype) {
            // Every text conversion in the framework is ISO 8859-1; another set would garble text.
            const QString cs = line.value.trimmed().toUpper();
            if (cs != QLatin1String("ISO8859_1") && cs != QLatin1String("LATIN1"))
                throw Error(QStringLiteral("Juego de caracteres de conexión no admitido: %1").arg(line.value));
        } else {
            // A password's characters never reach a message box, not even the one that cannot be sent.
            if (line.name->tag == isc_dpb_password
                && std::any_of(line.value.cbegin(), line.value.cend(), [](QChar c) { return c.unicode() > 0xFF; }))
                throw Error(QStringLiteral("La contraseña contiene caracteres que no existen en ISO 8859-1"));
            const QString what = QStringLiteral("del parámetro de conexión %1").arg(QLatin1StringView(line.name->name));
            dpb->insertString(&status, line.name->tag, fb::toLatin1(line.value, what).constData());
        }
    }
    // Always sent, so a connection without the line speaks ISO 8859-1 as well.
    dpb->insertString(&status, isc_dpb_lc_ctype, "ISO8859_1");
    dpb->insertInt(&status, isc_dpb_sql_dialect, 1);
    const unsigned length = dpb->getBufferLength(&status);
    const unsigned char *buffer = dpb->getBuffer(&status);

    fb::Ref<Firebird::IProvider> provider(fb::master()->getDispatcher());
    const QByteArray name = m_databaseName.toLocal8Bit();
    m_attachment.reset(provider->attachDatabase(&status, name.constData(), length, buffer));
    m_link = QSharedPointer<fb::Link>::create(m_attachment.get());
    emit afterConnect();
}

void Database::close()
{
    if (!connected())
        return;
    emit beforeDisconnect();
    // Cursors and statements go before the transactions, transactions before the attachment.
    for (DatabaseClient *c : std::vector<DatabaseClient *>(m_clients))
        c->releaseHandles();
    const bool lost = connectionLost();
    std::exception_ptr firstError;
    for (Transaction *t : std::vector<Transaction *>(m_transactions)) {
        if (!t->active())
            continue;
        if (lost && !t->written()) {
            // Nothing of it can be lost: it only let go of its handle.
            t->endQuietly(false);
            continue;
        }
        try {
            t->endWithDefaultAction();
        } catch (...) {
            // Whatever stopped the commit, the transaction is rolled back and the first failure rethrown.
            if (!firstError)
                firstError = std::current_exception();
            t->endQuietly(false);
        }
    }
    // The attachment goes whether the detach succeeds or not; its failure is
    // reported after the transaction's. A lost one is only let go: there is no one to detach from.
    fb::QuietStatus status;
    if (lost)
        m_attachment.reset();
    else
        fb::endQuietly(m_attachment, status, [](Firebird::IAttachment *a, fb::QuietStatus *s) { a->detach(s); });
    m_link->detached();
    m_link.reset();
    emit afterDisconnect();
    if (firstError)
        std::rethrow_exception(firstError);
    if (status.failed())
        status.raise();
}

void Database::closeDataSets()
{
    for (DatabaseClient *c : std::vector<DatabaseClient *>(m_clients)) {
        if (std::find(m_clients.begin(), m_clients.end(), c) == m_clients.end())
            continue;
        if (DataSet *ds = c->asDataSet())
            ds->close();
    }
}

QList<DataSet *> Database::dataSets() const
{
    QList<DataSet *> out;
    for (DatabaseClient *c : m_clients)
        if (DataSet *ds = c->asDataSet())
            out << ds;
    return out;
}

void Database::addTransaction(Transaction *transaction)
{
    if (std::find(m_transactions.begin(), m_transactions.end(), transaction) == m_transactions.end())
        m_transactions.push_back(transaction);
}

void Database::removeTransaction(Transaction *transaction) noexcept
{
    m_transactions.erase(std::remove(m_transactions.begin(), m_transactions.end(), transaction), m_transactions.end());
    if (m_defaultTransaction == transaction)
        m_defaultTransaction = nullptr;
}

void Database::addClient(DatabaseClient *client)
{
    if (std::find(m_clients.begin(), m_clients.end(), client) == m_clients.end())
        m_clients.push_back(client);
}

void Database::removeClient(DatabaseClient *client) noexcept
{
    m_clients.erase(std::remove(m_clients.begin(), m_clients.end(), client), m_clients.end());
}

bool Database::connectionLost() const
{
    return m_link && m_link->lost();
}

Firebird::IAttachment *Database::checkedAttachment() const
{
    if (!m_attachment)
        throw Error(QStringLiteral("La base de datos no está conectada"));
    if (m_link->lost())
        m_link->raiseLost();
    return m_attachment.get();
}

} // namespace fw
