#include "install/EjecutorInstalacion.h"

#include "data/Conexion.h"
#include "framework/base/Error.h"
#include "framework/db/Database.h"
#include "framework/db/SqlStatement.h"
#include "framework/db/Transaction.h"
#include "framework/ui/Guard.h"
#include "install/SentenciasInstalacion.h"

#include <ibase.h>

namespace {

/// A metadata update refused by a duplicate key in the system tables: the
/// domain, column or other object the statement adds is there already.
bool yaExiste(const std::exception_ptr &error)
{
    try {
        std::rethrow_exception(error);
    } catch (const fw::DatabaseError &e) {
        return e.hasGdsCode(isc_no_meta_update)
               && (e.hasGdsCode(isc_unique_key_violation) || e.hasGdsCode(isc_no_dup));
    } catch (...) {
        // Anything that is not a database error says nothing about the object.
        return false;
    }
}

} // namespace

void TEjecutorInstalacion::Errores::anotar()
{
    const std::exception_ptr actual = std::current_exception();
    if (primero.isEmpty())
        primero = fw::ui::errorText(actual);
    objetoPresente = objetoPresente || yaExiste(actual);
}

TEjecutorInstalacion::TEjecutorInstalacion(const QString &ruta, const QString &usuario, const QString &password)
    : m_ruta(ruta), m_usuario(usuario), m_password(password), BaseDatosActualizacion(std::make_unique<fw::Database>()),
      IBTAdmin_ActualizacionInterna(std::make_unique<fw::Transaction>()),
      IBSQLActualizacionInterna(std::make_unique<fw::SqlStatement>())
{
    BaseDatosActualizacion->setObjectName(QStringLiteral("BaseDatosActualizacion"));
    IBTAdmin_ActualizacionInterna->setObjectName(QStringLiteral("IBTAdmin_ActualizacionInterna"));
    ConfigurarTransaccion(*IBTAdmin_ActualizacionInterna);
    IBTAdmin_ActualizacionInterna->setDatabase(BaseDatosActualizacion.get());
    BaseDatosActualizacion->setDefaultTransaction(IBTAdmin_ActualizacionInterna.get());
    IBSQLActualizacionInterna->setObjectName(QStringLiteral("IBSQLActualizacionInterna"));
    IBSQLActualizacionInterna->setDatabase(BaseDatosActualizacion.get());
    IBSQLActualizacionInterna->setTransaction(IBTAdmin_ActualizacionInterna.get());
}

TEjecutorInstalacion::~TEjecutorInstalacion() = default;

QList<QStringList> TEjecutorInstalacion::Sentencias()
{
    QList<QStringList> sentencias;
    for (const QString &sentencia : SentenciasEsquema())
        sentencias << QStringList{sentencia};
    sentencias << TextoProcedimientoRiesgo() << QStringList{SentenciaGrant()};
    return sentencias;
}

bool TEjecutorInstalacion::UsuarioAdmitido(const QString &usuario)
{
    return usuario == QLatin1String("SYSDBA");
}

bool TEjecutorInstalacion::EjecutarInstalacionSQL()
{
    if (!UsuarioAdmitido(m_usuario))
        return false;
    for (const QStringList &sentencia : Sentencias())
        EjecutarSentenciaSQL(sentencia);
    return true;
}

void TEjecutorInstalacion::EjecutarSentenciaSQL(const QStringList &lineas)
{
    IBSQLActualizacionInterna->setSql(lineas);
    if (IBSQLActualizacionInterna->sqlText().trimmed().isEmpty())
        return;
    Errores errores;
    bool confirmada = false;
    try {
        confirmada = EjecutarConReintento(errores);
    } catch (...) {
        // Any error outside the two attempts (starting, rolling back a failed commit) drops the statement.
        errores.anotar();
    }
    try {
        Desconectar();
    } catch (...) {
        // A close that fails still lets the connection go, and what was committed stays.
    }
    if (confirmada)
        return;
    ++m_omitidas;
    if (m_primerError.isEmpty())
        m_primerError = errores.primero;
    if (errores.objetoPresente)
        return;
    ++m_noEjecutadas;
    if (m_primerErrorNoEjecutada.isEmpty())
        m_primerErrorNoEjecutada = errores.primero;
}

bool TEjecutorInstalacion::EjecutarConReintento(Errores &errores)
{
    ConfigurarConexion(*BaseDatosActualizacion, m_ruta, m_usuario, m_password);
    try {
        BaseDatosActualizacion->open();
    } catch (...) {
        // Any failure to connect: the statement is skipped without a word.
        errores.anotar();
        return false;
    }

    fw::Transaction &tr = *IBTAdmin_ActualizacionInterna;
    if (tr.active())
        tr.rollback();
    tr.start();

    bool confirmada = false;
    bool reintentada = false;
    try {
        Intento();
        tr.commit();
        confirmada = true;
    } catch (...) {
        // Any error of the first attempt: once more on a fresh connection, without a commit of its own.
        errores.anotar();
        try {
            if (tr.active())
                tr.rollback();
            Desconectar();
            BaseDatosActualizacion->open();
            tr.start();
            Intento();
            reintentada = true;
        } catch (...) {
            // Any error of the second attempt, reconnecting included: the statement is dropped.
            errores.anotar();
        }
    }

    IBSQLActualizacionInterna->unprepare();
    if (tr.active()) {
        try {
            tr.commit();
            confirmada = reintentada;
        } catch (...) {
            // Any failed commit: the statement's work is rolled back and dropped.
            errores.anotar();
            if (tr.active())
                tr.rollback();
        }
    }
    return confirmada;
}

void TEjecutorInstalacion::Intento()
{
    IBSQLActualizacionInterna->close();
    IBSQLActualizacionInterna->prepare();
    if (AntesDeEjecutar)
        AntesDeEjecutar();
    IBSQLActualizacionInterna->execute();
}

void TEjecutorInstalacion::Desconectar()
{
    if (BaseDatosActualizacion->connected()) {
        BaseDatosActualizacion->closeDataSets();
        BaseDatosActualizacion->close();
    }
}
