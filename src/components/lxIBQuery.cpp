#include "components/lxIBQuery.h"

#include "components/lxDataSetComun.h"
#include "components/lxPaqueteXML.h"
#include "framework/base/Error.h"
#include "framework/host/HostPaths.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/Guard.h"

#include <QScopeGuard>

TlxIBQuery::TlxIBQuery(QObject *AOwner)
    : fw::SqlQuery(AOwner), lx::Descriptores(*this, {lx::MayusculasClave::SoloAZ, false})
{
    setUniDirectional(false);
    setFetchSize(100);
}

TlxIBQuery::~TlxIBQuery() = default;

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
    m_esperaApertura.emplace();
    // An open that stops here has no after-open step to put the normal cursor back.
    auto siSeDetiene = qScopeGuard([this] { m_esperaApertura.reset(); });
    EnlazarDescriptoresCampos();
    try {
        // Work posted by other data sets on the shared transaction becomes visible to this select.
        if (fw::Transaction *t = transaction(); t != nullptr && t->active())
            t->commitRetaining();
        PrepararQuery();
        fw::SqlQuery::doBeforeOpen();
    } catch (const fw::Abort &) {
        throw;
    } catch (...) {
        // Any error of the commit, the prepare or the owner's handler is shown here and the open goes on.
        const QString texto = fw::ui::errorText(std::current_exception());
        m_esperaApertura.reset();
        fw::ui::dialogs().inform(texto);
    }
    siSeDetiene.dismiss();
}

void TlxIBQuery::internalOpen()
{
    // A failed open has no after-open step to put the normal cursor back.
    auto siFalla = qScopeGuard([this] { m_esperaApertura.reset(); });
    fw::SqlQuery::internalOpen();
    siFalla.dismiss();
}

void TlxIBQuery::doAfterOpen()
{
    m_esperaApertura.reset();
    fw::host::trimWorkingSet();
    fw::SqlQuery::doAfterOpen();
}

void TlxIBQuery::doAfterClose()
{
    unprepare();
    fw::SqlQuery::doAfterClose();
}
