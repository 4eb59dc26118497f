#include "components/lxRxMemoryData.h"

#include "components/lxDataSetComun.h"
#include "components/lxPaqueteXML.h"

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
    // Errors of the binding or of the owner's handler are shown with the step's name, and the open goes on.
    lxcomun::MostrarErrores(
        [&] {
            EnlazarDescriptoresCampos();
            fw::MemoryDataSet::doBeforeOpen();
        },
        QStringLiteral("Error en DoBeforeOpen: "), [] {});
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
