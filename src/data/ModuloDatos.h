#pragma once
#include <QObject>
#include <QString>

#include <cstdint>

namespace fw {
class Database;
class SqlQuery;
class Transaction;
} // namespace fw

/// The data module: one connection to the host database, its one transaction,
/// the company record and the calling context the host passed in. Every entry
/// creates its own, lets one window work on it and frees it; windows receive it
/// in their `Datos` field and never own it. Freeing it closes the connection,
/// committing a transaction still active (its default action).
class TDatos : public QObject
{
    Q_OBJECT
public:
    explicit TDatos(QObject *parent = nullptr);
    ~TDatos() override;

    // Calling context.
    std::int32_t IdEmpresa = 0;
    std::int32_t IdGrupoEmpresa = 0;
    std::int32_t IdUsuario = 0;
    std::int32_t IdCliente = 0;
    std::int32_t IDSerie = 0;
    std::int32_t IdDocumento = 0;
    std::int32_t TipoDocumento = 0;
    QString RutaBaseDatos;
    QString NombreUsuario;
    QString Password;
    // Company and document context.
    std::int32_t MonedaEmpresaBase = 0;
    std::int32_t GrupoRiesgo = 0;
    QString CodigoSerie;
    QString NombreSerie;
    std::int32_t NumeroDocumento = 0;

    fw::Database *BaseDatosNORVIK = nullptr;
    fw::Transaction *IBTransaccion = nullptr;
    fw::SqlQuery *IBQEmpresas = nullptr;

    /// Database name := RutaBaseDatos; the parameters replaced by exactly the
    /// three lines "user_name=", "password=" and "lc_ctype=ISO8859_1".
    void ConfigurarConexion();
    /// IDEMPRESAS := IdEmpresa and opens the company record.
    void AbrirEmpresa();

private:
    void IBQEmpresasAfterOpen();
};

/// The module's one warning: a modal "Aviso" dialog with the text and "&Aceptar".
/// True when it was closed with "&Aceptar".
bool MostrarAviso(const QString &texto);

/// The windows layer installs the real dialog here (see InstalarDialogoAviso);
/// without one a plain message box is shown.
using PresentadorAviso = bool (*)(const QString &texto);
void EstablecerPresentadorAviso(PresentadorAviso presentador);
