#include "ModalesAutomaticos.h"
#include "PaqueteXml.h"
#include "components/lxIBDataSet.h"
#include "components/lxIBQuery.h"
#include "components/lxIBStoredProc.h"
#include "framework/db/Database.h"
#include "framework/base/Error.h"
#include "framework/db/Transaction.h"
#include "support/SesionPrueba.h"
#include "support/TestDatabase.h"

#include <QCursor>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using testsupport::TestDatabase;

namespace {

const char *const kEsquema = R"(
CREATE TABLE PRUEBAS (
  ID INTEGER NOT NULL PRIMARY KEY,
  NOMBRE VARCHAR(40),
  IMPORTE DOUBLE PRECISION,
  USUARIOALTA INTEGER,
  FECHAALTA DATE,
  USUARIOMODIFICACION INTEGER,
  FECHAMODIFICACION DATE
);
CREATE TABLE PRUEBAXML (
  ID INTEGER NOT NULL PRIMARY KEY,
  NOMBRE VARCHAR(30),
  IMPORTE NUMERIC(15,2),
  CANTIDAD SMALLINT,
  FECHA DATE
);
CREATE EXCEPTION EXFALLO 'El procedimiento ha fallado';
SET TERM ^ ;
CREATE PROCEDURE PRALTA (X INTEGER) RETURNS (Y INTEGER) AS
BEGIN
  INSERT INTO PRUEBAS (ID) VALUES (:X);
  Y = X * 2;
END^
CREATE PROCEDURE PRFALLA (X INTEGER) AS
BEGIN
  EXCEPTION EXFALLO;
END^
SET TERM ; ^
INSERT INTO PRUEBAXML VALUES (1, 'Muñoz "el" Nº 3', 1500.5, 3, '2024-01-31 14:05:09.1230');
INSERT INTO PRUEBAXML VALUES (2, 'Çç ªº äëïöü ´` a&b <c>' || ASCII_CHAR(13) || ASCII_CHAR(10) || 'fin', NULL, NULL, '2024-02-29 00:00:00');
INSERT INTO PRUEBAXML VALUES (3, '', 0, 0, NULL);
)";

// One connection and transaction as the data module holds them.
using Sesion = testsupport::SesionPrueba;

// The editable data set over PRUEBAS, limited to the ids of one case.
void prepararPruebas(TlxIBDataSet &t, Sesion &s, int desde, int hasta)
{
    t.setObjectName("tPruebas");
    t.setDatabase(&s.db);
    t.setSelectSql({"SELECT ID, NOMBRE, IMPORTE, USUARIOALTA, FECHAALTA, USUARIOMODIFICACION, FECHAMODIFICACION",
                    "FROM PRUEBAS", "WHERE ID BETWEEN :DESDE AND :HASTA", "ORDER BY ID"});
    t.setInsertSql({"INSERT INTO PRUEBAS (ID, NOMBRE, IMPORTE, USUARIOALTA, FECHAALTA, USUARIOMODIFICACION,",
                    "  FECHAMODIFICACION)",
                    "VALUES (:ID, :NOMBRE, :IMPORTE, :USUARIOALTA, :FECHAALTA, :USUARIOMODIFICACION,",
                    "  :FECHAMODIFICACION)"});
    t.setModifySql({"UPDATE PRUEBAS SET NOMBRE = :NOMBRE, IMPORTE = :IMPORTE, USUARIOALTA = :USUARIOALTA,",
                    "  FECHAALTA = :FECHAALTA, USUARIOMODIFICACION = :USUARIOMODIFICACION,",
                    "  FECHAMODIFICACION = :FECHAMODIFICACION", "WHERE ID = :OLD_ID"});
    t.setDeleteSql({"DELETE FROM PRUEBAS WHERE ID = :OLD_ID"});
    t.paramByName("DESDE").setValue(desde);
    t.paramByName("HASTA").setValue(hasta);
}

void alta(TlxIBDataSet &t, int id, const QString &nombre = "alta")
{
    t.append();
    t.fieldByName("ID").setValue(id);
    t.fieldByName("NOMBRE").setValue(nombre);
    t.post();
}

} // namespace

class ConjuntosDatos : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        base = new TestDatabase("components");
        base->run(QString::fromUtf8(kEsquema));
    }
    static void TearDownTestSuite()
    {
        delete base;
        base = nullptr;
    }
    static int filas(int id)
    {
        return base->value(QString("SELECT COUNT(*) FROM PRUEBAS WHERE ID = %1").arg(id)).toInt();
    }
    static TestDatabase *base;
};
TestDatabase *ConjuntosDatos::base = nullptr;

TEST_F(ConjuntosDatos, OpeningAQueryCommitsWorkPostedOnTheSharedTransaction)
{
    Sesion s(*base);
    TlxIBDataSet t;
    prepararPruebas(t, s, 100, 199);
    t.open();
    alta(t, 100);
    EXPECT_EQ(filas(100), 0) << "posted, not committed yet";

    TlxIBQuery q;
    q.setObjectName("IBQCuenta");
    q.setDatabase(&s.db);
    q.setSql(QStringList{"SELECT COUNT(*) AS N FROM PRUEBAS WHERE ID = :ID"});
    q.paramByName("ID").setValue(100);
    q.open();
    EXPECT_EQ(filas(100), 1) << "a second connection sees it once the query opened";
    EXPECT_EQ(q.fieldByName("N").asInteger(), 1);
    EXPECT_TRUE(s.tr.active());
    EXPECT_TRUE(t.active()) << "the other data set keeps its cursor";
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(q.prepared());
    q.close();
    EXPECT_FALSE(q.prepared()) << "released after close";
}

TEST_F(ConjuntosDatos, QueryReportsItsBeforeOpenErrorAndStillOpens)
{
    Sesion s(*base);
    TlxIBQuery q;
    q.setObjectName("IBQPruebas");
    q.setDatabase(&s.db);
    q.setSql(QStringList{"SELECT ID, NOMBRE FROM PRUEBAXML WHERE ID = :ID"});
    q.beforeOpen = [](fw::DataSet &) { throw fw::Error("Sin parámetros"); };
    ModalesAutomaticos modales;
    EXPECT_NO_THROW(q.open());
    EXPECT_EQ(modales.textos(), QStringList{"Sin parámetros"});
    EXPECT_TRUE(q.active());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // No declared fields: the descriptor list exists and is empty; made fields get none.
    ASSERT_NE(q.ListaCampos(), nullptr);
    EXPECT_EQ(q.ListaCampos()->Count(), 0);
    EXPECT_EQ(q.GetlxCampo(q.findField("ID")), nullptr);
    EXPECT_TRUE(q.EsCampoValido("nombre"));
    EXPECT_FALSE(q.EsCampoValido("NOMBRES"));
    EXPECT_TRUE(q.EsParametroValido("id"));
    EXPECT_FALSE(q.EsParametroValido("IDS"));
}

TEST_F(ConjuntosDatos, QueryWithDeclaredFieldsKeepsTheMaskForKindSix)
{
    Sesion s(*base);
    TlxIBQuery q;
    q.setObjectName("IBQPruebas");
    q.setDatabase(&s.db);
    q.setSql(QStringList{"SELECT ID, FECHA FROM PRUEBAXML"});
    q.addField("ID", fw::FieldType::Integer);
    fw::Field &fecha = q.addField("FECHA", fw::FieldType::DateTime);
    q.open();
    ASSERT_EQ(q.ListaCampos()->Count(), 2);
    q.GetlxCampo(&fecha)->MascaraVisualizacion = "previa";
    q.SetlxCampo(&fecha, 6, -1, "*", 0, 2, true, "", "", true);
    EXPECT_EQ(q.GetlxCampo(&fecha)->MascaraVisualizacion, "previa");
    EXPECT_EQ(q.GetlxCampo(&fecha)->Tipo, 6);
}

TEST_F(ConjuntosDatos, CommitAndRollbackDoNothingWithoutTransactionControl)
{
    Sesion s(*base);
    TlxIBDataSet t;
    prepararPruebas(t, s, 200, 299);
    t.open();
    alta(t, 200);
    ASSERT_TRUE(t.GetEstadoModificado());

    EXPECT_TRUE(t.Commit(true));
    EXPECT_FALSE(t.Rollback(true));
    EXPECT_TRUE(s.tr.active());
    EXPECT_TRUE(t.GetEstadoModificado());
    EXPECT_EQ(filas(200), 0) << "the transaction was left as it was";

    // With control on, an empty question text commits without asking.
    t.ControlTransacciones = true;
    t.AvisoCommit = true;
    t.TextoAvisoCommit.clear();
    EXPECT_TRUE(t.Commit(true));
    EXPECT_EQ(filas(200), 1);
    EXPECT_FALSE(t.GetEstadoModificado());
    EXPECT_FALSE(t.Rollback(false)) << "nothing left to roll back";
}

TEST_F(ConjuntosDatos, ClosingCommitsUnderTransactionControlButARollbackStaysARollback)
{
    const struct
    {
        bool cerrarAntes; // the data set is closed by its owner before the transaction rolls back
        int id;
        int filasEsperadas;
    } casos[] = {{true, 700, 1}, {false, 710, 0}};
    for (const auto &k : casos) {
        SCOPED_TRACE(k.id);
        Sesion s(*base);
        TlxIBDataSet t;
        prepararPruebas(t, s, k.id, k.id + 9);
        t.ControlTransacciones = true;
        t.open();
        alta(t, k.id);
        if (k.cerrarAntes)
            t.close();
        s.tr.rollback();
        EXPECT_EQ(filas(k.id), k.filasEsperadas);
    }
}

TEST_F(ConjuntosDatos, TheWaitCursorShowsWhileAQueryOpensAndGoesAwayWhenTheOpenFails)
{
    Sesion s(*base);
    TlxIBQuery q;
    q.setDatabase(&s.db);
    q.setSql(QStringList{"SELECT ID FROM PRUEBAXML"});
    const QCursor *durante = nullptr;
    Qt::CursorShape forma = Qt::ArrowCursor;
    q.beforeOpen = [&](fw::DataSet &) {
        durante = QApplication::overrideCursor();
        if (durante)
            forma = durante->shape();
    };
    q.open();
    ASSERT_NE(durante, nullptr);
    EXPECT_EQ(forma, Qt::WaitCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    q.close();

    // A statement the server refuses: reported at the before-open step, then the open itself fails.
    q.beforeOpen = nullptr;
    q.setSql(QStringList{"SELECT NO_SUCH_COLUMN FROM PRUEBAXML"});
    ModalesAutomaticos modales;
    EXPECT_THROW(q.open(), fw::DatabaseError);
    EXPECT_EQ(modales.textos().size(), 1);
    EXPECT_FALSE(q.active());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(ConjuntosDatos, TheEditableDataSetsWaitCursorLastsThroughItsAfterOpenHandlerEvenWhenItFails)
{
    Sesion s(*base);
    TlxIBDataSet t;
    prepararPruebas(t, s, 0, 0);
    Qt::CursorShape forma = Qt::ArrowCursor;
    t.afterOpen = [&](fw::DataSet &) {
        if (const QCursor *c = QApplication::overrideCursor())
            forma = c->shape();
        throw fw::Error("después de abrir");
    };
    EXPECT_THROW(t.open(), fw::Error);
    EXPECT_EQ(forma, Qt::WaitCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(ConjuntosDatos, TheAnswerToTheCommitQuestionKeepsOrRemovesTheNewRecord)
{
    const struct
    {
        QMessageBox::StandardButton respuesta;
        int id;
        int filasEsperadas;
    } casos[] = {{QMessageBox::No, 300, 0}, {QMessageBox::Yes, 310, 1}};
    for (const auto &k : casos) {
        SCOPED_TRACE(k.id);
        Sesion s(*base);
        TlxIBDataSet t;
        prepararPruebas(t, s, k.id, k.id + 9);
        t.ControlTransacciones = true;
        t.CommitOnPost = true;
        t.AvisoCommit = true;
        t.TextoAvisoCommit = "¿Desea grabar los cambios?";
        t.open();
        {
            ModalesAutomaticos modales(k.respuesta);
            alta(t, k.id);
            EXPECT_EQ(modales.textos(), QStringList{"¿Desea grabar los cambios?"});
        }
        EXPECT_EQ(t.recordCount(), k.filasEsperadas) << "the data set";
        EXPECT_EQ(filas(k.id), k.filasEsperadas) << "another connection";
        s.tr.commitRetaining();
        EXPECT_EQ(filas(k.id), k.filasEsperadas) << "after a later commit";
        EXPECT_FALSE(t.GetEstadoModificado());
    }
}

TEST_F(ConjuntosDatos, PostingStoresNullForEmptyTextsZeroForFloatsAndStampsTheAuditColumns)
{
    Sesion s(*base);
    TlxIBDataSet t;
    prepararPruebas(t, s, 400, 499);
    t.ControlAuditoria = true;
    t.open();
    t.append();
    EXPECT_EQ(t.fieldByName("IMPORTE").value(), QVariant(0.0)) << "new records start float fields at 0";
    t.fieldByName("ID").setValue(400);
    t.fieldByName("NOMBRE").setValue(QString(""));
    const QDateTime antes = QDateTime::currentDateTime().addSecs(-1);
    t.post();
    EXPECT_GE(t.fieldByName("FECHAALTA").asDateTime(), antes);
    EXPECT_LE(t.fieldByName("FECHAALTA").asDateTime(), QDateTime::currentDateTime().addSecs(1));
    s.tr.commitRetaining();
    EXPECT_EQ(base->rows("SELECT NOMBRE, USUARIOALTA, USUARIOMODIFICACION, FECHAMODIFICACION FROM PRUEBAS "
                         "WHERE ID = 400"),
              QStringList{"<null>|-1|<null>|<null>"});
    EXPECT_NE(base->value("SELECT FECHAALTA FROM PRUEBAS WHERE ID = 400"), "<null>");

    t.IdUsuarioActivo = 7;
    t.edit();
    t.fieldByName("NOMBRE").setValue("Modificado");
    t.post();
    s.tr.commitRetaining();
    EXPECT_EQ(base->rows("SELECT NOMBRE, USUARIOALTA, USUARIOMODIFICACION FROM PRUEBAS WHERE ID = 400"),
              QStringList{"Modificado|-1|7"});
    EXPECT_NE(base->value("SELECT FECHAMODIFICACION FROM PRUEBAS WHERE ID = 400"), "<null>");
}

TEST_F(ConjuntosDatos, StoredProcedureCommitsItsWorkAndIsUnpreparedAfterEveryRun)
{
    Sesion s(*base);
    TlxIBStoredProc alta;
    alta.setObjectName("spAlta");
    alta.setDatabase(&s.db);
    alta.setStoredProcName("PRALTA");
    alta.Preparar();
    alta.paramByName("X").setValue(600);
    alta.Ejecutar();
    EXPECT_EQ(alta.paramByName("Y").asInteger(), 1200);
    EXPECT_FALSE(alta.prepared());
    EXPECT_EQ(filas(600), 1) << "committed by the execution";

    TlxIBStoredProc falla;
    falla.setDatabase(&s.db);
    falla.setStoredProcName("PRFALLA");
    falla.Preparar();
    falla.paramByName("X").setValue(1);
    try {
        falla.Ejecutar();
        ADD_FAILURE() << "the error must reach the caller";
    } catch (const fw::DatabaseError &e) {
        EXPECT_TRUE(e.message().contains("El procedimiento ha fallado")) << e.message().toStdString();
    }
    EXPECT_FALSE(falla.prepared());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(s.tr.active());
}

class PaqueteXmlSql : public ConjuntosDatos
{
protected:
    QLocale previo;
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain)); }
    void TearDown() override { QLocale::setDefault(previo); }
};

TEST_F(PaqueteXmlSql, QueryAndEditableDataSetWriteTheirReferencePackets)
{
    Sesion s(*base);
    TlxIBQuery q;
    q.setObjectName("IBQPruebaXml");
    TlxIBDataSet t;
    t.setObjectName("tPruebaXml");
    QTemporaryDir dir;
    struct Caso
    {
        fw::SqlQuery &ds;
        std::function<void(const QString &)> guardar;
        QString referencia;
        QString nombre2; // row 2's NOMBRE as an XML reader sees it (a kept CR LF reads as one blank)
    } casos[] = {
        {q, [&](const QString &f) { q.GuardarXML(f); }, "query.xml",
         QString::fromUtf8("Cc ao äëïöü '' a&b <c> fin")},
        {t, [&](const QString &f) { t.GuardarXML(f); }, "dataset.xml",
         QString::fromUtf8("Çç ªº aeiou '' a&b <c>  fin")},
    };
    for (Caso &k : casos) {
        SCOPED_TRACE(k.referencia.toStdString());
        k.ds.setDatabase(&s.db);
        k.ds.setSql({"SELECT ID, NOMBRE, IMPORTE, CANTIDAD, FECHA FROM PRUEBAXML", "ORDER BY ID"});
        k.ds.open();
        k.ds.fetchAll();
        k.ds.setRecNo(2);
        const QString fichero = dir.filePath(k.referencia);
        k.guardar(fichero);
        EXPECT_EQ(k.ds.recNo(), 2);

        const QByteArray escrito = leerFichero(fichero);
        EXPECT_TRUE(soloAsciiImprimible(escrito, &k.ds == &q));
        compararConReferencia(escrito, k.referencia);
        // ID is NOT NULL in the table.
        EXPECT_TRUE(escrito.contains("<FIELD attrname=\"ID\" fieldtype=\"i4\" required=\"true\">"));
        EXPECT_TRUE(escrito.contains("<FIELD attrname=\"NOMBRE\" fieldtype=\"string\" WIDTH=\"30\">"));
        const PaqueteLeido p = leerPaquete(escrito);
        ASSERT_TRUE(p.error.isEmpty()) << p.error.toStdString();
        EXPECT_EQ(p.tipos, (QStringList{"i4", "string", "r8", "i4", "datetime"}));
        ASSERT_EQ(p.filas.size(), 3);
        EXPECT_EQ(p.filas[0].value("NOMBRE"), QString::fromUtf8("Munoz 'el' ") + (&k.ds == &q ? "No 3" : "Nº 3"));
        EXPECT_EQ(p.filas[0].value("IMPORTE"), "1500,5");
        EXPECT_EQ(p.filas[0].value("FECHA"), "20240131T14:05:09123");
        EXPECT_EQ(p.filas[1].value("NOMBRE"), k.nombre2);
        EXPECT_EQ(p.filas[1].value("FECHA"), "20240229");
        EXPECT_FALSE(p.filas[1].contains("IMPORTE"));
        EXPECT_EQ(p.filas[2], (QMap<QString, QString>{{"ID", "3"}, {"IMPORTE", "0"}, {"CANTIDAD", "0"}}));

        // An empty result: the metadata, then straight to the end.
        k.ds.close();
        k.ds.setSql(QStringList{"SELECT ID, NOMBRE, IMPORTE, CANTIDAD, FECHA FROM PRUEBAXML WHERE ID < 0"});
        k.ds.open();
        k.guardar(fichero);
        const QByteArray vacio = leerFichero(fichero);
        EXPECT_TRUE(vacio.endsWith("</FIELDS><PARAMS PRIMARY_KEY=\"1\"><PARAM Name=\"NO_RESET_CALL\" Value=\"TRUE\" "
                                   "Type=\"boolean\" /></PARAMS></METADATA><ROWDATA></ROWDATA></DATAPACKET>"));
        EXPECT_FALSE(vacio.contains("<ROW ") || vacio.contains("<ROW/"));

        // Two columns of one name would give a row two attributes of that name.
        k.ds.close();
        k.ds.setSql(QStringList{"SELECT ID, ID FROM PRUEBAXML"});
        k.ds.open();
        EXPECT_THROW(k.guardar(fichero), fw::Error);
    }
}
