// velmora: the listings and a customer's risk without the window, for scheduled
// runs. Credentials come from ISC_USER / ISC_PASSWORD or a prompt, never from the
// command line, where the process list would show them.
//
// Exit codes: 0 done, 1 bad arguments, 2 database error, 3 nothing to list
// (with --fallar-si-vacio).
#include "cli/ListadosSinVentana.h"

#include "data/ModuloDatos.h"
#include "data/SesionDatos.h"
#include "framework/base/Error.h"
#include "framework/report/Document.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/Guard.h"

#include <CLI/CLI.hpp>

#include <QApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int kHecho = 0, kArgumentos = 1, kBaseDatos = 2, kVacio = 3;

/// Anything the module would show in a message box goes to standard error.
class DialogosConsola : public fw::ui::Dialogs
{
public:
    void inform(const QString &t) override { std::fprintf(stderr, "%s\n", qPrintable(t)); }
    bool warn(const QString &t) override
    {
        inform(t);
        return true;
    }
    bool confirm(const QString &, const QString &) override { return false; }
    void error(const QString &t, const QString &) override { inform(t); }
};

/// A line read from the terminal, without echo when `oculto`; none without a terminal.
std::optional<std::string> preguntar(const char *pregunta, bool oculto)
{
    const int tty = ::open("/dev/tty", O_RDWR | O_NOCTTY);
    if (tty < 0)
        return std::nullopt;
    if (::write(tty, pregunta, std::strlen(pregunta)) < 0) {
        ::close(tty);
        return std::nullopt;
    }
    termios antes{};
    const bool conModo = ::tcgetattr(tty, &antes) == 0;
    if (oculto && conModo) {
        termios sinEco = antes;
        sinEco.c_lflag &= ~tcflag_t(ECHO);
        ::tcsetattr(tty, TCSAFLUSH, &sinEco);
    }
    std::string linea;
    char c = 0;
    while (::read(tty, &c, 1) == 1 && c != '\n')
        linea += c;
    if (oculto && conModo) {
        ::tcsetattr(tty, TCSAFLUSH, &antes);
        [[maybe_unused]] auto escrito = ::write(tty, "\n", 1);
    }
    ::close(tty);
    return linea;
}

/// "A..B" as a range of codes.
std::optional<TRangoCodigos> rango(const std::string &texto)
{
    const auto punto = texto.find("..");
    if (punto == std::string::npos || punto == 0 || punto + 2 >= texto.size())
        return std::nullopt;
    return TRangoCodigos{QString::fromStdString(texto.substr(0, punto)), QString::fromStdString(texto.substr(punto + 2))};
}

/// "customers read / total" on one line of standard error, once a run has taken a second.
class Progreso
{
public:
    explicit Progreso(bool silencioso) : m_silencioso(silencioso) { m_reloj.start(); }
    ~Progreso()
    {
        if (m_mostrado)
            std::fputc('\n', stderr);
    }
    TAvisoProgreso aviso()
    {
        if (m_silencioso)
            return {};
        return [this](int leidos, int total) {
            if (m_reloj.elapsed() < 1000 || (m_mostrado && m_ultimo.elapsed() < 200 && leidos < total))
                return;
            std::fprintf(stderr, "\rclientes leídos %d / %d", leidos, total);
            std::fflush(stderr);
            m_mostrado = true;
            m_ultimo.start();
        };
    }

private:
    bool m_silencioso;
    bool m_mostrado = false;
    QElapsedTimer m_reloj, m_ultimo;
};

void imprimirRiesgo(const TRiesgoCliente &r, bool json)
{
    if (json) {
        QJsonArray grupos;
        for (const TRiesgoGrupo &g : r.grupos)
            grupos.append(QJsonObject{{QStringLiteral("grupo"), g.grupo},
                                      {QStringLiteral("concedido"), g.concedido},
                                      {QStringLiteral("en_uso"), g.enUso},
                                      {QStringLiteral("anticipos"), g.anticipos},
                                      {QStringLiteral("saldo"), g.saldo},
                                      {QStringLiteral("excedido"), g.excedido}});
        const QJsonObject o{{QStringLiteral("cliente"), r.id},
                            {QStringLiteral("codigo"), r.codigo},
                            {QStringLiteral("nombre"), r.nombre},
                            {QStringLiteral("grupos"), grupos}};
        std::fputs(QJsonDocument(o).toJson(QJsonDocument::Indented).constData(), stdout);
        return;
    }
    std::printf("%s %s\n", qPrintable(r.codigo), qPrintable(r.nombre));
    std::printf("%-6s%16s%16s%16s%16s  %s\n", "Grupo", "Concedido", "En uso", "Anticipos", "Saldo", "Excedido");
    for (const TRiesgoGrupo &g : r.grupos)
        std::printf("%-6d%16s%16s%16s%16s  %s\n", g.grupo, qPrintable(g.textoConcedido), qPrintable(g.textoEnUso),
                    qPrintable(g.textoAnticipos), qPrintable(g.textoSaldo), g.excedido ? "sí" : "no");
}

} // namespace

int main(int argc, char **argv)
{
    CLI::App cli{"Listados de Velmora sin ventana. Usuario y contraseña de la base de datos: ISC_USER e "
                 "ISC_PASSWORD, o se preguntan."};
    cli.name("velmora");
    cli.require_subcommand(1);

    std::string base;
    int empresa = 0, grupoEmpresas = 0;
    std::string salida;
    bool silencioso = false, fallarSiVacio = false;

    TFiltrosDeclaracion declaracion;
    int anio = 0;
    std::string series, clientes;
    auto *cmdDeclaracion = cli.add_subcommand("declaracion", "declaración mensual al asegurador de crédito");
    TFiltrosSituacion situacion;
    bool soloExcedidos = false, soloNoExcedidos = false;
    auto *cmdSituacion = cli.add_subcommand("situacion", "situación de riesgo de los clientes");
    int cliente = 0;
    bool json = false;
    auto *cmdRiesgo = cli.add_subcommand("riesgo", "los cinco grupos de riesgo de un cliente");

    for (CLI::App *c : {cmdDeclaracion, cmdSituacion, cmdRiesgo}) {
        c->add_option("--base", base, "base de datos, como la acepta el cliente de Firebird")->required();
        c->add_option("--empresa", empresa, "empresa")->required();
        c->add_option("--grupo-empresas", grupoEmpresas, "grupo de empresas")->required();
        c->add_flag("--silencioso", silencioso, "sin progreso en la salida de errores");
        c->add_flag("--fallar-si-vacio", fallarSiVacio, "sale con 3 si no hay nada que listar");
    }
    for (CLI::App *c : {cmdDeclaracion, cmdSituacion})
        c->add_option("--salida", salida, "fichero: .pdf, .csv, .xls, .txt...")->required();
    cmdDeclaracion->add_option("--mes", declaracion.mes, "mes, 1 a 12")->required()->check(CLI::Range(1, 12));
    cmdDeclaracion->add_option("--anio", anio, "año (por omisión, el del mes anterior a hoy)")
        ->check(CLI::Range(1, 9999));
    cmdDeclaracion->add_option("--grupo-riesgo", declaracion.grupoRiesgo, "grupo de riesgo declarado, 1 a 5")
        ->check(CLI::Range(1, 5));
    cmdDeclaracion->add_option("--series", series, "códigos de serie DESDE..HASTA");
    cmdDeclaracion->add_option("--clientes", clientes, "códigos de cliente DESDE..HASTA");
    cmdSituacion->add_flag("--por-grupos", situacion.porGrupos, "por grupos en lugar de por cliente");
    auto *excedidos = cmdSituacion->add_flag("--solo-excedidos", soloExcedidos, "solo los riesgos excedidos");
    cmdSituacion->add_flag("--solo-no-excedidos", soloNoExcedidos, "solo los riesgos no excedidos")
        ->excludes(excedidos);
    cmdSituacion->add_option("--grupos", situacion.grupos, "grupos de riesgo, p. ej. 1,3")
        ->delimiter(',')
        ->check(CLI::Range(1, 5));
    cmdRiesgo->add_option("--cliente", cliente, "cliente (su identificador)")->required();
    cmdRiesgo->add_flag("--json", json, "en JSON en lugar de una tabla");

    auto usoIncorrecto = [&](const std::string &motivo) {
        const CLI::App *sub = cli.get_subcommands().empty() ? &cli : cli.get_subcommands().front();
        const std::string nombre = sub == &cli ? std::string("velmora") : "velmora " + sub->get_name();
        std::cerr << motivo << "\n" << CLI::Formatter().make_usage(sub, nombre);
        return kArgumentos;
    };
    try {
        cli.parse(argc, argv);
    } catch (const CLI::CallForHelp &e) {
        return cli.exit(e);
    } catch (const CLI::CallForAllHelp &e) {
        return cli.exit(e);
    } catch (const CLI::ParseError &e) {
        return usoIncorrecto(e.what());
    }

    if (cmdDeclaracion->count("--anio"))
        declaracion.anio = anio;
    if (cmdDeclaracion->parsed()) {
        for (auto [opcion, texto, destino] : {std::tuple{"--series", &series, &declaracion.series},
                                              std::tuple{"--clientes", &clientes, &declaracion.clientes}}) {
            if (!cmdDeclaracion->count(opcion))
                continue;
            *destino = rango(*texto);
            if (!*destino)
                return usoIncorrecto(std::string(opcion) + ": se espera DESDE..HASTA");
        }
    }
    situacion.saldos = soloExcedidos     ? TFiltrosSituacion::Saldos::Excedidos
                       : soloNoExcedidos ? TFiltrosSituacion::Saldos::NoExcedidos
                                         : TFiltrosSituacion::Saldos::Todos;
    const QString ficheroSalida = QString::fromStdString(salida);
    if (!cmdRiesgo->parsed() && !ExportacionConocida(ficheroSalida))
        return usoIncorrecto("--salida: formato desconocido: " + salida);

    // Only unset variables are asked for: a scheduled run sets both.
    std::optional<std::string> usuario, clave;
    if (const char *u = std::getenv("ISC_USER"); u && *u)
        usuario = u;
    else
        usuario = preguntar("Usuario: ", false);
    if (const char *p = std::getenv("ISC_PASSWORD"))
        clave = p;
    else if (usuario)
        clave = preguntar("Contraseña: ", true);
    if (!usuario || !clave)
        return usoIncorrecto("Sin terminal: ISC_USER e ISC_PASSWORD deben estar definidas");

    // Nothing is ever shown: the offscreen platform needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Standard error is for this program's progress and errors; the toolkit's
    // own notes (a missing runtime folder and the like) would bury them in a job's mail.
    qInstallMessageHandler([](QtMsgType tipo, const QMessageLogContext &, const QString &texto) {
        if (tipo == QtCriticalMsg || tipo == QtFatalMsg)
            std::fprintf(stderr, "%s\n", qPrintable(texto));
    });
    int argcQt = 1;
    QApplication app(argcQt, argv);
    DialogosConsola dialogos;
    fw::ui::ScopedDialogs dialogosInstalados(dialogos);

    TContextoSesion contexto;
    contexto.IdEmpresa = empresa;
    contexto.IdGrupoEmpresa = grupoEmpresas;
    contexto.IdCliente = cliente;
    contexto.TipoDocumento = -1;
    contexto.RutaBaseDatos = QString::fromStdString(base);
    contexto.NombreUsuario = QString::fromStdString(*usuario);
    contexto.Password = QString::fromStdString(*clave);
    try {
        TSesionDatos sesion(contexto);
        sesion.conectar();
        sesion.abrirEmpresa();
        TDatos &datos = sesion.datos();
        int resultado = kHecho;
        if (cmdRiesgo->parsed()) {
            const std::optional<TRiesgoCliente> riesgo = LeerRiesgoCliente(datos, cliente);
            if (!riesgo) {
                std::fprintf(stderr, "No existe el cliente %d\n", cliente);
                resultado = fallarSiVacio ? kVacio : kArgumentos;
            } else {
                imprimirRiesgo(*riesgo, json);
            }
        } else {
            TListadoEscrito listado;
            {
                // The progress line ends before anything else is written.
                Progreso progreso(silencioso);
                listado = cmdDeclaracion->parsed()
                              ? EscribirDeclaracion(datos, declaracion, ficheroSalida, fallarSiVacio, progreso.aviso())
                              : EscribirSituacion(datos, situacion, ficheroSalida, fallarSiVacio, progreso.aviso());
            }
            if (listado.filas == 0 && fallarSiVacio) {
                std::fprintf(stderr, "Nada que listar\n");
                resultado = kVacio;
            }
        }
        sesion.deshacer();
        return resultado;
    } catch (const fw::report::ReportError &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return kArgumentos;
    } catch (...) {
        std::fprintf(stderr, "%s\n", qPrintable(fw::ui::errorText(std::current_exception())));
        return kBaseDatos;
    }
}
