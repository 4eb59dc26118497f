#include "framework/db/Database.h"

#include "framework/db/DataSet.h"
#include "framework/base/Error.h"
#include "framework/db/FbApi.h"
#include "framework/db/Transaction.h"

#include <algorithm>

namespace fw {

namespace {

struct DpbItem
{
    const char *name;
    unsigned char tag;
};

// Connection parameter lines the framework understands.
constexpr DpbItem kDpbItems[] = {
    {"user_name", isc_dpb_user_name},   {"password", isc_dpb_password},
    {"lc_ctype", isc_dpb_lc_ctype},     {"sql_role_name", isc_dpb_sql_role_name},
    {"role_name", isc_dpb_sql_role_name},
};

} // namespace

Database::Database(QObject *parent) : QObject(parent) {}

Database::~Database()
{
    closeNoThrow();
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
    fb::XpbBuilder dpb;
    dpb.p = fb::util()->getXpbBuilder(status.get(), Firebird::IXpbBuilder::DPB, nullptr, 0);
    status.check();
    bool charsetGiven = false;
    for (const QString &line : m_params) {
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty())
            continue;
        const int eq = int(trimmed.indexOf(QLatin1Char('=')));
        QString key = (eq < 0 ? trimmed : trimmed.left(eq)).trimmed().toLower();
        const QString value = eq < 0 ? QString() : trimmed.mid(eq + 1);
        if (key.startsWith(QLatin1String("isc_dpb_")))
            key = key.mid(8);
        const auto item = std::find_if(std::begin(kDpbItems), std::end(kDpbItems),
                                       [&](const DpbItem &i) { return key == QLatin1String(i.name); });
        if (item == std::end(kDpbItems))
            throw Error(QStringLiteral("Parámetro de conexión desconocido: %1").arg(trimmed));
        if (item->tag == isc_dpb_lc_ctype) {
            // Every text conversion in the framework is ISO 8859-1; another set would garble text.
            const QString cs = value.trimmed().toUpper();
            if (cs != QLatin1String("ISO8859_1") && cs != QLatin1String("LATIN1"))
                throw Error(QStringLiteral("Juego de caracteres de conexión no admitido: %1").arg(value));
            charsetGiven = true;
            dpb.p->insertString(status.get(), isc_dpb_lc_ctype, "ISO8859_1");
        } else {
            dpb.p->insertString(status.get(), item->tag, fb::toLatin1(value, QStringLiteral("del parámetro de conexión %1").arg(QString::fromLatin1(item->name))).constData());
        }
        status.check();
    }
    if (!charsetGiven) {
        dpb.p->insertString(status.get(), isc_dpb_lc_ctype, "ISO8859_1");
        status.check();
    }
    dpb.p->insertInt(status.get(), isc_dpb_sql_dialect, 1);
    status.check();

    const unsigned length = dpb.p->getBufferLength(status.get());
    status.check();
    const unsigned char *buffer = dpb.p->getBuffer(status.get());
    status.check();

    fb::Ref<Firebird::IProvider> provider(fb::master()->getDispatcher());
    const QByteArray name = m_databaseName.toLocal8Bit();
    Firebird::IAttachment *attachment = provider->attachDatabase(status.get(), name.constData(), length, buffer);
    if (status.failed()) {
        if (attachment)
            attachment->release();
        status.check();
    }
    m_attachment = attachment;
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
    std::exception_ptr firstError;
    for (Transaction *t : std::vector<Transaction *>(m_transactions)) {
        if (!t->active())
            continue;
        try {
            t->endWithDefaultAction();
        } catch (...) {
            if (!firstError)
                firstError = std::current_exception();
            t->releaseNoThrow(false);
        }
    }
    fb::Status status;
    m_attachment->detach(status.get());
    if (status.failed())
        m_attachment->release();
    m_attachment = nullptr;
    emit afterDisconnect();
    if (firstError)
        std::rethrow_exception(firstError);
    status.check();
}

void Database::closeNoThrow() noexcept
{
    try {
        close();
    } catch (...) {
    }
    if (m_attachment) {
        m_attachment->release();
        m_attachment = nullptr;
    }
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

Firebird::IAttachment *Database::checkedAttachment() const
{
    if (!m_attachment)
        throw Error(QStringLiteral("La base de datos no está conectada"));
    return m_attachment;
}

} // namespace fw
