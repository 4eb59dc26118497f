#include "data/Conexion.h"

#include "framework/db/Database.h"
#include "framework/db/Transaction.h"

void ConfigurarConexion(fw::Database &conexion, const QString &ruta, const QString &usuario,
                        const QString &password)
{
    conexion.setDatabaseName(ruta);
    conexion.setParams(QStringList{QStringLiteral("user_name=") + usuario, QStringLiteral("password=") + password,
                                   QStringLiteral("lc_ctype=ISO8859_1")});
}

void ConfigurarTransaccion(fw::Transaction &transaccion)
{
    transaccion.setParams({QStringLiteral("read_committed"), QStringLiteral("rec_version"), QStringLiteral("nowait")});
}
