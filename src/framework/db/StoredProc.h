#pragma once
#include "framework/db/Params.h"
#include "framework/db/SqlClient.h"

#include <QObject>

#include <memory>

namespace fw {

namespace detail {
class Statement;
}

/// Runs one stored procedure with EXECUTE PROCEDURE. prepare() reads the
/// procedure's input parameters from the database and its outputs from the
/// prepared call; input values set before prepare() are kept. After
/// execProc() the output parameters hold the procedure's results.
class StoredProc : public QObject, public SqlClient
{
    Q_OBJECT
public:
    explicit StoredProc(QObject *parent = nullptr);
    ~StoredProc() override;

    QString storedProcName() const { return m_name; }
    void setStoredProcName(const QString &name);

    /// Inputs first, then outputs (after prepare()).
    Params &params() { return m_params; }
    const Params &params() const { return m_params; }
    /// Prepares first when the parameter is unknown and the procedure is not
    /// prepared yet; throws fw::Error naming the parameter when absent.
    Param &paramByName(const QString &name);

    void prepare();
    void unprepare() noexcept;
    bool prepared() const;
    void execProc();

    /// Kept for symmetry with queries; a procedure call returns one row.
    int fetchSize() const { return m_fetchSize; }
    void setFetchSize(int size) { m_fetchSize = size; }

    void releaseHandles() noexcept override { unprepare(); }

private:
    QString m_name;
    Params m_params;
    QStringList m_inputs;
    std::unique_ptr<detail::Statement> m_statement;
    int m_fetchSize = 100;
};

} // namespace fw
