#pragma once
#include "framework/db/StoredProc.h"

/// The library's stored procedure: commits the shared transaction's work
/// (retaining it) before preparing and after executing, shows the SQL wait
/// cursor while it runs, and is unprepared after every execution, failed or not.
class TlxIBStoredProc : public fw::StoredProc
{
    Q_OBJECT
public:
    explicit TlxIBStoredProc(QObject *AOwner = nullptr);
    ~TlxIBStoredProc() override;

    /// Commit-retaining when the transaction is active, then prepare. The
    /// prepare runs even when the commit failed; that error then reaches the caller.
    void Preparar();
    /// Executes, commits retaining, trims memory; always unprepares and restores
    /// the cursor. Errors reach the caller unchanged.
    void Ejecutar();
};
