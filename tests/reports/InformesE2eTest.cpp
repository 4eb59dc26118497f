// The three listings through the host, on a small database under a faked
// clock: each is exported unattended (the host's preview settings ask for it)
// and read back from the PDF, and its text export is compared with a reference
// kept beside this file.
#include "support/InstalacionPrueba.h"
#include "support/NorvikHostRunner.h"
#include "support/TestDatabase.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

using hosttest::HostFolder;
using testsupport::HostRows;
using testsupport::TestDatabase;

namespace {

// Company 1 of company group 1 ("Empresa Uno", with a logo), amounts in two
// decimals. Series S1..S5 and F1..F5 belong to risk groups 1..5.
//   C01 granted 1000 in group 1 (delivery notes 250) and 500 in group 3.
//   C02 granted 300 in group 1, delivery notes 400: balance -100.
//   C05..C64: 60 customers granted 100 in group 3, so that group runs onto a second page.
//   C70 cover 1000 in group 2 (code "CC70"), 90 days: sales 1.200,00 in March.
//   C71 cover 200 in group 2, 10 days: sales -50,00.
//   C72 no cover, 45 days: sales 500,00 in group 2.
class InformesE2e : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        region = new hosttest::RegionEspanola;
        db = new TestDatabase(QStringLiteral("informes-e2e"));
        HostRows r;
        r.grupoEmpresas(1, 0).empresa(1, 1, QStringLiteral("Empresa Uno"), 1).moneda(1, 2).cambio(1, 1, 1, 1.0);
        for (int g = 1; g <= 5; ++g) {
            r.serieDocumento(g, QStringLiteral("S%1").arg(g), 1);
            r.serieFactura(g, QStringLiteral("F%1").arg(g), 1);
        }
        r.formaPago(1, QStringLiteral("D10"), 1, 10, 1, 0)
            .formaPago(2, QStringLiteral("D45"), 1, 45, 1, 0)
            .formaPago(3, QStringLiteral("D90"), 1, 90, 1, 0);
        r.cliente(1, QStringLiteral("C01"), QStringLiteral("Cliente Uno"), 1, 1000.0).albaran(101, 1, 1, {}, 250.0);
        r.cliente(2, QStringLiteral("C02"), QStringLiteral("Cliente Dos"), 1, 300.0).albaran(201, 2, 1, {}, 400.0);
        for (int i = 5; i < 65; ++i)
            r.cliente(i, QStringLiteral("C%1").arg(i, 2, 10, QLatin1Char('0')), QStringLiteral("Cliente %1").arg(i), 1,
                      0.01);
        auto factura = [&r](int id, int cliente, const char *fecha, double total) {
            r.factura(id, cliente, 2,
                      {{"FECHAALTAFACTURA", QDate::fromString(QLatin1String(fecha), Qt::ISODate)},
                       {"TOTALFACTURA", total}});
        };
        r.cliente(70, QStringLiteral("C70"), QStringLiteral("Cliente Setenta"), 1, 0.0, {{"FORMAPAGO", 3}});
        factura(7001, 70, "2024-03-01", 700);
        factura(7002, 70, "2024-03-31", 500);
        r.cliente(71, QStringLiteral("C71"), QStringLiteral("Cliente Setenta y Uno"), 1, 0.0, {{"FORMAPAGO", 1}});
        factura(7101, 71, "2024-03-10", 300);
        factura(7102, 71, "2024-03-20", -350);
        r.cliente(72, QStringLiteral("C72"), QStringLiteral("Cliente Setenta y Dos"), 1, 0.0, {{"FORMAPAGO", 2}});
        factura(7201, 72, "2024-03-15", 500);
        r.into(*db);
        installtest::instalarModulo(*db);
        db->run(QStringLiteral("UPDATE SERIESDOCUMENTOS SET GRUPORIESGO = IDSERIESDOCUMENTOS;\n"
                               "UPDATE SERIESFACTURAS SET GRUPORIESGO = IDSERIESFACTURAS;\n"
                               "UPDATE FORMASPAGO SET DIASRIESGO = DIASPRIMERVENCIMIENTO;\n"
                               "UPDATE CLIENTES SET RIESGOCONCEDIDO3 = 500 WHERE IDCLIENTES = 1;\n"
                               "UPDATE CLIENTES SET RIESGOCONCEDIDO3 = 100 WHERE IDCLIENTES BETWEEN 5 AND 64;\n"
                               "UPDATE CLIENTES SET RIESGOCONCEDIDO2 = 1000, CODIGOCREDITOCAUCION2 = 'CC70' "
                               "WHERE IDCLIENTES = 70;\n"
                               "UPDATE CLIENTES SET RIESGOCONCEDIDO2 = 200, CODIGOCREDITOCAUCION2 = 'CC71' "
                               "WHERE IDCLIENTES = 71;\n"
                               "UPDATE EMPRESAS SET LOGOTIPO = x'%1';")
                    .arg(QString::fromLatin1(logo().toHex())));
    }
    static void TearDownTestSuite()
    {
        delete db;
        db = nullptr;
        delete region;
        region = nullptr;
    }

    /// A small picture that shows whether it is stretched into its box.
    static QByteArray logo()
    {
        QImage imagen(60, 30, QImage::Format_RGB32);
        imagen.fill(Qt::white);
        QPainter p(&imagen);
        p.fillRect(5, 5, 50, 20, QColor(0, 128, 128));
        p.end();
        QByteArray png;
        QBuffer b(&png);
        b.open(QIODevice::WriteOnly);
        imagen.save(&b, "PNG");
        return png;
    }

    /// Runs the listings window under a clock set to 10 April 2024: `pasos`
    /// between opening and closing it (`@DIR@` is the host's folder).
    static hosttest::HostResult listar(const HostFolder &folder, const QString &pasos)
    {
        QString guion = QStringLiteral("window \"  Modulo de Velmora\"\n"
                                       "click BotonListados\n"
                                       "window \"  Listados de Velmora\"\n")
                        + pasos
                        + QStringLiteral("click BitBtnSalir\n"
                                         "window \"  Modulo de Velmora\"\n"
                                         "click BotonCerrar\n");
        guion.replace(QStringLiteral("@DIR@"), folder.path());
        const QStringList args{QStringLiteral("AbrirConfiguracionVelmora"),
                               QStringLiteral("--IdEmpresa"), QStringLiteral("1"),
                               QStringLiteral("--IdGrupoEmpresa"), QStringLiteral("1"),
                               QStringLiteral("--RutaBaseDatos"), db->connectionString(),
                               QStringLiteral("--NombreUsuario"), TestDatabase::user(),
                               QStringLiteral("--Password"), TestDatabase::password(),
                               QStringLiteral("--autopilot"), folder.write(QStringLiteral("guion.autopilot"), guion)};
        return hosttest::HostProcess(QStringList{QStringLiteral("-m"), QStringLiteral("--exclude-monotonic"),
                                                 QStringLiteral("2024-04-10 10:00:00"), folder.host()}
                                         + args,
                                     QStringLiteral("faketime"), folder.path())
            .wait();
    }

    static inline hosttest::RegionEspanola *region = nullptr;
    static inline TestDatabase *db = nullptr;
};

/// The preview settings that make the preview export to `fichero` and close by itself.
QByteArray exportarA(const QString &fichero)
{
    return "[Configuracion]\r\nGenerarPDF=1\r\nNombreArchivo=" + fichero.toLatin1() + "\r\n";
}

/// The lines a PDF reads, as `pdftotext -layout` lays them out, with runs of blanks made one.
QStringList lineasPdf(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    p.waitForFinished(30000);
    QStringList lineas;
    for (const QString &l : QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n')))
        if (const QString simple = l.simplified(); !simple.isEmpty())
            lineas << simple;
    return lineas;
}

/// Page 1 as a picture in the test's working folder, for a person to look at.
void pagina1EnPng(const QString &pdf, const QString &nombre)
{
    QProcess::execute(QStringLiteral("pdftoppm"),
                      {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("100"), QStringLiteral("-singlefile"),
                       QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"), pdf,
                       QDir::current().filePath(nombre)});
}

QByteArray leer(const QString &fichero)
{
    QFile f(fichero);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

/// Compares a text export with its reference; with VELMORA_REFERENCIAS set the reference is written instead.
void compararConReferencia(const QString &fichero, const char *referencia)
{
    const QString ruta = QStringLiteral(VELMORA_SOURCE_DIR "/tests/reports/data/") + QLatin1String(referencia);
    const QByteArray obtenido = leer(fichero);
    ASSERT_FALSE(obtenido.isEmpty()) << fichero.toStdString();
    if (qEnvironmentVariableIsSet("VELMORA_REFERENCIAS")) {
        QFile f(ruta);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(obtenido) == obtenido.size());
        return;
    }
    EXPECT_EQ(QString::fromUtf8(obtenido).toStdString(), QString::fromUtf8(leer(ruta)).toStdString()) << referencia;
}

struct Informe
{
    const char *nombre;
    QString pasos;
    /// Lines the PDF must read, in this order (others may come between them).
    QStringList lineas;
};

} // namespace

TEST_F(InformesE2e, EachListingIsExportedUnattendedAndMatchesItsReference)
{
    const QString riesgos = QStringLiteral("set PageControlVentas \"1\"\n"
                                           "set CheckBoxGruposTodos \"1\"\n"
                                           "set PageControlVentas \"0\"\n"
                                           "set EditTituloListado \"Riesgos de clientes\"\n"
                                           "set EditSubTituloListado \"Abril de 2024\"\n");
    const QString titulo = QStringLiteral("Empresa Uno Fecha : 10/04/2024");
    const QString columnas =
        QStringLiteral("Pedidos Albaran. Pte. Vtos. Pte Remesas Total Riesgo Riesgo Conc. Saldo");
    const Informe informes[] = {
        {"situacion",
         riesgos + QStringLiteral("click BotonObtenerListadoClientes\n"),
         {titulo, QStringLiteral("Riesgos de clientes"), QStringLiteral("Abril de 2024"),
          QStringLiteral("Codigo Nombre Cliente Grupo Riesgo ") + columnas,
          QStringLiteral("C01 Cliente Uno 1 0,00 250,00 0,00 0,00 250,00 1.000,00 750,00"),
          // A customer's later groups print without his code and name.
          QStringLiteral("3 0,00 0,00 0,00 0,00 0,00 500,00 500,00"),
          QStringLiteral("C02 Cliente Dos 1 0,00 400,00 0,00 0,00 400,00 300,00 -100,00"), QStringLiteral("Pag. 1"),
          titulo, QStringLiteral("Pag. 2"), titulo,
          QStringLiteral("Totales ..... 0,00 650,00 0,00 0,00 650,00 7.800,60 7.150,60"), QStringLiteral("Pag. 3")}},
        {"grupos",
         riesgos + QStringLiteral("set RadioGroupTipoListado1 \"1\"\n"
                                  "click BotonObtenerListadoClientes\n"),
         {titulo, QStringLiteral("Grupo de Riesgo 1"), QStringLiteral("Codigo Nombre ") + columnas,
          QStringLiteral("C01 Cliente Uno 0,00 250,00 0,00 0,00 250,00 1.000,00 750,00"), QStringLiteral("Pag. 1"),
          // A group that runs onto the next page repeats its heading there.
          titulo, QStringLiteral("Grupo de Riesgo 1"), QStringLiteral("Codigo Nombre ") + columnas,
          QStringLiteral("Totales Grupo de Riesgo 1"), columnas,
          QStringLiteral("0,00 650,00 0,00 0,00 650,00 1.300,60 650,60"), QStringLiteral("Grupo de Riesgo 3"),
          QStringLiteral("C01 Cliente Uno 0,00 0,00 0,00 0,00 0,00 500,00 500,00"), QStringLiteral("Pag. 2"),
          QStringLiteral("Grupo de Riesgo 3"), QStringLiteral("Totales Grupo de Riesgo 3"), columnas,
          // The sums start again for each group.
          QStringLiteral("0,00 0,00 0,00 0,00 0,00 6.500,00 6.500,00"), QStringLiteral("Pag. 3")}},
        {"caucion",
         QStringLiteral("set PageControlVentas \"1\"\n"
                        "set CheckBoxGrupoRiesgo2 \"1\"\n"
                        "set EditTituloListado2 \"Ventas declaradas\"\n"
                        "click suiButton2\n"),
         {QStringLiteral("Empresa Uno Fecha : 31/03/2024"), QStringLiteral("Ventas declaradas"),
          QString::fromUtf8("Listado Cred. y Caución - Marzo / 2024"),
          QStringLiteral("Fecha Cod. C.C Nombre Cliente Condicion Pago Importe Cobertura Excedente"),
          QStringLiteral("31/03/24 CC70 Cliente Setenta 90 1.200,00 1.000,00 -200,00"),
          QStringLiteral("31/03/24 CC71 Cliente Setenta y Uno 10 -50,00 200,00 250,00"),
          QStringLiteral("TOTALES : 1.150,00"), QStringLiteral("Pag. 1"),
          // The summary begins a page of its own.
          QStringLiteral("Empresa Uno Fecha : 31/03/2024"), QStringLiteral("RESUMEN Ventas declaradas"),
          QString::fromUtf8("Listado Cred. y Caución - Marzo / 2024"),
          QStringLiteral("Hasta Venta Clientes Ventas Anonimos Total Ventas"),
          QStringLiteral("30 dias -50,00 0,00 -50,00"), QStringLiteral("60 dias 0,00 500,00 500,00"),
          QStringLiteral("90 dias 1.200,00 0,00 1.200,00"), QStringLiteral("Superior 0,00 0,00 0,00"),
          QStringLiteral("TOTALES ... 1.150,00 500,00 1.650,00"), QStringLiteral("Pag. 2")}},
    };
    for (const Informe &informe : informes) {
        for (const char *tipo : {"pdf", "txt"}) {
            HostFolder folder;
            const QString fichero = folder.file(QLatin1String(informe.nombre) + QLatin1Char('.') + QLatin1String(tipo));
            folder.write(QStringLiteral("ListaDireccionesEMail.ini"), exportarA(fichero));
            // The preview closes by itself once the file is written; the window is then active again.
            const auto r = listar(folder, informe.pasos
                                              + QStringLiteral("window \"SituacionRiesgoClientes\"\n"
                                                               "window \"  Listados de Velmora\"\n"));
            ASSERT_EQ(r.exitCode, 0) << informe.nombre << r.out.toStdString() << r.err.toStdString();
            if (QLatin1String(tipo) == QLatin1String("txt")) {
                compararConReferencia(fichero, (std::string(informe.nombre) + ".txt").c_str());
                continue;
            }
            const QStringList lineas = lineasPdf(fichero);
            qsizetype desde = 0;
            for (const QString &esperada : informe.lineas) {
                const qsizetype en = lineas.indexOf(esperada, desde);
                EXPECT_GE(en, 0) << informe.nombre << ": " << esperada.toStdString() << " after line " << desde
                                 << "\n" << lineas.join(u'\n').toStdString();
                if (en < 0)
                    break;
                desde = en + 1;
            }
            EXPECT_EQ(lineas.filter(QStringLiteral("Pag. ")).size(), informe.lineas.filter(QStringLiteral("Pag. ")).size())
                << informe.nombre;
            pagina1EnPng(fichero, QLatin1String(informe.nombre) + QStringLiteral("-pagina1"));
        }
    }
}

namespace {

const QString kAbrirVista = QStringLiteral("set PageControlVentas \"1\"\n"
                                           "click suiButton2\n"
                                           "window \"SituacionRiesgoClientes\"\n");
const QString kCerrarVista = QStringLiteral("click closeAction\n"
                                            "window \"  Listados de Velmora\"\n");
// The host's own settings around the preview's keys, which the preview must keep byte for byte.
const QByteArray kIniAjeno = "; ajustes del gestor\r\n[Otros]\r\nClave=Valor con espacios\r\n\r\n"
                             "[Configuracion]\r\nGenerarPDF=0\r\nCuenta = envios@empresa.es\r\n";

/// What the stand-in e-mail program recorded, waiting a little for it to start.
QString registroCorreo(const HostFolder &folder)
{
    const QString registro = folder.file(QStringLiteral("GestorEmails.log"));
    for (int i = 0; i < 100 && !QFile::exists(registro); ++i)
        QThread::msleep(100);
    QThread::msleep(200);
    return QString::fromUtf8(leer(registro));
}

QString textoDe(const QString &dump, const char *componente)
{
    return hosttest::leerDump(dump)[QLatin1String(componente)].value(QStringLiteral("text")).toString();
}

} // namespace

TEST_F(InformesE2e, WithoutPermissionNeitherButtonWritesOrStartsTheMailProgram)
{
    HostFolder folder;
    const QByteArray ini = kIniAjeno + "PuedeGuardar=0\r\n";
    folder.write(QStringLiteral("ListaDireccionesEMail.ini"), ini);
    const auto r = listar(folder, kAbrirVista
                                      + QStringLiteral("click SaveAction\n"
                                                       "window \"Advertencia\"\n"
                                                       "dump @DIR@/guardar.json\n"
                                                       "click-text \"OK\"\n"
                                                       "window \"SituacionRiesgoClientes\"\n"
                                                       "click SendMailAction\n"
                                                       "window \"Advertencia\"\n"
                                                       "click-text \"OK\"\n"
                                                       "window \"SituacionRiesgoClientes\"\n")
                                      + kCerrarVista);
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_EQ(textoDe(folder.file(QStringLiteral("guardar.json")), "qt_msgbox_label").toStdString(),
              "No tiene permisos para guardar/enviar el informe.\nConsulte con su Administrador de Norvik SQL");
    EXPECT_EQ(leer(folder.file(QStringLiteral("ListaDireccionesEMail.ini"))), ini);
    QThread::msleep(500);
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("GestorEmails.log"))));
}

TEST_F(InformesE2e, WithoutSettingsSavingWorksAndEmailWaitsForASave)
{
    HostFolder folder;
    const auto r = listar(folder, kAbrirVista
                                      + QStringLiteral("click SendMailAction\n"
                                                       "window \"Advertencia\"\n"
                                                       "click-text \"OK\"\n"
                                                       "window \"SituacionRiesgoClientes\"\n"
                                                       "click SaveAction\n"
                                                       "window \"Guardar informe\"\n"
                                                       "set fileNameEdit \"@DIR@/informe.pdf\"\n"
                                                       "click-text \"Save\"\n"
                                                       "expect-text qt_msgbox_label \"Informe guardado en: \\n@DIR@/informe.pdf\"\n"
                                                       "click-text \"OK\"\n"
                                                       "window \"SituacionRiesgoClientes\"\n"
                                                       "dump @DIR@/vista.json\n")
                                      + kCerrarVista);
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(leer(folder.file(QStringLiteral("informe.pdf"))).startsWith("%PDF"));
    EXPECT_EQ(textoDe(folder.file(QStringLiteral("vista.json")), "statusMessage"),
              QStringLiteral("Informe guardado: ") + folder.file(QStringLiteral("informe.pdf")));
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("ListaDireccionesEMail.ini"))));
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("GestorEmails.log"))));
}

TEST_F(InformesE2e, EmailAttachesTheFileSavedAndKeepsTheHostsOtherSettings)
{
    HostFolder folder;
    folder.write(QStringLiteral("ListaDireccionesEMail.ini"), kIniAjeno);
    // An accented folder name goes into the host's file as its 8-bit text.
    ASSERT_TRUE(QDir(folder.path()).mkdir(QString::fromUtf8("Informes año")));
    // A name without extension takes the extension of the type chosen: PDF, the default.
    const auto r = listar(folder, kAbrirVista
                                      + QString::fromUtf8("click SaveAction\n"
                                                          "window \"Guardar informe\"\n"
                                                          "expect-text fileTypeCombo \"Documento PDF (*.PDF)\"\n"
                                                          "set fileNameEdit \"@DIR@/Informes año/informe\"\n"
                                                          "click-text \"Save\"\n"
                                                          "expect-text qt_msgbox_label \"Informe guardado en: \\n"
                                                          "@DIR@/Informes año/informe.PDF\"\n"
                                                          "click-text \"OK\"\n"
                                                          "window \"SituacionRiesgoClientes\"\n"
                                                          "click SendMailAction\n"
                                                          "sleep 300\n")
                                      + kCerrarVista);
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    const QString adjunto = folder.file(QString::fromUtf8("Informes año/informe.PDF"));
    EXPECT_TRUE(leer(adjunto).startsWith("%PDF"));
    EXPECT_TRUE(registroCorreo(folder).contains(QStringLiteral("\tRutaAdjunto=") + adjunto
                                                + QStringLiteral("\tIndiceFiltroQRDefecto=2\n")));
    EXPECT_EQ(leer(folder.file(QStringLiteral("ListaDireccionesEMail.ini"))),
              kIniAjeno + "RutaAdjunto=" + adjunto.toLatin1() + "\r\nIndiceFiltroQRDefecto=2\r\n");
}

TEST_F(InformesE2e, FailedSavesAreReportedAndWriteNothing)
{
    HostFolder folder;
    folder.write(QStringLiteral("ListaDireccionesEMail.ini"), kIniAjeno);
    // A folder nobody can write into, whoever runs the test: it is a file.
    const auto r = listar(folder, kAbrirVista
                                      + QStringLiteral("click SendMailAction\n"
                                                       "window \"Guardar informe\"\n"
                                                       "set fileNameEdit \"@DIR@/guion.autopilot/informe.pdf\"\n"
                                                       "click-text \"Save\"\n"
                                                       "window \"Error\"\n"
                                                       "dump @DIR@/error.json\n"
                                                       "click-text \"OK\"\n"
                                                       "window \"SituacionRiesgoClientes\"\n"
                                                       "dump @DIR@/vista.json\n")
                                      + kCerrarVista);
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(textoDe(folder.file(QStringLiteral("error.json")), "qt_msgbox_label")
                    .startsWith(QStringLiteral("No se puede crear el fichero ")
                                + folder.file(QStringLiteral("guion.autopilot/informe.pdf"))));
    EXPECT_EQ(textoDe(folder.file(QStringLiteral("vista.json")), "statusMessage"), QString());
    // No attachment named, no e-mail program started.
    EXPECT_EQ(leer(folder.file(QStringLiteral("ListaDireccionesEMail.ini"))), kIniAjeno);
    QThread::msleep(500);
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("GestorEmails.log"))));

    // The unattended export into a folder that does not exist says so, then closes the preview.
    HostFolder otra;
    otra.write(QStringLiteral("ListaDireccionesEMail.ini"), exportarA(otra.file(QStringLiteral("no-existe/x.pdf"))));
    const auto r2 = listar(otra, kAbrirVista
                                     + QStringLiteral("window \"Error\"\n"
                                                      "dump @DIR@/error.json\n"
                                                      "click-text \"OK\"\n"
                                                      "window \"  Listados de Velmora\"\n"));
    ASSERT_EQ(r2.exitCode, 0) << r2.out.toStdString() << r2.err.toStdString();
    EXPECT_TRUE(textoDe(otra.file(QStringLiteral("error.json")), "qt_msgbox_label")
                    .startsWith(QStringLiteral("No se puede crear el fichero ") + otra.file(QStringLiteral("no-existe/x.pdf"))));
}

TEST_F(InformesE2e, SettingsWithoutGenerarPdfCloseThePreviewByThemselves)
{
    HostFolder folder;
    folder.write(QStringLiteral("ListaDireccionesEMail.ini"), QByteArray("[Configuracion]\r\nPuedeGuardar=1\r\n"));
    // Nothing but the clock closes the preview: the window becomes active again.
    const auto r = listar(folder, kAbrirVista + QStringLiteral("window \"  Listados de Velmora\"\n"));
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).filter(QStringLiteral(".pdf"), Qt::CaseInsensitive),
              QStringList());
}
