#include "framework/db/DataSet.h"

#include "framework/db/DataSource.h"
#include "framework/base/Error.h"

#include <algorithm>

namespace fw {

namespace {

QString notEditingMessage(const DataSet &ds)
{
    return ds.objectName().isEmpty()
               ? QStringLiteral("El conjunto de datos no está en modo de edición o inserción")
               : QStringLiteral("%1: el conjunto de datos no está en modo de edición o inserción").arg(ds.objectName());
}

// Restores a state flag on every path out of a scope.
template <typename T>
struct Restore
{
    T &ref;
    T saved;
    ~Restore() { ref = saved; }
};

} // namespace

QStringList splitFieldNames(const QString &names)
{
    QStringList out;
    for (const QString &n : names.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString t = n.trimmed();
        if (!t.isEmpty())
            out << t;
    }
    return out;
}

DataSet::DataSet(QObject *parent) : QObject(parent) {}

DataSet::~DataSet()
{
    for (DataSource *s : std::vector<DataSource *>(m_sources))
        s->setDataSet(nullptr);
}

// --- fields -------------------------------------------------------------------

Field &DataSet::addField(const FieldDef &def)
{
    checkInactive();
    if (def.name.trimmed().isEmpty())
        throw Error(QStringLiteral("Un campo necesita un nombre"));
    if (findField(def.name))
        throw Error(QStringLiteral("El campo %1 ya existe").arg(def.name));
    // Fields made at a previous open are gone while inactive, so every field here is declared.
    auto field = std::make_unique<Field>(*this, def, true);
    m_computedFields = m_computedFields || def.kind != FieldKind::Data;
    field->m_index = int(m_fields.size());
    m_fieldsByName.add(field->fieldName(), field->m_index);
    m_fields.push_back(std::move(field));
    return *m_fields.back();
}

Field &DataSet::addField(const QString &name, FieldType type, int size, FieldKind kind)
{
    FieldDef def;
    def.name = name;
    def.type = type;
    def.size = size;
    def.kind = kind;
    return addField(def);
}

Field &DataSet::makeField(const FieldDef &def)
{
    auto field = std::make_unique<Field>(*this, def, false);
    m_computedFields = m_computedFields || def.kind != FieldKind::Data;
    field->m_index = int(m_fields.size());
    m_fieldsByName.add(field->fieldName(), field->m_index);
    m_fields.push_back(std::move(field));
    return *m_fields.back();
}

void DataSet::clearFields()
{
    checkInactive();
    m_fieldsByName.clear();
    m_fields.clear();
    m_computedFields = false;
}

void DataSet::destroyMadeFields()
{
    const auto made = std::remove_if(m_fields.begin(), m_fields.end(), [](const auto &f) { return !f->isDeclared(); });
    if (made != m_fields.end()) {
        m_fields.erase(made, m_fields.end());
        m_fieldsByName.clear();
        m_computedFields = false;
        for (size_t i = 0; i < m_fields.size(); ++i) {
            m_fields[i]->m_index = int(i);
            m_fieldsByName.add(m_fields[i]->fieldName(), int(i));
            m_computedFields = m_computedFields || m_fields[i]->kind() != FieldKind::Data;
        }
    }
}

bool DataSet::hasDeclaredFields() const
{
    return std::any_of(m_fields.begin(), m_fields.end(), [](const auto &f) { return f->isDeclared(); });
}

Field *DataSet::findField(const QString &name) const
{
    const int i = m_fieldsByName.find(name.trimmed());
    return i < 0 ? nullptr : m_fields[size_t(i)].get();
}

Field &DataSet::fieldByName(const QString &name) const
{
    if (Field *f = findField(name))
        return *f;
    if (objectName().isEmpty())
        throw Error(QStringLiteral("Campo '%1' no encontrado").arg(name));
    throw Error(QStringLiteral("%1: Campo '%2' no encontrado").arg(objectName(), name));
}

QStringList DataSet::fieldNames() const
{
    QStringList out;
    for (const auto &f : m_fields)
        out << f->fieldName();
    return out;
}

std::vector<Field *> DataSet::fieldList(const QString &names) const
{
    std::vector<Field *> out;
    for (const QString &n : splitFieldNames(names))
        out.push_back(&fieldByName(n));
    return out;
}

QVariant DataSet::fieldValues(const QString &names) const
{
    const auto fields = fieldList(names);
    if (fields.size() == 1)
        return fields.front()->value();
    QVariantList out;
    for (Field *f : fields)
        out << f->value();
    return out;
}

// --- record buffers -------------------------------------------------------------

Record DataSet::newRecordBuffer() const
{
    Record r;
    r.values.resize(m_fields.size());
    return r;
}

Record *DataSet::activeRecord()
{
    switch (m_state) {
    case DataSetState::Edit:
    case DataSetState::Insert:
        return &m_editBuffer;
    case DataSetState::SetKey:
        return &m_keyBuffer;
    case DataSetState::CalcFields:
        return m_calcBuffer;
    case DataSetState::Browse:
        return m_current >= 0 && size_t(m_current) < m_records.size() ? &m_records[size_t(m_current)] : nullptr;
    case DataSetState::Inactive:
        return nullptr;
    }
    return nullptr;
}

const Record *DataSet::activeRecord() const
{
    return const_cast<DataSet *>(this)->activeRecord();
}

const Record *DataSet::currentStoredRecord() const
{
    return m_current >= 0 && size_t(m_current) < m_records.size() ? &m_records[size_t(m_current)] : nullptr;
}

QVariant DataSet::fieldValue(const Field &field) const
{
    const Record *r = activeRecord();
    if (!r || size_t(field.index()) >= r->values.size())
        return QVariant();
    return detail::outward(r->values[size_t(field.index())]);
}

QVariant DataSet::oldFieldValue(const Field &field) const
{
    if (m_state == DataSetState::Edit) {
        const Record *r = currentStoredRecord();
        return r ? detail::outward(r->values[size_t(field.index())]) : QVariant();
    }
    if (m_state == DataSetState::Insert)
        return QVariant();
    return fieldValue(field);
}

void DataSet::setFieldValue(Field &field, const QVariant &value)
{
    const bool computed = field.kind() != FieldKind::Data;
    switch (m_state) {
    case DataSetState::Edit:
    case DataSetState::Insert:
    case DataSetState::SetKey:
        break;
    case DataSetState::CalcFields:
        if (computed)
            break;
        [[fallthrough]];
    default:
        throw Error(notEditingMessage(*this));
    }
    if (field.readOnly() && !computed && m_state != DataSetState::SetKey)
        throw Error(QStringLiteral("El campo %1 no se puede modificar").arg(field.fieldName()));
    Record *r = activeRecord();
    if (!r)
        throw Error(notEditingMessage(*this));
    r->values[size_t(field.index())] = field.convert(value);
    if (m_state == DataSetState::CalcFields)
        return;
    if (m_state != DataSetState::SetKey)
        m_modified = true;
    if (field.onChange)
        field.onChange(field);
    if (!computed && m_autoCalcFields && (m_state == DataSetState::Edit || m_state == DataSetState::Insert))
        calculateFields(m_editBuffer);
    dataEvent(DataEvent::FieldChange, &field);
}

void DataSet::calculateFields(Record &record)
{
    if (!onCalcFields && !m_computedFields)
        return;
    Restore<DataSetState> state{m_state, m_state};
    Restore<Record *> buffer{m_calcBuffer, m_calcBuffer};
    m_calcBuffer = &record;
    m_state = DataSetState::CalcFields;
    for (const auto &f : m_fields) {
        if (f->kind() == FieldKind::Data)
            continue;
        QVariant &slot = record.values[size_t(f->index())];
        slot = QVariant();
        if (f->kind() == FieldKind::Lookup) {
            DataSet *source = f->lookupDataSet();
            if (!source || !source->active() || f->keyFields().isEmpty())
                continue;
            QVariantList keys;
            bool allSet = true;
            for (const QString &k : splitFieldNames(f->keyFields())) {
                const QVariant v = detail::outward(record.values[size_t(fieldByName(k).index())]);
                allSet = allSet && !v.isNull();
                keys << v;
            }
            if (allSet) {
                const QVariant found = source->lookup(f->lookupKeyFields(),
                                                      keys.size() == 1 ? keys.front() : QVariant(keys),
                                                      f->lookupResultField());
                slot = f->convert(found);
            }
        }
    }
    doOnCalcFields();
}

// --- life cycle ---------------------------------------------------------------

void DataSet::checkActive() const
{
    if (!active())
        throw Error(objectName().isEmpty()
                        ? QStringLiteral("No se puede realizar esta operación en un conjunto de datos cerrado")
                        : QStringLiteral("%1: no se puede realizar esta operación en un conjunto de datos cerrado")
                              .arg(objectName()));
}

void DataSet::checkInactive() const
{
    if (active())
        throw Error(objectName().isEmpty()
                        ? QStringLiteral("No se puede realizar esta operación en un conjunto de datos abierto")
                        : QStringLiteral("%1: no se puede realizar esta operación en un conjunto de datos abierto")
                              .arg(objectName()));
}

void DataSet::setState(DataSetState state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged(state);
    dataEvent(DataEvent::UpdateState);
}

void DataSet::open()
{
    if (active())
        return;
    doBeforeOpen();
    m_records.clear();
    m_current = -1;
    m_eof = m_bof = true;
    m_sourceDone = false;
    m_modified = false;
    try {
        internalOpen();
        m_state = DataSetState::Browse;
        resetCursor();
    } catch (...) {
        // Whatever stopped the open, the data set stays closed, then the error goes on.
        m_state = DataSetState::Inactive;
        internalClose();
        m_records.clear();
        m_current = -1;
        destroyMadeFields();
        throw;
    }
    emit stateChanged(m_state);
    emit opened();
    dataEvent(DataEvent::UpdateState);
    dataEvent(DataEvent::DataSetChange);
    doAfterOpen();
    doAfterScroll();
}

void DataSet::close()
{
    if (!active())
        return;
    doBeforeClose();
    internalClose();
    m_records.clear();
    m_records.shrink_to_fit();
    m_spare = Record();
    m_editBuffer = Record();
    m_keyBuffer = Record();
    m_current = -1;
    m_eof = m_bof = true;
    m_sourceDone = true;
    m_modified = false;
    destroyMadeFields();
    setState(DataSetState::Inactive);
    emit closed();
    dataEvent(DataEvent::DataSetChange);
    doAfterClose();
}

void DataSet::refresh()
{
    checkActive();
    checkBrowseMode();
    doBeforeRefresh();
    const int wanted = std::max(m_current, 0);
    internalClose();
    m_records.clear();
    m_current = -1;
    m_sourceDone = false;
    try {
        internalOpen();
        resetCursor();
        if (!m_uniDirectional && wanted > 0) {
            fetchUntil(wanted);
            if (!m_records.empty()) {
                m_current = std::min(wanted, int(m_records.size()) - 1);
                m_bof = m_current == 0;
            }
        }
    } catch (...) {
        // Whatever stopped the reopen, the source is gone: the data set cannot stay open on it.
        internalClose();
        m_records.clear();
        m_current = -1;
        destroyMadeFields();
        setState(DataSetState::Inactive);
        dataEvent(DataEvent::DataSetChange);
        throw;
    }
    dataEvent(DataEvent::DataSetChange);
    doAfterRefresh();
}

// --- reading records ------------------------------------------------------------

bool DataSet::fetchOne()
{
    if (m_sourceDone)
        return false;
    if (!m_uniDirectional) {
        Record r = newRecordBuffer();
        if (!readRecord(r))
            return false;
        m_records.push_back(std::move(r));
        return true;
    }
    // Forward-only, the row is read into the buffer of the record before the
    // current one, whose values of the same types are overwritten in place:
    // memory stays flat however many are read, and a row allocates nothing.
    if (m_spare.values.size() != m_fields.size())
        m_spare.values.assign(m_fields.size(), QVariant());
    if (!readRecord(m_spare))
        return false;
    if (m_records.empty()) {
        m_records.push_back(std::move(m_spare));
    } else {
        m_records.front().values.swap(m_spare.values);
        std::swap(m_records.front().id, m_spare.id);
    }
    return true;
}

bool DataSet::readRecord(Record &record)
{
    if (!fetchRecord(record)) {
        m_sourceDone = true;
        return false;
    }
    record.id = m_nextId++;
    calculateFields(record);
    return true;
}

void DataSet::fetchUntil(int index)
{
    while (!m_sourceDone && int(m_records.size()) <= index) {
        const int chunk = std::max(1, fetchChunk());
        for (int i = 0; i < chunk; ++i)
            if (!fetchOne())
                break;
    }
}

void DataSet::fetchAll()
{
    checkActive();
    if (m_uniDirectional)
        throw Error(QStringLiteral("Operación no admitida en un conjunto de datos unidireccional"));
    while (fetchOne()) {
    }
}

void DataSet::resetCursor()
{
    m_uniPosition = 0;
    if (m_uniDirectional) {
        fetchOne();
    } else {
        fetchUntil(0);
    }
    m_current = m_records.empty() ? -1 : 0;
    m_bof = true;
    m_eof = m_records.empty();
}

void DataSet::setUniDirectional(bool v)
{
    checkInactive();
    m_uniDirectional = v;
}

bool DataSet::isEmpty() const
{
    if (!active())
        return true;
    if (m_state == DataSetState::Insert)
        return false;
    return m_records.empty();
}

int DataSet::recNo() const
{
    if (!active())
        return 0;
    if (m_state == DataSetState::Insert)
        return m_insertAt + 1;
    if (m_current < 0)
        return 0;
    return m_uniDirectional ? m_uniPosition + 1 : m_current + 1;
}

void DataSet::setRecNo(int recNo)
{
    moveBy(recNo - this->recNo());
}

int DataSet::recordCount() const
{
    if (!active())
        return 0;
    if (m_uniDirectional)
        return m_records.empty() ? 0 : m_uniPosition + 1;
    return int(m_records.size());
}

// --- navigation -------------------------------------------------------------------

void DataSet::setCurrent(int index)
{
    m_current = index;
}

void DataSet::first()
{
    checkActive();
    checkBrowseMode();
    doBeforeScroll();
    if (m_uniDirectional) {
        if (m_uniPosition != 0)
            throw Error(QStringLiteral("Operación no admitida en un conjunto de datos unidireccional"));
    } else {
        fetchUntil(0);
        m_current = m_records.empty() ? -1 : 0;
    }
    m_bof = true;
    m_eof = m_records.empty();
    dataEvent(DataEvent::DataSetScroll);
    doAfterScroll();
}

void DataSet::last()
{
    checkActive();
    checkBrowseMode();
    doBeforeScroll();
    if (m_uniDirectional) {
        while (fetchOne())
            ++m_uniPosition;
        m_current = m_records.empty() ? -1 : 0;
    } else {
        while (fetchOne()) {
        }
        m_current = int(m_records.size()) - 1;
    }
    m_eof = true;
    m_bof = m_records.empty();
    dataEvent(DataEvent::DataSetScroll);
    doAfterScroll();
}

void DataSet::next()
{
    moveBy(1);
}

void DataSet::prior()
{
    moveBy(-1);
}

int DataSet::moveBy(int distance)
{
    checkActive();
    checkBrowseMode();
    if (distance == 0)
        return 0;
    if (distance < 0 && m_uniDirectional)
        throw Error(QStringLiteral("Operación no admitida en un conjunto de datos unidireccional"));
    if ((distance > 0 && m_eof) || (distance < 0 && m_bof))
        return 0;
    doBeforeScroll();
    int moved = 0;
    if (distance > 0) {
        m_bof = false;
        while (moved < distance) {
            if (m_uniDirectional) {
                if (!fetchOne()) {
                    m_eof = true;
                    break;
                }
                ++m_uniPosition;
            } else {
                fetchUntil(m_current + 1);
                if (m_current + 1 >= int(m_records.size())) {
                    m_eof = true;
                    break;
                }
                ++m_current;
            }
            ++moved;
        }
    } else {
        m_eof = false;
        while (moved > distance) {
            if (m_current <= 0) {
                m_bof = true;
                break;
            }
            --m_current;
            --moved;
        }
    }
    dataEvent(DataEvent::DataSetScroll);
    doAfterScroll();
    return moved;
}

bool DataSet::matches(const Record &record, const std::vector<Field *> &fields, const QVariantList &values,
                      LocateOptions options) const
{
    const Qt::CaseSensitivity cs =
        options.testFlag(LocateOption::CaseInsensitive) ? Qt::CaseInsensitive : Qt::CaseSensitive;
    for (size_t i = 0; i < fields.size(); ++i) {
        const QVariant have = detail::outward(record.values[size_t(fields[i]->index())]);
        const QVariant &want = values[int(i)];
        if (want.isNull()) {
            if (!have.isNull())
                return false;
            continue;
        }
        if (have.isNull())
            return false;
        if (fields[i]->isText() || want.typeId() == QMetaType::QString) {
            const QString a = have.toString();
            const QString b = want.toString();
            const bool partial = options.testFlag(LocateOption::PartialKey);
            if (partial ? !a.startsWith(b, cs) : a.compare(b, cs) != 0) {
                // A string sought in a number field is compared by value, not by text.
                if (fields[i]->isText())
                    return false;
                QVariant converted;
                try {
                    converted = fields[i]->convert(want);
                } catch (const Error &) {
                    return false;
                }
                if (converted != have)
                    return false;
            }
            continue;
        }
        QVariant converted;
        try {
            converted = fields[i]->convert(want);
        } catch (const Error &) {
            return false;
        }
        if (converted != have)
            return false;
    }
    return true;
}

int DataSet::findRecord(const std::vector<Field *> &fields, const QVariantList &values, LocateOptions options,
                        int from)
{
    for (int i = from;; ++i) {
        fetchUntil(i);
        if (i >= int(m_records.size()))
            return -1;
        if (matches(m_records[size_t(i)], fields, values, options))
            return i;
    }
}

bool DataSet::locate(const QString &keyFields, const QVariant &keyValues, LocateOptions options)
{
    checkActive();
    checkBrowseMode();
    const auto fields = fieldList(keyFields);
    const QVariantList values = fields.size() == 1 ? QVariantList{keyValues} : keyValues.toList();
    if (fields.empty() || values.size() != int(fields.size()))
        throw Error(QStringLiteral("Número de valores de búsqueda incorrecto para %1").arg(keyFields));
    if (m_uniDirectional) {
        // Forward only: the current record and those after it.
        while (!m_eof && !m_records.empty()) {
            if (matches(m_records.front(), fields, values, options)) {
                dataEvent(DataEvent::DataSetScroll);
                return true;
            }
            next();
        }
        return false;
    }
    const int found = findRecord(fields, values, options, 0);
    if (found < 0)
        return false;
    doBeforeScroll();
    m_current = found;
    m_bof = m_eof = false;
    dataEvent(DataEvent::DataSetScroll);
    doAfterScroll();
    return true;
}

QVariant DataSet::lookup(const QString &keyFields, const QVariant &keyValues, const QString &resultFields)
{
    checkActive();
    if (m_uniDirectional)
        throw Error(QStringLiteral("Operación no admitida en un conjunto de datos unidireccional"));
    const auto fields = fieldList(keyFields);
    const QVariantList values = fields.size() == 1 ? QVariantList{keyValues} : keyValues.toList();
    if (fields.empty() || values.size() != int(fields.size()))
        throw Error(QStringLiteral("Número de valores de búsqueda incorrecto para %1").arg(keyFields));
    const auto results = fieldList(resultFields);
    const int found = findRecord(fields, values, {}, 0);
    if (found < 0)
        return QVariant();
    const Record &r = m_records[size_t(found)];
    if (results.size() == 1)
        return detail::outward(r.values[size_t(results.front()->index())]);
    QVariantList out;
    for (Field *f : results)
        out << detail::outward(r.values[size_t(f->index())]);
    return out;
}

Bookmark DataSet::bookmark() const
{
    const Record *r = currentStoredRecord();
    return active() && r ? r->id : 0;
}

bool DataSet::bookmarkValid(Bookmark bookmark) const
{
    return bookmark != 0
           && std::any_of(m_records.begin(), m_records.end(), [&](const Record &r) { return r.id == bookmark; });
}

void DataSet::gotoBookmark(Bookmark bookmark)
{
    checkActive();
    checkBrowseMode();
    const auto it =
        std::find_if(m_records.begin(), m_records.end(), [&](const Record &r) { return r.id == bookmark; });
    if (bookmark == 0 || it == m_records.end())
        throw Error(QStringLiteral("Registro no encontrado"));
    doBeforeScroll();
    m_current = int(it - m_records.begin());
    m_bof = m_eof = false;
    dataEvent(DataEvent::DataSetScroll);
    doAfterScroll();
}

// --- editing ------------------------------------------------------------------------

void DataSet::checkBrowseMode()
{
    checkActive();
    if (m_state == DataSetState::Edit || m_state == DataSetState::Insert) {
        dataEvent(DataEvent::UpdateRecord);
        if (m_modified)
            post();
        else
            cancel();
    } else if (m_state == DataSetState::SetKey) {
        cancel();
    }
}

void DataSet::edit()
{
    checkActive();
    if (m_state == DataSetState::Edit || m_state == DataSetState::Insert)
        return;
    if (!canModify())
        throw Error(QStringLiteral("No se puede modificar un conjunto de datos de solo lectura"));
    if (isEmpty()) {
        insert();
        return;
    }
    checkBrowseMode();
    doBeforeEdit();
    m_editBuffer = *currentStoredRecord();
    m_modified = false;
    setState(DataSetState::Edit);
    dataEvent(DataEvent::RecordChange);
    doAfterEdit();
}

void DataSet::insert()
{
    checkActive();
    checkBrowseMode();
    if (!canModify())
        throw Error(QStringLiteral("No se puede modificar un conjunto de datos de solo lectura"));
    doBeforeInsert();
    doBeforeScroll();
    m_insertAt = std::max(m_current, 0);
    if (m_uniDirectional)
        m_insertAt = 0;
    beginNewRecord();
}

void DataSet::append()
{
    checkActive();
    checkBrowseMode();
    if (!canModify())
        throw Error(QStringLiteral("No se puede modificar un conjunto de datos de solo lectura"));
    doBeforeInsert();
    doBeforeScroll();
    if (!m_uniDirectional)
        while (fetchOne()) {
        }
    m_insertAt = m_uniDirectional ? 0 : int(m_records.size());
    beginNewRecord();
}

void DataSet::beginNewRecord()
{
    m_editBuffer = newRecordBuffer();
    m_editBuffer.id = m_nextId++;
    setState(DataSetState::Insert);
    try {
        doOnNewRecord();
    } catch (...) {
        // A new-record handler that fails or aborts leaves no half-made record behind.
        m_editBuffer = Record();
        setState(DataSetState::Browse);
        dataEvent(DataEvent::DataSetChange);
        throw;
    }
    m_modified = false;
    if (m_autoCalcFields)
        calculateFields(m_editBuffer);
    dataEvent(DataEvent::DataSetChange);
    doAfterInsert();
    doAfterScroll();
}

void DataSet::checkRequiredFields()
{
    for (const auto &f : m_fields) {
        if (f->kind() == FieldKind::Data && f->required() && m_editBuffer.values[size_t(f->index())].isNull())
            throw Error(QStringLiteral("Se necesita un valor para el campo '%1'").arg(f->displayLabel()));
    }
}

void DataSet::post()
{
    checkActive();
    if (m_state == DataSetState::SetKey) {
        setState(DataSetState::Browse);
        return;
    }
    if (m_state != DataSetState::Edit && m_state != DataSetState::Insert)
        return;
    dataEvent(DataEvent::UpdateRecord);
    doBeforePost();
    checkRequiredFields();
    const bool inserting = m_state == DataSetState::Insert;
    const Record *old = inserting ? nullptr : currentStoredRecord();
    internalPost(m_editBuffer, old, inserting);
    calculateFields(m_editBuffer);
    if (m_uniDirectional) {
        m_records.assign(1, std::move(m_editBuffer));
        m_current = 0;
    } else if (inserting) {
        const int at = std::clamp(m_insertAt, 0, int(m_records.size()));
        m_records.insert(m_records.begin() + at, std::move(m_editBuffer));
        m_current = at;
    } else {
        m_records[size_t(m_current)] = std::move(m_editBuffer);
    }
    m_editBuffer = Record();
    m_modified = false;
    m_eof = m_bof = false;
    setState(DataSetState::Browse);
    dataEvent(DataEvent::DataSetChange);
    doAfterPost();
}

void DataSet::cancel()
{
    checkActive();
    if (m_state == DataSetState::SetKey) {
        m_keyBuffer = Record();
        setState(DataSetState::Browse);
        return;
    }
    if (m_state != DataSetState::Edit && m_state != DataSetState::Insert)
        return;
    doBeforeCancel();
    m_editBuffer = Record();
    m_modified = false;
    if (m_records.empty())
        m_eof = m_bof = true;
    setState(DataSetState::Browse);
    dataEvent(DataEvent::DataSetChange);
    doAfterCancel();
}

void DataSet::remove()
{
    checkActive();
    if (m_state == DataSetState::Insert || m_state == DataSetState::SetKey) {
        cancel();
        return;
    }
    if (m_records.empty() || m_current < 0)
        throw Error(QStringLiteral("No se puede borrar: el conjunto de datos está vacío"));
    if (!canModify())
        throw Error(QStringLiteral("No se puede modificar un conjunto de datos de solo lectura"));
    doBeforeDelete();
    doBeforeScroll();
    internalDelete(m_records[size_t(m_current)]);
    if (m_state == DataSetState::Edit) {
        m_editBuffer = Record();
        m_modified = false;
        setState(DataSetState::Browse);
    }
    m_records.erase(m_records.begin() + m_current);
    if (m_uniDirectional) {
        if (fetchOne())
            ++m_uniPosition;
    } else {
        fetchUntil(m_current);
    }
    if (m_current >= int(m_records.size()))
        m_current = int(m_records.size()) - 1;
    m_eof = m_bof = m_records.empty();
    dataEvent(DataEvent::DataSetChange);
    doAfterDelete();
    doAfterScroll();
}

void DataSet::setKey()
{
    checkActive();
    checkBrowseMode();
    m_keyBuffer = newRecordBuffer();
    setState(DataSetState::SetKey);
}

bool DataSet::gotoKey()
{
    if (m_state != DataSetState::SetKey)
        throw Error(QStringLiteral("El conjunto de datos no está en modo de búsqueda por clave"));
    QStringList names;
    QVariantList values;
    for (const auto &f : m_fields) {
        const QVariant v = detail::outward(m_keyBuffer.values[size_t(f->index())]);
        if (!v.isNull()) {
            names << f->fieldName();
            values << v;
        }
    }
    m_keyBuffer = Record();
    setState(DataSetState::Browse);
    if (names.isEmpty())
        return false;
    return locate(names.join(QLatin1Char(';')), values.size() == 1 ? values.front() : QVariant(values));
}

void DataSet::clearRecords()
{
    m_records.clear();
    m_current = -1;
    m_eof = m_bof = true;
    dataEvent(DataEvent::DataSetChange);
}

void DataSet::replaceCurrentRecord(const Record &record)
{
    if (m_current < 0 || size_t(m_current) >= m_records.size())
        return;
    Record &target = m_records[size_t(m_current)];
    const Bookmark id = target.id;
    target = record;
    target.id = id;
    calculateFields(target);
    dataEvent(DataEvent::RecordChange);
}

void DataSet::appendStoredRecord(Record record)
{
    record.values.resize(m_fields.size());
    record.id = m_nextId++;
    calculateFields(record);
    m_records.push_back(std::move(record));
    if (m_current < 0) {
        m_current = 0;
        m_eof = m_bof = false;
    }
}

// --- data sources -------------------------------------------------------------------

void DataSet::disableControls()
{
    ++m_disableCount;
}

void DataSet::enableControls()
{
    if (m_disableCount == 0)
        return;
    if (--m_disableCount == 0 && m_pendingChange) {
        m_pendingChange = false;
        dataEvent(DataEvent::UpdateState);
        dataEvent(DataEvent::DataSetChange);
    }
}

void DataSet::addDataSource(DataSource *source)
{
    if (std::find(m_sources.begin(), m_sources.end(), source) == m_sources.end())
        m_sources.push_back(source);
}

void DataSet::removeDataSource(DataSource *source) noexcept
{
    m_sources.erase(std::remove(m_sources.begin(), m_sources.end(), source), m_sources.end());
}

void DataSet::dataEvent(DataEvent event, Field *field)
{
    if (m_state == DataSetState::CalcFields)
        return;
    if (m_disableCount > 0 && event != DataEvent::UpdateRecord) {
        m_pendingChange = true;
        return;
    }
    for (DataSource *s : std::vector<DataSource *>(m_sources))
        s->notify(event, field);
}

// --- hooks ----------------------------------------------------------------------------

#define FW_HOOK(hook, handler)                                                                                       \
    void DataSet::hook()                                                                                             \
    {                                                                                                                \
        if (handler)                                                                                                 \
            handler(*this);                                                                                          \
    }

FW_HOOK(doBeforeOpen, beforeOpen)
FW_HOOK(doAfterOpen, afterOpen)
FW_HOOK(doBeforeClose, beforeClose)
FW_HOOK(doAfterClose, afterClose)
FW_HOOK(doBeforeInsert, beforeInsert)
FW_HOOK(doAfterInsert, afterInsert)
FW_HOOK(doBeforeEdit, beforeEdit)
FW_HOOK(doAfterEdit, afterEdit)
FW_HOOK(doBeforePost, beforePost)
FW_HOOK(doAfterPost, afterPost)
FW_HOOK(doBeforeCancel, beforeCancel)
FW_HOOK(doAfterCancel, afterCancel)
FW_HOOK(doBeforeDelete, beforeDelete)
FW_HOOK(doAfterDelete, afterDelete)
FW_HOOK(doBeforeScroll, beforeScroll)
FW_HOOK(doAfterScroll, afterScroll)
FW_HOOK(doBeforeRefresh, beforeRefresh)
FW_HOOK(doAfterRefresh, afterRefresh)
FW_HOOK(doOnNewRecord, onNewRecord)
FW_HOOK(doOnCalcFields, onCalcFields)

#undef FW_HOOK

} // namespace fw
