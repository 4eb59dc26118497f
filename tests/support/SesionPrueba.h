#pragma once
#include "framework/db/Database.h"
#include "framework/db/Transaction.h"
#include "support/TestDatabase.h"

#include <QString>

namespace testsupport {

/// A connection and its one transaction, opened as the data module opens its
/// own: ISO 8859-1, read committed, record versions, no wait. The transaction
/// rolls back when the connection closes.
struct SesionPrueba
{
    fw::Database db;
    fw::Transaction tr;

    SesionPrueba(const QString &ruta, const QString &usuario, const QString &clave)
    {
        db.setDatabaseName(ruta);
        db.setParams({"user_name=" + usuario, "password=" + clave, "lc_ctype=ISO8859_1"});
        tr.setDatabase(&db);
        tr.setParams({"read_committed", "rec_version", "nowait"});
        tr.setDefaultAction(fw::TransactionAction::Rollback);
        db.setDefaultTransaction(&tr);
        db.open();
        tr.start();
    }
    explicit SesionPrueba(const TestDatabase &base)
        : SesionPrueba(base.connectionString(), TestDatabase::user(), TestDatabase::password())
    {
    }
};

} // namespace testsupport
