#include "data/SesionDatos.h"

#include "components/lxIBQuery.h"
#include "data/Conexion.h"
#include "framework/db/Database.h"
#include "framework/db/Transaction.h"

TSesionDatos::TSesionDatos(const TContextoSesion &contexto, ErroresAlCerrar errores)
    : m_datos(std::make_unique<TDatos>()), m_errores(errores)
{
    static_cast<TContextoSesion &>(*m_datos) = contexto;
}

TSesionDatos::~TSesionDatos()
{
    try {
        cerrar();
    } catch (...) {
        // Any error closing the session: shown or dropped by the entry's rule.
        if (m_errores == ErroresAlCerrar::Mostrar)
            MostrarErrorActual();
    }
    // The data module closes, without a word, whatever the failed close left open.
    m_datos.reset();
}

void TSesionDatos::cerrar()
{
    TDatos &d = *m_datos;
    if (d.IBQEmpresas->active())
        d.IBQEmpresas->close();
    d.BaseDatosNORVIK->closeDataSets();
    d.BaseDatosNORVIK->close();
}

void TSesionDatos::conectar()
{
    TDatos &d = *m_datos;
    ConfigurarConexion(*d.BaseDatosNORVIK, d.RutaBaseDatos, d.NombreUsuario, d.Password);
    d.BaseDatosNORVIK->open();
    d.IBTransaccion->start();
}

void TSesionDatos::abrirEmpresa()
{
    TDatos &d = *m_datos;
    d.IBQEmpresas->paramByName(QStringLiteral("IDEMPRESAS")).setAsInteger(d.IdEmpresa);
    d.IBQEmpresas->open();
}

void TSesionDatos::confirmar()
{
    TDatos &d = *m_datos;
    d.IBQEmpresas->close();
    d.IBTransaccion->commit();
    d.BaseDatosNORVIK->close();
}

void TSesionDatos::deshacer()
{
    TDatos &d = *m_datos;
    d.BaseDatosNORVIK->closeDataSets();
    if (d.IBTransaccion->active())
        d.IBTransaccion->rollback();
    d.BaseDatosNORVIK->close();
}
