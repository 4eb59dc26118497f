// norvik-host: loads libvelmora.so the way the host suite does, calls one of its
// two exports with the host's strings and prints the result. An autopilot script
// can drive the module's windows meanwhile.
#include "Autopilot.h"
#include "AutopilotScript.h"
#include "WindowReporter.h"
#include "host/HostStringBuilder.h"

#include <velmora.h>

#include "framework/host/HostPaths.h"

#include <CLI/CLI.hpp>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThreadPool>

#include <dlfcn.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace {

// The host passes each string as the address of its first UTF-16 code unit.
using HostStringPtr = VelmoraHostString;
using MostrarRiesgoClienteFn = VelmoraMostrarRiesgoClienteFn;
using AbrirConfiguracionVelmoraFn = VelmoraAbrirConfiguracionVelmoraFn;

constexpr int kLoadErrorExitCode = 2;

struct Arguments
{
    std::int32_t IdEmpresa = 0;
    std::int32_t IdGrupoEmpresa = 0;
    std::int32_t IdUsuario = 0;
    std::int32_t IdCliente = 0;
    std::int32_t IDSerie = 0;
    std::int32_t IdDocumento = 0;
    std::int32_t TipoDocumento = 0;
    std::string RutaBaseDatos;
    std::string NombreUsuario;
    std::string Password;
    std::optional<std::int32_t> LongitudRutaBaseDatos;
    std::optional<std::int32_t> LongitudNombreUsuario;
    std::optional<std::int32_t> LongitudPassword;
};

/// A host string as the host passes it: an empty value is a null pointer. A
/// stored length given on the command line is written as given, so tests can
/// pass lengths no sound host would.
class HostArgument
{
public:
    HostArgument(const std::string &text, const std::optional<std::int32_t> &storedLength)
    {
        if (storedLength)
            m_string.emplace(norvik::HostString::withStoredLength(QString::fromStdString(text), *storedLength));
        else if (!text.empty())
            m_string.emplace(QString::fromStdString(text));
    }
    HostStringPtr get() const { return m_string ? m_string->get() : nullptr; }

private:
    std::optional<norvik::HostString> m_string;
};

} // namespace

int main(int argc, char **argv)
{
    // The host owns the application object; the module uses it.
    QApplication app(argc, argv);
    // The host's main window stays open between calls, so closing the module's
    // last window must not end the application.
    QApplication::setQuitOnLastWindowClosed(false);

    CLI::App cli{"Stand-in for the host application: calls an export of libvelmora.so"};
    std::string biblioteca;
    std::string autopilotFile;
    int veces = 1;
    cli.add_option("--biblioteca", biblioteca, "library to load (default: libvelmora.so next to this program)");
    auto *vecesOption = cli.add_option("--veces", veces, "calls the export this many times and prints each call's time")
                            ->check(CLI::PositiveNumber);
    double durante = 0;
    auto *duranteOption = cli.add_option("--durante", durante, "calls the export again and again for this many seconds "
                                                               "and prints each call's time")
                              ->check(CLI::PositiveNumber)
                              ->excludes(vecesOption);
    cli.add_option("--autopilot", autopilotFile, "script that drives the windows, run again for each call")->check(CLI::ExistingFile);
    cli.require_subcommand(1);

    Arguments a;
    auto *riesgo = cli.add_subcommand("MostrarRiesgoCliente", "risk check of a customer or document");
    auto *configuracion = cli.add_subcommand("AbrirConfiguracionVelmora", "the module's main screen");
    for (CLI::App *sub : {riesgo, configuracion}) {
        sub->fallthrough();
        sub->add_option("--IdEmpresa", a.IdEmpresa);
        sub->add_option("--IdGrupoEmpresa", a.IdGrupoEmpresa);
        sub->add_option("--IdUsuario", a.IdUsuario);
        sub->add_option("--RutaBaseDatos", a.RutaBaseDatos);
        sub->add_option("--NombreUsuario", a.NombreUsuario);
        sub->add_option("--Password", a.Password);
        sub->add_option("--LongitudRutaBaseDatos", a.LongitudRutaBaseDatos, "stored length of that string, as given");
        sub->add_option("--LongitudNombreUsuario", a.LongitudNombreUsuario, "stored length of that string, as given");
        sub->add_option("--LongitudPassword", a.LongitudPassword, "stored length of that string, as given");
    }
    riesgo->add_option("--IdCliente", a.IdCliente);
    riesgo->add_option("--IDSerie", a.IDSerie);
    riesgo->add_option("--IdDocumento", a.IdDocumento);
    riesgo->add_option("--TipoDocumento", a.TipoDocumento);
    CLI11_PARSE(cli, argc, argv);

    std::unique_ptr<norvik::Autopilot> autopilot;
    if (!autopilotFile.empty()) {
        QFile file(QString::fromStdString(autopilotFile));
        if (!file.open(QIODevice::ReadOnly)) {
            norvik::printLine(QStringLiteral("autopilot: cannot read %1").arg(file.fileName()));
            return norvik::Autopilot::kFailureExitCode;
        }
        try {
            autopilot = std::make_unique<norvik::Autopilot>(
                norvik::parseAutopilotScript(QString::fromUtf8(file.readAll())));
        } catch (const norvik::AutopilotSyntaxError &e) {
            norvik::printLine(QStringLiteral("autopilot: line %1: %2").arg(e.line()).arg(e.reason()));
            return norvik::Autopilot::kFailureExitCode;
        }
    }

    // The host looks for the module in its own folder.
    const QString libraryPath = biblioteca.empty() ? fw::host::programFile(QStringLiteral("libvelmora.so"))
                                                   : QString::fromStdString(biblioteca);
    void *library = ::dlopen(QFile::encodeName(libraryPath).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        norvik::printLine(QStringLiteral("cannot load %1: %2").arg(libraryPath, QString::fromLocal8Bit(::dlerror())));
        return kLoadErrorExitCode;
    }
    const char *exportName = riesgo->parsed() ? "MostrarRiesgoCliente" : "AbrirConfiguracionVelmora";
    void *symbol = ::dlsym(library, exportName);
    if (!symbol) {
        norvik::printLine(QStringLiteral("%1 does not export %2").arg(libraryPath, QLatin1String(exportName)));
        return kLoadErrorExitCode;
    }

    // The strings stay alive for the whole call, as the host's do.
    const HostArgument ruta(a.RutaBaseDatos, a.LongitudRutaBaseDatos), usuario(a.NombreUsuario, a.LongitudNombreUsuario),
        clave(a.Password, a.LongitudPassword);
    std::function<std::int32_t()> call;
    if (riesgo->parsed()) {
        auto fn = reinterpret_cast<MostrarRiesgoClienteFn>(symbol);
        call = [&, fn] {
            return fn(a.IdEmpresa, a.IdGrupoEmpresa, a.IdUsuario, a.IdCliente, a.IDSerie, a.IdDocumento,
                      a.TipoDocumento, ruta.get(), usuario.get(), clave.get());
        };
    } else {
        auto fn = reinterpret_cast<AbrirConfiguracionVelmoraFn>(symbol);
        call = [&, fn] { return fn(a.IdEmpresa, a.IdGrupoEmpresa, a.IdUsuario, ruta.get(), usuario.get(), clave.get()); };
    }

    norvik::WindowReporter reporter;
    app.installEventFilter(&reporter);

    std::int32_t result = 0;
    QElapsedTimer total;
    total.start();
    const bool timed = vecesOption->count() > 0 || duranteOption->count() > 0;
    for (int i = 1; duranteOption->count() > 0 ? total.elapsed() < qint64(durante * 1000) : i <= veces; ++i) {
        if (autopilot)
            autopilot->start();
        QElapsedTimer clock;
        clock.start();
        result = call();
        const qint64 nanoseconds = clock.nsecsElapsed();
        if (autopilot)
            autopilot->callReturned();
        if (timed)
            norvik::printLine(QStringLiteral("llamada %1: %2 ms").arg(i).arg(double(nanoseconds) / 1e6, 0, 'f', 2));
    }
    norvik::printLine(QStringLiteral("resultado=%1").arg(result));

    app.removeEventFilter(&reporter);
    // Qt's painting hands work to the global thread pool; its threads are ended
    // here, well before the process exits, and not as the process goes.
    QThreadPool::globalInstance()->waitForDone();
    // The library stays loaded until the process ends, as in the host: Qt may
    // still hold pointers into it (metatypes, plug-in objects).
    return 0;
}
