#include "components/lxIBQuery.h"

#include "components/lxPaqueteXML.h"
#include "framework/host/HostPaths.h"

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
    m_cursorApertura.mostrar();
    m_cursorApertura.paso([&] {
        EnlazarDescriptoresCampos();
        // Errors of the commit, the prepare or the owner's handler are shown, and the open goes on.
        lxcomun::MostrarErrores(
            [&] {
                // Work posted by other data sets on the shared transaction becomes visible to this select.
                if (fw::Transaction *t = transaction(); t != nullptr && t->active())
                    t->commitRetaining();
                PrepararQuery();
                fw::SqlQuery::doBeforeOpen();
            },
            QString(), [&] { m_cursorApertura.quitar(); });
    });
}

void TlxIBQuery::internalOpen()
{
    m_cursorApertura.paso([&] { fw::SqlQuery::internalOpen(); });
}

void TlxIBQuery::doAfterOpen()
{
    m_cursorApertura.quitar();
    fw::host::trimWorkingSet();
    fw::SqlQuery::doAfterOpen();
}

void TlxIBQuery::doAfterClose()
{
    unprepare();
    fw::SqlQuery::doAfterClose();
}
