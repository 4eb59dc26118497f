#include "components/lxIBDataSet.h"

#include "components/lxDataSetComun.h"
#include "framework/ui/Dialogs.h"
#include "framework/base/Error.h"
#include "framework/host/HostPaths.h"

#include <QApplication>
#include <QDateTime>

TlxIBDataSet::TlxIBDataSet(QObject *AOwner) : fw::SqlDataSet(AOwner)
{
    setUniDirectional(false);
    setFetchSize(100);
}

TlxIBDataSet::~TlxIBDataSet() = default;

TlxCampo *TlxIBDataSet::GetlxCampo(const fw::Field *Campo) const
{
    return lxcomun::BuscarlxCampo(m_listaCampos.get(), Campo);
}

void TlxIBDataSet::SetlxCampo(const fw::Field *Campo, std::int32_t Tipo, std::int32_t AccesoVisualizacion,
                              const QString &TextoNoAccesoVisualizacion, double CambioMoneda,
                              std::int32_t Decimales, bool SeparadorMiles, const QString &TextoFijoAnterior,
                              const QString &TextoFijoPosterior, bool GetText)
{
    if (TlxCampo *c = GetlxCampo(Campo))
        RellenarlxCampo(*c, Tipo, AccesoVisualizacion, TextoNoAccesoVisualizacion, CambioMoneda, Decimales,
                        SeparadorMiles, TextoFijoAnterior, TextoFijoPosterior, GetText, false);
}

bool TlxIBDataSet::EsCampoValido(const QString &NombreCampo) const
{
    return lxcomun::EsCampoValido(*this, NombreCampo);
}

void TlxIBDataSet::GuardarXML(const QString &NombreFichero)
{
    lxcomun::GuardarPaqueteXML(*this, NombreFichero, lxcomun::LimpiezaXML::Edicion);
}

bool TlxIBDataSet::preguntar(const QString &texto) const
{
    // Without a user interface nobody can decline, so the work is kept.
    if (qobject_cast<QApplication *>(QCoreApplication::instance()) == nullptr)
        return true;
    lxcomun::RestaurarCursor();
    return fw::ui::dialogs().confirm(texto, QStringLiteral("Confirmación"));
}

bool TlxIBDataSet::Commit(bool Aviso)
{
    fw::Transaction *t = transaction();
    if (t == nullptr || !t->active() || !FModificado || !ControlTransacciones)
        return true;
    try {
        if (Aviso && !TextoAvisoCommit.isEmpty() && !preguntar(TextoAvisoCommit)) {
            Rollback(false);
            return false;
        }
        t->commitRetaining();
        fw::host::trimWorkingSet();
        lxcomun::RestaurarCursor();
        FModificado = false;
        return true;
    } catch (...) {
        return false;
    }
}

bool TlxIBDataSet::Rollback(bool Aviso)
{
    fw::Transaction *t = transaction();
    if (t == nullptr || !t->active() || !FModificado || !ControlTransacciones)
        return false;
    try {
        if (Aviso && !TextoAvisoRollback.isEmpty() && !preguntar(TextoAvisoRollback))
            return false;
    } catch (...) {
        return false;
    }
    try {
        t->rollbackRetaining();
        fw::host::trimWorkingSet();
        lxcomun::RestaurarCursor();
        FModificado = false;
        // The row the user added is gone from the database; it leaves the data set too.
        if (EstadoAnterior == 1 && active() && !isEmpty()) {
            m_quitandoInsertado = true;
            try {
                remove();
            } catch (...) {
                m_quitandoInsertado = false;
                throw;
            }
            m_quitandoInsertado = false;
        }
    } catch (...) {
    }
    return true;
}

void TlxIBDataSet::Borrado()
{
    FModificado = true;
    if (CommitOnDelete && ControlTransacciones)
        Commit(false);
}

void TlxIBDataSet::AnularCadenasVacias()
{
    for (const auto &f : fields()) {
        if (f->kind() != fw::FieldKind::Data || f->dataType() != fw::FieldType::String || f->readOnly())
            continue;
        if (!f->isNull() && f->asString().isEmpty())
            f->setValue(QVariant());
    }
}

bool TlxIBDataSet::ExistenCamposAuditoria() const
{
    try {
        for (const auto &f : fields())
            if (f->fieldName() == QLatin1String("USUARIOALTA") || f->fieldName() == QLatin1String("USUARIOMODIFICACION"))
                return true;
    } catch (...) {
    }
    return false;
}

void TlxIBDataSet::RellenarCamposAuditoria()
{
    if (!ExistenCamposAuditoria())
        return;
    if (state() == fw::DataSetState::Insert) {
        fieldByName(QStringLiteral("UsuarioAlta")).setAsInteger(IdUsuarioActivo);
        fieldByName(QStringLiteral("FechaAlta")).setAsDateTime(QDateTime::currentDateTime());
    } else if (state() == fw::DataSetState::Edit) {
        fieldByName(QStringLiteral("UsuarioModificacion")).setAsInteger(IdUsuarioActivo);
        fieldByName(QStringLiteral("FechaModificacion")).setAsDateTime(QDateTime::currentDateTime());
    }
}

void TlxIBDataSet::doBeforeOpen()
{
    lxcomun::MostrarCursorEspera();
    try {
        if (PrimeraVez) {
            m_listaAccesos = ListaAccesosGlobal;
            m_listaCampos = lxcomun::EnlazarDescriptoresCampos(*this, m_listaAccesos, MayusculasClave::Locale);
        }
        PrimeraVez = false;
    } catch (const fw::Abort &) {
        lxcomun::RestaurarCursor();
        throw;
    } catch (...) {
        const QString texto = lxcomun::TextoError(std::current_exception());
        lxcomun::RestaurarCursor();
        fw::ui::dialogs().inform(texto);
    }
    try {
        fw::SqlDataSet::doBeforeOpen();
    } catch (...) {
        lxcomun::RestaurarCursor();
        throw;
    }
}

void TlxIBDataSet::internalOpen()
{
    try {
        fw::SqlDataSet::internalOpen();
    } catch (...) {
        lxcomun::RestaurarCursor();
        throw;
    }
}

void TlxIBDataSet::doAfterOpen()
{
    fw::SqlDataSet::doAfterOpen();
    lxcomun::RestaurarCursor();
    FModificado = false;
    fw::host::trimWorkingSet();
}

void TlxIBDataSet::doAfterClose()
{
    unprepare();
    fw::SqlDataSet::doAfterClose();
    if (fw::Transaction *t = transaction();
        t != nullptr && t->active() && ControlTransacciones && !m_cierreSinCommit)
        t->commitRetaining();
    fw::host::trimWorkingSet();
}

void TlxIBDataSet::transactionEnding() noexcept
{
    m_cierreSinCommit = true;
    fw::SqlDataSet::transactionEnding();
    m_cierreSinCommit = false;
}

void TlxIBDataSet::releaseHandles() noexcept
{
    m_cierreSinCommit = true;
    fw::SqlDataSet::releaseHandles();
    m_cierreSinCommit = false;
}

void TlxIBDataSet::doBeforeInsert()
{
    if (ControlTransacciones && CommitOnPost)
        FModificado = true;
    fw::SqlDataSet::doBeforeInsert();
}

void TlxIBDataSet::doAfterInsert()
{
    EstadoAnterior = 1;
    fw::SqlDataSet::doAfterInsert();
}

void TlxIBDataSet::doBeforeEdit()
{
    FModificado = true;
    if (ControlTransacciones && CommitOnPost)
        Commit(false);
    fw::SqlDataSet::doBeforeEdit();
}

void TlxIBDataSet::doAfterEdit()
{
    EstadoAnterior = 2;
    fw::SqlDataSet::doAfterEdit();
}

void TlxIBDataSet::doOnNewRecord()
{
    for (const auto &f : fields())
        if (f->kind() == fw::FieldKind::Data && f->isFloat() && f->isNull())
            f->setValue(0.0);
    fw::SqlDataSet::doOnNewRecord();
}

void TlxIBDataSet::doBeforePost()
{
    FModificado = true;
    AnularCadenasVacias();
    EstadoAnterior = state() == fw::DataSetState::Insert ? 1 : state() == fw::DataSetState::Edit ? 2 : 0;
    if (ControlAuditoria)
        RellenarCamposAuditoria();
    fw::SqlDataSet::doBeforePost();
}

void TlxIBDataSet::doAfterPost()
{
    lxcomun::RestaurarCursor();
    if (ControlTransacciones && CommitOnPost)
        Commit(AvisoCommit);
    fw::SqlDataSet::doAfterPost();
}

void TlxIBDataSet::doBeforeCancel()
{
    FModificado = false;
    fw::SqlDataSet::doBeforeCancel();
}

void TlxIBDataSet::doBeforeDelete()
{
    if (m_quitandoInsertado)
        return;
    if (state() == fw::DataSetState::Edit || state() == fw::DataSetState::Insert)
        cancel();
    EstoyEnBorrado = true;
    FModificado = true;
    if (ControlTransacciones)
        Commit(false);
    try {
        fw::SqlDataSet::doBeforeDelete();
    } catch (...) {
        EstoyEnBorrado = false; // the owner stopped the delete
        throw;
    }
}

void TlxIBDataSet::internalDelete(const fw::Record &record)
{
    if (m_quitandoInsertado)
        return;
    try {
        fw::SqlDataSet::internalDelete(record);
    } catch (...) {
        // A failed delete is over too: scrolling commits again.
        EstoyEnBorrado = false;
        lxcomun::RestaurarCursor();
        throw;
    }
}

void TlxIBDataSet::doAfterDelete()
{
    if (m_quitandoInsertado)
        return;
    lxcomun::RestaurarCursor();
    Borrado();
    EstoyEnBorrado = false;
    fw::SqlDataSet::doAfterDelete();
}

void TlxIBDataSet::doBeforeScroll()
{
    fw::SqlDataSet::doBeforeScroll();
    if (CommitOnScroll && ControlTransacciones && !EstoyEnBorrado)
        Commit(AvisoCommit);
}
