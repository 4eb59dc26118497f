#pragma once
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace fw {
class Database;
class SqlStatement;
class Transaction;
} // namespace fw

/// Installs the module's objects in the host database, or brings them up to
/// date, without any window: the schema statements one by one, the risk
/// procedure as one statement, then its grant. Each statement runs on a
/// connection and transaction of its own, opened and closed for that statement;
/// one that fails is tried once more on a fresh connection and then skipped, so
/// the same sequence serves a new database and one installed before. Nothing
/// stays connected between statements. The data module's connection is never used.
class TEjecutorInstalacion
{
public:
    /// The host database and the credentials to install with.
    TEjecutorInstalacion(const QString &ruta, const QString &usuario, const QString &password);
    ~TEjecutorInstalacion();
    TEjecutorInstalacion(const TEjecutorInstalacion &) = delete;
    TEjecutorInstalacion &operator=(const TEjecutorInstalacion &) = delete;

    /// The 23 statements in the order they are sent, each as its lines.
    static QList<QStringList> Sentencias();
    /// Only "SYSDBA", exactly so written, may install.
    static bool UsuarioAdmitido(const QString &usuario);

    /// Called just before each statement is executed; the installer window lets
    /// its pending messages through here.
    std::function<void()> AntesDeEjecutar;

    /// Runs every statement when the user may install; false, with nothing sent,
    /// when not. Raises only when a statement cannot be assembled; what already
    /// ran stays committed.
    bool EjecutarInstalacionSQL();
    /// Runs one statement, its lines joined by line breaks, and commits it. Never
    /// raises: a statement that cannot be run (database unreachable, failed twice,
    /// commit refused) is skipped and counted. An empty text is not a statement.
    void EjecutarSentenciaSQL(const QStringList &lineas);

    /// Statements skipped so far, those whose object was there already included.
    int SentenciasOmitidas() const { return m_omitidas; }
    /// The first error of the first statement skipped; empty when none was.
    const QString &PrimerError() const { return m_primerError; }
    /// Statements skipped for any reason other than the domain, column or other
    /// object they add being there already: what they do is missing from the
    /// database, and the installation has to be run again.
    int SentenciasNoEjecutadas() const { return m_noEjecutadas; }
    /// The first error of the first statement that could not be run; empty when none.
    const QString &PrimerErrorNoEjecutada() const { return m_primerErrorNoEjecutada; }

private:
    /// What the attempts at one statement met.
    struct Errores
    {
        QString primero;
        /// An attempt was refused because the object is there already.
        bool objetoPresente = false;
        /// Records the current exception. Call only inside a catch block.
        void anotar();
    };

    bool EjecutarConReintento(Errores &errores);
    void Intento();
    void Desconectar();

    QString m_ruta;
    QString m_usuario;
    QString m_password;
    int m_omitidas = 0;
    QString m_primerError;
    int m_noEjecutadas = 0;
    QString m_primerErrorNoEjecutada;
    // Declared in this order so that they go in the reverse one: statement, transaction, connection.
    std::unique_ptr<fw::Database> BaseDatosActualizacion;
    std::unique_ptr<fw::Transaction> IBTAdmin_ActualizacionInterna;
    std::unique_ptr<fw::SqlStatement> IBSQLActualizacionInterna;
};
