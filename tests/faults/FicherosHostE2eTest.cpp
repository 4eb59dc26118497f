// The host's own files in the host's folder, damaged or out of reach: the grid
// layouts of the configuration window and the preview's e-mail settings. The
// windows still open and work, a file that cannot be read is ignored, and one
// that cannot be written keeps its old content whole.
#include "AyudasFallos.h"

#include "framework/host/IniFile.h"
#include "support/InstalacionPrueba.h"

#include <QDir>
#include <QTemporaryDir>

#include <functional>

using faulttest::abrirATodos;
using faulttest::correrHost;
using faulttest::esperaSuperviviente;
using faulttest::leer;
using faulttest::mensajes;
using hosttest::HostFolder;
using testsupport::HostRows;
using testsupport::TestDatabase;

namespace {

const QString kRejillas = QStringLiteral("Rejillas.ini");
const QString kCorreo = QStringLiteral("ListaDireccionesEMail.ini");
const QString kSeccionFormasPago = QStringLiteral("FormConfiguracionCreditoCaucionlxDBGridFormasPago");

/// Bytes no ini file holds: NULs, a stray high half, no line ending.
const QByteArray kBasura = QByteArray("\x00\xff\xfe[\x01\x02=\x80\x9d\xc3", 10) + QByteArray(300, '\x07');

/// The payment methods' grid layout, one width a line in the grid's column order.
QByteArray rejillaFormasPago(const QStringList &anchos)
{
    const char *campos[] = {"CODIGO", "NOMBRE", "DIASPRIMERVENCIMIENTO", "NUMEROVENCIMIENTOS",
                            "INTERVALOVENCIMIENTOS", "EXENTA_DE_RIESGO", "DIASRIESGOCALCULADO", "DIASRIESGO"};
    QByteArray ini = "; rejillas del programa\r\n[Otra]\r\nColumna1=X\t5\tX\tF\r\n[" + kSeccionFormasPago.toLatin1()
                     + "]\r\n";
    for (int i = 0; i < 8; ++i)
        ini += "Columna" + QByteArray::number(i + 1) + "=" + campos[i] + "\t" + anchos.value(i).toLatin1() + "\tT"
               + QByteArray::number(i) + "\tF\r\n";
    return ini;
}

/// Widths of the payment methods' grid as stored in `file`; empty when it cannot be read.
QList<int> anchosGuardados(const QString &file)
{
    fw::host::IniFile ini(file);
    QList<int> anchos;
    if (!ini.load())
        return anchos;
    for (const QString &clave : ini.keys(kSeccionFormasPago))
        anchos << ini.readString(kSeccionFormasPago, clave).split(QLatin1Char('\t')).value(1).toInt();
    return anchos;
}

/// Files QSaveFile or anything else left beside the host's files.
QStringList sobrantes(const HostFolder &folder, const QStringList &esperados)
{
    QStringList resto = QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString &e : esperados + QStringList{QStringLiteral("norvik-host"), QStringLiteral("libvelmora.so"),
                                                    QStringLiteral("Norvik_GestorEmails.exe"),
                                                    QStringLiteral("guion.autopilot"),
                                                    QStringLiteral("GestorEmails.log")})
        resto.removeAll(e);
    return resto;
}

class FicherosHost : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        db = new TestDatabase(QStringLiteral("faults-files"));
        HostRows rows;
        faulttest::empresaUno(rows);
        rows.cliente(1, QStringLiteral("C1"), QStringLiteral("Cliente Uno"), 1, 1000.0);
        rows.into(*db);
        installtest::instalarModulo(*db);
    }
    static void TearDownTestSuite()
    {
        delete db;
        db = nullptr;
    }

    /// Runs the main screen of `folder` through `pasos` (between opening it and closing it).
    static hosttest::HostResult correr(const HostFolder &folder, const QString &pasos, bool sinPrivilegios)
    {
        const QString guion = folder.write(QStringLiteral("guion.autopilot"),
                                           QStringLiteral("window \"  Modulo de Velmora\"\n") + pasos
                                               + QStringLiteral("window \"  Modulo de Velmora\"\n"
                                                                "click BotonCerrar\n"));
        return correrHost(folder, faulttest::pantallaPrincipal(db->connectionString(), guion), sinPrivilegios);
    }

    static inline TestDatabase *db = nullptr;
};

} // namespace

TEST_F(FicherosHost, DamagedOrUnreachableGridLayoutsNeverStopTheConfigurationWindow)
{
    struct Caso
    {
        const char *que;
        std::function<void(const HostFolder &)> preparar;
        bool sinPrivilegios;
        std::function<void(const HostFolder &)> comprobar;
    };
    const auto rejillas = [](const HostFolder &f) { return f.file(kRejillas); };
    // Widths kept as stored where sane, the grid's own where not.
    const QList<int> definidos{6, 27, 10, 6, 10, 10, 10, 10};
    const auto conLaRejilla = [&](const HostFolder &f) {
        EXPECT_EQ(anchosGuardados(rejillas(f)), definidos);
    };
    const QByteArray estropeada = rejillaFormasPago({QStringLiteral("99999999"), QStringLiteral("-5"), QStringLiteral("0"),
                                                 QStringLiteral("2147483647"), QStringLiteral("-2147483648"),
                                                 QStringLiteral("abc"), QStringLiteral("40"),
                                                 QStringLiteral("99999999999999999999")});
    const Caso casos[] = {
        {"missing", [](const HostFolder &) {}, false, conLaRejilla},
        {"empty", [](const HostFolder &f) { f.write(kRejillas, QByteArray()); }, false, conLaRejilla},
        {"binary junk",
         [](const HostFolder &f) { f.write(kRejillas, kBasura); }, false,
         [&](const HostFolder &f) {
             // The host's bytes stay; the grid's section is added after them.
             EXPECT_TRUE(leer(rejillas(f)).startsWith(kBasura));
             conLaRejilla(f);
         }},
        {"a folder in its place",
         [&](const HostFolder &f) { ASSERT_TRUE(QDir(f.path()).mkdir(kRejillas)); }, false,
         [&](const HostFolder &f) { EXPECT_TRUE(QFileInfo(rejillas(f)).isDir()); }},
        {"huge, negative and unreadable widths",
         [&](const HostFolder &f) { f.write(kRejillas, estropeada); }, false,
         [&](const HostFolder &f) {
             EXPECT_EQ(anchosGuardados(rejillas(f)), QList<int>({6, 27, 10, 6, 10, 10, 40, 10}));
             EXPECT_TRUE(leer(rejillas(f)).startsWith("; rejillas del programa\r\n[Otra]\r\nColumna1=X\t5\tX\tF\r\n"));
         }},
        {"unreadable",
         [&](const HostFolder &f) {
             f.write(kRejillas, estropeada);
             abrirATodos(rejillas(f), 0200);
         },
         true,
         [&](const HostFolder &f) {
             abrirATodos(rejillas(f), 0600);
             EXPECT_EQ(leer(rejillas(f)), estropeada);
         }},
        {"in a folder the user cannot write",
         [&](const HostFolder &f) {
             // The file itself is open to the user: only writing beside it and renaming keeps it whole.
             f.write(kRejillas, estropeada);
             abrirATodos(rejillas(f), 0666);
         },
         true,
         [&](const HostFolder &f) {
             EXPECT_EQ(leer(rejillas(f)), estropeada);
             EXPECT_EQ(sobrantes(f, {kRejillas}), QStringList());
         }},
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.que);
        db->run("UPDATE FORMASPAGO SET DIASRIESGO = 60;");
        HostFolder folder;
        abrirATodos(folder.path());
        c.preparar(folder);
        // The window opens with the focus in the payment methods' grid, which reads its layout;
        // leaving the grid for the next page writes the layout it shows back.
        const auto r = correr(folder,
                              QStringLiteral("click BotonConfigurar\n"
                                             "window \"  Configuración de Velmora\"\n"
                                             "key End\n"
                                             "type \"21\"\n"
                                             "key Return\n"
                                             "set PageControlConfiguracion \"1\"\n"
                                             "click btnCerrar\n"),
                              c.sinPrivilegios);
        esperaSuperviviente(r, c.que);
        EXPECT_EQ(mensajes(r), QStringList()) << r.out.toStdString();
        EXPECT_EQ(db->value("SELECT DIASRIESGO FROM FORMASPAGO WHERE IDFORMASPAGO = 1"), "21");
        c.comprobar(folder);
    }
}

TEST_F(FicherosHost, DamagedOrUnreachableEmailSettingsNeverStopThePreview)
{
    const QString abrirVista = QStringLiteral("click BotonListados\n"
                                              "window \"  Listados de Velmora\"\n"
                                              "set PageControlVentas \"1\"\n"
                                              "click suiButton2\n"
                                              "window \"SituacionRiesgoClientes\"\n");
    const QString salir = QStringLiteral("window \"  Listados de Velmora\"\n"
                                         "click BitBtnSalir\n");
    // Settings that say nothing close the preview by themselves, as settings without "GenerarPDF" do.
    const QString seCierraSola = abrirVista + salir;
    // Settings that cannot be read leave the preview as it was made: no permission to send.
    const QString sinPermiso = abrirVista
                               + QStringLiteral("click SendMailAction\n"
                                                "window \"Advertencia\"\n"
                                                "click-text \"OK\"\n"
                                                "window \"SituacionRiesgoClientes\"\n"
                                                "click closeAction\n")
                               + salir;
    const QString avisoSinPermiso = QStringLiteral("message: No tiene permisos para guardar/enviar el informe.\\n"
                                                   "Consulte con su Administrador de Norvik SQL");
    const QByteArray ajustes = "; del gestor\r\n[Configuracion]\r\nGenerarPDF=0\r\nPuedeGuardar=1\r\n";

    struct Caso
    {
        const char *que;
        std::function<void(const HostFolder &)> preparar;
        bool sinPrivilegios;
        QString pasos;
        QStringList vistos;
        QByteArray despues; ///< the file's content afterwards ("" for a folder in its place)
    };
    QTemporaryDir salida; // where the report goes when the host's folder is closed to the user
    abrirATodos(salida.path(), 0777);
    const Caso casos[] = {
        {"empty", [](const HostFolder &f) { f.write(kCorreo, QByteArray()); }, false, seCierraSola, {}, ""},
        {"binary junk", [](const HostFolder &f) { f.write(kCorreo, kBasura); }, false, seCierraSola, {}, kBasura},
        {"a folder in its place", [](const HostFolder &f) { ASSERT_TRUE(QDir(f.path()).mkdir(kCorreo)); }, false,
         sinPermiso, {avisoSinPermiso}, ""},
        {"unreadable",
         [&](const HostFolder &f) {
             f.write(kCorreo, ajustes);
             abrirATodos(f.file(kCorreo), 0200);
         },
         true, sinPermiso, {avisoSinPermiso}, ajustes},
        {"in a folder the user cannot write",
         [&](const HostFolder &f) {
             f.write(kCorreo, ajustes);
             abrirATodos(f.file(kCorreo), 0666);
         },
         true,
         abrirVista
             + QStringLiteral("click SendMailAction\n"
                              "window \"Guardar informe\"\n"
                              "set fileNameEdit \"%1/informe.pdf\"\n"
                              "click-text \"Save\"\n"
                              "expect-text qt_msgbox_label \"Informe guardado en: \\n%1/informe.pdf\"\n"
                              "click-text \"OK\"\n"
                              "window \"SituacionRiesgoClientes\"\n"
                              "click closeAction\n")
                   .arg(salida.path())
             + salir,
         {QStringLiteral("message: Informe guardado en: \\n") + salida.filePath(QStringLiteral("informe.pdf"))},
         ajustes},
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.que);
        HostFolder folder;
        abrirATodos(folder.path());
        c.preparar(folder);
        const auto r = correr(folder, c.pasos, c.sinPrivilegios);
        esperaSuperviviente(r, c.que);
        EXPECT_EQ(mensajes(r), c.vistos) << r.out.toStdString();
        const QString fichero = folder.file(kCorreo);
        if (QFileInfo(fichero).isDir()) {
            EXPECT_EQ(c.despues, QByteArray());
            continue;
        }
        abrirATodos(fichero, 0600);
        EXPECT_EQ(leer(fichero), c.despues);
        EXPECT_EQ(sobrantes(folder, {kCorreo}), QStringList());
    }
}
