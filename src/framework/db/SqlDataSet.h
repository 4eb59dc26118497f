#pragma once
#include "framework/db/SqlQuery.h"

namespace fw {

/// An editable SQL data set: a select plus the statements that write a posted
/// record back. Their parameters are field names (the record's current values)
/// and `OLD_<FIELD>` (the values as the record was read). After a post the
/// refresh statement, when given, reads the record back into the data set.
class SqlDataSet : public SqlQuery
{
    Q_OBJECT
public:
    explicit SqlDataSet(QObject *parent = nullptr);
    ~SqlDataSet() override;

    QStringList selectSql() const { return sql(); }
    void setSelectSql(const QStringList &lines) { setSql(lines); }
    QStringList modifySql() const { return m_modifySql; }
    void setModifySql(const QStringList &lines);
    QStringList insertSql() const { return m_insertSql; }
    void setInsertSql(const QStringList &lines);
    QStringList deleteSql() const { return m_deleteSql; }
    void setDeleteSql(const QStringList &lines);
    QStringList refreshSql() const { return m_refreshSql; }
    void setRefreshSql(const QStringList &lines);

    bool canModify() const override;

    /// Reads the current record again through the refresh statement.
    void refreshRecord();

    void unprepare() override;
    void releaseHandles() noexcept override;

protected:
    void internalPost(Record &record, const Record *old, bool inserting) override;
    void internalDelete(const Record &record) override;
    void internalClose() noexcept override;

private:
    void runWrite(detail::Statement &statement, const QStringList &lines, const Record &record,
                  const Record *old, const char *what);
    void readBack(Record &record, const Record *old);
    void freeWriteStatements() noexcept;

    QStringList m_modifySql, m_insertSql, m_deleteSql, m_refreshSql;
    std::unique_ptr<detail::Statement> m_modify, m_insert, m_delete, m_refresh;
};

} // namespace fw
