#include "install/EjecutorInstalacion.h"

#include "data/Conexion.h"
#include "framework/db/Database.h"
#include "framework/db/SqlStatement.h"
#include "framework/db/Transaction.h"
#include "framework/ui/Guard.h"
#include "install/SentenciasInstalacion.h"

namespace {

/// Keeps the first error a statement meets. Call only inside a catch block.
void anotar(QString &error)
{
    if (error.isEmpty())
        error = fw::ui::errorText(std::current_exception());
}

} // namespace

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
    QString error;
    bool confirmada = false;
    try {
        confirmada = EjecutarConReintento(error);
    } catch (...) {
        // Any error outside the two attempts (starting, rolling back a failed commit) drops the statement.
        anotar(error);
    }
    try {
        Desconectar();
    } catch (...) {
        // A close that fails still lets the connection go, and what was committed stays.
    }
    if (!confirmada) {
        ++m_omitidas;
        if (m_primerError.isEmpty())
            m_primerError = error;
    }
}

bool TEjecutorInstalacion::EjecutarConReintento(QString &error)
{
    ConfigurarConexion(*BaseDatosActualizacion, m_ruta, m_usuario, m_password);
    try {
        BaseDatosActualizacion->open();
    } catch (...) {
        // Any failure to connect: the statement is skipped without a word.
        anotar(error);
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
        anotar(error);
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
            anotar(error);
        }
    }

    IBSQLActualizacionInterna->unprepare();
    if (tr.active()) {
        try {
            tr.commit();
            confirmada = reintentada;
        } catch (...) {
            // Any failed commit: the statement's work is rolled back and dropped.
            anotar(error);
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
