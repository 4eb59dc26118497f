#pragma once
#include <QObject>
#include <QString>

#include <cstdint>
#include <vector>

namespace fw {
class Field;
}

/// One entry of the access list: a field key (data set name + field name, upper
/// case, no separator) and its access level.
class TNivelAccesoCampo
{
public:
    QString Campo;
    std::int32_t NivelAcceso = 4;
};

/// The access list. Owns its entries; keys need not be unique (the first match wins).
class TListaAccesoCampos
{
public:
    TListaAccesoCampos() = default;
    ~TListaAccesoCampos();
    TListaAccesoCampos(const TListaAccesoCampos &) = delete;
    TListaAccesoCampos &operator=(const TListaAccesoCampos &) = delete;

    /// Appends the entry; the list owns it from then on.
    void Agregar(TNivelAccesoCampo *AccesoCampo);
    /// Level of the first entry whose key equals `Campo` ignoring case; 4 when none.
    std::int32_t NivelAcceso(const QString &Campo) const;
    /// Frees every entry, last to first, and leaves the list empty.
    void DestruirLista();
    int Count() const { return int(m_entradas.size()); }

private:
    std::vector<TNivelAccesoCampo *> m_entradas;
};

/// Process-wide access list hook: starts empty and nothing in the module fills
/// it. Data sets copy the reference at their first open and never own it.
extern TListaAccesoCampos *ListaAccesosGlobal;

/// Display kind of a descriptor, as the field-text handler shows the value.
/// Any other 32-bit value is kept and shows only the fixed texts.
enum TlxTipoCampo : std::int32_t {
    tcTexto = 0,     ///< the field's own text
    tcImporte = 1,   ///< amount: value divided by CambioMoneda, through the number mask
    tcNumero = 2,    ///< number through the number mask
    tcNumero3 = 3,   ///< as tcNumero
    tcTexto4 = 4,    ///< as tcTexto
    tcSinValor5 = 5, ///< only the fixed texts
    tcFecha = 6,     ///< "dd/mm/yyyy"
    tcTexto7 = 7,    ///< as tcTexto
    tcFechaHora = 8, ///< "dd/mm/yyyy hh:nn"
    tcHora = 9,      ///< "hh:nn"
};

/// Display descriptor of one field: display kind, number mask, currency divisor,
/// fixed texts and access level. Owned by the data set whose field it describes.
class TlxCampo : public QObject
{
    Q_OBJECT
public:
    explicit TlxCampo(QObject *AOwner = nullptr);

    TlxTipoCampo Tipo = tcTexto;
    std::int32_t AccesoVisualizacion = 4;
    QString TextoNoAccesoVisualizacion = QStringLiteral("*");
    double CambioMoneda = 0;
    std::int32_t Decimales = 2;
    bool SeparadorMiles = true;
    QString TextoFijoAnterior;
    QString TextoFijoPosterior;
    QString MascaraVisualizacion;
    bool GetText = false;
    fw::Field *Field = nullptr; // never owned

    void SetNivelAcceso(const TListaAccesoCampos *ListaCampos, const QString &Campo);
};

/// The descriptors of one data set, in field order at the moment it was built.
/// Frees its descriptors (first to last) when destroyed.
class TlxListaCampos
{
public:
    TlxListaCampos() = default;
    ~TlxListaCampos();
    TlxListaCampos(const TlxListaCampos &) = delete;
    TlxListaCampos &operator=(const TlxListaCampos &) = delete;

    void Agregar(TlxCampo *campo) { m_campos.push_back(campo); }
    int Count() const { return int(m_campos.size()); }
    TlxCampo *Items(int i) const { return m_campos.at(std::size_t(i)); }
    const std::vector<TlxCampo *> &Campos() const { return m_campos; }

private:
    std::vector<TlxCampo *> m_campos;
};
