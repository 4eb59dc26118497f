#include "TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <stdexcept>

#include <unistd.h>

#ifndef VELMORA_SOURCE_DIR
#error "VELMORA_SOURCE_DIR must be defined"
#endif

namespace testsupport {

namespace {

QString testFolder()
{
    const QByteArray env = qgetenv("VELMORA_TEST_DB_DIR");
    const QString dir = env.isEmpty() ? QStringLiteral("/tmp/velmora-test-db") : QString::fromLocal8Bit(env);
    QDir().mkpath(dir);
    // The server runs as its own user and must be able to create files here.
    QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                   | QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup
                                   | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther);
    return dir;
}

QString readSchema()
{
    QFile f(QStringLiteral(VELMORA_SOURCE_DIR "/tests/fixtures/host-schema.sql"));
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read tests/fixtures/host-schema.sql");
    return QString::fromUtf8(f.readAll());
}

} // namespace

QString sysdbaPassword()
{
    const QByteArray env = qgetenv("VELMORA_SYSDBA_PASSWORD");
    if (!env.isEmpty())
        return QString::fromLocal8Bit(env);
    QFile f(QStringLiteral("/etc/firebird/3.0/SYSDBA.password"));
    if (f.open(QIODevice::ReadOnly)) {
        static const QRegularExpression re(QStringLiteral("^ISC_PASSWORD=\"?([^\"\\n]*)\"?"),
                                           QRegularExpression::MultilineOption);
        const auto m = re.match(QString::fromLocal8Bit(f.readAll()));
        if (m.hasMatch())
            return m.captured(1);
    }
    return QStringLiteral("masterkey");
}

QString binFolder()
{
    char buffer[4096] = {};
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? QFileInfo(QString::fromLocal8Bit(buffer, int(n))).absolutePath() : QDir::currentPath();
}

TestDatabase::TestDatabase(const QString &name) : TestDatabase(name, Options{}) {}

TestDatabase::TestDatabase(const QString &name, Options options)
{
    m_file = QDir(testFolder()).filePath(QStringLiteral("%1-%2.fdb").arg(name).arg(::getpid()));
    QFile::remove(m_file);
    QString schema = options.withSchema ? readSchema() : QString();
    if (options.editSchema)
        schema = options.editSchema(schema);
    const QString script = QStringLiteral("SET SQL DIALECT 1;\n"
                                          "CREATE DATABASE '%1' PAGE_SIZE 8192 DEFAULT CHARACTER SET ISO8859_1;\n")
                               .arg(connectionString())
                           + schema + QStringLiteral("\nCOMMIT;\n");
    isql(script, true);
}

TestDatabase::~TestDatabase()
{
    try {
        isql(QStringLiteral("CONNECT '%1';\nDROP DATABASE;\n").arg(connectionString()), false);
    } catch (...) {
    }
    QFile::remove(m_file);
}

QString TestDatabase::connectionString() const
{
    return QStringLiteral("localhost:") + m_file;
}

QString TestDatabase::isql(const QString &script, bool bail) const
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ISC_USER"), user());
    env.insert(QStringLiteral("ISC_PASSWORD"), password());
    p.setProcessEnvironment(env);
    QStringList args{QStringLiteral("-q"), QStringLiteral("-m"), QStringLiteral("-ch"), QStringLiteral("ISO8859_1")};
    if (bail)
        args << QStringLiteral("-b");
    // A script file, not standard input: isql's line editor drops 8-bit characters.
    QTemporaryFile scriptFile;
    if (!scriptFile.open())
        throw std::runtime_error("cannot write an isql script file");
    scriptFile.write(script.toLatin1());
    scriptFile.flush();
    args << QStringLiteral("-i") << scriptFile.fileName();
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral("isql-fb"), args);
    if (!p.waitForStarted(10000))
        throw std::runtime_error("isql-fb could not be started");
    p.closeWriteChannel();
    p.waitForFinished(120000);
    const QString out = QString::fromLatin1(p.readAll());
    if (p.exitStatus() != QProcess::NormalExit || (bail && p.exitCode() != 0)
        || out.contains(QStringLiteral("Statement failed")) || out.contains(QStringLiteral("SQLSTATE")))
        throw std::runtime_error(("isql failed: " + out + "\nscript:\n" + script.left(2000)).toStdString());
    return out;
}

void TestDatabase::run(const QString &script) const
{
    isql(QStringLiteral("SET SQL DIALECT 1;\nCONNECT '%1';\n").arg(connectionString()) + script
             + QStringLiteral("\nCOMMIT;\n"),
         true);
}

QStringList TestDatabase::rows(const QString &select) const
{
    QString sql = select.trimmed();
    if (!sql.endsWith(QLatin1Char(';')))
        sql += QLatin1Char(';');
    // One column per line with a marker makes the output unambiguous.
    const QString out = isql(QStringLiteral("SET SQL DIALECT 1;\nCONNECT '%1';\nSET LIST ON;\n%2\n")
                                 .arg(connectionString(), sql),
                             true);
    QStringList result;
    QStringList current;
    const QStringList lines = out.split(QLatin1Char('\n'));
    for (const QString &raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty()) {
            if (!current.isEmpty()) {
                result << current.join(QLatin1Char('|'));
                current.clear();
            }
            continue;
        }
        // SET LIST prints "COLUMN   value"
        static const QRegularExpression re(QStringLiteral("^(\\S+)\\s+(.*)$"));
        const auto m = re.match(line);
        current << (m.hasMatch() ? m.captured(2).trimmed() : QString());
    }
    if (!current.isEmpty())
        result << current.join(QLatin1Char('|'));
    return result;
}

QString TestDatabase::value(const QString &select) const
{
    const QStringList r = rows(select);
    return r.isEmpty() ? QString() : r.first().section(QLatin1Char('|'), 0, 0);
}

QString sqlLiteral(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return QStringLiteral("NULL");
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::Short:
        return QString::number(v.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(v.toDouble(), 'g', 17);
    case QMetaType::QDate:
        return QLatin1Char('\'') + v.toDate().toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char('\'');
    case QMetaType::QDateTime:
        return QLatin1Char('\'') + v.toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) + QLatin1Char('\'');
    default: {
        QString s = v.toString();
        s.replace(QLatin1Char('\''), QStringLiteral("''"));
        return QLatin1Char('\'') + s + QLatin1Char('\'');
    }
    }
}

HostRows &HostRows::insert(const QString &table, const Columns &columns)
{
    QStringList names, values;
    for (const auto &[name, value] : columns) {
        names << name;
        values << sqlLiteral(value);
    }
    m_statements << QStringLiteral("INSERT INTO %1 (%2) VALUES (%3);").arg(table, names.join(QStringLiteral(", ")),
                                                                             values.join(QStringLiteral(", ")));
    return *this;
}

namespace {
HostRows::Columns plus(HostRows::Columns base, const HostRows::Columns &extra)
{
    base.insert(base.end(), extra.begin(), extra.end());
    return base;
}
} // namespace

HostRows &HostRows::grupoEmpresas(int id, QVariant control)
{
    return insert(QStringLiteral("GRUPOSEMPRESAS"),
                  {{"IDGRUPOSEMPRESAS", id}, {"CODIGO", QString::number(id)}, {"CONTROL_RIESGO_PEDIDOSV", control}});
}

HostRows &HostRows::empresa(int id, int grupo, const QString &nombre, QVariant monedaBase)
{
    return insert(QStringLiteral("EMPRESAS"), {{"IDEMPRESAS", id},
                                               {"CODIGO", QString::number(id)},
                                               {"NOMBRE", nombre},
                                               {"MONEDABASE", monedaBase},
                                               {"GRUPOEMPRESAS", grupo}});
}

HostRows &HostRows::moneda(int id, int decimales, const QString &simbolo)
{
    return insert(QStringLiteral("MONEDAS"),
                  {{"IDMONEDAS", id}, {"CODIGO", simbolo}, {"DECIMALESVISUALIZAR", decimales}, {"SIMBOLO", simbolo}});
}

HostRows &HostRows::cambio(int id, int inicio, int fin, QVariant ventas)
{
    return insert(QStringLiteral("CAMBIODIVISAS"), {{"IDCAMBIODIVISAS", id},
                                                    {"MONEDAINICIO", inicio},
                                                    {"MONEDAFIN", fin},
                                                    {"CAMBIOVENTAS", ventas},
                                                    {"CAMBIOCOMPRAS", ventas}});
}

HostRows &HostRows::cliente(int id, const QString &codigo, const QString &nombre, int grupo, QVariant riesgo,
                            Columns extra)
{
    return insert(QStringLiteral("CLIENTES"), plus({{"IDCLIENTES", id},
                                                    {"CODIGO", codigo},
                                                    {"NOMBRE", nombre},
                                                    {"GRUPOEMPRESAS", grupo},
                                                    {"RIESGOCONCEDIDO", riesgo}},
                                                   extra));
}

HostRows &HostRows::formaPago(int id, const QString &codigo, int grupo, QVariant d, QVariant n, QVariant i,
                              Columns extra)
{
    return insert(QStringLiteral("FORMASPAGO"), plus({{"IDFORMASPAGO", id},
                                                      {"CODIGO", codigo},
                                                      {"NOMBRE", QStringLiteral("Forma ") + codigo},
                                                      {"GRUPOEMPRESAS", grupo},
                                                      {"DIASPRIMERVENCIMIENTO", d},
                                                      {"NUMEROVENCIMIENTOS", n},
                                                      {"INTERVALOVENCIMIENTOS", i},
                                                      {"EXENTA_DE_RIESGO", 0}},
                                                     extra));
}

HostRows &HostRows::serieDocumento(int id, const QString &codigo, int empresa, Columns extra)
{
    return insert(QStringLiteral("SERIESDOCUMENTOS"), plus({{"IDSERIESDOCUMENTOS", id},
                                                            {"CODIGO", codigo},
                                                            {"NOMBRE", QStringLiteral("Serie ") + codigo},
                                                            {"EMPRESA", empresa}},
                                                           extra));
}

HostRows &HostRows::serieFactura(int id, const QString &codigo, int empresa, Columns extra)
{
    return insert(QStringLiteral("SERIESFACTURAS"), plus({{"IDSERIESFACTURAS", id},
                                                          {"CODIGO", codigo},
                                                          {"NOMBRE", QStringLiteral("Facturas ") + codigo},
                                                          {"EMPRESA", empresa},
                                                          {"PRIVADOSN", 0}},
                                                         extra));
}

HostRows &HostRows::pedido(int id, int cliente, QVariant serie, const QString &estado, QVariant importe, int numero)
{
    return insert(QStringLiteral("PEDIDOSVENTA"), {{"IDPEDIDOSVENTA", id},
                                                   {"NUMERO", numero ? numero : id},
                                                   {"CLIENTE", cliente},
                                                   {"SERIEDOCUMENTO", serie},
                                                   {"ESTADO", estado},
                                                   {"IMPORTEPEDIDO", importe}});
}

HostRows &HostRows::lineaPedido(int id, int pedido, QVariant pedidas, QVariant servidas, QVariant precio)
{
    return insert(QStringLiteral("LINEASPEDIDOVENTA"), {{"IDLINEASPEDIDOVENTA", id},
                                                        {"PEDIDOVENTA", pedido},
                                                        {"CANTIDADPEDIDASTOCK1", pedidas},
                                                        {"CANTIDADSERVIDASTOCK1", servidas},
                                                        {"PRECIO", precio}});
}

HostRows &HostRows::presupuesto(int id, int cliente, QVariant serie, const QString &estado, QVariant importe,
                                int numero)
{
    return insert(QStringLiteral("PRESUPUESTOSVENTA"), {{"IDPRESUPUESTOSVENTA", id},
                                                        {"NUMERO", numero ? numero : id},
                                                        {"CLIENTE", cliente},
                                                        {"SERIEDOCUMENTO", serie},
                                                        {"ESTADO", estado},
                                                        {"IMPORTEPRESUPUESTO", importe}});
}

HostRows &HostRows::albaran(int id, int cliente, QVariant serie, QVariant factura, QVariant importe, int numero)
{
    return insert(QStringLiteral("ALBARANESVENTA"), {{"IDALBARANESVENTA", id},
                                                     {"NUMERO", numero ? numero : id},
                                                     {"CLIENTE", cliente},
                                                     {"SERIEDOCUMENTO", serie},
                                                     {"FACTURAVENTA", factura},
                                                     {"IMPORTEALBARAN", importe}});
}

HostRows &HostRows::factura(int id, int cliente, QVariant serie, Columns extra)
{
    return insert(QStringLiteral("FACTURASVENTA"),
                  plus({{"IDFACTURASVENTA", id}, {"NUMERO", id}, {"CLIENTE", cliente}, {"SERIEFACTURA", serie}},
                       extra));
}

HostRows &HostRows::giro(int id, int factura, QVariant importe, QVariant documentoCobro, const QString &estado)
{
    return insert(QStringLiteral("LINEASGIROSFACTURAVENTA"), {{"IDLINEASGIROSFACTURAVENTA", id},
                                                              {"FACTURAVENTA", factura},
                                                              {"IMPORTEVTO", importe},
                                                              {"DOCUMENTOCOBRO", documentoCobro},
                                                              {"ESTADO", estado}});
}

HostRows &HostRows::documentoCobro(int id, int cliente, QVariant importe, QVariant serieFactura,
                                   const QString &estado, QVariant remesa, QVariant devolucion)
{
    return insert(QStringLiteral("DOCUMENTOSCOBRO"), {{"IDDOCUMENTOSCOBRO", id},
                                                      {"CLIENTEORIGEN", cliente},
                                                      {"IMPORTEDOCUMENTO", importe},
                                                      {"MOVIMIENTODEVOLUCION", devolucion},
                                                      {"REMESA", remesa},
                                                      {"ESTADO", estado},
                                                      {"SERIEFACTURA", serieFactura}});
}

HostRows &HostRows::movimientoCobro(int id, int cliente, QVariant importe, const QString &estado, Columns extra)
{
    return insert(QStringLiteral("MOVIMIENTOSCOBRO"), plus({{"IDMOVIMIENTOSCOBRO", id},
                                                            {"CLIENTEORIGEN", cliente},
                                                            {"IMPORTEMOVIMIENTO", importe},
                                                            {"ESTADO", estado}},
                                                           extra));
}

QString HostRows::script() const
{
    return m_statements.join(QLatin1Char('\n'));
}

void HostRows::into(const TestDatabase &db) const
{
    if (!m_statements.isEmpty())
        db.run(script());
}

} // namespace testsupport
