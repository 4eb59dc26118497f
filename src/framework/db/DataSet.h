#pragma once
#include "framework/db/Field.h"
#include "framework/db/NameIndex.h"

#include <QFlags>
#include <QObject>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

namespace fw {

class DataSource;

enum class DataSetState { Inactive, Browse, Edit, Insert, SetKey, CalcFields };

enum class LocateOption { CaseInsensitive = 0x1, PartialKey = 0x2 };
Q_DECLARE_FLAGS(LocateOptions, LocateOption)

/// Identifies a record for gotoBookmark; 0 is no bookmark.
using Bookmark = qint64;

/// What a data set tells its data sources.
enum class DataEvent {
    FieldChange,    ///< a field of the current record changed (field given)
    RecordChange,   ///< the current record's values changed as a whole
    DataSetChange,  ///< opened, closed, refreshed, rows added or removed
    DataSetScroll,  ///< another record became current
    LayoutChange,   ///< fields were added, removed or changed
    UpdateRecord,   ///< about to post: controls write their pending text
    UpdateState,    ///< the state changed
};

/// One record: a value per field, in field order (null = invalid QVariant),
/// plus its bookmark.
struct Record
{
    std::vector<QVariant> values;
    Bookmark id = 0;
};

/// The data-set life cycle shared by SQL queries, editable SQL data sets and
/// memory tables.
///
/// Fields are either declared in code before the first open (they live as
/// long as the data set and only columns with a declared field are shown) or,
/// when none is declared, made at open from the source's columns and
/// destroyed at close. Each step runs a virtual hook (doBeforeOpen(),
/// doAfterPost(), doOnNewRecord(), ...) whose base implementation calls the
/// owner's handler (beforeOpen, afterPost, onNewRecord, ...); subclasses
/// override a hook and call the base where their order says. Throwing
/// fw::Abort from a before-hook cancels the step silently (the exception
/// reaches the caller, who ignores it).
///
/// Records fetched are kept so the cursor can go back, unless the data set
/// is uni-directional, in which case only the current record is kept and
/// moving back raises fw::Error.
class DataSet : public QObject
{
    Q_OBJECT
public:
    explicit DataSet(QObject *parent = nullptr);
    ~DataSet() override;

    using Handler = std::function<void(DataSet &)>;

    // --- fields -----------------------------------------------------------
    /// Declares a field; only while inactive. Returns the field, owned by the data set.
    Field &addField(const FieldDef &def);
    Field &addField(const QString &name, FieldType type, int size = 0, FieldKind kind = FieldKind::Data);
    /// Removes every declared field; only while inactive.
    void clearFields();
    int fieldCount() const { return int(m_fields.size()); }
    Field &field(int index) const { return *m_fields.at(size_t(index)); }
    const std::vector<std::unique_ptr<Field>> &fields() const { return m_fields; }
    /// Case-insensitive; null when absent.
    Field *findField(const QString &name) const;
    /// Case-insensitive; throws fw::Error "Campo 'X' no encontrado" when absent.
    Field &fieldByName(const QString &name) const;
    QStringList fieldNames() const;
    /// Values of several fields (";"-separated names): one value, or a QVariantList.
    QVariant fieldValues(const QString &names) const;
    /// True when the fields were declared in code (not made at open).
    bool hasDeclaredFields() const;

    // --- life cycle ---------------------------------------------------------
    void open();
    void close();
    bool active() const { return m_state != DataSetState::Inactive; }
    void setActive(bool active) { active ? open() : close(); }
    DataSetState state() const { return m_state; }
    /// Closes and opens again, trying to return to the same record number.
    void refresh();

    // --- navigation ---------------------------------------------------------
    void first();
    void next();
    void prior();
    void last();
    /// Moves by `distance` records; returns how far it actually moved.
    int moveBy(int distance);
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    bool isEmpty() const;
    /// 1-based number of the current record; 0 when there is none.
    int recNo() const;
    void setRecNo(int recNo);
    /// Records known so far (SQL data sets: fetched so far, see fetchAll()).
    int recordCount() const;
    /// Reads every remaining record from the source (not for uni-directional sets).
    void fetchAll();
    bool uniDirectional() const { return m_uniDirectional; }
    void setUniDirectional(bool v);

    /// Moves to the first record whose `keyFields` (";"-list) match `keyValues`
    /// (one value or a QVariantList); false, and no move, when none does.
    bool locate(const QString &keyFields, const QVariant &keyValues, LocateOptions options = {});
    /// Value(s) of `resultFields` on the first record matching, without moving; null when none.
    QVariant lookup(const QString &keyFields, const QVariant &keyValues, const QString &resultFields);

    Bookmark bookmark() const;
    bool bookmarkValid(Bookmark bookmark) const;
    void gotoBookmark(Bookmark bookmark);

    // --- editing ------------------------------------------------------------
    virtual bool canModify() const { return true; }
    void edit();
    /// New record before the current one.
    void insert();
    /// New record after the last one.
    void append();
    void post();
    void cancel();
    /// Deletes the current record (cancels an insert in progress instead).
    void remove();
    /// Posts a modified record being edited, cancels an unmodified one.
    void checkBrowseMode();
    /// True once a field of the edit or insert buffer was set.
    bool modified() const { return m_modified; }

    /// Key buffer for gotoKey(): fields set after setKey() are the values sought.
    void setKey();
    bool gotoKey();

    // --- data sources -------------------------------------------------------
    void disableControls();
    void enableControls();
    bool controlsDisabled() const { return m_disableCount > 0; }
    void addDataSource(DataSource *source);
    void removeDataSource(DataSource *source) noexcept;
    /// Recomputes calculated and lookup fields automatically while editing.
    bool autoCalcFields() const { return m_autoCalcFields; }
    void setAutoCalcFields(bool v) { m_autoCalcFields = v; }

    // --- owner's handlers ---------------------------------------------------
    Handler beforeOpen, afterOpen, beforeClose, afterClose;
    Handler beforeInsert, afterInsert, beforeEdit, afterEdit;
    Handler beforePost, afterPost, beforeCancel, afterCancel;
    Handler beforeDelete, afterDelete, beforeScroll, afterScroll;
    Handler beforeRefresh, afterRefresh;
    Handler onNewRecord, onCalcFields;

    // --- record buffer access, used by Field ---------------------------------
    QVariant fieldValue(const Field &field) const;
    QVariant oldFieldValue(const Field &field) const;
    void setFieldValue(Field &field, const QVariant &value);

signals:
    void stateChanged(fw::DataSetState state);
    void opened();
    void closed();

protected:
    // Hooks: the base runs the owner's handler.
    virtual void doBeforeOpen();
    virtual void doAfterOpen();
    virtual void doBeforeClose();
    virtual void doAfterClose();
    virtual void doBeforeInsert();
    virtual void doAfterInsert();
    virtual void doBeforeEdit();
    virtual void doAfterEdit();
    virtual void doBeforePost();
    virtual void doAfterPost();
    virtual void doBeforeCancel();
    virtual void doAfterCancel();
    virtual void doBeforeDelete();
    virtual void doAfterDelete();
    virtual void doBeforeScroll();
    virtual void doAfterScroll();
    virtual void doBeforeRefresh();
    virtual void doAfterRefresh();
    virtual void doOnNewRecord();
    virtual void doOnCalcFields();

    // What a concrete data set supplies.
    /// Opens the source; makes fields (makeField) when none are declared and
    /// binds declared data fields to its columns.
    virtual void internalOpen() = 0;
    /// Releases the source. Must not throw.
    virtual void internalClose() noexcept = 0;
    /// Fills every data field of `record` with the next record of the source;
    /// false at the end. The values are sized to the fields and may still hold
    /// an earlier record, so each data field is written, null or not.
    virtual bool fetchRecord(Record &record) { return false; }
    /// How many records to read from the source at once when more are needed.
    virtual int fetchChunk() const { return 1; }
    /// Writes a posted record to the source (SQL statements); the data set
    /// keeps it afterwards. `old` is the record as read (null for inserts).
    virtual void internalPost(Record &record, const Record *old, bool inserting) {}
    /// Deletes a record from the source.
    virtual void internalDelete(const Record &record) {}

    /// Used by internalOpen() when no fields are declared.
    Field &makeField(const FieldDef &def);
    /// Raises fw::Error unless the data set is open.
    void checkActive() const;
    void checkInactive() const;
    /// Tells the data sources.
    void dataEvent(DataEvent event, Field *field = nullptr);
    /// Runs lookup fields and onCalcFields on a record.
    void calculateFields(Record &record);
    /// The record shown as current (edit buffer while editing); null when none.
    Record *activeRecord();
    const Record *activeRecord() const;
    /// The record of the current row as stored (not the edit buffer); null when none.
    const Record *currentStoredRecord() const;
    Record newRecordBuffer() const;
    /// Drops every record kept (memory tables: empties them). Only in browse state.
    void clearRecords();
    /// Replaces the values of the current stored record (a record read again).
    void replaceCurrentRecord(const Record &record);
    /// Adds a record at the end of those kept (memory tables loading rows).
    void appendStoredRecord(Record record);

private:
    void setState(DataSetState state);
    /// The new-record part shared by insert() and append(), once m_insertAt is set.
    void beginNewRecord();
    bool fetchOne();
    /// The next record of the source into `record`, with its bookmark and calculated fields.
    bool readRecord(Record &record);
    void fetchUntil(int index);
    void resetCursor();
    void setCurrent(int index);
    void destroyMadeFields();
    bool matches(const Record &record, const std::vector<Field *> &fields, const QVariantList &values,
                 LocateOptions options) const;
    std::vector<Field *> fieldList(const QString &names) const;
    int findRecord(const std::vector<Field *> &fields, const QVariantList &values, LocateOptions options,
                   int from);
    void checkRequiredFields();

    std::vector<std::unique_ptr<Field>> m_fields;
    detail::NameIndex m_fieldsByName;
    bool m_computedFields = false; // a calculated or lookup field exists
    std::vector<Record> m_records;
    int m_current = -1;
    int m_uniPosition = 0; // records passed so far when uni-directional
    bool m_eof = true;
    bool m_bof = true;
    bool m_sourceDone = true;
    bool m_uniDirectional = false;
    bool m_autoCalcFields = true;
    DataSetState m_state = DataSetState::Inactive;
    DataSetState m_stateBeforeCalc = DataSetState::Inactive;
    Record m_spare; // forward-only: the next row is read into it
    Record m_editBuffer;
    Record m_keyBuffer;
    Record *m_calcBuffer = nullptr;
    int m_insertAt = -1;
    bool m_modified = false;
    int m_disableCount = 0;
    bool m_pendingChange = false;
    Bookmark m_nextId = 1;
    std::vector<DataSource *> m_sources;
};

/// Splits a ";"-separated list of field names, trimming blanks.
QStringList splitFieldNames(const QString &names);

} // namespace fw

Q_DECLARE_OPERATORS_FOR_FLAGS(fw::LocateOptions)
