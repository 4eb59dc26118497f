#pragma once
// The field descriptors of the library's data sets: one home that every
// field-access data set inherits, reachable from any fw::DataSet.
#include "components/lxCampo.h"

#include <QString>

#include <cstdint>
#include <memory>

namespace fw {
class DataSet;
class Field;
} // namespace fw

namespace lx {

/// Upper-casing of access-list keys: the locale's rules, or plain A-Z only.
enum class MayusculasClave { Locale, SoloAZ };

/// How one class of data set builds and fills its descriptors.
struct HabitosDescriptores
{
    MayusculasClave clave = MayusculasClave::SoloAZ;
    /// The memory table's ways: kind 6 also sets the mask "dd/mm/yyyy", and
    /// filling a descriptor never raises.
    bool tablaMemoria = false;
};

/// What SetlxCampo writes into a descriptor. The defaults are the descriptor's
/// own, except the level: -1 keeps the level the descriptor has.
struct Presentacion
{
    TlxTipoCampo Tipo = tcTexto;
    std::int32_t AccesoVisualizacion = -1;
    QString TextoNoAccesoVisualizacion = QStringLiteral("*");
    double CambioMoneda = 0;
    std::int32_t Decimales = 2;
    bool SeparadorMiles = true;
    QString TextoFijoAnterior = {};
    QString TextoFijoPosterior = {};
    bool GetText = false;
};

/// The descriptors of one data set, built at its first open and kept until the
/// data set is destroyed. The library's data sets inherit this beside their
/// framework base; `descriptores()` finds it from any fw::DataSet.
///
/// The descriptor list is owned here (its descriptors are also QObject children
/// of the data set); the access list is the process-wide one, taken by
/// reference at the first open and never owned.
class Descriptores
{
public:
    Descriptores(const Descriptores &) = delete;
    Descriptores &operator=(const Descriptores &) = delete;

    /// True until the first open has bound the descriptors.
    bool PrimeraVez = true;

    TlxListaCampos *ListaCampos() const { return m_listaCampos.get(); }
    /// Takes ownership; the previous list (and its descriptors) is freed.
    void SetListaCampos(TlxListaCampos *lista) { m_listaCampos.reset(lista); }
    TListaAccesoCampos *ListaAccesos() const { return m_listaAccesos; }
    void SetListaAccesos(TListaAccesoCampos *lista) { m_listaAccesos = lista; }

    /// The descriptor of `Campo` (the field object itself, not its name); null
    /// before the first open or when the field has none.
    TlxCampo *GetlxCampo(const fw::Field *Campo) const;
    /// Fills the descriptor of `Campo`; does nothing when it has none. Kinds 1
    /// to 3 rebuild the number mask from the decimals and the separator flag.
    void SetlxCampo(const fw::Field *Campo, const Presentacion &valores);
    /// The same with the values one by one; a level of -1 keeps the current one.
    void SetlxCampo(const fw::Field *Campo, std::int32_t Tipo, std::int32_t AccesoVisualizacion,
                    const QString &TextoNoAccesoVisualizacion, double CambioMoneda, std::int32_t Decimales,
                    bool SeparadorMiles, const QString &TextoFijoAnterior, const QString &TextoFijoPosterior,
                    bool GetText);

protected:
    /// `ds` is the data set this object is a base of; it outlives this object.
    Descriptores(fw::DataSet &ds, HabitosDescriptores habitos);
    ~Descriptores();

    /// At the first open only: takes the process-wide access list and builds
    /// one descriptor per field the data set has now (its declared fields), with
    /// the field's access level, opening closed lookup data sets on the way.
    /// `PrimeraVez` is cleared once this has succeeded.
    void EnlazarDescriptoresCampos();

private:
    fw::DataSet &m_ds;
    HabitosDescriptores m_habitos;
    std::unique_ptr<TlxListaCampos> m_listaCampos;
    TListaAccesoCampos *m_listaAccesos = nullptr; // never owned
};

/// The descriptors of a library data set; null for a data set that keeps none.
Descriptores *descriptores(fw::DataSet &ds);

/// The descriptor of a field in its own data set; null when it has none.
TlxCampo *descriptor(const fw::Field &campo);

} // namespace lx
