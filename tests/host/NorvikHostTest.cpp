// norvik-host end to end: loading a plug-in, the host's calling contract, the
// autopilot's commands and exit codes, and the e-mail program stand-in.
#include "support/NorvikHostRunner.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// Readable failures for texts.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

using hosttest::binFile;
using hosttest::HostProcess;
using hosttest::HostResult;
using hosttest::runHost;

const QString kTestWindow = QStringLiteral("libvelmora_testwindow.so");

class NorvikHost : public ::testing::Test
{
protected:
    QString file(const QString &name) const { return m_dir.filePath(name); }
    QString script(const QString &name, const QString &text) const
    {
        QFile f(file(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
        return f.fileName();
    }
    QStringList configuration(const QString &scriptFile) const
    {
        return {QStringLiteral("AbrirConfiguracionVelmora"), QStringLiteral("--biblioteca"), binFile(kTestWindow),
                QStringLiteral("--autopilot"), scriptFile};
    }
    static QJsonObject component(const QJsonArray &dump, const QString &name)
    {
        for (const QJsonValue &v : dump)
            if (v.toObject().value(QStringLiteral("objectName")).toString() == name)
                return v.toObject();
        ADD_FAILURE() << "no " << name.toStdString() << " in the dump";
        return {};
    }
    QJsonArray readDump(const QString &name) const
    {
        QFile f(file(name));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
        return QJsonDocument::fromJson(f.readAll()).array();
    }

    QTemporaryDir m_dir;
};

TEST_F(NorvikHost, DrivesTheModuleWindowsFromAScript)
{
    const QString s = script(QStringLiteral("script.txt"), QStringLiteral(R"(# every command once
window " Ventana de prueba "
type "Ñandú 東京"
key Backspace
expect-text EditNombre "Ñandú 東"
key Tab
key Space
dump %1
wait-file %1

set EditNombre "Muñoz & \"Cía\"\\"
expect-text EtiquetaCopia "Muñoz & \"Cía\"\\"
set CheckActivo 0
set RadioB 1
set ComboTipo "Albarán"
set FechaAlta "2025-02-28"
expect-text FechaAlta "28/02/2025"
set SpinDias "45"
set Pestanas 1
expect-text Pestanas "Otros datos"
click BotonAviso
window "Confirmar"
click-text "Yes"
window " Ventana de prueba "
expect-text EditNombre ""
click BotonGuardar
window "Guardar informe"
set fileNameEdit "%4"
click-text "Save"
window " Ventana de prueba "
expect-text EtiquetaFichero "%4"
sleep 50
screenshot %2
dump %3
click BotonCerrar
)")
                                                                   .arg(file(QStringLiteral("primero.json")),
                                                                        file(QStringLiteral("ventana.png")),
                                                                        file(QStringLiteral("final.json")),
                                                                        file(QStringLiteral("informe.pdf"))));
    const HostResult run = runHost(configuration(s));
    ASSERT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("window:  Ventana de prueba \n"
                                      "window: Confirmar\n"
                                      "message: ¿Borrar el nombre?\\nNo se puede deshacer.\n"
                                      "window: Guardar informe\n"
                                      "resultado=1\n"));

    const QJsonArray first = readDump(QStringLiteral("primero.json"));
    EXPECT_EQ(component(first, QStringLiteral("EditNombre"))[QStringLiteral("text")].toString(),
              QStringLiteral("Ñandú 東"));
    // Tab moved the focus to the check box and Space ticked it.
    EXPECT_TRUE(component(first, QStringLiteral("CheckActivo"))[QStringLiteral("checked")].toBool());

    const QJsonArray dump = readDump(QStringLiteral("final.json"));
    const QJsonObject window = component(dump, QStringLiteral("VentanaPrueba"));
    EXPECT_EQ(window[QStringLiteral("class")].toString(), QStringLiteral("QDialog"));
    const QJsonObject edit = component(dump, QStringLiteral("EditNombre"));
    EXPECT_EQ(edit[QStringLiteral("class")].toString(), QStringLiteral("QLineEdit"));
    EXPECT_EQ(edit[QStringLiteral("text")].toString(), QString());
    EXPECT_TRUE(edit[QStringLiteral("enabled")].toBool());
    EXPECT_TRUE(edit[QStringLiteral("visible")].toBool());
    EXPECT_FALSE(component(dump, QStringLiteral("CheckActivo"))[QStringLiteral("checked")].toBool());
    EXPECT_EQ(component(dump, QStringLiteral("CheckActivo"))[QStringLiteral("text")].toString(), QStringLiteral("&Activo"));
    EXPECT_TRUE(component(dump, QStringLiteral("RadioB"))[QStringLiteral("checked")].toBool());
    EXPECT_EQ(component(dump, QStringLiteral("ComboTipo"))[QStringLiteral("text")].toString(), QStringLiteral("Albarán"));
    EXPECT_EQ(component(dump, QStringLiteral("SpinDias"))[QStringLiteral("text")].toString(), QStringLiteral("45"));
    const QJsonObject tabs = component(dump, QStringLiteral("Pestanas"));
    EXPECT_EQ(tabs[QStringLiteral("text")].toString(), QStringLiteral("Otros datos"));
    EXPECT_EQ(tabs[QStringLiteral("tabs")].toArray(),
              QJsonArray({QStringLiteral("General"), QStringLiteral("Otros datos")}));
    EXPECT_FALSE(component(dump, QStringLiteral("BotonBloqueado"))[QStringLiteral("enabled")].toBool());
    const QJsonObject color = component(dump, QStringLiteral("EtiquetaColor"));
    EXPECT_EQ(color[QStringLiteral("text")].toString(), QStringLiteral("Riesgo sobrepasado"));
    EXPECT_EQ(color[QStringLiteral("textColor")].toString(), QStringLiteral("#c00000"));
    EXPECT_EQ(color[QStringLiteral("backgroundColor")].toString(), QStringLiteral("#ffff80"));
    const QJsonObject painted = component(dump, QStringLiteral("PanelPintado"));
    EXPECT_EQ(painted[QStringLiteral("textColor")].toString(), QStringLiteral("#008000"));
    EXPECT_EQ(painted[QStringLiteral("backgroundColor")].toString(), QStringLiteral("#0000ff"));

    const QImage shot(file(QStringLiteral("ventana.png")));
    EXPECT_FALSE(shot.isNull());
    EXPECT_GT(shot.width(), 50);
}

TEST_F(NorvikHost, PassesTheArgumentsInTheHostsOrderAndLayout)
{
    const QString s = script(QStringLiteral("cerrar.txt"), QStringLiteral("window Argumentos\nclick-text OK\n"));
    const QStringList common{QStringLiteral("MostrarRiesgoCliente"), QStringLiteral("--biblioteca"), binFile(kTestWindow),
                             QStringLiteral("--autopilot"), s};
    struct Case
    {
        QStringList arguments;
        QString message;
    };
    const Case cases[] = {
        {{QStringLiteral("--IdEmpresa"), QStringLiteral("1"), QStringLiteral("--IdGrupoEmpresa"), QStringLiteral("2"),
          QStringLiteral("--IdUsuario"), QStringLiteral("3"), QStringLiteral("--IdCliente"), QStringLiteral("4"),
          QStringLiteral("--IDSerie"), QStringLiteral("5"), QStringLiteral("--IdDocumento"), QStringLiteral("6"),
          QStringLiteral("--TipoDocumento"), QStringLiteral("-1"), QStringLiteral("--RutaBaseDatos"),
          QStringLiteral("localhost:/datos/Año 日本 😀.fdb"), QStringLiteral("--NombreUsuario"), QString(),
          QStringLiteral("--Password"), QStringLiteral("clave con blancos ")},
         QStringLiteral("1 2 3 4 5 6 -1\\n[localhost:/datos/Año 日本 😀.fdb] (null) [clave con blancos ]")},
        // Missing numbers are 0 and missing strings are null pointers.
        {{}, QStringLiteral("0 0 0 0 0 0 0\\n(null) (null) (null)")},
        // Stored lengths as given, whatever the text: shorter, zero, negative, and on an empty text.
        {{QStringLiteral("--RutaBaseDatos"), QStringLiteral("abcdef"), QStringLiteral("--LongitudRutaBaseDatos"),
          QStringLiteral("3"), QStringLiteral("--NombreUsuario"), QStringLiteral("SYSDBA"),
          QStringLiteral("--LongitudNombreUsuario=-2147483648"), QStringLiteral("--LongitudPassword"), QStringLiteral("0")},
         QStringLiteral("0 0 0 0 0 0 0\\n[abc] [] []")},
    };
    for (const Case &c : cases) {
        const HostResult run = runHost(common + c.arguments + QStringList{QStringLiteral("--veces"), QStringLiteral("2")});
        ASSERT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
        const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 7) << run.out.toStdString();
        for (int call = 0; call < 2; ++call) {
            EXPECT_EQ(lines[call * 3], QStringLiteral("window: Argumentos"));
            EXPECT_EQ(lines[call * 3 + 1], QStringLiteral("message: ") + c.message);
            EXPECT_TRUE(QRegularExpression(QStringLiteral("^llamada %1: \\d+\\.\\d\\d ms$").arg(call + 1))
                            .match(lines[call * 3 + 2])
                            .hasMatch())
                << lines[call * 3 + 2].toStdString();
        }
        EXPECT_EQ(lines[6], QStringLiteral("resultado=1"));
    }
}

TEST_F(NorvikHost, AutopilotFailuresEndTheRunWithTheirOwnExitCodes)
{
    // Started together: the slow cases wait out their 10 s and 30 s limits side by side.
    HostProcess mismatch(configuration(script(QStringLiteral("distinto.txt"),
                                              QStringLiteral("window \" Ventana de prueba \"\n"
                                                             "type \"abc\"\n"
                                                             "expect-text EditNombre \"xyz\"\n"
                                                             "click BotonCerrar\n"))));
    HostProcess disabled(configuration(script(QStringLiteral("bloqueado.txt"), QStringLiteral("click BotonBloqueado\n"))));
    HostProcess neverCloses(configuration(script(QStringLiteral("abierta.txt"),
                                                 QStringLiteral("window \" Ventana de prueba \"\n"))));
    HostProcess syntax(configuration(script(QStringLiteral("sintaxis.txt"), QStringLiteral("\n# nada\npulsar Boton\n"))));
    HostProcess unterminated(configuration(script(QStringLiteral("comillas.txt"), QStringLiteral("type \"abc\n"))));

    const HostResult s = syntax.wait();
    EXPECT_EQ(s.exitCode, 3);
    EXPECT_EQ(s.out, QStringLiteral("autopilot: line 3: unknown command 'pulsar'\n"));
    const HostResult u = unterminated.wait();
    EXPECT_EQ(u.exitCode, 3);
    EXPECT_EQ(u.out, QStringLiteral("autopilot: line 1: unterminated string\n"));

    const HostResult m = mismatch.wait();
    EXPECT_EQ(m.exitCode, 3);
    EXPECT_TRUE(m.out.endsWith(QStringLiteral("autopilot: line 3: EditNombre shows \"abc\", expected \"xyz\"\n")))
        << m.out.toStdString();
    const HostResult d = disabled.wait();
    EXPECT_EQ(d.exitCode, 3);
    EXPECT_TRUE(d.out.endsWith(
        QStringLiteral("autopilot: line 1: BotonBloqueado is disabled in window \" Ventana de prueba \"\n")))
        << d.out.toStdString();

    const HostResult n = neverCloses.wait();
    EXPECT_EQ(n.exitCode, 4);
    EXPECT_TRUE(n.out.endsWith(QStringLiteral("autopilot: the call has not returned 30 s after the script ended\n")))
        << n.out.toStdString();
    EXPECT_FALSE(n.out.contains(QStringLiteral("resultado=")));
}

TEST_F(NorvikHost, LoadsTheModuleFromItsOwnFolder)
{
    const hosttest::HostFolder withoutModule(QString{});
    const HostResult missing = withoutModule.run({QStringLiteral("AbrirConfiguracionVelmora")});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.out.startsWith(QStringLiteral("cannot load ") + withoutModule.file(QStringLiteral("libvelmora.so"))))
        << missing.out.toStdString();

    const hosttest::HostFolder folder(binFile(kTestWindow));
    const QString s = folder.write(QStringLiteral("cerrar.txt"), QStringLiteral("click BotonCerrar\n"));
    const HostResult run = folder.run({QStringLiteral("AbrirConfiguracionVelmora"), QStringLiteral("--autopilot"), s});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("window:  Ventana de prueba \nresultado=1\n"));
}

TEST_F(NorvikHost, EmailProgramLogsTheAttachmentItWasGiven)
{
    const hosttest::HostFolder folder(QString{});
    // The host writes its files in its 8-bit code page: \xf3 is ó.
    folder.write(QStringLiteral("ListaDireccionesEMail.ini"),
                 QByteArray("[Configuracion]\r\nPuedeGuardar=1\r\n"
                            "RutaAdjunto=/tmp/informes/Situaci\xf3n clientes.PDF\r\nIndiceFiltroQRDefecto=2\r\n"));
    for (int i = 0; i < 2; ++i) {
        // Started from another folder: the log goes to the program's folder, not the current one.
        const HostResult r =
            HostProcess({}, folder.file(QStringLiteral("Norvik_GestorEmails.exe")), QDir::tempPath()).wait(10000);
        EXPECT_EQ(r.exitCode, 0);
    }
    QFile log(folder.file(QStringLiteral("GestorEmails.log")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    for (const QString &line : lines) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        ASSERT_EQ(fields.size(), 3) << line.toStdString();
        EXPECT_TRUE(QDateTime::fromString(fields[0], Qt::ISODateWithMs).isValid()) << line.toStdString();
        EXPECT_EQ(fields[1], QStringLiteral("RutaAdjunto=/tmp/informes/Situación clientes.PDF"));
        EXPECT_EQ(fields[2], QStringLiteral("IndiceFiltroQRDefecto=2"));
    }
}

TEST(Velmora, ExportsExactlyTheTwoHostEntryPoints)
{
    QProcess nm;
    nm.start(QStringLiteral("nm"), {QStringLiteral("-D"), QStringLiteral("--defined-only"), binFile(QStringLiteral("libvelmora.so"))});
    ASSERT_TRUE(nm.waitForFinished(30000));
    ASSERT_EQ(nm.exitCode(), 0) << nm.readAllStandardError().toStdString();
    QStringList names;
    for (const QString &line : QString::fromLatin1(nm.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        names << line.section(QLatin1Char(' '), -1);
    names.sort();
    EXPECT_EQ(names, (QStringList{QStringLiteral("AbrirConfiguracionVelmora"), QStringLiteral("MostrarRiesgoCliente")}));
}

} // namespace
