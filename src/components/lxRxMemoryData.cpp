#include "components/lxRxMemoryData.h"

#include "components/lxDataSetComun.h"
#include "framework/ui/Dialogs.h"
#include "framework/base/Error.h"

TlxRxMemoryData::TlxRxMemoryData(QObject *AOwner) : fw::MemoryDataSet(AOwner)
{
    setUniDirectional(false);
}

TlxRxMemoryData::~TlxRxMemoryData() = default;

TlxCampo *TlxRxMemoryData::GetlxCampo(const fw::Field *Campo) const
{
    return lxcomun::BuscarlxCampo(m_listaCampos.get(), Campo);
}

void TlxRxMemoryData::SetlxCampo(const fw::Field *Campo, std::int32_t Tipo, std::int32_t AccesoVisualizacion,
                                 const QString &TextoNoAccesoVisualizacion, double CambioMoneda,
                                 std::int32_t Decimales, bool SeparadorMiles, const QString &TextoFijoAnterior,
                                 const QString &TextoFijoPosterior, bool GetText) noexcept
{
    try {
        if (TlxCampo *c = GetlxCampo(Campo))
            RellenarlxCampo(*c, Tipo, AccesoVisualizacion, TextoNoAccesoVisualizacion, CambioMoneda, Decimales,
                            SeparadorMiles, TextoFijoAnterior, TextoFijoPosterior, GetText, true);
    } catch (...) {
    }
}

bool TlxRxMemoryData::EsCampoValido(const QString &NombreCampo) const
{
    return lxcomun::EsCampoValido(*this, NombreCampo);
}

void TlxRxMemoryData::GuardarXML(const QString &NombreFichero)
{
    lxcomun::GuardarPaqueteXML(*this, NombreFichero, lxcomun::LimpiezaXML::Edicion);
}

void TlxRxMemoryData::doBeforeOpen()
{
    try {
        if (PrimeraVez) {
            m_listaAccesos = ListaAccesosGlobal;
            m_listaCampos = lxcomun::EnlazarDescriptoresCampos(*this, m_listaAccesos, MayusculasClave::SoloAZ);
        }
        PrimeraVez = false;
        fw::MemoryDataSet::doBeforeOpen();
    } catch (const fw::Abort &) {
        throw;
    } catch (...) {
        fw::ui::dialogs().inform(QStringLiteral("Error en DoBeforeOpen: ")
                                 + lxcomun::TextoError(std::current_exception()));
    }
}

void TlxRxMemoryData::doOnNewRecord()
{
    fw::MemoryDataSet::doOnNewRecord();
    for (const auto &f : fields()) {
        if (f->kind() != fw::FieldKind::Data)
            continue;
        if (f->isFloat())
            f->setValue(0.0);
        else if (f->dataType() == fw::FieldType::SmallInt)
            f->setValue(0);
    }
}

void TlxRxMemoryData::doBeforeDelete()
{
    if (isEmpty())
        return;
    if (state() == fw::DataSetState::Edit || state() == fw::DataSetState::Insert)
        cancel();
    fw::MemoryDataSet::doBeforeDelete();
}
