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

QString ClaveCampo(const QString &nombreDataSet, const QString &nombreCampo, MayusculasClave regla)
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

void RellenarlxCampo(TlxCampo &campo, std::int32_t Tipo, std::int32_t AccesoVisualizacion,
                     const QString &TextoNoAccesoVisualizacion, double CambioMoneda, std::int32_t Decimales,
                     bool SeparadorMiles, const QString &TextoFijoAnterior, const QString &TextoFijoPosterior,
                     bool GetText, bool mascaraFechaTipo6)
{
    campo.Tipo = Tipo;
    if (AccesoVisualizacion != -1)
        campo.AccesoVisualizacion = AccesoVisualizacion;
    campo.TextoNoAccesoVisualizacion = TextoNoAccesoVisualizacion;
    campo.CambioMoneda = CambioMoneda;
    campo.Decimales = Decimales;
    campo.SeparadorMiles = SeparadorMiles;
    campo.TextoFijoAnterior = TextoFijoAnterior;
    campo.TextoFijoPosterior = TextoFijoPosterior;
    campo.GetText = GetText;
    if (Tipo == 1 || Tipo == 2 || Tipo == 3) {
        QString mascara = SeparadorMiles ? QStringLiteral("#,##0") : QStringLiteral("#0");
        if (Decimales > 0)
            mascara += QLatin1Char('.') + QString(Decimales, QLatin1Char('0'));
        campo.MascaraVisualizacion = mascara;
    } else if (Tipo == 6 && mascaraFechaTipo6) {
        campo.MascaraVisualizacion = QStringLiteral("dd/mm/yyyy");
    }
}
