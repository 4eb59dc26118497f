#include "framework/db/SqlDataSet.h"

#include "framework/base/Error.h"
#include "framework/db/Statement.h"

namespace fw {

SqlDataSet::SqlDataSet(QObject *parent)
    : SqlQuery(parent), m_modify(std::make_unique<detail::Statement>()),
      m_insert(std::make_unique<detail::Statement>()), m_delete(std::make_unique<detail::Statement>()),
      m_refresh(std::make_unique<detail::Statement>())
{
}

SqlDataSet::~SqlDataSet()
{
    freeWriteStatements();
}

void SqlDataSet::setModifySql(const QStringList &lines)
{
    m_modify->free();
    m_modifySql = lines;
}

void SqlDataSet::setInsertSql(const QStringList &lines)
{
    m_insert->free();
    m_insertSql = lines;
}

void SqlDataSet::setDeleteSql(const QStringList &lines)
{
    m_delete->free();
    m_deleteSql = lines;
}

void SqlDataSet::setRefreshSql(const QStringList &lines)
{
    m_refresh->free();
    m_refreshSql = lines;
}

bool SqlDataSet::canModify() const
{
    const auto given = [](const QStringList &l) { return !l.join(QString()).trimmed().isEmpty(); };
    return given(m_modifySql) || given(m_insertSql) || given(m_deleteSql);
}

void SqlDataSet::freeWriteStatements() noexcept
{
    m_modify->free();
    m_insert->free();
    m_delete->free();
    m_refresh->free();
}

void SqlDataSet::unprepare()
{
    SqlQuery::unprepare();
    freeWriteStatements();
}

void SqlDataSet::releaseHandles() noexcept
{
    SqlQuery::releaseHandles();
    freeWriteStatements();
}

void SqlDataSet::internalClose() noexcept
{
    SqlQuery::internalClose();
    m_refresh->closeCursor();
}

namespace {

// The value a write statement's parameter takes: a field of the record, or
// with the OLD_ prefix the field as the record was read.
QVariant parameterValue(const DataSet &ds, const Params &params, const QString &name, const Record &record,
                        const Record *old)
{
    if (const Field *f = ds.findField(name))
        return detail::outward(record.values[size_t(f->index())]);
    if (name.startsWith(QLatin1String("OLD_"), Qt::CaseInsensitive)) {
        if (const Field *f = ds.findField(name.mid(4))) {
            const Record &source = old ? *old : record;
            return detail::outward(source.values[size_t(f->index())]);
        }
    }
    if (const Param *p = params.find(name))
        return p->value();
    throw Error(ds.objectName().isEmpty()
                    ? QStringLiteral("Campo '%1' no encontrado").arg(name)
                    : QStringLiteral("%1: Campo '%2' no encontrado").arg(ds.objectName(), name));
}

} // namespace

void SqlDataSet::runWrite(detail::Statement &statement, const QStringList &lines, const Record &record,
                          const Record *old, const char *what)
{
    if (lines.join(QString()).trimmed().isEmpty())
        throw Error(QStringLiteral("No hay sentencia de %1 para %2")
                        .arg(QString::fromUtf8(what), objectName().isEmpty() ? QStringLiteral("el conjunto de datos")
                                                                             : objectName()));
    prepareStatement(statement, lines);
    Transaction &tra = checkedTransaction();
    const QStringList &positions = statement.positions();
    for (int i = 0; i < positions.size(); ++i)
        statement.setInput(i, parameterValue(*this, params(), positions[i], record, old));
    statement.execute(tra);
}

void SqlDataSet::readBack(Record &record, const Record *old)
{
    if (m_refreshSql.join(QString()).trimmed().isEmpty())
        return;
    prepareStatement(*m_refresh, m_refreshSql);
    Transaction &tra = checkedTransaction();
    const QStringList &positions = m_refresh->positions();
    for (int i = 0; i < positions.size(); ++i)
        m_refresh->setInput(i, parameterValue(*this, params(), positions[i], record, old));
    m_refresh->openCursor(tra);
    if (m_refresh->fetch()) {
        const auto &columns = m_refresh->columns();
        for (size_t c = 0; c < columns.size(); ++c) {
            Field *f = findField(columns[c].name);
            if (f && f->kind() == FieldKind::Data)
                record.values[size_t(f->index())] = f->convert(m_refresh->value(int(c)));
        }
    }
    m_refresh->closeCursor();
}

void SqlDataSet::internalPost(Record &record, const Record *old, bool inserting)
{
    if (inserting)
        runWrite(*m_insert, m_insertSql, record, nullptr, "inserción");
    else
        runWrite(*m_modify, m_modifySql, record, old, "modificación");
    readBack(record, old);
}

void SqlDataSet::internalDelete(const Record &record)
{
    runWrite(*m_delete, m_deleteSql, record, &record, "borrado");
}

void SqlDataSet::refreshRecord()
{
    checkActive();
    checkBrowseMode();
    const Record *current = currentStoredRecord();
    if (!current)
        return;
    Record copy = *current;
    readBack(copy, current);
    replaceCurrentRecord(copy);
}

} // namespace fw
