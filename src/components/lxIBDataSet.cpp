#include "components/lxIBDataSet.h"

#include "components/lxDataSetComun.h"
#include "components/lxPaqueteXML.h"
#include "framework/base/Error.h"
#include "framework/host/HostPaths.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/Guard.h"

#include <QApplication>
#include <QDateTime>
#include <QScopeGuard>
#include <QScopedValueRollback>

using fw::ui::WaitCursor;

TlxIBDataSet::TlxIBDataSet(QObject *AOwner)
    : fw::SqlDataSet(AOwner), lx::Descriptores(*this, {lx::MayusculasClave::Locale, false})
{
    setUniDirectional(false);
    setFetchSize(100);
}

TlxIBDataSet::~TlxIBDataSet() = default;

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
    WaitCursor::restore();
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
        WaitCursor::restore();
        FModificado = false;
        return true;
    } catch (...) {
        // A commit the server refuses, or a question that cannot be shown, gives false: Commit never raises.
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
        // A question that cannot be shown declines the rollback: Rollback never raises.
        return false;
    }
    try {
        t->rollbackRetaining();
        fw::host::trimWorkingSet();
        WaitCursor::restore();
        FModificado = false;
        // The row the user added is gone from the database; it leaves the data set too.
        if (EstadoAnterior == 1 && active() && !isEmpty()) {
            const QScopedValueRollback quitando(m_quitandoInsertado, true);
            remove();
        }
    } catch (...) {
        // A rollback the server refuses, or a row that cannot be taken out, still answers true.
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
    for (const auto &f : fields())
        if (f->fieldName() == QLatin1String("USUARIOALTA") || f->fieldName() == QLatin1String("USUARIOMODIFICACION"))
            return true;
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
    m_cursorApertura.mostrar();
    m_cursorApertura.paso([&] {
        // Errors binding the descriptors (a lookup data set that fails to open) are shown, and the open goes on.
        lxcomun::MostrarErrores([&] { EnlazarDescriptoresCampos(); }, QString(),
                                [&] { m_cursorApertura.quitar(); });
        fw::SqlDataSet::doBeforeOpen();
    });
}

void TlxIBDataSet::internalOpen()
{
    m_cursorApertura.paso([&] { fw::SqlDataSet::internalOpen(); });
}

void TlxIBDataSet::doAfterOpen()
{
    // The owner's handler runs under the wait cursor, which goes even when the handler fails.
    m_cursorApertura.paso([&] { fw::SqlDataSet::doAfterOpen(); });
    m_cursorApertura.quitar();
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
    WaitCursor::restore();
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
    // An owner's handler that stops the delete ends it here.
    auto siSeDetiene = qScopeGuard([this] { EstoyEnBorrado = false; });
    fw::SqlDataSet::doBeforeDelete();
    siSeDetiene.dismiss();
}

void TlxIBDataSet::internalDelete(const fw::Record &record)
{
    if (m_quitandoInsertado)
        return;
    // A failed delete is over too: scrolling commits again.
    auto siFalla = qScopeGuard([this] {
        EstoyEnBorrado = false;
        WaitCursor::restore();
    });
    fw::SqlDataSet::internalDelete(record);
    siFalla.dismiss();
}

void TlxIBDataSet::doAfterDelete()
{
    if (m_quitandoInsertado)
        return;
    WaitCursor::restore();
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
