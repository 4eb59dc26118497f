#pragma once
#include "components/lxCampo.h"
#include "framework/db/MemoryDataSet.h"

#include <QString>

#include <cstdint>
#include <memory>

/// The library's memory table. On top of fw::MemoryDataSet it builds the field
/// descriptors at its first open, starts every new record with 0 in its
/// floating-point and small-integer fields, and reports an error of its
/// before-open step as "Error en DoBeforeOpen: " and the error's text instead
/// of passing it on.
///
/// The descriptor list is owned by the table; the access list is the
/// process-wide one, taken by reference at the first open and never owned.
class TlxRxMemoryData : public fw::MemoryDataSet
{
    Q_OBJECT
public:
    explicit TlxRxMemoryData(QObject *AOwner = nullptr);
    ~TlxRxMemoryData() override;

    /// True until the first open has bound the descriptors.
    bool PrimeraVez = true;

    TlxListaCampos *ListaCampos() const { return m_listaCampos.get(); }
    /// Takes ownership; the previous list (and its descriptors) is freed.
    void SetListaCampos(TlxListaCampos *lista) { m_listaCampos.reset(lista); }
    TListaAccesoCampos *ListaAccesos() const { return m_listaAccesos; }
    void SetListaAccesos(TListaAccesoCampos *lista) { m_listaAccesos = lista; }

    TlxCampo *GetlxCampo(const fw::Field *Campo) const;
    /// As in the other data sets, and kind 6 also sets the mask "dd/mm/yyyy".
    /// Never raises.
    void SetlxCampo(const fw::Field *Campo, std::int32_t Tipo, std::int32_t AccesoVisualizacion,
                    const QString &TextoNoAccesoVisualizacion, double CambioMoneda, std::int32_t Decimales,
                    bool SeparadorMiles, const QString &TextoFijoAnterior, const QString &TextoFijoPosterior,
                    bool GetText) noexcept;
    bool EsCampoValido(const QString &NombreCampo) const;
    void GuardarXML(const QString &NombreFichero);

protected:
    void doBeforeOpen() override;
    void doOnNewRecord() override;
    void doBeforeDelete() override;

private:
    std::unique_ptr<TlxListaCampos> m_listaCampos;
    TListaAccesoCampos *m_listaAccesos = nullptr; // never owned
};
