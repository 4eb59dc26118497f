#pragma once
// Internal to the data access framework: one prepared Firebird statement with
// its input message (built from QVariant values) and its output buffer.
#include "framework/db/Columns.h"
#include "framework/db/FbApi.h"
#include "framework/db/NameIndex.h"

#include <QSharedPointer>
#include <QStringList>
#include <QVariant>

#include <vector>

namespace fw {
class Database;
class Transaction;
} // namespace fw

namespace fw::detail {

class Statement
{
public:
    Statement() = default;
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    /// Prepares `sql` (already with positional markers) in dialect 1.
    /// `positions` names every marker, for binding and for messages.
    void prepare(Database &database, Transaction &transaction, const QString &sql, const QStringList &positions);
    void free() noexcept;
    bool prepared() const { return bool(m_statement); }
    const QString &sql() const { return m_sql; }

    /// A select: rows come through a cursor.
    bool isSelect() const { return m_isSelect; }
    const std::vector<ColumnInfo> &columns() const { return m_columns; }
    /// The first column of that name, case-insensitive; -1 when absent.
    int columnIndex(const QString &name) const;
    const QStringList &positions() const { return m_positions; }
    int inputCount() const { return int(m_positions.size()); }

    /// Value for one marker; kept until changed.
    void setInput(int position, const QVariant &value);

    /// Runs a statement without cursor; procedure calls fill the output row.
    void execute(Transaction &transaction);
    void openCursor(Transaction &transaction);
    /// Next row into the output buffer; false at the end.
    bool fetch();
    void closeCursor() noexcept;
    bool cursorOpen() const { return bool(m_cursor); }

    /// Decodes a column of the current output row.
    QVariant value(int column) const;
    /// The same into `slot`, overwriting a value of the same type in place, so
    /// a buffer read row after row keeps its storage.
    void readValue(int column, QVariant &slot) const;
    bool isNull(int column) const;
    /// Rows changed by the last execute.
    int affected();

private:
    struct InputType
    {
        unsigned type = 0;
        unsigned length = 0;
        int scale = 0;
        unsigned charSet = 0;
        int subType = 0;
        bool operator==(const InputType &) const = default;
    };
    struct OutColumn
    {
        unsigned type;
        unsigned length;
        int scale;
        int subType;
        unsigned offset;
        unsigned nullOffset;
    };

    /// What execute and openCursor share: checks, closes the cursor, binds the inputs.
    Firebird::ITransaction *beginRun(Transaction &transaction);
    void buildInput(Transaction &transaction);
    InputType inputTypeFor(int position, const QVariant &value, const QByteArray &text) const;
    ISC_QUAD writeBlob(Transaction &transaction, const QByteArray &data);
    QByteArray readBlob(const ISC_QUAD &id) const;

    QString m_sql;
    QStringList m_positions;
    std::vector<QVariant> m_inputs;
    fb::Ref<Firebird::IStatement> m_statement;
    fb::Ref<Firebird::IMessageMetadata> m_describedIn;
    fb::Ref<Firebird::IMessageMetadata> m_inMeta;
    fb::Ref<Firebird::IMessageMetadata> m_outMeta;
    fb::Ref<Firebird::IResultSet> m_cursor;
    std::vector<InputType> m_inTypes;
    std::vector<unsigned char> m_inBuffer;
    std::vector<unsigned char> m_outBuffer;
    std::vector<OutColumn> m_out;
    std::vector<ColumnInfo> m_columns;
    NameIndex m_columnsByName;
    bool m_isSelect = false;
    bool m_canWrite = false; // anything but a select that only reads tables
    // One status for every throwing call, so fetching a row allocates none.
    mutable fb::Status m_status;
    Firebird::IAttachment *m_attachment = nullptr;
    Firebird::ITransaction *m_transaction = nullptr;
    // Kept while prepared: the status reports a lost connection to it.
    QSharedPointer<fb::Link> m_link;
};

/// A statement's text in ISO 8859-1, refusing characters it cannot hold.
QByteArray sqlBytes(const QString &sql);

} // namespace fw::detail
