#pragma once
#include "components/lxCampo.h"
#include "framework/db/SqlQuery.h"

#include <QString>

#include <cstdint>
#include <memory>

/// The library's read-only query. On top of fw::SqlQuery it builds the field
/// descriptors at its first open, commits the shared transaction's work
/// (retaining it) and prepares before every open, unprepares after every
/// close, shows the SQL wait cursor while opening, and reports errors of its
/// before-open step in a message box instead of passing them on.
///
/// The descriptor list is owned by the query; the access list is the
/// process-wide one, taken by reference at the first open and never owned.
/// The object name is the component name the descriptor keys are built from.
class TlxIBQuery : public fw::SqlQuery
{
    Q_OBJECT
public:
    explicit TlxIBQuery(QObject *AOwner = nullptr);
    ~TlxIBQuery() override;

    /// True until the first open has bound the descriptors.
    bool PrimeraVez = true;

    TlxListaCampos *ListaCampos() const { return m_listaCampos.get(); }
    /// Takes ownership; the previous list (and its descriptors) is freed.
    void SetListaCampos(TlxListaCampos *lista) { m_listaCampos.reset(lista); }
    TListaAccesoCampos *ListaAccesos() const { return m_listaAccesos; }
    void SetListaAccesos(TListaAccesoCampos *lista) { m_listaAccesos = lista; }

    /// The descriptor of `Campo` (the field object itself); null before the first open or when none.
    TlxCampo *GetlxCampo(const fw::Field *Campo) const;
    /// Fills the descriptor of `Campo`; does nothing when it has none. A level of -1 keeps the current one.
    void SetlxCampo(const fw::Field *Campo, std::int32_t Tipo, std::int32_t AccesoVisualizacion,
                    const QString &TextoNoAccesoVisualizacion, double CambioMoneda, std::int32_t Decimales,
                    bool SeparadorMiles, const QString &TextoFijoAnterior, const QString &TextoFijoPosterior,
                    bool GetText);

    /// True when a field of that name exists, ignoring case.
    bool EsCampoValido(const QString &NombreCampo) const;
    /// True when the statement has a parameter of that name, ignoring case.
    bool EsParametroValido(const QString &NombreParametro) const;
    /// Prepares the statement unless it already is.
    void PrepararQuery();
    /// Writes every record as an XML data packet (errors go to the caller).
    void GuardarXML(const QString &NombreFichero);

protected:
    void doBeforeOpen() override;
    void doAfterOpen() override;
    void doAfterClose() override;
    void internalOpen() override;

private:
    std::unique_ptr<TlxListaCampos> m_listaCampos;
    TListaAccesoCampos *m_listaAccesos = nullptr; // never owned
};
