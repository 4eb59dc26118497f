#include "framework/db/Database.h"
#include "framework/base/Error.h"
#include "framework/db/SqlDataSet.h"
#include "framework/db/SqlQuery.h"
#include "framework/db/SqlStatement.h"
#include "framework/db/StoredProc.h"
#include "framework/db/Transaction.h"

#include "support/TestDatabase.h"

#include <gtest/gtest.h>

#include <ibase.h>

#include <functional>
#include <memory>

using namespace fw;
using testsupport::TestDatabase;

namespace {

// One throwaway database for the suite, with a small table of its own next to the host's.
class Server : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        db = std::make_unique<TestDatabase>(QStringLiteral("dbframework"));
        QString rows;
        for (int i = 1; i <= 250; ++i)
            rows += QStringLiteral("INSERT INTO NUMEROS VALUES (%1, \"N%1\", 'C%1', %1.25);\n").arg(i);
        db->run("CREATE TABLE NUMEROS (ID INTEGER NOT NULL PRIMARY KEY, TEXTO VARCHAR(20), CODIGO CHAR(6),"
                " IMPORTE NUMERIC(15,2));\n"
                + rows);
        // A selectable procedure that writes as it is read.
        db->run("CREATE TABLE NOTAS (TEXTO VARCHAR(20));\n"
                "SET TERM ^ ;\n"
                "CREATE PROCEDURE ANOTAR (TEXTO VARCHAR(20)) RETURNS (N INTEGER) AS\n"
                "BEGIN INSERT INTO NOTAS VALUES (:TEXTO); N = 1; SUSPEND; END^\n"
                "SET TERM ; ^");
    }
    static void TearDownTestSuite() { db.reset(); }

    void SetUp() override
    {
        connect(database, transaction);
    }

    static void connect(Database &d, Transaction &t, const QString &password = TestDatabase::password())
    {
        d.setDatabaseName(db->connectionString());
        d.params() = QStringList{"user_name=" + TestDatabase::user(), "password=" + password, "lc_ctype=ISO8859_1"};
        t.setParams({"read_committed", "rec_version", "nowait"});
        t.setDatabase(&d);
        d.setDefaultTransaction(&t);
        d.open();
        t.start();
    }

    static inline std::unique_ptr<TestDatabase> db;
    Database database;
    Transaction transaction;
};

} // namespace

TEST_F(Server, WrongPasswordAndWrongPathGiveFirebirdsOwnText)
{
    {
        Database d;
        Transaction t;
        try {
            connect(d, t, "no-es-esta");
            FAIL();
        } catch (const DatabaseError &e) {
            EXPECT_TRUE(e.message().contains("user name and password are not defined")) << e.message().toStdString();
            EXPECT_TRUE(e.hasGdsCode(isc_login));
            EXPECT_FALSE(d.connected());
        }
    }
    // The server quotes the file name as the system spells it, whatever its letters.
    for (const QString name : {QStringLiteral("no-existe.fdb"), QStringLiteral("数据/Ωmega año.fdb")}) {
        Database d;
        d.setDatabaseName("localhost:/tmp/velmora-test-db/" + name);
        d.params() = QStringList{"user_name=SYSDBA", "password=" + TestDatabase::password()};
        try {
            d.open();
            FAIL();
        } catch (const DatabaseError &e) {
            EXPECT_TRUE(e.message().contains(name)) << e.message().toStdString();
            EXPECT_NE(e.gdsCode(), 0);
        }
    }
    Database d;
    d.setDatabaseName("localhost:/tmp/velmora-test-db/no-existe.fdb");
    d.params() = QStringList{"user_name=SYSDBA", "password=" + TestDatabase::password()};
    d.params() << "nonsense=1";
    EXPECT_THROW(d.open(), Error);
}

TEST_F(Server, SpeaksDialectOne)
{
    SqlQuery q;
    q.setDatabase(&database);
    q.setSql(QStringList{"SELECT \"texto\" AS LITERAL, CAST(\"2024-03-07 10:30:00\" AS DATE) AS FECHA, IMPORTE, CODIGO",
                         "FROM NUMEROS WHERE ID = 3"});
    q.open();
    EXPECT_EQ(q.fieldByName("LITERAL").asString(), "texto");
    // DATE is a timestamp in dialect 1, and NUMERIC(15,2) a double holding the value itself.
    EXPECT_EQ(q.fieldByName("FECHA").dataType(), FieldType::DateTime);
    EXPECT_EQ(q.fieldByName("FECHA").asDateTime(), QDateTime(QDate(2024, 3, 7), QTime(10, 30)));
    EXPECT_EQ(q.fieldByName("IMPORTE").dataType(), FieldType::Float);
    EXPECT_DOUBLE_EQ(q.fieldByName("IMPORTE").asFloat(), 3.25);
    EXPECT_EQ(q.fieldByName("CODIGO").asString(), "C3"); // CHAR padding trimmed
    EXPECT_EQ(q.fieldByName("IMPORTE").origin(), "NUMEROS.IMPORTE");

    // A date and time written through a parameter reads back the same, here and in isql.
    const QDateTime when(QDate(1999, 12, 31), QTime(23, 59, 58, 250));
    SqlQuery w;
    w.setDatabase(&database);
    w.setSql("INSERT INTO CLIENTES (IDCLIENTES, FECHAREDUCCIONCREDITOCAUC, RIESGOCONCEDIDO) VALUES (990, :F, :R)");
    w.paramByName("F").setAsDateTime(when);
    w.paramByName("R").setAsFloat(1500.25);
    w.execSql();
    transaction.commitRetaining();
    EXPECT_EQ(db->value("SELECT CAST(FECHAREDUCCIONCREDITOCAUC AS VARCHAR(30)) FROM CLIENTES WHERE IDCLIENTES = 990"),
              "31-DEC-1999 23:59:58.2500");
    SqlQuery r;
    r.setDatabase(&database);
    r.setSql("SELECT FECHAREDUCCIONCREDITOCAUC, RIESGOCONCEDIDO FROM CLIENTES WHERE IDCLIENTES = 990");
    r.open();
    EXPECT_EQ(r.fieldByName("FECHAREDUCCIONCREDITOCAUC").asDateTime(), when);
    EXPECT_EQ(r.fieldByName("FECHAREDUCCIONCREDITOCAUC").value().toDateTime().timeSpec(), Qt::LocalTime);
    EXPECT_EQ(r.fieldByName("RIESGOCONCEDIDO").asFloat(), 1500.25);
    db->run("DELETE FROM CLIENTES WHERE IDCLIENTES = 990;");
}

TEST_F(Server, ANameUsedTwiceTakesOneValueAndColonsInLiteralsStay)
{
    SqlQuery q;
    q.setDatabase(&database);
    q.setSql(QStringList{"SELECT ID, 'a:b' AS S1, \":NO\" AS S2 FROM NUMEROS", "WHERE ID = :ID OR ID = :ID + 1",
                         "ORDER BY ID"});
    EXPECT_EQ(q.paramNames(), QStringList{"ID"});
    q.paramByName("id").setAsInteger(10);
    q.open();
    EXPECT_EQ(q.fieldByName("S1").asString(), "a:b");
    EXPECT_EQ(q.fieldByName("S2").asString(), ":NO");
    q.last();
    EXPECT_EQ(q.recordCount(), 2);
    EXPECT_EQ(q.fieldByName("ID").asInteger(), 11);
}

TEST_F(Server, RecordsComeInChunksAndCanBeWalkedBothWays)
{
    SqlQuery q;
    q.setDatabase(&database);
    q.setSql("SELECT ID, TEXTO FROM NUMEROS ORDER BY ID");
    q.open();
    EXPECT_EQ(q.fetchSize(), 100);
    EXPECT_EQ(q.recordCount(), 100);
    EXPECT_EQ(q.moveBy(149), 149);
    EXPECT_EQ(q.fieldByName("ID").asInteger(), 150);
    EXPECT_EQ(q.recordCount(), 200);
    q.last();
    EXPECT_EQ(q.recordCount(), 250);
    EXPECT_EQ(q.fieldByName("TEXTO").asString(), "N250");
    int seen = 0;
    for (; !q.bof(); q.prior())
        ++seen;
    EXPECT_EQ(seen, 250);
    EXPECT_EQ(q.fieldByName("ID").asInteger(), 1);
    EXPECT_TRUE(q.locate("TEXTO", "n200", LocateOption::CaseInsensitive));
    EXPECT_EQ(q.recNo(), 200);
}

TEST_F(Server, ForwardOnlyKeepsOneRecord)
{
    SqlQuery q;
    q.setDatabase(&database);
    q.setUniDirectional(true);
    q.setSql("SELECT ID FROM NUMEROS ORDER BY ID");
    q.open();
    qint64 sum = 0;
    int n = 0;
    for (; !q.eof(); q.next()) {
        sum += q.fieldByName("ID").asInteger();
        ++n;
    }
    EXPECT_EQ(n, 250);
    EXPECT_EQ(sum, 250 * 251 / 2);
    EXPECT_THROW(q.prior(), Error);
    EXPECT_THROW(q.first(), Error);

    // Each row's values are its own, nulls included, and values taken from
    // earlier rows stay as they were.
    SqlQuery texts;
    texts.setDatabase(&database);
    texts.setUniDirectional(true);
    texts.setSql("SELECT IIF(MOD(ID, 3) = 0, NULL, TEXTO) AS T, IIF(ID = 4, NULL, ID) AS N FROM NUMEROS "
                 "WHERE ID <= 7 ORDER BY ID");
    texts.open();
    QVariantList taken;
    for (; !texts.eof(); texts.next())
        taken << texts.fieldByName("T").value() << texts.fieldByName("N").value();
    const QVariantList expected{"N1", 1, "N2", 2, QVariant(), 3, "N4", QVariant(), "N5", 5, QVariant(), 6, "N7", 7};
    ASSERT_EQ(taken.size(), expected.size());
    for (qsizetype i = 0; i < taken.size(); ++i)
        EXPECT_EQ(taken[i].toString(), expected[i].toString()) << i;
    for (qsizetype i = 0; i < taken.size(); ++i)
        EXPECT_EQ(taken[i].isNull(), expected[i].isNull()) << i;
}

TEST_F(Server, DeclaredFieldsChooseTheColumnsAndCalculatedOnesArePerRecord)
{
    SqlQuery made;
    made.setDatabase(&database);
    made.setSql("SELECT * FROM NUMEROS WHERE ID <= 3");
    made.open();
    EXPECT_EQ(made.fieldNames(), (QStringList{"ID", "TEXTO", "CODIGO", "IMPORTE"}));
    made.close();
    EXPECT_EQ(made.fieldCount(), 0); // made at open, gone at close

    SqlQuery declared;
    declared.setDatabase(&database);
    declared.setSql("SELECT * FROM NUMEROS WHERE ID <= 3 ORDER BY ID");
    declared.addField("IMPORTE", FieldType::Float);
    declared.addField("TRIPLE", FieldType::Float, 0, FieldKind::Calculated);
    declared.addField("ID", FieldType::Integer);
    int calls = 0;
    declared.onCalcFields = [&](DataSet &ds) {
        ++calls;
        ds.fieldByName("TRIPLE").setAsFloat(ds.fieldByName("IMPORTE").asFloat() * 3);
    };
    declared.open();
    EXPECT_EQ(declared.fieldNames(), (QStringList{"IMPORTE", "TRIPLE", "ID"}));
    EXPECT_EQ(declared.findField("TEXTO"), nullptr);
    EXPECT_EQ(calls, 3);
    for (int id = 1; !declared.eof(); declared.next(), ++id)
        EXPECT_DOUBLE_EQ(declared.fieldByName("TRIPLE").asFloat(), (id + 0.25) * 3);
    EXPECT_EQ(calls, 3); // walking reads what was computed at fetch
    EXPECT_THROW(declared.edit(), Error); // a query is read-only
}

TEST_F(Server, CommitRetainingKeepsCursorsAndPublishesWork)
{
    SqlQuery reader;
    reader.setDatabase(&database);
    reader.setSql("SELECT ID FROM NUMEROS ORDER BY ID");
    reader.open();
    reader.moveBy(50);

    SqlQuery writer;
    writer.setDatabase(&database);
    writer.setSql("UPDATE NUMEROS SET TEXTO = :T WHERE ID = 1");
    writer.paramByName("T").setAsString("RETENIDO");
    writer.execSql();
    EXPECT_EQ(writer.rowsAffected(), 1);
    EXPECT_EQ(db->value("SELECT TEXTO FROM NUMEROS WHERE ID = 1"), "N1");

    transaction.commitRetaining();
    EXPECT_TRUE(transaction.active());
    EXPECT_EQ(db->value("SELECT TEXTO FROM NUMEROS WHERE ID = 1"), "RETENIDO");
    reader.last(); // the cursor survived the commit
    EXPECT_EQ(reader.recordCount(), 250);

    writer.paramByName("T").setAsString("DESCARTADO");
    writer.execSql();
    transaction.rollback();
    EXPECT_FALSE(reader.active()); // a hard end closes the data sets in the transaction
    EXPECT_EQ(db->value("SELECT TEXTO FROM NUMEROS WHERE ID = 1"), "RETENIDO");
    db->run("UPDATE NUMEROS SET TEXTO = 'N1' WHERE ID = 1;");
}

TEST_F(Server, CommitRetainingReachesTheServerOnlyAfterAStatementThatCanWrite)
{
    // The transaction's number changes at every commit that reaches the server.
    SqlQuery number;
    number.setDatabase(&database);
    number.setSql("SELECT CURRENT_TRANSACTION FROM RDB$DATABASE");
    auto currentNumber = [&] {
        number.close();
        number.open();
        return number.fields().front()->asInteger();
    };
    auto query = [&](const QString &sql) {
        SqlQuery q;
        q.setDatabase(&database);
        q.setSql(sql);
        q.open();
    };
    auto raw = [&](const QString &sql) {
        SqlStatement s;
        s.setDatabase(&database);
        s.setSql(sql);
        s.execute();
    };
    struct Case
    {
        const char *what;
        std::function<void()> run;
        bool writes;
        const char *noted; // what another connection sees once committed
    };
    const Case cases[] = {
        {"plain select", [&] { query("SELECT * FROM NUMEROS WHERE ID < 5"); }, false, nullptr},
        {"select that joins tables", [&] { query("SELECT N.ID FROM NUMEROS N JOIN NUMEROS M ON M.ID = N.ID"); },
         false, nullptr},
        {"select from a procedure", [&] { query("SELECT N FROM ANOTAR('procedure')"); }, true, "procedure"},
        {"locking select", [&] { query("SELECT ID FROM NUMEROS WHERE ID = 3 WITH LOCK"); }, true, nullptr},
        {"insert", [&] { raw("INSERT INTO NOTAS VALUES (\"insert\")"); }, true, "insert"},
        {"execute block",
         [&] { raw("EXECUTE BLOCK AS BEGIN INSERT INTO NOTAS VALUES ('block'); END"); }, true, "block"},
        {"select block",
         [&] { query("EXECUTE BLOCK RETURNS (N INTEGER) AS BEGIN INSERT INTO NOTAS VALUES ('select block'); "
                     "N = 1; SUSPEND; END"); },
         true, "select block"},
        {"procedure call",
         [&] {
             StoredProc p;
             p.setDatabase(&database);
             p.setStoredProcName("ANOTAR");
             p.paramByName("TEXTO").setAsString("call");
             p.execProc();
         },
         true, "call"},
        {"ddl", [&] { raw("CREATE TABLE BORRADOR (ID INTEGER)"); }, true, nullptr},
        {"post of an editable data set",
         [&] {
             SqlDataSet t;
             t.setDatabase(&database);
             t.setSelectSql({"SELECT TEXTO FROM NOTAS WHERE 1 = 0"});
             t.setInsertSql({"INSERT INTO NOTAS VALUES (:TEXTO)"});
             t.open();
             t.append();
             t.fieldByName("TEXTO").setAsString("post");
             t.post();
         },
         true, "post"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const int before = currentNumber();
        c.run();
        transaction.commitRetaining();
        EXPECT_EQ(currentNumber() != before, c.writes);
        if (c.noted) {
            EXPECT_EQ(db->value(QStringLiteral("SELECT COUNT(*) FROM NOTAS WHERE TEXTO = '%1'").arg(c.noted)), "1");
        }
        // Nothing ran since: the next one sends nothing.
        const int after = currentNumber();
        transaction.commitRetaining();
        EXPECT_EQ(currentNumber(), after);
    }
    transaction.rollback();
    db->run("DROP TABLE BORRADOR;\nDELETE FROM NOTAS;");
}

TEST_F(Server, NowaitFailsAtOnceOnALockedRecord)
{
    SqlStatement first;
    first.setDatabase(&database);
    first.setSql("UPDATE NUMEROS SET TEXTO = \"A\" WHERE ID = 2");
    first.execute();

    Database other;
    Transaction otherTransaction;
    connect(other, otherTransaction);
    SqlStatement second;
    second.setDatabase(&other);
    second.setSql("UPDATE NUMEROS SET TEXTO = \"B\" WHERE ID = 2");
    try {
        second.execute();
        FAIL();
    } catch (const DatabaseError &e) {
        EXPECT_TRUE(e.hasGdsCode(isc_lock_conflict) || e.hasGdsCode(isc_update_conflict)) << e.message().toStdString();
        EXPECT_FALSE(e.sqlState().isEmpty());
    }
    transaction.rollback();
}

TEST_F(Server, Latin1TextRoundTripsAndTheRestIsRefused)
{
    db->run("CREATE EXCEPTION AVISO_LATIN1 'aviso';");
    const QString text = QString::fromUtf8("Ñ ñ ª º ç ü");
    SqlQuery insert;
    insert.setDatabase(&database);
    insert.setSql("INSERT INTO CLIENTES (IDCLIENTES, CODIGO, NOMBRE) VALUES (:ID, :CODIGO, :NOMBRE)");
    insert.paramByName("ID").setAsInteger(900);
    insert.paramByName("CODIGO").setAsString("C900");
    insert.paramByName("NOMBRE").setAsString(text);
    insert.execSql();

    insert.paramByName("ID").setAsInteger(901);
    insert.paramByName("NOMBRE").setAsString(QString::fromUtf8("Precio 5 €"));
    try {
        insert.execSql();
        FAIL();
    } catch (const DatabaseError &) {
        FAIL() << "refused by the server instead of before sending";
    } catch (const Error &e) {
        EXPECT_TRUE(e.message().contains("NOMBRE")) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QString::fromUtf8("€")));
    }
    // Text longer than a message can carry is refused, not cut short.
    insert.paramByName("NOMBRE").setAsString(QString(40000, QLatin1Char('x')));
    try {
        insert.execSql();
        FAIL();
    } catch (const DatabaseError &) {
        FAIL() << "reached the server";
    } catch (const Error &e) {
        EXPECT_TRUE(e.message().contains("NOMBRE")) << e.message().toStdString();
    }
    // The server's messages carry data in the connection's ISO 8859-1, which reads as such.
    SqlStatement raise;
    raise.setDatabase(&database);
    raise.setSql(QString::fromUtf8("EXECUTE BLOCK AS BEGIN EXCEPTION AVISO_LATIN1 'Año de la señal'; END"));
    try {
        raise.execute();
        FAIL();
    } catch (const DatabaseError &e) {
        EXPECT_TRUE(e.message().contains(QString::fromUtf8("Año de la señal"))) << e.message().toStdString();
    }
    transaction.commitRetaining();

    SqlQuery read;
    read.setDatabase(&database);
    read.setSql("SELECT NOMBRE FROM CLIENTES WHERE IDCLIENTES >= 900");
    read.open();
    EXPECT_EQ(read.recordCount(), 1);
    EXPECT_EQ(read.fieldByName("NOMBRE").asString(), text);
    EXPECT_EQ(db->value("SELECT NOMBRE FROM CLIENTES WHERE IDCLIENTES = 900"), text);

    // Binary blobs come back byte for byte.
    QByteArray logo;
    for (int i = 0; i < 70000; ++i)
        logo.append(char(i % 251));
    SqlQuery blob;
    blob.setDatabase(&database);
    blob.setSql("INSERT INTO EMPRESAS (IDEMPRESAS, NOMBRE, LOGOTIPO) VALUES (1, :N, :L)");
    blob.paramByName("N").setAsString(text);
    blob.paramByName("L").setValue(logo);
    blob.execSql();
    SqlStatement back;
    back.setDatabase(&database);
    back.setSql("SELECT LOGOTIPO FROM EMPRESAS WHERE IDEMPRESAS = 1");
    back.execute();
    EXPECT_EQ(back.value("LOGOTIPO").toByteArray(), logo);
    transaction.rollback();
}

TEST_F(Server, EditableDataSetPostsWithOldValues)
{
    db->run("INSERT INTO CLIENTES (IDCLIENTES, CODIGO, NOMBRE) VALUES (950, \"A1\", \"ANTES\");");
    SqlDataSet t;
    t.setDatabase(&database);
    t.setSelectSql({"SELECT IDCLIENTES, CODIGO, NOMBRE FROM CLIENTES WHERE IDCLIENTES >= 950 ORDER BY IDCLIENTES"});
    t.setModifySql({"UPDATE CLIENTES SET IDCLIENTES = :IDCLIENTES, NOMBRE = :NOMBRE",
                    "WHERE IDCLIENTES = :OLD_IDCLIENTES"});
    t.setInsertSql({"INSERT INTO CLIENTES (IDCLIENTES, CODIGO, NOMBRE) VALUES (:IDCLIENTES, :CODIGO, :NOMBRE)"});
    t.setDeleteSql({"DELETE FROM CLIENTES WHERE IDCLIENTES = :OLD_IDCLIENTES"});
    t.setRefreshSql({"SELECT CODIGO || \"*\" AS CODIGO FROM CLIENTES WHERE IDCLIENTES = :IDCLIENTES"});
    t.open();
    ASSERT_EQ(t.recordCount(), 1);

    t.edit();
    t.fieldByName("IDCLIENTES").setAsInteger(951); // the key itself changes: only OLD_ finds the row
    t.fieldByName("NOMBRE").setAsString("DESPUÉS");
    t.post();
    EXPECT_EQ(t.fieldByName("CODIGO").asString(), "A1*"); // read back after the post
    t.append();
    t.fieldByName("IDCLIENTES").setAsInteger(952);
    t.fieldByName("CODIGO").setAsString("B2");
    t.post();
    transaction.commitRetaining();
    EXPECT_EQ(db->rows("SELECT IDCLIENTES, NOMBRE FROM CLIENTES WHERE IDCLIENTES >= 950 ORDER BY 1"),
              (QStringList{QString::fromUtf8("951|DESPUÉS"), "952|<null>"}));

    t.first();
    t.remove();
    EXPECT_EQ(t.recordCount(), 1);
    EXPECT_EQ(t.fieldByName("IDCLIENTES").asInteger(), 952);
    transaction.commitRetaining();
    EXPECT_EQ(db->value("SELECT COUNT(*) FROM CLIENTES WHERE IDCLIENTES >= 950"), "1");
    db->run("DELETE FROM CLIENTES WHERE IDCLIENTES >= 950;");
}

TEST_F(Server, RawStatementsSendProcedureBodiesUntouchedAndProceduresRun)
{
    SqlStatement ddl;
    ddl.setDatabase(&database);
    ddl.setSql(QStringList{"CREATE OR ALTER PROCEDURE PRSUMA (PARA INTEGER, PARB INTEGER)",
                           "RETURNS (PARSUMA INTEGER, PARTEXTO VARCHAR(20))", "AS", "BEGIN",
                           "  PARSUMA = :PARA + :PARB;", "  PARTEXTO = \"total:\" || :PARSUMA;", "  SUSPEND;", "END"});
    ddl.execute();
    transaction.commitRetaining();
    EXPECT_EQ(db->value("SELECT COUNT(*) FROM RDB$PROCEDURES WHERE RDB$PROCEDURE_NAME = 'PRSUMA'"), "1");

    StoredProc proc;
    proc.setDatabase(&database);
    proc.setStoredProcName("PRSUMA");
    proc.paramByName("PARA").setAsInteger(2); // prepares to learn the parameters
    EXPECT_TRUE(proc.prepared());
    proc.paramByName("PARB").setAsInteger(40);
    proc.execProc();
    EXPECT_EQ(proc.paramByName("PARSUMA").asInteger(), 42);
    EXPECT_EQ(proc.paramByName("PARTEXTO").asString(), "total:42");

    // The same procedure as a selectable one, the way queries use it.
    SqlQuery q;
    q.setDatabase(&database);
    q.setSql("SELECT * FROM PRSUMA(:A, :A)");
    q.paramByName("A").setAsInteger(5);
    q.open();
    EXPECT_EQ(q.fieldByName("PARSUMA").asInteger(), 10);
}

TEST_F(Server, ClosingTheConnectionClosesDataSetsAndAppliesTheDefaultAction)
{
    SqlQuery q;
    q.setDatabase(&database);
    q.setSql("SELECT ID FROM NUMEROS");
    q.open();
    database.closeDataSets();
    EXPECT_FALSE(q.active());
    q.open();

    transaction.setDefaultAction(TransactionAction::CommitRetaining);
    SqlStatement s;
    s.setDatabase(&database);
    s.setSql("INSERT INTO CLIENTES (IDCLIENTES, CODIGO) VALUES (970, \"X\")");
    s.execute();
    database.close();
    EXPECT_FALSE(q.active());
    EXPECT_FALSE(transaction.active());
    EXPECT_EQ(db->value("SELECT COUNT(*) FROM CLIENTES WHERE IDCLIENTES = 970"), "1");

    // A transaction destroyed while active ends with its default action too.
    {
        Transaction rollingBack;
        rollingBack.setDatabase(&database);
        rollingBack.setDefaultAction(TransactionAction::Rollback);
        database.open();
        rollingBack.start();
        SqlStatement d;
        d.setDatabase(&database);
        d.setTransaction(&rollingBack);
        d.setSql("DELETE FROM CLIENTES WHERE IDCLIENTES = 970");
        d.execute();
    }
    EXPECT_EQ(db->value("SELECT COUNT(*) FROM CLIENTES WHERE IDCLIENTES = 970"), "1");
    db->run("DELETE FROM CLIENTES WHERE IDCLIENTES = 970;");
}

TEST_F(Server, ACommitTheServerRefusesIsRolledBackAndNothingStaysOpen)
{
    // The server refuses every commit of a transaction that wrote the marker row.
    db->run("CREATE EXCEPTION COMMIT_RECHAZADO 'commit rechazado';\n"
            "SET TERM ^ ;\n"
            "CREATE TRIGGER RECHAZAR_COMMIT ON TRANSACTION COMMIT AS BEGIN\n"
            "  IF (EXISTS (SELECT 1 FROM NUMEROS WHERE ID = -1)) THEN EXCEPTION COMMIT_RECHAZADO;\n"
            "END^\n"
            "SET TERM ; ^\n");
    struct DropTrigger
    {
        ~DropTrigger() { db->run("DROP TRIGGER RECHAZAR_COMMIT;\nDROP EXCEPTION COMMIT_RECHAZADO;\n"); }
    } dropTrigger;
    const auto writeMarker = [](Database &d) {
        SqlStatement s;
        s.setDatabase(&d);
        s.setSql("INSERT INTO NUMEROS (ID) VALUES (-1)");
        s.execute();
    };
    const auto markers = [] { return db->value("SELECT COUNT(*) FROM NUMEROS WHERE ID = -1"); };

    {
        // An explicit commit that fails leaves the transaction active, to be rolled back.
        Database d;
        Transaction t;
        connect(d, t);
        writeMarker(d);
        EXPECT_THROW(t.commit(), DatabaseError);
        EXPECT_TRUE(t.active());
        t.rollback();
        EXPECT_FALSE(t.active());
    }
    {
        // Closing the connection reports the refusal once everything is let go.
        Database d;
        Transaction t;
        connect(d, t);
        writeMarker(d);
        try {
            d.close();
            FAIL();
        } catch (const DatabaseError &e) {
            EXPECT_TRUE(e.message().contains("commit rechazado")) << e.message().toStdString();
        }
        EXPECT_FALSE(t.active());
        EXPECT_FALSE(d.connected());
    }
    {
        // Neither a transaction nor a connection destroyed with the refused work throws.
        Transaction outlivesTheConnection;
        Database d;
        auto t = std::make_unique<Transaction>();
        connect(d, *t);
        writeMarker(d);
        EXPECT_NO_THROW(t.reset());
        outlivesTheConnection.setDatabase(&d);
        d.setDefaultTransaction(&outlivesTheConnection);
        writeMarker(d);
    }
    EXPECT_EQ(markers(), "0");
}

TEST_F(Server, ALostConnectionIsNotAskedAgainAndItsWorkIsGone)
{
    const auto lostCodes = [](const DatabaseError &e) {
        return e.hasGdsCode(isc_att_shutdown) || e.hasGdsCode(isc_network_error) || e.hasGdsCode(isc_net_read_err)
               || e.hasGdsCode(isc_net_write_err) || e.hasGdsCode(isc_shutdown);
    };
    const auto insert = [](Database &d, Transaction &t, int id) {
        SqlStatement s;
        s.setDatabase(&d);
        s.setTransaction(&t);
        s.setSql(QStringLiteral("INSERT INTO NUMEROS (ID) VALUES (%1)").arg(id));
        s.execute();
    };
    const auto kill = [] { db->run("DELETE FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID <> CURRENT_CONNECTION;"); };

    // Work, then the connection is killed: the next request finds it gone and every later one
    // fails at once with that same error; rollback and close only let the handles go.
    insert(database, transaction, -10);
    kill();
    QString first;
    try {
        insert(database, transaction, -11);
        FAIL();
    } catch (const DatabaseError &e) {
        EXPECT_TRUE(lostCodes(e)) << e.message().toStdString();
        first = e.message();
    }
    EXPECT_TRUE(database.connectionLost());
    try {
        SqlQuery q;
        q.setDatabase(&database);
        q.setSql("SELECT ID FROM NUMEROS");
        q.open();
        FAIL();
    } catch (const DatabaseError &e) {
        EXPECT_EQ(e.message(), first);
    }
    EXPECT_NO_THROW(transaction.rollback());
    EXPECT_FALSE(transaction.active());
    EXPECT_NO_THROW(database.close());
    EXPECT_FALSE(database.connected());

    // A commit on a lost connection says so rather than passing for done; so does closing
    // with written work that was to be committed.
    for (bool explicitCommit : {true, false}) {
        Database d;
        Transaction t;
        connect(d, t);
        insert(d, t, -12);
        kill();
        try {
            if (explicitCommit)
                t.commit();
            else
                d.close();
            FAIL();
        } catch (const DatabaseError &e) {
            EXPECT_TRUE(lostCodes(e)) << e.message().toStdString();
        }
        EXPECT_FALSE(t.active());
        EXPECT_NO_THROW(d.close());
        EXPECT_FALSE(d.connected());
    }

    EXPECT_EQ(db->value("SELECT COUNT(*) FROM NUMEROS WHERE ID < -9"), "0");
    EXPECT_EQ(db->value("SELECT COUNT(*) FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID <> CURRENT_CONNECTION"
                        " AND MON$SYSTEM_FLAG = 0"),
              "0");
    // The same objects connect again afterwards.
    connect(database, transaction);
    insert(database, transaction, -13);
    transaction.rollback();
}
