#include "framework/db/Statement.h"

#include "framework/db/Database.h"
#include "framework/base/Error.h"
#include "framework/base/PictureFormat.h"
#include "framework/db/Transaction.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <cmath>
#include <cstring>

namespace fw::detail {

namespace {

using Firebird::IStatus;

constexpr unsigned kCharsetNone = 0;
constexpr unsigned kCharsetLatin1 = 21;

double scaled(qint64 v, int scale)
{
    // Integer-based NUMERIC: the stored integer times 10^scale.
    return double(v) / std::pow(10.0, -scale);
}

FieldType fieldTypeOf(unsigned type, int scale, int subType)
{
    switch (type) {
    case SQL_TEXT:
    case SQL_VARYING:
        return FieldType::String;
    case SQL_SHORT:
        return scale < 0 ? FieldType::Bcd : FieldType::SmallInt;
    case SQL_LONG:
        return scale < 0 ? FieldType::Bcd : FieldType::Integer;
    case SQL_INT64:
        return scale < 0 ? FieldType::Bcd : FieldType::LargeInt;
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return FieldType::Float;
    case SQL_TIMESTAMP:
        return FieldType::DateTime;
    case SQL_TYPE_DATE:
        return FieldType::Date;
    case SQL_TYPE_TIME:
        return FieldType::Time;
    case SQL_BLOB:
        return subType == 1 ? FieldType::Memo : FieldType::Blob;
    case SQL_BOOLEAN:
        return FieldType::Boolean;
    default:
        return FieldType::Unknown;
    }
}

bool isIntegerVariant(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

// Firebird counts days from 1858-11-17 (Julian day 2400001) and time in 1/10000 s.
// Converted here rather than through IUtil: a client call per value costs more
// than the arithmetic.
constexpr qint64 kFirstJulianDay = 2400001;

ISC_DATE encodeDate(const QDate &d)
{
    return ISC_DATE(d.toJulianDay() - kFirstJulianDay);
}

ISC_TIME encodeTime(const QTime &t)
{
    return ISC_TIME(t.isValid() ? t.msecsSinceStartOfDay() * 10 : 0);
}

ISC_TIMESTAMP encodeTimestamp(const QDateTime &dt)
{
    ISC_TIMESTAMP ts;
    ts.timestamp_date = encodeDate(dt.date());
    ts.timestamp_time = encodeTime(dt.time());
    return ts;
}

QTime decodeTime(ISC_TIME time)
{
    return QTime::fromMSecsSinceStartOfDay(int(time / 10));
}

QDate decodeDate(ISC_DATE date)
{
    return QDate::fromJulianDay(qint64(date) + kFirstJulianDay);
}

} // namespace

QByteArray sqlBytes(const QString &sql)
{
    return fb::toLatin1(sql, QStringLiteral("de la sentencia SQL"));
}

Statement::~Statement()
{
    free();
}

void Statement::free() noexcept
{
    closeCursor();
    if (m_statement) {
        fb::QuietStatus quiet(m_link.get());
        fb::endQuietly(m_statement, quiet, [](Firebird::IStatement *s, fb::QuietStatus *st) { s->free(st); });
    }
    m_describedIn.reset();
    m_inMeta.reset();
    m_outMeta.reset();
    m_inTypes.clear();
    m_inBuffer.clear();
    m_outBuffer.clear();
    m_out.clear();
    m_columns.clear();
    m_columnsByName.clear();
    m_isSelect = false;
    m_canWrite = false;
    m_attachment = nullptr;
    m_transaction = nullptr;
    m_status.watch(nullptr);
    m_link.reset();
}

void Statement::prepare(Database &database, Transaction &transaction, const QString &sql,
                        const QStringList &positions)
{
    free();
    Firebird::IAttachment *attachment = database.checkedAttachment();
    Firebird::ITransaction *tra = transaction.checkedHandle();
    const QByteArray text = sqlBytes(sql);
    m_link = database.link();
    m_status.watch(m_link.get());

    // The plan comes in the same answer; it tells a select that may write from one that reads.
    fb::Ref<Firebird::IStatement> statement(
        attachment->prepare(&m_status, tra, unsigned(text.size()), text.constData(), 1,
                            Firebird::IStatement::PREPARE_PREFETCH_METADATA
                                | Firebird::IStatement::PREPARE_PREFETCH_DETAILED_PLAN));
    const unsigned type = statement->getType(&m_status);
    const bool isSelect = type == isc_info_sql_stmt_select || type == isc_info_sql_stmt_select_for_upd;
    bool canWrite = !isSelect || type == isc_info_sql_stmt_select_for_upd;
    if (!canWrite) {
        // A selectable procedure may write, a locking select does, and a select
        // block (EXECUTE BLOCK with RETURNS) has no plan to tell what its body does.
        const char *plan = statement->getPlan(&m_status, true);
        canWrite = plan == nullptr || *plan == '\0' || std::strstr(plan, "Procedure \"") != nullptr
                   || std::strstr(plan, "Write Lock") != nullptr;
    }
    fb::Ref<Firebird::IMessageMetadata> in(statement->getInputMetadata(&m_status));
    fb::Ref<Firebird::IMessageMetadata> out(statement->getOutputMetadata(&m_status));

    const unsigned inCount = in ? in->getCount(&m_status) : 0;
    if (int(inCount) != int(positions.size()))
        throw Error(QStringLiteral("La sentencia tiene %1 parámetros y se han nombrado %2")
                        .arg(inCount)
                        .arg(positions.size()));

    std::vector<ColumnInfo> columns;
    std::vector<OutColumn> outColumns;
    std::vector<unsigned char> outBuffer;
    const unsigned outCount = out ? out->getCount(&m_status) : 0;
    columns.reserve(outCount);
    outColumns.reserve(outCount);
    for (unsigned i = 0; i < outCount; ++i) {
        OutColumn c{};
        c.type = out->getType(&m_status, i) & ~1u;
        c.length = out->getLength(&m_status, i);
        c.scale = out->getScale(&m_status, i);
        c.subType = out->getSubType(&m_status, i);
        c.offset = out->getOffset(&m_status, i);
        c.nullOffset = out->getNullOffset(&m_status, i);
        ColumnInfo info;
        const char *alias = out->getAlias(&m_status, i);
        const char *field = out->getField(&m_status, i);
        const char *relation = out->getRelation(&m_status, i);
        info.nullable = out->isNullable(&m_status, i);
        info.charSet = out->getCharSet(&m_status, i);
        info.field = QString::fromLatin1(field ? field : "");
        info.name = QString::fromLatin1(alias && *alias ? alias : (field ? field : ""));
        info.relation = QString::fromLatin1(relation ? relation : "");
        info.sqlType = c.type;
        info.subType = c.subType;
        info.scale = c.type == SQL_SHORT || c.type == SQL_LONG || c.type == SQL_INT64 ? c.scale : 0;
        info.type = fieldTypeOf(c.type, info.scale, c.subType);
        info.size = int(c.length);
        columns.push_back(std::move(info));
        outColumns.push_back(c);
    }
    if (out) {
        outBuffer.assign(out->getMessageLength(&m_status), 0);
    }

    m_statement = std::move(statement);
    m_describedIn = std::move(in);
    m_outMeta = std::move(out);
    m_outBuffer = std::move(outBuffer);
    m_out = std::move(outColumns);
    m_columns = std::move(columns);
    m_columnsByName.clear();
    for (size_t i = 0; i < m_columns.size(); ++i)
        m_columnsByName.add(m_columns[i].name, int(i));
    m_sql = sql;
    m_positions = positions;
    m_inputs.resize(size_t(positions.size()));
    m_isSelect = isSelect;
    m_canWrite = canWrite;
    m_attachment = attachment;
}

int Statement::columnIndex(const QString &name) const
{
    return m_columnsByName.find(name);
}

void Statement::setInput(int position, const QVariant &value)
{
    m_inputs.at(size_t(position)) = value;
}

Statement::InputType Statement::inputTypeFor(int position, const QVariant &value, const QByteArray &text) const
{
    Firebird::IMessageMetadata *d = m_describedIn.get();
    const unsigned i = unsigned(position);
    InputType described;
    described.type = d->getType(&m_status, i) & ~1u;
    described.length = d->getLength(&m_status, i);
    described.scale = d->getScale(&m_status, i);
    described.charSet = d->getCharSet(&m_status, i);
    described.subType = d->getSubType(&m_status, i);

    if (value.isNull() || described.type == SQL_BLOB)
        return described;

    InputType t;
    switch (value.typeId()) {
    case QMetaType::Bool:
        t.type = described.type == SQL_BOOLEAN ? SQL_BOOLEAN : SQL_SHORT;
        t.length = described.type == SQL_BOOLEAN ? 1 : 2;
        return t;
    case QMetaType::Double:
    case QMetaType::Float:
        t.type = SQL_DOUBLE;
        t.length = 8;
        return t;
    case QMetaType::QDate:
    case QMetaType::QDateTime:
        t.type = SQL_TIMESTAMP;
        t.length = sizeof(ISC_TIMESTAMP);
        return t;
    case QMetaType::QTime:
        t.type = described.type == SQL_TYPE_TIME ? SQL_TYPE_TIME : SQL_TIMESTAMP;
        t.length = t.type == SQL_TYPE_TIME ? sizeof(ISC_TIME) : sizeof(ISC_TIMESTAMP);
        return t;
    default:
        break;
    }
    if (isIntegerVariant(value)) {
        t.type = SQL_INT64;
        t.length = 8;
        return t;
    }
    // Text: room for the longer of the value and the declared size, so a loop
    // of executions with texts of varying length keeps one message layout.
    t.type = SQL_VARYING;
    const unsigned declared = described.type == SQL_TEXT || described.type == SQL_VARYING ? described.length : 0;
    t.length = std::max<unsigned>({unsigned(text.size()), declared, 1u});
    t.charSet = value.typeId() == QMetaType::QByteArray ? kCharsetNone : kCharsetLatin1;
    return t;
}

void Statement::buildInput(Transaction &transaction)
{
    if (m_positions.isEmpty())
        return;
    const size_t n = m_inputs.size();
    std::vector<QByteArray> texts(n);
    std::vector<InputType> types(n);
    for (size_t i = 0; i < n; ++i) {
        const QVariant &v = m_inputs[i];
        if (!v.isNull()) {
            if (v.typeId() == QMetaType::QByteArray)
                texts[i] = v.toByteArray();
            else if (v.typeId() != QMetaType::Bool && v.typeId() != QMetaType::Double && v.typeId() != QMetaType::Float
                     && v.typeId() != QMetaType::QDate && v.typeId() != QMetaType::QDateTime
                     && v.typeId() != QMetaType::QTime && !isIntegerVariant(v))
                texts[i] = fb::toLatin1(v.toString(), QStringLiteral("del parámetro %1").arg(m_positions[int(i)]));
        }
        types[i] = inputTypeFor(int(i), v, texts[i]);
        // A VARCHAR message slot holds at most 32765 bytes; longer text would be cut short silently.
        if (types[i].type == SQL_VARYING && texts[i].size() > 32765)
            throw Error(QStringLiteral("El texto del parámetro %1 es demasiado largo (%2 caracteres; máximo 32765)")
                            .arg(m_positions[int(i)])
                            .arg(texts[i].size()));
    }

    if (!m_inMeta || types != m_inTypes) {
        fb::Ref<Firebird::IMetadataBuilder> builder(m_describedIn->getBuilder(&m_status));
        for (unsigned i = 0; i < n; ++i) {
            const InputType &t = types[i];
            builder->setType(&m_status, i, t.type | 1u);
            builder->setLength(&m_status, i, t.length);
            builder->setScale(&m_status, i, t.scale);
            builder->setCharSet(&m_status, i, t.charSet);
            builder->setSubType(&m_status, i, t.subType);
        }
        fb::Ref<Firebird::IMessageMetadata> meta(builder->getMetadata(&m_status));
        const unsigned length = meta->getMessageLength(&m_status);
        m_inMeta = std::move(meta);
        m_inTypes = types;
        m_inBuffer.assign(length, 0);
    }

    Firebird::IMessageMetadata *meta = m_inMeta.get();
    unsigned char *buffer = m_inBuffer.data();
    for (unsigned i = 0; i < n; ++i) {
        const QVariant &v = m_inputs[i];
        const unsigned offset = meta->getOffset(&m_status, i);
        const unsigned nullOffset = meta->getNullOffset(&m_status, i);
        auto *isNull = reinterpret_cast<short *>(buffer + nullOffset);
        unsigned char *data = buffer + offset;
        if (v.isNull()) {
            *isNull = -1;
            continue;
        }
        *isNull = 0;
        const InputType &t = types[i];
        switch (t.type) {
        case SQL_BLOB: {
            QByteArray bytes;
            if (v.typeId() == QMetaType::QByteArray)
                bytes = v.toByteArray();
            else
                bytes = fb::toLatin1(v.toString(), QStringLiteral("del parámetro %1").arg(m_positions[int(i)]));
            const ISC_QUAD id = writeBlob(transaction, bytes);
            std::memcpy(data, &id, sizeof id);
            break;
        }
        case SQL_BOOLEAN:
            *data = v.toBool() ? FB_TRUE : FB_FALSE;
            break;
        case SQL_SHORT: {
            const short s = v.toBool() ? 1 : 0;
            std::memcpy(data, &s, sizeof s);
            break;
        }
        case SQL_DOUBLE: {
            const double d = v.toDouble();
            std::memcpy(data, &d, sizeof d);
            break;
        }
        case SQL_INT64: {
            const qint64 x = v.toLongLong();
            std::memcpy(data, &x, sizeof x);
            break;
        }
        case SQL_TIMESTAMP: {
            const ISC_TIMESTAMP ts = encodeTimestamp(dateTimeOf(v));
            std::memcpy(data, &ts, sizeof ts);
            break;
        }
        case SQL_TYPE_TIME: {
            const ISC_TIME x = encodeTime(v.toTime());
            std::memcpy(data, &x, sizeof x);
            break;
        }
        case SQL_VARYING: {
            const QByteArray &bytes = texts[i];
            const unsigned short len = static_cast<unsigned short>(bytes.size());
            std::memcpy(data, &len, sizeof len);
            std::memcpy(data + sizeof len, bytes.constData(), size_t(bytes.size()));
            break;
        }
        default:
            throw Error(QStringLiteral("Tipo de parámetro no admitido en %1").arg(m_positions[int(i)]));
        }
    }
}

ISC_QUAD Statement::writeBlob(Transaction &transaction, const QByteArray &data)
{
    ISC_QUAD id{};
    fb::Ref<Firebird::IBlob> blob(m_attachment->createBlob(&m_status, transaction.checkedHandle(), &id, 0, nullptr));
    for (qsizetype pos = 0; pos < data.size(); pos += 32768) {
        const unsigned chunk = unsigned(std::min<qsizetype>(32768, data.size() - pos));
        blob->putSegment(&m_status, chunk, data.constData() + pos);
    }
    blob->close(&m_status);
    blob.release();
    return id;
}

QByteArray Statement::readBlob(const ISC_QUAD &id) const
{
    ISC_QUAD blobId = id;
    fb::Ref<Firebird::IBlob> blob(m_attachment->openBlob(&m_status, m_transaction, &blobId, 0, nullptr));
    QByteArray out;
    char buffer[32768];
    for (;;) {
        unsigned got = 0;
        // A failed read throws; anything else but a segment is the blob's end.
        const int rc = blob->getSegment(&m_status, sizeof buffer, buffer, &got);
        if (rc != IStatus::RESULT_OK && rc != IStatus::RESULT_SEGMENT)
            break;
        out.append(buffer, qsizetype(got));
    }
    // The text is read; a failure to close the blob after it costs nothing.
    fb::QuietStatus quiet(m_link.get());
    fb::endQuietly(blob, quiet, [](Firebird::IBlob *b, fb::QuietStatus *st) { b->close(st); });
    return out;
}

Firebird::ITransaction *Statement::beginRun(Transaction &transaction)
{
    if (!m_statement)
        throw Error(QStringLiteral("La sentencia no está preparada"));
    closeCursor();
    m_transaction = transaction.checkedHandle();
    buildInput(transaction);
    if (m_canWrite)
        transaction.noteWrite();
    return m_transaction;
}

void Statement::execute(Transaction &transaction)
{
    Firebird::ITransaction *tra = beginRun(transaction);
    m_statement->execute(&m_status, tra, m_inMeta.get(), m_inBuffer.empty() ? nullptr : m_inBuffer.data(),
                         m_outMeta.get(), m_outBuffer.empty() ? nullptr : m_outBuffer.data());
}

void Statement::openCursor(Transaction &transaction)
{
    Firebird::ITransaction *tra = beginRun(transaction);
    m_cursor.reset(m_statement->openCursor(&m_status, tra, m_inMeta.get(),
                                           m_inBuffer.empty() ? nullptr : m_inBuffer.data(), m_outMeta.get(), 0));
}

bool Statement::fetch()
{
    if (!m_cursor)
        return false;
    return m_cursor->fetchNext(&m_status, m_outBuffer.data()) == IStatus::RESULT_OK;
}

void Statement::closeCursor() noexcept
{
    if (!m_cursor)
        return;
    fb::QuietStatus quiet(m_link.get());
    fb::endQuietly(m_cursor, quiet, [](Firebird::IResultSet *c, fb::QuietStatus *st) { c->close(st); });
}

bool Statement::isNull(int column) const
{
    const OutColumn &c = m_out.at(size_t(column));
    return *reinterpret_cast<const short *>(m_outBuffer.data() + c.nullOffset) != 0;
}

QVariant Statement::value(int column) const
{
    QVariant v;
    readValue(column, v);
    return v;
}

namespace {

// A string overwrites the one `slot` holds in place, keeping its buffer when it
// is not shared; a row read into the same buffer then allocates nothing.
void putText(QVariant &slot, QLatin1StringView text)
{
    if (slot.typeId() == QMetaType::QString)
        *static_cast<QString *>(slot.data()) = text;
    else
        slot = QVariant(QString(text));
}

// Built from the milliseconds: cheaper than from a date and a time, and the same value.
QDateTime utcDateTime(const ISC_TIMESTAMP &ts)
{
    constexpr qint64 kEpochJulianDay = 2440588;
    const qint64 days = qint64(ts.timestamp_date) + kFirstJulianDay - kEpochJulianDay;
    return QDateTime::fromMSecsSinceEpoch(days * 86400000 + qint64(ts.timestamp_time / 10), Qt::UTC);
}

} // namespace

void Statement::readValue(int column, QVariant &slot) const
{
    const OutColumn &c = m_out.at(size_t(column));
    const unsigned char *data = m_outBuffer.data() + c.offset;
    if (*reinterpret_cast<const short *>(m_outBuffer.data() + c.nullOffset)) {
        slot = QVariant();
        return;
    }
    switch (c.type) {
    case SQL_TEXT: {
        // CHAR columns come blank-padded to their length; the padding is not part of the value.
        int len = int(c.length);
        const char *p = reinterpret_cast<const char *>(data);
        while (len > 0 && p[len - 1] == ' ')
            --len;
        putText(slot, QLatin1StringView(p, len));
        return;
    }
    case SQL_VARYING: {
        unsigned short len;
        std::memcpy(&len, data, sizeof len);
        putText(slot, QLatin1StringView(reinterpret_cast<const char *>(data + 2), len));
        return;
    }
    case SQL_SHORT: {
        short v;
        std::memcpy(&v, data, sizeof v);
        if (c.scale < 0)
            slot = QVariant(scaled(v, c.scale));
        else
            slot = QVariant(int(v));
        return;
    }
    case SQL_LONG: {
        qint32 v;
        std::memcpy(&v, data, sizeof v);
        if (c.scale < 0)
            slot = QVariant(scaled(v, c.scale));
        else
            slot = QVariant(int(v));
        return;
    }
    case SQL_INT64: {
        qint64 v;
        std::memcpy(&v, data, sizeof v);
        if (c.scale < 0)
            slot = QVariant(scaled(v, c.scale));
        else
            slot = QVariant(qlonglong(v));
        return;
    }
    case SQL_FLOAT: {
        float v;
        std::memcpy(&v, data, sizeof v);
        slot = QVariant(double(v));
        return;
    }
    case SQL_DOUBLE:
    case SQL_D_FLOAT: {
        // Dialect 1 NUMERIC(15,2) arrives here with a scale; the double already holds the value.
        double v;
        std::memcpy(&v, data, sizeof v);
        slot = QVariant(v);
        return;
    }
    case SQL_TIMESTAMP: {
        ISC_TIMESTAMP ts;
        std::memcpy(&ts, data, sizeof ts);
        // Wall-clock value; see detail::outward.
        slot = QVariant(utcDateTime(ts));
        return;
    }
    case SQL_TYPE_DATE: {
        ISC_DATE d;
        std::memcpy(&d, data, sizeof d);
        slot = QVariant(decodeDate(d));
        return;
    }
    case SQL_TYPE_TIME: {
        ISC_TIME t;
        std::memcpy(&t, data, sizeof t);
        slot = QVariant(decodeTime(t));
        return;
    }
    case SQL_BOOLEAN:
        slot = QVariant(*data != 0);
        return;
    case SQL_BLOB: {
        ISC_QUAD id;
        std::memcpy(&id, data, sizeof id);
        const QByteArray bytes = readBlob(id);
        slot = c.subType == 1 ? QVariant(QString::fromLatin1(bytes)) : QVariant(bytes);
        return;
    }
    default:
        slot = QVariant();
        return;
    }
}

int Statement::affected()
{
    if (!m_statement)
        return 0;
    fb::QuietStatus quiet(m_link.get());
    const ISC_UINT64 n = m_statement->getAffectedRecords(&quiet);
    return quiet.failed() ? 0 : int(n);
}

} // namespace fw::detail
