#pragma once
#include "components/lxDataSetComun.h"
#include "components/lxDescriptores.h"
#include "framework/db/SqlQuery.h"

#include <QString>

/// The library's read-only query. On top of fw::SqlQuery it builds the field
/// descriptors at its first open, commits the shared transaction's work
/// (retaining it) and prepares before every open, unprepares after every
/// close, shows the SQL wait cursor while opening, and reports errors of its
/// before-open step in a message box instead of passing them on.
///
/// The descriptors (lx::Descriptores) are keyed by the object name, upper-cased
/// A to Z only.
class TlxIBQuery : public fw::SqlQuery, public lx::Descriptores
{
    Q_OBJECT
public:
    explicit TlxIBQuery(QObject *AOwner = nullptr);
    ~TlxIBQuery() override;

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
    lxcomun::CursorApertura m_cursorApertura;
};
