#pragma once
#include "framework/db/Columns.h"
#include "framework/db/SqlClient.h"

#include <QObject>
#include <QStringList>
#include <QVariant>

#include <memory>

namespace fw {

namespace detail {
class Statement;
}

/// A raw statement: the text is sent exactly as written, with no parameter
/// parsing, so DDL and procedure bodies full of `:NAME` references reach the
/// server unchanged. A select can be read row by row (the first row is
/// current right after execute()).
class SqlStatement : public QObject, public SqlClient
{
    Q_OBJECT
public:
    explicit SqlStatement(QObject *parent = nullptr);
    ~SqlStatement() override;

    /// Lines, sent joined by line breaks.
    QStringList sql() const { return m_sql; }
    void setSql(const QStringList &lines);
    void setSql(const QString &text);
    void addSql(const QString &line);
    void clearSql();
    QString sqlText() const { return m_sql.join(QLatin1Char('\n')); }

    void prepare();
    void unprepare() noexcept;
    bool prepared() const;

    /// Runs the statement (preparing it when needed). A select opens its
    /// cursor and reads the first row.
    void execute();
    /// Closes the cursor of a select, keeping the statement prepared.
    void close() noexcept;
    bool open() const { return m_open; }

    /// Result rows of a select.
    bool eof() const { return m_eof; }
    void next();
    int fieldCount() const;
    std::vector<ColumnInfo> columns() const;
    int fieldIndex(const QString &name) const; ///< case-insensitive, -1 when absent
    /// Value of the current row; null at eof. Throws fw::Error for an unknown column.
    QVariant value(int index) const;
    QVariant value(const QString &name) const;
    bool isNull(const QString &name) const { return value(name).isNull(); }

    /// Rows inserted, updated or deleted by the last execute().
    int rowsAffected() const { return m_rowsAffected; }

    void releaseHandles() noexcept override;
    void transactionEnding() noexcept override { close(); }

private:
    void fetchRow();

    QStringList m_sql;
    std::unique_ptr<detail::Statement> m_statement;
    std::vector<QVariant> m_row;
    bool m_open = false;
    bool m_eof = true;
    int m_rowsAffected = 0;
};

} // namespace fw
