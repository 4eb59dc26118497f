#pragma once
#include <QObject>
#include <QString>

#include <cstdint>
#include <vector>

namespace fw {
class Database;
class DataSet;
class DataSource;
class Field;
class Transaction;
} // namespace fw

class QWidget;
class TlxIBDataSet;
class TlxIBQuery;
class TlxRxMemoryData;

/// The calling context an entry copies into its data module: the host's
/// arguments. The main-screen actions leave the risk check's fields at 0.
struct TContextoSesion
{
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
};

/// The data module: one connection to the host database, its one transaction,
/// the company record and the calling context the host passed in. Every entry
/// gets its own from a TSesionDatos (SesionDatos.h), which opens and closes it,
/// and lets one window work on it; windows receive it in their `Datos` field and
/// never own it. Freeing it closes the connection, committing a transaction
/// still active (its default action).
class TDatos : public QObject, public TContextoSesion
{
    Q_OBJECT
public:
    explicit TDatos(QObject *parent = nullptr);
    ~TDatos() override;

    // Company and document context; the calling context is inherited.
    std::int32_t MonedaEmpresaBase = 0;
    std::int32_t GrupoRiesgo = 0;
    QString CodigoSerie;
    QString NombreSerie;
    std::int32_t NumeroDocumento = 0;

    fw::Database *BaseDatosNORVIK = nullptr;
    fw::Transaction *IBTransaccion = nullptr;
    TlxIBQuery *IBQEmpresas = nullptr;
    /// The customer's risk situation per group, with the derived balances.
    TlxIBQuery *IBQSituacionClientesRiesgo = nullptr;
    fw::DataSource *dsSituacionClientesRiesgo = nullptr;
    /// Rows of the listings, one per customer and risk group.
    TlxRxMemoryData *RxClientesRiesgo = nullptr;
    fw::DataSource *dsRxClientesRiesgo = nullptr;
    /// What the configuration window edits: the risk group of every document
    /// and invoice series and the risk days of every payment method of the
    /// company group. Posting sends the update inside IBTransaccion; only the
    /// configuration entry's final commit stores it.
    TlxIBDataSet *tSeriesDocumentos = nullptr;
    fw::DataSource *dstSeriesDocumentos = nullptr;
    TlxIBDataSet *tSeriesFacturas = nullptr;
    fw::DataSource *dstSeriesFacturas = nullptr;
    TlxIBDataSet *tFormasPago = nullptr;
    fw::DataSource *dstFormasPago = nullptr;

    /// Loads the series' code, name and risk group and the document number.
    /// Never raises: an error is reported in the warning dialog.
    void CargarDatosDocumento();
    /// True when the document's group is over its limit, or the series has no group.
    bool SobrepasadoRiesgo();
    /// Gives every lookup edit of the window the id its searches filter by: the
    /// company group for edits that filter by company group, else the company.
    void CargarValoresGrupoEmpresasLxDBEditLookup(QWidget *ventana);

    /// Sales rate from `monedaInicio` to the base currency and the base currency's
    /// display decimals (1 and 0 when nothing is found).
    void ObtenerDatosMoneda(std::int32_t monedaInicio, double &cambio, std::int32_t &decimales);
    /// Gives every amount field of the risk query or of the listings' table its
    /// amount descriptor; any other data set is left alone.
    void ConfigurarCamposImporte(fw::DataSet *dataSet);
    /// The text of every amount field: divided by the rate, the currency's
    /// decimals, thousands grouped, two blanks after.
    void IBQSituacionClientesRiesgoPARRIESGOCONCEDIDO1GetText(fw::Field &Sender, QString &Text, bool DisplayText);

    // Handlers of the configuration data sets.
    /// PARIDGRUPOEMPRESAS := IdGrupoEmpresa (all three data sets).
    void tSeriesDocumentosBeforeOpen(fw::DataSet &DataSet);
    /// A risk group outside 1 to 5 (or none) is stored as 1.
    void tSeriesDocumentosBeforePost(fw::DataSet &DataSet);
    void tSeriesFacturasBeforePost(fw::DataSet &DataSet);
    /// Refuses a new row silently (fw::Abort): the window adds no rows.
    void tSeriesDocumentosBeforeInsert(fw::DataSet &DataSet);
    /// DIASRIESGOCALCULADO, the risk days the due dates suggest.
    void tFormasPagoCalcFields(fw::DataSet &DataSet);

private:
    void IBQEmpresasAfterOpen();
    void CrearSituacionClientesRiesgo();
    void CrearClientesRiesgo();
    void CrearConfiguracion();
    void IBQSituacionClientesRiesgoBeforeOpen();
    void IBQSituacionClientesRiesgoCalcFields();
    void RxClientesRiesgoNewRecord();
    void RxClientesRiesgoBeforeOpen();

    /// The memory table's fields a new row sets to 0 (declared once, so found once).
    std::vector<fw::Field *> m_cerosNuevaFila;
};

/// d decimals of x: single-precision power of ten, halves to the even
/// neighbour, within the 32-bit range (beyond it x is returned unchanged).
double RedondearDecimales(std::int32_t d, double x);

/// The module's one warning: a modal "Aviso" dialog with the text and "&Aceptar"
/// (the warning of the dialogs the entry point installed). True when it was
/// closed with "&Aceptar".
bool MostrarAviso(const QString &texto);

/// Shows the error being handled in a plain message box with the error's own
/// text. Never throws: a message that cannot be shown is dropped. Call only
/// inside a catch block.
void MostrarErrorActual() noexcept;
