#include "PaqueteXml.h"
#include "components/lxPaqueteXML.h"
#include "components/lxRxMemoryData.h"
#include "framework/base/Error.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <iterator>

#include <gtest/gtest.h>

namespace {

struct LocaleEspanol
{
    QLocale previo;
    LocaleEspanol() { QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain)); }
    ~LocaleEspanol() { QLocale::setDefault(previo); }
};

void declararCampos(TlxRxMemoryData &t)
{
    t.addField({"CODIGO", fw::FieldType::String, 10, fw::FieldKind::Data, {}, fw::FieldFlag::Required});
    t.addField("NOMBRE", fw::FieldType::String, 60);
    t.addField("IMPORTE", fw::FieldType::Float);
    t.addField("PRECIO", fw::FieldType::Currency);
    t.addField("UNIDADES", fw::FieldType::SmallInt);
    t.addField("ENTERO", fw::FieldType::Integer);
    t.addField("ACTIVO", fw::FieldType::Boolean);
    t.addField("FECHA", fw::FieldType::Date);
    t.addField("FECHAHORA", fw::FieldType::DateTime);
    t.addField("HORA", fw::FieldType::Time);
    t.addField("GRANDE", fw::FieldType::LargeInt);
}

void anadir(TlxRxMemoryData &t, const QList<std::pair<const char *, QVariant>> &valores)
{
    t.append();
    for (const auto &[campo, valor] : valores)
        t.fieldByName(campo).setValue(valor);
    t.post();
}

} // namespace

TEST(PaqueteXmlTablaMemoria, WritesMetadataAndRowsAsTheReferencePacket)
{
    LocaleEspanol es;
    TlxRxMemoryData t;
    t.setObjectName("RxPrueba");
    declararCampos(t);
    t.open();
    anadir(t, {{"CODIGO", "C1"},
               {"NOMBRE", "Muñoz \"el\" Nº 3"},
               {"IMPORTE", 1500.5},
               {"PRECIO", -2.25},
               {"UNIDADES", 3},
               {"ENTERO", 42},
               {"ACTIVO", true},
               {"FECHA", QDate(2024, 1, 31)},
               {"FECHAHORA", QDateTime(QDate(2024, 1, 31), QTime(14, 5, 9, 123))},
               {"HORA", QTime(8, 7, 6)},
               {"GRANDE", qlonglong(1234567890123)}});
    anadir(t, {{"CODIGO", "C2"},
               {"NOMBRE", QString::fromUtf8("Çç ªº äëïöü áéíóú ÁÉÍÓÚ ´` a&b <c> €\r\nfin")},
               {"IMPORTE", QVariant()},
               {"ACTIVO", false},
               {"FECHAHORA", QDateTime(QDate(2024, 2, 29), QTime(0, 0))}});
    anadir(t, {{"CODIGO", "C3"}, {"NOMBRE", ""}, {"FECHAHORA", QDateTime(QDate(2024, 3, 1), QTime(0, 0, 0, 1))}});
    t.setRecNo(2);
    t.fieldByName("GRANDE").setReadOnly(true);
    // The packet carries the value, not the text a handler shows for it.
    t.fieldByName("IMPORTE").onGetText = [](fw::Field &, QString &texto, bool) { texto = "1.500,50  "; };

    QTemporaryDir dir;
    const QString fichero = dir.filePath("memoria.xml");
    t.GuardarXML(fichero);

    EXPECT_EQ(t.recNo(), 2) << "the data set stands where it stood";
    EXPECT_FALSE(t.controlsDisabled());
    const QByteArray escrito = leerFichero(fichero);
    EXPECT_TRUE(soloAsciiImprimible(escrito, false));
    compararConReferencia(escrito, "memoria.xml");

    const PaqueteLeido p = leerPaquete(escrito);
    ASSERT_TRUE(p.error.isEmpty()) << p.error.toStdString();
    EXPECT_EQ(p.campos, (QStringList{"CODIGO", "NOMBRE", "IMPORTE", "PRECIO", "UNIDADES", "ENTERO", "ACTIVO", "FECHA",
                                     "FECHAHORA", "HORA", "GRANDE"}));
    ASSERT_EQ(p.filas.size(), 3);
    const auto &f1 = p.filas[0];
    EXPECT_EQ(f1.value("NOMBRE"), "Munoz 'el' Nº 3");
    EXPECT_EQ(f1.value("IMPORTE"), "1500,5");
    EXPECT_EQ(f1.value("PRECIO"), "-2,25");
    EXPECT_EQ(f1.value("ACTIVO"), "TRUE");
    EXPECT_EQ(f1.value("FECHA"), "20240131");
    EXPECT_EQ(f1.value("FECHAHORA"), "20240131T14:05:09123");
    EXPECT_EQ(f1.value("HORA"), "080706");
    EXPECT_EQ(f1.value("GRANDE"), "1234567890123");
    const auto &f2 = p.filas[1];
    EXPECT_EQ(f2.value("NOMBRE"), QString::fromUtf8("Çç ªº aeiou aeiou AEIOU '' a&b <c> €  fin"));
    EXPECT_FALSE(f2.contains("IMPORTE")) << "null values are left out";
    EXPECT_EQ(f2.value("PRECIO"), "0");
    EXPECT_EQ(f2.value("ACTIVO"), "FALSE");
    EXPECT_EQ(f2.value("FECHAHORA"), "20240229") << "midnight is the date alone";
    EXPECT_FALSE(p.filas[2].contains("NOMBRE")) << "empty texts are left out";
    EXPECT_EQ(p.filas[2].value("FECHAHORA"), "20240301T00:00:00001");
}

TEST(PaqueteXmlTablaMemoria, CodeUnitsNoXmlReferenceMayNameBecomeTheReplacementCharacter)
{
    // Lone halves of surrogate pairs and the two non-characters reach the module
    // in the host's text; a pair stays one character.
    const char16_t raros[] = {u'a', 0xD800, u'b', 0xDC00, 0xFFFE, 0xFFFF, 0xD83D, 0xDE00, 0xDBFF};
    const QString valor(reinterpret_cast<const QChar *>(raros), qsizetype(std::size(raros)));
    for (const auto limpieza : {lxcomun::LimpiezaXML::Query, lxcomun::LimpiezaXML::Edicion})
        EXPECT_EQ(lxcomun::LimpiarValorXML(valor, limpieza),
                  QByteArray("a&#65533;b&#65533;&#65533;&#65533;&#128512;&#65533;"));

    TlxRxMemoryData t;
    t.addField("TEXTO", fw::FieldType::String, 20);
    t.fieldByName("TEXTO").setOrigin(valor);
    t.open();
    anadir(t, {{"TEXTO", valor}});
    QTemporaryDir dir;
    const QString fichero = dir.filePath("raros.xml");
    t.GuardarXML(fichero);
    const PaqueteLeido p = leerPaquete(leerFichero(fichero));
    ASSERT_TRUE(p.error.isEmpty()) << p.error.toStdString();
    ASSERT_EQ(p.filas.size(), 1);
    EXPECT_EQ(p.filas[0].value("TEXTO"), QString::fromUtf8("a\uFFFDb\uFFFD\uFFFD\uFFFD😀\uFFFD"));
}

TEST(PaqueteXmlTablaMemoria, EmptyTableWritesTheMetadataAndNoRow)
{
    TlxRxMemoryData t;
    t.addField("ID", fw::FieldType::Integer);
    t.open();
    QTemporaryDir dir;
    const QString fichero = dir.filePath("vacia.xml");
    { QFile previo(fichero); ASSERT_TRUE(previo.open(QIODevice::WriteOnly)); previo.write(QByteArray(5000, 'x')); }
    t.GuardarXML(fichero);
    EXPECT_EQ(leerFichero(fichero),
              QByteArray("<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
                         "<FIELD attrname=\"ID\" fieldtype=\"i4\"><PARAM Name=\"ORIGIN\" Value=\"\" Roundtrip=\"True\" />"
                         "</FIELD></FIELDS><PARAMS PRIMARY_KEY=\"1\"><PARAM Name=\"NO_RESET_CALL\" Value=\"TRUE\" "
                         "Type=\"boolean\" /></PARAMS></METADATA><ROWDATA></ROWDATA></DATAPACKET>"));
}

TEST(PaqueteXmlTablaMemoria, AFileThatCannotBeCreatedIsAnErrorForTheCaller)
{
    TlxRxMemoryData t;
    t.addField("ID", fw::FieldType::Integer);
    t.open();
    EXPECT_THROW(t.GuardarXML("/no/such/folder/x.xml"), fw::Error);
}

TEST(PaqueteXmlTablaMemoria, FieldNamesNoXmlReaderAcceptsAreRefusedBeforeTheFileIsTouched)
{
    QTemporaryDir dir;
    const QString fichero = dir.filePath("nombres.xml");
    for (const char *nombre : {"AÑO", "1A", "A B", "NS:X", "-A", ".A", "A&B"}) {
        TlxRxMemoryData t;
        t.addField("ID", fw::FieldType::Integer);
        t.addField(QString::fromUtf8(nombre), fw::FieldType::String, 10);
        t.open();
        anadir(t, {{"ID", 1}, {nombre, "x"}});
        {
            QFile previo(fichero);
            ASSERT_TRUE(previo.open(QIODevice::WriteOnly | QIODevice::Truncate));
            previo.write("previo");
        }
        try {
            t.GuardarXML(fichero);
            ADD_FAILURE() << nombre << " was written";
        } catch (const fw::Error &e) {
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(nombre))) << e.message().toStdString();
        }
        EXPECT_EQ(leerFichero(fichero), QByteArray("previo")) << nombre;
    }

    // Letters, digits, "_", "-" and "." make names that need no escaping.
    TlxRxMemoryData t;
    t.addField("_Id.2-b", fw::FieldType::Integer);
    t.open();
    anadir(t, {{"_Id.2-b", 7}});
    t.GuardarXML(fichero);
    const PaqueteLeido p = leerPaquete(leerFichero(fichero));
    ASSERT_TRUE(p.error.isEmpty()) << p.error.toStdString();
    ASSERT_EQ(p.filas.size(), 1);
    EXPECT_EQ(p.filas[0].value("_Id.2-b"), "7");
}
