#pragma once
#include <QString>
#include <QStringList>

namespace fw {
class Database;
class Transaction;
} // namespace fw

/// Database name := `ruta`; the parameters replaced by exactly the three lines
/// "user_name=" `usuario`, "password=" `password` and "lc_ctype=ISO8859_1", in
/// that order. Every connection the module makes to the host database is set up
/// here: the data module's and the installer's.
void ConfigurarConexion(fw::Database &conexion, const QString &ruta, const QString &usuario,
                        const QString &password);

/// "read_committed", "rec_version" and "nowait": every transaction of the module
/// reads committed data and fails at once on a lock conflict.
void ConfigurarTransaccion(fw::Transaction &transaccion);
