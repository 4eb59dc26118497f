#include "components/lxRxMemoryData.h"

#include "components/lxDataSetComun.h"
#include "components/lxPaqueteXML.h"
#include "framework/base/Error.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/Guard.h"

TlxRxMemoryData::TlxRxMemoryData(QObject *AOwner)
    : fw::MemoryDataSet(AOwner), lx::Descriptores(*this, {lx::MayusculasClave::SoloAZ, true})
{
    setUniDirectional(false);
}

TlxRxMemoryData::~TlxRxMemoryData() = default;

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
        EnlazarDescriptoresCampos();
        fw::MemoryDataSet::doBeforeOpen();
    } catch (const fw::Abort &) {
        throw;
    } catch (...) {
        // Any error of the binding or the owner's handler is shown with the step's name and the open goes on.
        fw::ui::dialogs().inform(QStringLiteral("Error en DoBeforeOpen: ")
                                 + fw::ui::errorText(std::current_exception()));
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
