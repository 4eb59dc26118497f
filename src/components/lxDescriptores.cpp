#include "components/lxDescriptores.h"

#include "framework/db/DataSet.h"
#include "framework/db/Field.h"

#include <new>

namespace lx {

namespace {

// The key of a field in the access list: data set name + field name, upper case.
QString claveCampo(const QString &nombreDataSet, const QString &nombreCampo, MayusculasClave regla)
{
    const QString clave = nombreDataSet + nombreCampo;
    if (regla == MayusculasClave::Locale)
        return clave.toUpper();
    QString ascii = clave;
    for (QChar &c : ascii)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 32);
    return ascii;
}

void rellenar(TlxCampo &campo, const Presentacion &v, bool mascaraFecha)
{
    campo.Tipo = v.Tipo;
    if (v.AccesoVisualizacion != -1)
        campo.AccesoVisualizacion = v.AccesoVisualizacion;
    campo.TextoNoAccesoVisualizacion = v.TextoNoAccesoVisualizacion;
    campo.CambioMoneda = v.CambioMoneda;
    campo.Decimales = v.Decimales;
    campo.SeparadorMiles = v.SeparadorMiles;
    campo.TextoFijoAnterior = v.TextoFijoAnterior;
    campo.TextoFijoPosterior = v.TextoFijoPosterior;
    campo.GetText = v.GetText;
    if (v.Tipo == tcImporte || v.Tipo == tcNumero || v.Tipo == tcNumero3) {
        QString mascara = v.SeparadorMiles ? QStringLiteral("#,##0") : QStringLiteral("#0");
        if (v.Decimales > 0)
            mascara += QLatin1Char('.') + QString(v.Decimales, QLatin1Char('0'));
        campo.MascaraVisualizacion = mascara;
    } else if (v.Tipo == tcFecha && mascaraFecha) {
        campo.MascaraVisualizacion = QStringLiteral("dd/mm/yyyy");
    }
}

} // namespace

Descriptores::Descriptores(fw::DataSet &ds, HabitosDescriptores habitos) : m_ds(ds), m_habitos(habitos) {}

Descriptores::~Descriptores() = default;

TlxCampo *Descriptores::GetlxCampo(const fw::Field *Campo) const
{
    if (m_listaCampos == nullptr || Campo == nullptr)
        return nullptr;
    for (TlxCampo *c : m_listaCampos->Campos())
        if (c->Field == Campo)
            return c;
    return nullptr;
}

void Descriptores::SetlxCampo(const fw::Field *Campo, const Presentacion &valores)
{
    TlxCampo *c = GetlxCampo(Campo);
    if (c == nullptr)
        return;
    if (!m_habitos.tablaMemoria) {
        rellenar(*c, valores, false);
        return;
    }
    try {
        rellenar(*c, valores, true);
    } catch (const std::bad_alloc &) {
        // Copying the texts can only fail for want of memory; the memory table's call never raises.
    }
}

void Descriptores::SetlxCampo(const fw::Field *Campo, std::int32_t Tipo, std::int32_t AccesoVisualizacion,
                              const QString &TextoNoAccesoVisualizacion, double CambioMoneda, std::int32_t Decimales,
                              bool SeparadorMiles, const QString &TextoFijoAnterior,
                              const QString &TextoFijoPosterior, bool GetText)
{
    SetlxCampo(Campo, Presentacion{TlxTipoCampo(Tipo), AccesoVisualizacion, TextoNoAccesoVisualizacion, CambioMoneda,
                                   Decimales, SeparadorMiles, TextoFijoAnterior, TextoFijoPosterior, GetText});
}

void Descriptores::EnlazarDescriptoresCampos()
{
    if (PrimeraVez) {
        m_listaAccesos = ListaAccesosGlobal;
        auto lista = std::make_unique<TlxListaCampos>();
        for (int i = 0; i < m_ds.fieldCount(); ++i) {
            fw::Field &campo = m_ds.field(i);
            auto *descriptor = new TlxCampo(&m_ds);
            descriptor->Field = &campo;
            lista->Agregar(descriptor);
            if (m_listaAccesos != nullptr)
                descriptor->SetNivelAcceso(m_listaAccesos,
                                           claveCampo(m_ds.objectName(), campo.fieldName(), m_habitos.clave));
            // A lookup field shows nothing until its lookup data set is open.
            if (campo.isLookup()) {
                if (fw::DataSet *busqueda = campo.lookupDataSet(); busqueda != nullptr && !busqueda->active()) {
                    busqueda->close();
                    busqueda->open();
                }
            }
        }
        m_listaCampos = std::move(lista);
    }
    PrimeraVez = false;
}

Descriptores *descriptores(fw::DataSet &ds)
{
    return dynamic_cast<Descriptores *>(&ds);
}

TlxCampo *descriptor(const fw::Field &campo)
{
    fw::DataSet *ds = campo.dataSet();
    Descriptores *d = ds != nullptr ? descriptores(*ds) : nullptr;
    return d != nullptr ? d->GetlxCampo(&campo) : nullptr;
}

} // namespace lx
