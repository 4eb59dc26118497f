#include "components/lxIBQuery.h"

#include "components/lxDataSetComun.h"
#include "framework/ui/Dialogs.h"
#include "framework/base/Error.h"
#include "framework/host/HostPaths.h"

TlxIBQuery::TlxIBQuery(QObject *AOwner) : fw::SqlQuery(AOwner)
{
    setUniDirectional(false);
    setFetchSize(100);
}

TlxIBQuery::~TlxIBQuery() = default;

TlxCampo *TlxIBQuery::GetlxCampo(const fw::Field *Campo) const
{
    return lxcomun::BuscarlxCampo(m_listaCampos.get(), Campo);
}

void TlxIBQuery::SetlxCampo(const fw::Field *Campo, std::int32_t Tipo, std::int32_t AccesoVisualizacion,
                            const QString &TextoNoAccesoVisualizacion, double CambioMoneda, std::int32_t Decimales,
                            bool SeparadorMiles, const QString &TextoFijoAnterior,
                            const QString &TextoFijoPosterior, bool GetText)
{
    if (TlxCampo *c = GetlxCampo(Campo))
        RellenarlxCampo(*c, Tipo, AccesoVisualizacion, TextoNoAccesoVisualizacion, CambioMoneda, Decimales,
                        SeparadorMiles, TextoFijoAnterior, TextoFijoPosterior, GetText, false);
}

bool TlxIBQuery::EsCampoValido(const QString &NombreCampo) const
{
    return lxcomun::EsCampoValido(*this, NombreCampo);
}

bool TlxIBQuery::EsParametroValido(const QString &NombreParametro) const
{
    return params().find(NombreParametro) != nullptr;
}

void TlxIBQuery::PrepararQuery()
{
    if (!prepared())
        prepare();
}

void TlxIBQuery::GuardarXML(const QString &NombreFichero)
{
    lxcomun::GuardarPaqueteXML(*this, NombreFichero, lxcomun::LimpiezaXML::Query);
}

void TlxIBQuery::doBeforeOpen()
{
    lxcomun::MostrarCursorEspera();
    try {
        if (PrimeraVez) {
            m_listaAccesos = ListaAccesosGlobal;
            m_listaCampos = lxcomun::EnlazarDescriptoresCampos(*this, m_listaAccesos, MayusculasClave::SoloAZ);
        }
        PrimeraVez = false;
    } catch (...) {
        lxcomun::RestaurarCursor();
        throw;
    }
    try {
        // Work posted by other data sets on the shared transaction becomes visible to this select.
        if (fw::Transaction *t = transaction(); t != nullptr && t->active())
            t->commitRetaining();
        PrepararQuery();
        fw::SqlQuery::doBeforeOpen();
    } catch (const fw::Abort &) {
        lxcomun::RestaurarCursor();
        throw;
    } catch (...) {
        // Reported here and not passed on: the open goes ahead as far as it can.
        const QString texto = lxcomun::TextoError(std::current_exception());
        lxcomun::RestaurarCursor();
        fw::ui::dialogs().inform(texto);
    }
}

void TlxIBQuery::internalOpen()
{
    try {
        fw::SqlQuery::internalOpen();
    } catch (...) {
        // No after-open step will restore it.
        lxcomun::RestaurarCursor();
        throw;
    }
}

void TlxIBQuery::doAfterOpen()
{
    lxcomun::RestaurarCursor();
    fw::host::trimWorkingSet();
    fw::SqlQuery::doAfterOpen();
}

void TlxIBQuery::doAfterClose()
{
    unprepare();
    fw::SqlQuery::doAfterClose();
}
