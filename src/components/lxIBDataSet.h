#pragma once
#include "components/lxDataSetComun.h"
#include "components/lxDescriptores.h"
#include "framework/db/SqlDataSet.h"

#include <QString>

#include <cstdint>

/// The library's editable data set. On top of fw::SqlDataSet it builds the
/// field descriptors at its first open, stores empty texts as NULL, stamps the
/// audit columns, and, when `ControlTransacciones` is on, commits the shared
/// transaction (retaining it) after posts, deletes or scrolls as its switches
/// say, optionally asking first; a declined commit rolls back and removes a
/// record that had just been inserted.
///
/// The descriptors (lx::Descriptores) are keyed by the object name, upper-cased
/// with the locale's rules.
class TlxIBDataSet : public fw::SqlDataSet, public lx::Descriptores
{
    Q_OBJECT
public:
    explicit TlxIBDataSet(QObject *AOwner = nullptr);
    ~TlxIBDataSet() override;

    // Settings (all off / empty unless set).
    QString TextoAvisoCommit;    ///< question asked before a commit when AvisoCommit is on
    bool AvisoCommit = false;    ///< commits after a post or a scroll ask TextoAvisoCommit first
    bool CommitOnScroll = false; ///< commit pending work before moving to another record
    QString TextoAvisoRollback;  ///< question asked before a rollback when one is asked for
    bool ControlTransacciones = false; ///< master switch of every commit this class makes
    bool CommitOnDelete = false; ///< commit after a delete
    bool CommitOnPost = false;   ///< commit after a post, and before an edit
    bool ControlAuditoria = false; ///< fill the audit columns before each post
    std::int32_t IdUsuarioActivo = -1; ///< user written into the audit columns

    bool EsCampoValido(const QString &NombreCampo) const;
    void GuardarXML(const QString &NombreFichero);

    /// Commits the transaction's work, keeping it open. True (and nothing done)
    /// when there is nothing of this data set to commit or ControlTransacciones
    /// is off. With `Aviso` and a question text, asks first; No rolls back and
    /// gives false. A failing commit gives false. Never raises.
    bool Commit(bool Aviso);
    /// Rolls the transaction's work back, keeping it open; false when there is
    /// nothing to roll back, ControlTransacciones is off or the user says No.
    /// A record just inserted leaves the data set too. Never raises.
    bool Rollback(bool Aviso);

    /// Marks that the transaction holds work of this data set.
    void EstadoModificado() { FModificado = true; }
    bool GetEstadoModificado() const { return FModificado; }
    void SetEstadoModificado(bool Estado) { FModificado = Estado; }
    /// After a delete: marks the work and commits it when CommitOnDelete is on.
    void Borrado();

    /// Sets every empty text data field to NULL.
    void AnularCadenasVacias();
    /// True when a field is named exactly USUARIOALTA or USUARIOMODIFICACION.
    bool ExistenCamposAuditoria() const;
    /// Writes the user and the time into the creation or modification columns.
    void RellenarCamposAuditoria();

    // Closing because the transaction ends or the connection goes away commits
    // nothing: the work follows the transaction's own end.
    void transactionEnding() noexcept override;
    void releaseHandles() noexcept override;

protected:
    void doBeforeOpen() override;
    void doAfterOpen() override;
    void doAfterClose() override;
    void doBeforeInsert() override;
    void doAfterInsert() override;
    void doBeforeEdit() override;
    void doAfterEdit() override;
    void doOnNewRecord() override;
    void doBeforePost() override;
    void doAfterPost() override;
    void doBeforeCancel() override;
    void doBeforeDelete() override;
    void doAfterDelete() override;
    void doBeforeScroll() override;
    void internalOpen() override;
    void internalDelete(const fw::Record &record) override;

private:
    bool preguntar(const QString &texto) const;

    lxcomun::CursorApertura m_cursorApertura;
    bool FModificado = false;
    bool EstoyEnBorrado = false;
    std::int32_t EstadoAnterior = 0;
    // Set while a rolled-back insert is taken out of the records kept: nothing
    // is sent to the server and no delete habit runs.
    bool m_quitandoInsertado = false;
    bool m_cierreSinCommit = false;
};
