// Times the host's risk check (no window: the document's group is not exceeded)
// over 200 calls through norvik-host, and the floor: the same attach, procedure
// select and detach done with the bare Firebird client, in the same run.
#include "support/InstalacionPrueba.h"
#include "support/TestDatabase.h"

#include <firebird/Interface.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>

#include <algorithm>
#include <cstdio>
#include <vector>

using testsupport::HostRows;
using testsupport::TestDatabase;

namespace {

constexpr int kLlamadas = 200;

double mediana(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

std::vector<double> suelo(const TestDatabase &db)
{
    using namespace Firebird;
    IMaster *master = fb_get_master_interface();
    ThrowStatusWrapper status(master->getStatus());
    IProvider *provider = master->getDispatcher();
    IUtil *util = master->getUtilInterface();
    std::vector<double> tiempos;
    const QByteArray name = db.connectionString().toLocal8Bit();
    const QByteArray user = TestDatabase::user().toLatin1(), password = TestDatabase::password().toLatin1();
    const char *sql = "SELECT PRSITUACIONCLIENTESRIESGOGRUPOS.*, C.CODIGO, C.NOMBRE, C.IDCLIENTES FROM "
                      "PRSITUACIONCLIENTESRIESGOGRUPOS(1) LEFT OUTER JOIN CLIENTES C ON (1 = C.IdClientes)";
    for (int i = 0; i < kLlamadas; ++i) {
        QElapsedTimer t;
        t.start();
        IXpbBuilder *dpb = util->getXpbBuilder(&status, IXpbBuilder::DPB, nullptr, 0);
        dpb->insertString(&status, isc_dpb_user_name, user.constData());
        dpb->insertString(&status, isc_dpb_password, password.constData());
        dpb->insertString(&status, isc_dpb_lc_ctype, "ISO8859_1");
        dpb->insertInt(&status, isc_dpb_sql_dialect, 1);
        IAttachment *att = provider->attachDatabase(&status, name.constData(), dpb->getBufferLength(&status),
                                                    dpb->getBuffer(&status));
        dpb->dispose();
        ITransaction *tra = att->startTransaction(&status, 0, nullptr);
        IStatement *stmt = att->prepare(&status, tra, 0, sql, 1, IStatement::PREPARE_PREFETCH_METADATA);
        IMessageMetadata *meta = stmt->getOutputMetadata(&status);
        std::vector<unsigned char> buffer(meta->getMessageLength(&status));
        IResultSet *rs = stmt->openCursor(&status, tra, nullptr, nullptr, meta, 0);
        while (rs->fetchNext(&status, buffer.data()) == IStatus::RESULT_OK) {
        }
        rs->close(&status);
        meta->release();
        stmt->free(&status);
        tra->rollback(&status);
        att->detach(&status);
        tiempos.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    provider->release();
    return tiempos;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestDatabase db(QStringLiteral("bench-riesgo"));
    HostRows rows;
    rows.grupoEmpresas(1, 0).empresa(1, 1, QStringLiteral("Empresa"), 1).moneda(1, 2).cambio(1, 1, 1, 1.0);
    rows.serieDocumento(1, QStringLiteral("S1"), 1);
    rows.cliente(1, QStringLiteral("C1"), QStringLiteral("Cliente"), 1, 100000.0);
    for (int i = 1; i <= 20; ++i)
        rows.albaran(i, 1, 1, QVariant(), 100.0 + i).pedido(i, 1, 1, QStringLiteral("P"), 50.0 + i);
    rows.into(db);
    installtest::instalarModulo(db);

    QProcess host;
    host.setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/norvik-host"));
    host.setArguments({QStringLiteral("MostrarRiesgoCliente"), QStringLiteral("--IdEmpresa"), QStringLiteral("1"),
                       QStringLiteral("--IdGrupoEmpresa"), QStringLiteral("1"), QStringLiteral("--IdCliente"),
                       QStringLiteral("1"), QStringLiteral("--IDSerie"), QStringLiteral("1"),
                       QStringLiteral("--IdDocumento"), QStringLiteral("1"), QStringLiteral("--TipoDocumento"),
                       QStringLiteral("2"), QStringLiteral("--RutaBaseDatos"), db.connectionString(),
                       QStringLiteral("--NombreUsuario"), TestDatabase::user(), QStringLiteral("--Password"),
                       TestDatabase::password(), QStringLiteral("--veces"), QString::number(kLlamadas)});
    host.start();
    host.waitForFinished(600000);
    const QString out = QString::fromUtf8(host.readAllStandardOutput());
    std::vector<double> modulo;
    static const QRegularExpression re(QStringLiteral("([0-9]+[.,][0-9]+) ms"));
    for (auto it = re.globalMatch(out); it.hasNext();)
        modulo.push_back(it.next().captured(1).replace(QLatin1Char(','), QLatin1Char('.')).toDouble());
    if (modulo.size() != kLlamadas) {
        std::fprintf(stderr, "norvik-host gave %zu timings:\n%s\n", modulo.size(), qPrintable(out));
        return 1;
    }
    modulo.erase(modulo.begin()); // the first call also loads the library and the client
    const std::vector<double> base = suelo(db);
    const double m = mediana(modulo), s = mediana(base);
    std::printf("risk check, median per call: module %.2f ms, bare client %.2f ms, ratio %.2fx (target <= 1.5x)\n", m,
                s, s > 0 ? m / s : 0);
    return 0;
}
