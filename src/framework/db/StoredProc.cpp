#include "framework/db/StoredProc.h"

#include "framework/base/Error.h"
#include "framework/db/Statement.h"

namespace fw {

StoredProc::StoredProc(QObject *parent) : QObject(parent), m_statement(std::make_unique<detail::Statement>()) {}

StoredProc::~StoredProc()
{
    m_statement->free();
}

void StoredProc::setStoredProcName(const QString &name)
{
    if (name == m_name)
        return;
    unprepare();
    m_name = name.trimmed();
    m_params.clear();
    m_inputs.clear();
}

bool StoredProc::prepared() const
{
    return m_statement->prepared();
}

void StoredProc::prepare()
{
    if (prepared())
        return;
    if (m_name.isEmpty())
        throw Error(QStringLiteral("No se ha indicado el nombre del procedimiento almacenado"));
    Database &db = checkedDatabase();
    Transaction &tra = checkedTransaction();

    // The inputs, in order, as the database declares them.
    QStringList inputs;
    {
        detail::Statement query;
        query.prepare(db, tra,
                      QStringLiteral("SELECT RDB$PARAMETER_NAME FROM RDB$PROCEDURE_PARAMETERS "
                                     "WHERE RDB$PROCEDURE_NAME = ? AND RDB$PARAMETER_TYPE = 0 "
                                     "ORDER BY RDB$PARAMETER_NUMBER"),
                      QStringList{QStringLiteral("NAME")});
        query.setInput(0, m_name.toUpper());
        query.openCursor(tra);
        while (query.fetch())
            inputs << query.value(0).toString().trimmed();
    }
    QString call = QStringLiteral("EXECUTE PROCEDURE ") + m_name;
    if (!inputs.isEmpty()) {
        QStringList marks;
        for (int i = 0; i < inputs.size(); ++i)
            marks << QStringLiteral("?");
        call += QLatin1Char('(') + marks.join(QStringLiteral(", ")) + QLatin1Char(')');
    }
    m_statement->prepare(db, tra, call, inputs);

    Params params;
    for (const QString &name : inputs) {
        Param &p = params.add(name, ParamDirection::Input);
        if (const Param *old = m_params.find(name))
            p.setValue(old->value());
    }
    for (const ColumnInfo &c : m_statement->columns())
        params.add(c.name, ParamDirection::Output);
    m_params = std::move(params);
    m_inputs = inputs;
}

void StoredProc::unprepare() noexcept
{
    m_statement->free();
}

Param &StoredProc::paramByName(const QString &name)
{
    if (Param *p = m_params.find(name))
        return *p;
    if (!prepared() && database() && database()->connected() && !m_name.isEmpty()) {
        prepare();
        if (Param *p = m_params.find(name))
            return *p;
    }
    return m_params.byName(name);
}

void StoredProc::execProc()
{
    prepare();
    Transaction &tra = checkedTransaction();
    for (int i = 0; i < m_inputs.size(); ++i) {
        const Param *p = m_params.find(m_inputs[i]);
        m_statement->setInput(i, p ? p->value() : QVariant());
    }
    m_statement->execute(tra);
    const auto &columns = m_statement->columns();
    for (size_t i = 0; i < columns.size(); ++i)
        for (Param &p : m_params)
            if (p.direction() == ParamDirection::Output && p.name().compare(columns[i].name, Qt::CaseInsensitive) == 0)
                p.setValue(detail::outward(m_statement->value(int(i))));
}

} // namespace fw
