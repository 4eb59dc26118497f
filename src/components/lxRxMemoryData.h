#pragma once
#include "components/lxDescriptores.h"
#include "framework/db/MemoryDataSet.h"

#include <QString>

/// The library's memory table. On top of fw::MemoryDataSet it builds the field
/// descriptors at its first open, starts every new record with 0 in its
/// floating-point and small-integer fields, and reports an error of its
/// before-open step as "Error en DoBeforeOpen: " and the error's text instead
/// of passing it on.
///
/// The descriptors (lx::Descriptores) are keyed by the object name, upper-cased
/// A to Z only; kind 6 also sets the date mask, and filling a descriptor never raises.
class TlxRxMemoryData : public fw::MemoryDataSet, public lx::Descriptores
{
    Q_OBJECT
public:
    explicit TlxRxMemoryData(QObject *AOwner = nullptr);
    ~TlxRxMemoryData() override;

    bool EsCampoValido(const QString &NombreCampo) const;
    void GuardarXML(const QString &NombreFichero);

protected:
    void doBeforeOpen() override;
    void doOnNewRecord() override;
    void doBeforeDelete() override;
};
