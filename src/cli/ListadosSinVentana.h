#pragma once
// The listings and the risk overview without a window, for the command-line
// program: the same gathering, report and export code the listings window uses.
#include <QString>

#include <functional>
#include <optional>
#include <vector>

class TDatos;

/// A range of codes, both ends included.
struct TRangoCodigos
{
    QString desde;
    QString hasta;
};

struct TFiltrosDeclaracion
{
    int mes = 1;                 ///< 1 to 12
    std::optional<int> anio;     ///< none: the year of the month before today, as the window takes it
    int grupoRiesgo = 1;         ///< 1 to 5
    std::optional<TRangoCodigos> series;
    std::optional<TRangoCodigos> clientes;
};

struct TFiltrosSituacion
{
    enum class Saldos { Todos, Excedidos, NoExcedidos };
    bool porGrupos = false;
    Saldos saldos = Saldos::Todos;
    std::vector<int> grupos; ///< risk groups 1 to 5; empty: every group
};

/// How a listing run went.
struct TListadoEscrito
{
    int filas = 0;        ///< rows listed
    bool escrito = false; ///< false when it was empty and `omitirVacio` held the file back
};

/// Things a run reports while it reads: one call per customer read, with the
/// number read so far and the total expected.
using TAvisoProgreso = std::function<void(int leidos, int total)>;

/// True when the engine has an export for the file's extension.
bool ExportacionConocida(const QString &salida);

/// Gathers a listing with the filters on a session whose company is open, builds
/// its report and writes it to `salida` by the file's extension. An empty listing
/// is still written unless `omitirVacio`. Throws fw::Error for a database error,
/// including one the gathering warned about (then no file is written).
TListadoEscrito EscribirDeclaracion(TDatos &datos, const TFiltrosDeclaracion &filtros, const QString &salida,
                                    bool omitirVacio, const TAvisoProgreso &progreso = {});
TListadoEscrito EscribirSituacion(TDatos &datos, const TFiltrosSituacion &filtros, const QString &salida,
                                  bool omitirVacio, const TAvisoProgreso &progreso = {});

/// One risk group of a customer as the risk overview shows it.
struct TRiesgoGrupo
{
    int grupo = 0;
    double concedido = 0;
    double enUso = 0;
    double anticipos = 0;
    double saldo = 0; ///< granted less in use plus advances
    bool excedido = false;
    // The overview's own texts of the four amounts.
    QString textoConcedido, textoEnUso, textoAnticipos, textoSaldo;
};

struct TRiesgoCliente
{
    int id = 0;
    QString codigo;
    QString nombre;
    std::vector<TRiesgoGrupo> grupos; ///< always five
};

/// The customer's five groups through the data module's risk query, or nothing
/// when there is no such customer. The session's company must be open.
std::optional<TRiesgoCliente> LeerRiesgoCliente(TDatos &datos, int idCliente);
