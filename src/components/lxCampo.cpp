#include "lxCampo.h"

TListaAccesoCampos *ListaAccesosGlobal = nullptr;

TListaAccesoCampos::~TListaAccesoCampos()
{
    DestruirLista();
}

void TListaAccesoCampos::Agregar(TNivelAccesoCampo *AccesoCampo)
{
    if (AccesoCampo != nullptr)
        m_entradas.push_back(AccesoCampo);
}

std::int32_t TListaAccesoCampos::NivelAcceso(const QString &Campo) const
{
    const QString clave = Campo.toUpper();
    for (const TNivelAccesoCampo *e : m_entradas)
        if (e->Campo.toUpper() == clave)
            return e->NivelAcceso;
    return 4;
}

void TListaAccesoCampos::DestruirLista()
{
    while (!m_entradas.empty()) {
        delete m_entradas.back();
        m_entradas.pop_back();
    }
}

TlxCampo::TlxCampo(QObject *AOwner) : QObject(AOwner) {}

void TlxCampo::SetNivelAcceso(const TListaAccesoCampos *ListaCampos, const QString &Campo)
{
    AccesoVisualizacion = ListaCampos ? ListaCampos->NivelAcceso(Campo) : 4;
}

TlxListaCampos::~TlxListaCampos()
{
    for (TlxCampo *c : m_campos)
        delete c;
    m_campos.clear();
}
