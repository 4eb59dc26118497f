#pragma once
#include "framework/db/Columns.h"
#include "framework/db/DataSet.h"
#include "framework/db/Params.h"
#include "framework/db/SqlClient.h"

#include <QStringList>

#include <memory>

namespace fw {

namespace detail {
class Statement;
}

/// A select with `:NAME` parameters over a Database and Transaction.
///
/// Opening prepares the statement when needed (it stays prepared until
/// unprepare() or a change of text), binds the parameters by name (every
/// occurrence of a name takes its one value) and reads records from the
/// server fetchSize() at a time, keeping them so the cursor can go back. A
/// uni-directional query keeps only the current record. A query is read-only.
class SqlQuery : public DataSet, public SqlClient
{
    Q_OBJECT
public:
    explicit SqlQuery(QObject *parent = nullptr);
    ~SqlQuery() override;

    /// Statement lines, sent joined by line breaks. Setting them unprepares
    /// the statement and rebuilds the parameter list (values of names that
    /// remain are kept).
    QStringList sql() const { return m_sql; }
    void setSql(const QStringList &lines);
    void setSql(const QString &text);
    void addSql(const QString &line);
    void clearSql();
    QString sqlText() const { return m_sql.join(QLatin1Char('\n')); }

    Params &params() { return m_params; }
    const Params &params() const { return m_params; }
    /// Case-insensitive; throws fw::Error naming the parameter when absent.
    Param &paramByName(const QString &name) { return m_params.byName(name); }
    QStringList paramNames() const { return m_params.names(); }

    void prepare();
    /// Frees the prepared statement(s); an open query is closed first.
    virtual void unprepare();
    bool prepared() const;

    /// Records read from the server at a time (default 100).
    int fetchSize() const { return m_fetchSize; }
    void setFetchSize(int size) { m_fetchSize = size < 1 ? 1 : size; }

    /// Runs a statement that returns no records (insert, update, delete, DDL
    /// with parameters); the data set stays closed.
    void execSql();
    int rowsAffected() const { return m_rowsAffected; }

    /// Columns of the prepared select.
    std::vector<ColumnInfo> columns() const;

    bool canModify() const override { return false; }

    DataSet *asDataSet() noexcept override { return this; }
    void releaseHandles() noexcept override;
    void transactionEnding() noexcept override;

protected:
    void internalOpen() override;
    void internalClose() noexcept override;
    bool fetchRecord(Record &record) override;
    int fetchChunk() const override { return m_fetchSize; }

    /// The text this data set selects with (SqlDataSet: its select statement).
    virtual QStringList selectLines() const { return m_sql; }
    /// Called when the select text changed.
    void selectChanged();

    /// Prepares `statement` for `text` (with named parameters) unless it already is.
    void prepareStatement(detail::Statement &statement, const QStringList &lines);
    /// Values for every parameter position of `statement` from `params`.
    void bindParams(detail::Statement &statement, const Params &params);
    detail::Statement &selectStatement() { return *m_statement; }

private:
    QStringList m_sql;
    Params m_params;
    std::unique_ptr<detail::Statement> m_statement;
    std::vector<std::pair<int, int>> m_columnToField; // (column, field index)
    std::vector<bool> m_convert;                      // per mapped column: declared type differs
    int m_fetchSize = 100;
    int m_rowsAffected = 0;
};

} // namespace fw
