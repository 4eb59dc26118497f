#pragma once
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <map>
#include <utility>
#include <vector>

namespace testsupport {

/// SYSDBA's password where Debian keeps it (/etc/firebird/3.0/SYSDBA.password),
/// or VELMORA_SYSDBA_PASSWORD when set.
QString sysdbaPassword();

/// Folder of this build's binaries (libvelmora.so, norvik-host, tests).
QString binFolder();

/// A throwaway host database on the local server for one test suite: created
/// from tests/fixtures/host-schema.sql in SQL dialect 1 when constructed and
/// dropped when destroyed. Setup and read-back go through isql-fb, so a suite
/// can check what another connection would see.
class TestDatabase
{
public:
    struct Options
    {
        /// Lets a suite alter the schema text before it is run (for example to
        /// build a host database that lacks one of the host's domains).
        std::function<QString(QString)> editSchema;
        bool withSchema = true;
    };

    explicit TestDatabase(const QString &name);
    TestDatabase(const QString &name, Options options);
    ~TestDatabase();
    TestDatabase(const TestDatabase &) = delete;
    TestDatabase &operator=(const TestDatabase &) = delete;

    /// File name on the server's machine.
    const QString &file() const { return m_file; }
    /// What the module is given as RutaBaseDatos: localhost:<file>.
    QString connectionString() const;
    static QString user() { return QStringLiteral("SYSDBA"); }
    static QString password() { return sysdbaPassword(); }

    /// Runs an isql script (statements end with ';'); throws std::runtime_error
    /// with isql's output when a statement fails. A COMMIT is added at the end.
    void run(const QString &script) const;
    /// Rows of a select, one string per row, columns separated by '|'; NULL reads
    /// as "<null>". Values are trimmed.
    QStringList rows(const QString &select) const;
    /// First column of the first row ("" when there is no row).
    QString value(const QString &select) const;

private:
    QString isql(const QString &script, bool bail) const;
    QString m_file;
};

/// SQL literal for a value in a dialect 1 statement.
QString sqlLiteral(const QVariant &v);

/// Collects the rows a case needs and inserts them in one go.
class HostRows
{
public:
    using Columns = std::vector<std::pair<QString, QVariant>>;

    HostRows &insert(const QString &table, const Columns &columns);

    HostRows &grupoEmpresas(int id, QVariant controlRiesgoPedidos = {});
    HostRows &empresa(int id, int grupo, const QString &nombre = QStringLiteral("EMPRESA"),
                      QVariant monedaBase = {});
    HostRows &moneda(int id, int decimales, const QString &simbolo = QStringLiteral("EUR"));
    HostRows &cambio(int id, int inicio, int fin, QVariant ventas);
    HostRows &cliente(int id, const QString &codigo, const QString &nombre, int grupo,
                      QVariant riesgoConcedido = {}, Columns extra = {});
    HostRows &formaPago(int id, const QString &codigo, int grupo, QVariant diasPrimerVto,
                        QVariant numeroVtos, QVariant intervalo, Columns extra = {});
    HostRows &serieDocumento(int id, const QString &codigo, int empresa, Columns extra = {});
    HostRows &serieFactura(int id, const QString &codigo, int empresa, Columns extra = {});
    HostRows &pedido(int id, int cliente, QVariant serie, const QString &estado, QVariant importe,
                     int numero = 0);
    HostRows &lineaPedido(int id, int pedido, QVariant pedidas, QVariant servidas, QVariant precio);
    HostRows &presupuesto(int id, int cliente, QVariant serie, const QString &estado, QVariant importe,
                          int numero = 0);
    HostRows &albaran(int id, int cliente, QVariant serie, QVariant factura, QVariant importe,
                      int numero = 0);
    HostRows &factura(int id, int cliente, QVariant serie, Columns extra = {});
    HostRows &giro(int id, int factura, QVariant importe, QVariant documentoCobro, const QString &estado);
    HostRows &documentoCobro(int id, int cliente, QVariant importe, QVariant serieFactura,
                             const QString &estado, QVariant remesa = {}, QVariant devolucion = {});
    HostRows &movimientoCobro(int id, int cliente, QVariant importe, const QString &estado,
                              Columns extra = {});

    QString script() const;
    /// Inserts everything collected and commits.
    void into(const TestDatabase &db) const;

private:
    QStringList m_statements;
};

} // namespace testsupport
