#include "ModuloDatos.h"

#include "framework/db/Database.h"
#include "framework/db/SqlQuery.h"
#include "framework/db/Transaction.h"

#include <QApplication>
#include <QMessageBox>

TDatos::TDatos(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("Datos"));

    BaseDatosNORVIK = new fw::Database(this);
    BaseDatosNORVIK->setObjectName(QStringLiteral("BaseDatosNORVIK"));

    IBTransaccion = new fw::Transaction(this);
    IBTransaccion->setObjectName(QStringLiteral("IBTransaccion"));
    IBTransaccion->setDatabase(BaseDatosNORVIK);
    IBTransaccion->setParams({QStringLiteral("read_committed"), QStringLiteral("rec_version"), QStringLiteral("nowait")});
    IBTransaccion->setDefaultAction(fw::TransactionAction::CommitRetaining);
    BaseDatosNORVIK->setDefaultTransaction(IBTransaccion);

    IBQEmpresas = new fw::SqlQuery(this);
    IBQEmpresas->setObjectName(QStringLiteral("IBQEmpresas"));
    IBQEmpresas->setDatabase(BaseDatosNORVIK);
    IBQEmpresas->setTransaction(IBTransaccion);
    IBQEmpresas->setSql(QStringList{QStringLiteral("SELECT * "), QStringLiteral("FROM EMPRESAS "),
                                    QStringLiteral("WHERE IDEMPRESAS = :IDEMPRESAS")});
    IBQEmpresas->afterOpen = [this](fw::DataSet &) { IBQEmpresasAfterOpen(); };
}

TDatos::~TDatos()
{
    // Data sets go before the connection they run on; the connection then
    // ends an active transaction with its default action.
    try {
        if (BaseDatosNORVIK->connected()) {
            BaseDatosNORVIK->closeDataSets();
            BaseDatosNORVIK->close();
        }
    } catch (...) {
    }
}

void TDatos::ConfigurarConexion()
{
    BaseDatosNORVIK->setDatabaseName(RutaBaseDatos);
    BaseDatosNORVIK->params().clear();
    BaseDatosNORVIK->params() << QStringLiteral("user_name=") + NombreUsuario
                              << QStringLiteral("password=") + Password << QStringLiteral("lc_ctype=ISO8859_1");
}

void TDatos::AbrirEmpresa()
{
    IBQEmpresas->paramByName(QStringLiteral("IDEMPRESAS")).setAsInteger(IdEmpresa);
    IBQEmpresas->open();
}

void TDatos::IBQEmpresasAfterOpen()
{
    const fw::Field *moneda = IBQEmpresas->findField(QStringLiteral("MONEDABASE"));
    MonedaEmpresaBase = (moneda == nullptr || IBQEmpresas->isEmpty() || moneda->isNull()) ? 0 : moneda->asInteger();
}

namespace {
PresentadorAviso g_presentador = nullptr;
}

void EstablecerPresentadorAviso(PresentadorAviso presentador)
{
    g_presentador = presentador;
}

bool MostrarAviso(const QString &texto)
{
    if (g_presentador != nullptr)
        return g_presentador(texto);
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Aviso"), texto, QMessageBox::Ok, QApplication::activeWindow());
    return box.exec() == QMessageBox::Ok;
}
