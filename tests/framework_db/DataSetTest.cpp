#include "framework/db/DataSource.h"
#include "framework/base/Error.h"
#include "framework/db/MemoryDataSet.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace fw;

namespace {

// A memory table with the kinds of field the module declares, and a record of
// every step it goes through.
struct Table
{
    MemoryDataSet ds;
    QStringList log;

    Table()
    {
        ds.setObjectName("RxPrueba");
        ds.addField("ID", FieldType::Integer);
        ds.addField("NOMBRE", FieldType::String, 30);
        ds.addField("IMPORTE", FieldType::Float);
        ds.addField("DOBLE", FieldType::Float, 0, FieldKind::Calculated);
        const auto step = [this](const char *name) { return [this, name](DataSet &) { log << name; }; };
        ds.beforeOpen = step("beforeOpen");
        ds.afterOpen = step("afterOpen");
        ds.beforeClose = step("beforeClose");
        ds.afterClose = step("afterClose");
        ds.beforeInsert = step("beforeInsert");
        ds.afterInsert = step("afterInsert");
        ds.beforeEdit = step("beforeEdit");
        ds.afterEdit = step("afterEdit");
        ds.beforePost = step("beforePost");
        ds.afterPost = step("afterPost");
        ds.beforeCancel = step("beforeCancel");
        ds.afterCancel = step("afterCancel");
        ds.beforeDelete = step("beforeDelete");
        ds.afterDelete = step("afterDelete");
        ds.beforeScroll = step("beforeScroll");
        ds.afterScroll = step("afterScroll");
        ds.onNewRecord = [this](DataSet &d) {
            log << "onNewRecord";
            d.fieldByName("IMPORTE").setAsFloat(0);
        };
        ds.onCalcFields = [](DataSet &d) { d.fieldByName("DOBLE").setAsFloat(d.fieldByName("IMPORTE").asFloat() * 2); };
    }

    void add(int id, const QString &nombre, double importe)
    {
        ds.append();
        ds.fieldByName("ID").setAsInteger(id);
        ds.fieldByName("NOMBRE").setAsString(nombre);
        ds.fieldByName("IMPORTE").setAsFloat(importe);
        ds.post();
    }
};

} // namespace

TEST(MemoryDataSet, StepsRunTheirEventsInOrder)
{
    Table t;
    t.ds.open();
    EXPECT_EQ(t.log, (QStringList{"beforeOpen", "afterOpen", "afterScroll"}));
    t.log.clear();

    t.ds.insert();
    EXPECT_EQ(t.ds.state(), DataSetState::Insert);
    EXPECT_FALSE(t.ds.modified()); // the new-record defaults are not a change
    t.ds.fieldByName("ID").setAsInteger(1);
    t.ds.post();
    EXPECT_EQ(t.log, (QStringList{"beforeInsert", "beforeScroll", "onNewRecord", "afterInsert", "afterScroll",
                                  "beforePost", "afterPost"}));
    t.log.clear();

    t.ds.edit();
    t.ds.cancel();
    t.ds.remove();
    t.ds.close();
    EXPECT_EQ(t.log, (QStringList{"beforeEdit", "afterEdit", "beforeCancel", "afterCancel", "beforeDelete",
                                  "beforeScroll", "afterDelete", "afterScroll", "beforeClose", "afterClose"}));
}

TEST(MemoryDataSet, AbortCancelsAStepSilently)
{
    Table t;
    t.ds.open();
    t.add(1, "UNO", 10);

    t.ds.beforeInsert = [](DataSet &) { throw Abort(); };
    EXPECT_THROW(t.ds.insert(), Abort);
    EXPECT_EQ(t.ds.state(), DataSetState::Browse);
    EXPECT_EQ(t.ds.recordCount(), 1);

    // Refused by before-post: the record stays in edit with the user's value.
    t.ds.beforePost = [](DataSet &) { throw Abort(); };
    t.ds.edit();
    t.ds.fieldByName("NOMBRE").setAsString("CAMBIADO");
    EXPECT_THROW(t.ds.post(), Abort);
    EXPECT_EQ(t.ds.state(), DataSetState::Edit);
    EXPECT_EQ(t.ds.fieldByName("NOMBRE").asString(), "CAMBIADO");
    t.ds.cancel();
    EXPECT_EQ(t.ds.fieldByName("NOMBRE").asString(), "UNO");
}

TEST(MemoryDataSet, NewRecordHookOfASubclassWrapsTheOwnersHandler)
{
    struct Zeroing : MemoryDataSet
    {
        QStringList *log = nullptr;
        void doOnNewRecord() override
        {
            MemoryDataSet::doOnNewRecord(); // the owner's handler first
            *log << "subclass";
            for (const auto &f : fields())
                if (f->dataType() == FieldType::SmallInt)
                    f->setAsInteger(0);
        }
    } ds;
    QStringList log;
    ds.log = &log;
    ds.addField("N", FieldType::SmallInt);
    ds.addField("I", FieldType::Integer);
    ds.onNewRecord = [&](DataSet &) { log << "owner"; };
    ds.open();
    ds.append();
    EXPECT_EQ(log, (QStringList{"owner", "subclass"}));
    EXPECT_EQ(ds.fieldByName("N").value(), QVariant(0));
    EXPECT_TRUE(ds.fieldByName("I").isNull());
}

TEST(MemoryDataSet, NavigatesLocatesAndReturnsToBookmarks)
{
    Table t;
    t.ds.open();
    t.add(1, "Ñandú", 10);
    t.add(2, "Pérez", 20);
    t.add(3, "PEREZA", 30);
    ASSERT_EQ(t.ds.recordCount(), 3);

    t.ds.first();
    EXPECT_TRUE(t.ds.bof());
    EXPECT_EQ(t.ds.fieldByName("ID").asInteger(), 1);
    EXPECT_EQ(t.ds.fieldByName("DOBLE").asFloat(), 20.0); // calculated per record
    const Bookmark mark = t.ds.bookmark();
    EXPECT_EQ(t.ds.moveBy(5), 2);
    EXPECT_EQ(t.ds.recNo(), 3);
    t.ds.next();
    EXPECT_TRUE(t.ds.eof());
    t.ds.prior();
    EXPECT_EQ(t.ds.recNo(), 2);

    struct Case
    {
        const char *value;
        LocateOptions options;
        int expectedId; // 0: not found, cursor stays
    };
    const Case cases[] = {
        {"pérez", LocateOption::CaseInsensitive, 2},
        {"pérez", {}, 0},
        {"PERE", LocateOption::PartialKey, 3},
        {"ñan", LocateOption::CaseInsensitive | LocateOption::PartialKey, 1},
        {"Nandu", LocateOption::CaseInsensitive, 0},
    };
    for (const Case &c : cases) {
        t.ds.gotoBookmark(mark);
        const bool found = t.ds.locate("NOMBRE", QString::fromUtf8(c.value), c.options);
        EXPECT_EQ(found, c.expectedId != 0) << c.value;
        EXPECT_EQ(t.ds.fieldByName("ID").asInteger(), c.expectedId ? c.expectedId : 1) << c.value;
    }
    EXPECT_TRUE(t.ds.locate("ID;IMPORTE", QVariantList{3, 30.0}));
    EXPECT_EQ(t.ds.lookup("ID", 2, "NOMBRE").toString(), "Pérez");
    EXPECT_EQ(t.ds.recNo(), 3); // lookup does not move
}

TEST(MemoryDataSet, FieldsRefuseWhatTheyCannotHold)
{
    Table t;
    Field &id = t.ds.fieldByName("id");
    id.setMinValue(1);
    id.setMaxValue(5);
    t.ds.open();
    t.add(1, "UNO", 1);

    EXPECT_THROW(t.ds.fieldByName("ID").setAsInteger(2), Error); // browse: not editing
    t.ds.edit();
    try {
        id.setAsInteger(9);
        FAIL();
    } catch (const Error &e) {
        EXPECT_EQ(e.message(), "9 no es un valor válido para el campo ID. Debe estar entre 1 y 5");
    }
    EXPECT_THROW(id.setAsString("abc"), Error);
    EXPECT_THROW(t.ds.fieldByName("NO_EXISTE"), Error);
    id.setAsString("4");
    EXPECT_EQ(id.value(), QVariant(4));
    EXPECT_EQ(id.oldValue(), QVariant(1));
    t.ds.post();

    t.ds.fieldByName("NOMBRE").setRequired(true);
    t.ds.append();
    EXPECT_THROW(t.ds.post(), Error);
    EXPECT_EQ(t.ds.state(), DataSetState::Insert);
    t.ds.cancel();

    MemoryDataSet empty;
    EXPECT_THROW(empty.open(), Error);
}

TEST(MemoryDataSet, FieldsAreFoundByNameWhateverTheCase)
{
    Table t;
    t.ds.addField(QString::fromUtf8("AÑO"), FieldType::Integer);
    const struct
    {
        const char *name;
        const char *found; // null: no such field
    } lookups[] = {{"nombre", "NOMBRE"}, {" Importe ", "IMPORTE"}, {"DoBlE", "DOBLE"}, {"año", "AÑO"},
                   {"ANO", nullptr},     {"NOMBRES", nullptr},     {"", nullptr}};
    for (const auto &l : lookups) {
        const Field *f = t.ds.findField(QString::fromUtf8(l.name));
        EXPECT_EQ(f ? f->fieldName() : QString(), QString::fromUtf8(l.found)) << l.name;
    }
    EXPECT_THROW(t.ds.addField(QString::fromUtf8("Año"), FieldType::Integer), Error);
    t.ds.clearFields();
    EXPECT_EQ(t.ds.findField("NOMBRE"), nullptr);
}

TEST(MemoryDataSet, TextsGoThroughTheHandlerOrTheDisplayFormat)
{
    Table t;
    Field &importe = t.ds.fieldByName("IMPORTE");
    importe.setDisplayFormat("#,##0.00");
    t.ds.open();
    t.add(1, "UNO", 1234.5);
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
    EXPECT_EQ(importe.text(), "1234,5");
    EXPECT_EQ(importe.displayText(), "1.234,50");
    importe.onGetText = [](Field &f, QString &text, bool display) {
        text = (display ? "D:" : "E:") + QString::number(f.asFloat());
    };
    EXPECT_EQ(importe.text(), "E:1234.5");
    EXPECT_EQ(importe.displayText(), "D:1234.5");
    QLocale::setDefault(QLocale::system());
}

TEST(MemoryDataSet, ReopeningDiscardsRecordsAndDeclaredFieldsStay)
{
    Table t;
    t.ds.open();
    t.add(1, "UNO", 1);
    Field *declared = &t.ds.fieldByName("NOMBRE");
    t.ds.close();
    t.ds.open();
    EXPECT_TRUE(t.ds.isEmpty());
    EXPECT_EQ(&t.ds.fieldByName("NOMBRE"), declared);
    EXPECT_EQ(t.ds.recNo(), 0);
}

TEST(DataSource, FollowsTheDataSetAndStaysQuietWhileControlsAreDisabled)
{
    Table t;
    DataSource source;
    source.setDataSet(&t.ds);
    QSignalSpy active(&source, &DataSource::activeChanged);
    QSignalSpy changed(&source, &DataSource::dataChanged);
    QSignalSpy states(&source, &DataSource::stateChanged);
    QSignalSpy fields(&source, &DataSource::recordChanged);

    t.ds.open();
    EXPECT_EQ(active.count(), 1);
    t.add(1, "UNO", 1);
    EXPECT_GE(states.count(), 2); // insert, browse
    EXPECT_GE(fields.count(), 3);

    t.ds.disableControls();
    changed.clear();
    fields.clear();
    for (int i = 2; i < 10; ++i)
        t.add(i, "N", i);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(fields.count(), 0);
    t.ds.enableControls();
    EXPECT_EQ(changed.count(), 1);

    source.setAutoEdit(false);
    EXPECT_FALSE(source.edit());
    EXPECT_EQ(t.ds.state(), DataSetState::Browse);
    source.setAutoEdit(true);
    EXPECT_TRUE(source.edit());
    EXPECT_EQ(t.ds.state(), DataSetState::Edit);

    // A link asked to write its pending text before the post.
    struct Link : DataLink
    {
        int updates = 0;
        void updateData() override { ++updates; }
    } link;
    link.setDataSource(&source);
    t.ds.post();
    EXPECT_EQ(link.updates, 1);
}
