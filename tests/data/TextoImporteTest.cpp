// The data module's amount text, without a server: every descriptor kind, the
// currency rate, and the rounding written back while a record is edited.
#include "components/lxRxMemoryData.h"
#include "data/ModuloDatos.h"
#include "framework/base/Error.h"
#include "framework/db/MemoryDataSet.h"
#include "support/DialogosGrabados.h"

#include <QDateTime>
#include <QLocale>

#include <gtest/gtest.h>

#include <memory>

namespace {

struct LocaleEspanol
{
    QLocale previo;
    LocaleEspanol() { QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain)); }
    ~LocaleEspanol() { QLocale::setDefault(previo); }
};

// A memory table with an amount and a date-time, both shown through the data module's handler.
struct Tabla
{
    TDatos datos;
    TlxRxMemoryData t;

    Tabla()
    {
        t.addField(QStringLiteral("IMPORTE"), fw::FieldType::Float);
        t.addField(QStringLiteral("FECHA"), fw::FieldType::DateTime);
        t.open(); // builds the descriptors
        for (const char *nombre : {"IMPORTE", "FECHA"})
            t.fieldByName(QLatin1String(nombre)).onGetText = [this](fw::Field &c, QString &texto, bool display) {
                datos.IBQSituacionClientesRiesgoPARRIESGOCONCEDIDO1GetText(c, texto, display);
            };
    }
    fw::Field &campo(const char *nombre) { return t.fieldByName(QLatin1String(nombre)); }
    void describir(const char *nombre, int tipo, double cambio, int decimales, bool getText = true)
    {
        t.SetlxCampo(&campo(nombre), lx::Presentacion{TlxTipoCampo(tipo), -1, QStringLiteral("*"), cambio, decimales,
                                                      true, QStringLiteral("["), QStringLiteral("]"), getText});
    }
    void fila(const QVariant &importe)
    {
        t.append();
        campo("IMPORTE").setValue(importe);
        campo("FECHA").setValue(QDateTime(QDate(2024, 1, 31), QTime(14, 5, 9)));
        t.post();
    }
};

} // namespace

TEST(TextoImporte, EachDescriptorKindGivesItsText)
{
    LocaleEspanol es;
    struct Caso
    {
        const char *campo;
        int tipo;
        double cambio;
        int decimales;
        QVariant valor;
        const char *texto;
        const char *formato = ""; // the field's display format afterwards
        bool getText = true;
    };
    const Caso casos[] = {
        {"IMPORTE", tcTexto, 2.5, 2, 1500.5, "[1500,5]"},
        {"IMPORTE", tcTexto4, 2.5, 2, 1500.5, "[1500,5]"},
        {"IMPORTE", tcTexto7, 2.5, 2, 1500.5, "[1500,5]"},
        {"IMPORTE", tcImporte, 1, 2, 1500.5, "[1.500,50]"},
        {"IMPORTE", tcImporte, 2.5, 2, 1500.5, "[600,20]"}, // divided by the rate
        {"IMPORTE", tcImporte, 0, 2, -1234.5, "[-1.234,50]"}, // rate 0 counts as 1
        {"IMPORTE", tcImporte, 2.5, 0, QVariant(), "[0]"},
        {"IMPORTE", tcNumero, 2.5, 2, 1500.5, "[1.500,50]"}, // never divided
        {"IMPORTE", tcNumero3, 2.5, 0, 1500.5, "[1.501]"},
        {"IMPORTE", tcSinValor5, 1, 2, 1500.5, "[]"},
        {"IMPORTE", 42, 1, 2, 1500.5, "[]"},
        {"IMPORTE", tcImporte, 2.5, 2, 1500.5, "1500,5", "", false}, // the field's own text alone
        {"FECHA", tcFecha, 1, 2, 1500.5, "[31/01/2024 14:05:09]", "dd/mm/yyyy"},
        {"FECHA", tcFechaHora, 1, 2, 1500.5, "[31/01/2024 14:05:09]", "dd/mm/yyyy hh:nn"},
        {"FECHA", tcHora, 1, 2, 1500.5, "[31/01/2024 14:05:09]", "hh:nn"},
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(testing::Message() << c.campo << " kind " << c.tipo << " rate " << c.cambio);
        Tabla tabla;
        tabla.describir(c.campo, c.tipo, c.cambio, c.decimales, c.getText);
        tabla.fila(c.valor);
        EXPECT_EQ(tabla.campo(c.campo).displayText(), QString::fromUtf8(c.texto));
        EXPECT_EQ(tabla.campo(c.campo).text(), QString::fromUtf8(c.texto));
        EXPECT_EQ(tabla.campo(c.campo).displayFormat(), QLatin1String(c.formato));
    }

    // A field whose data set keeps no descriptors shows nothing.
    TDatos datos;
    fw::MemoryDataSet sinDescriptores;
    fw::Field &importe = sinDescriptores.addField(QStringLiteral("IMPORTE"), fw::FieldType::Float);
    importe.onGetText = [&](fw::Field &c, QString &texto, bool display) {
        datos.IBQSituacionClientesRiesgoPARRIESGOCONCEDIDO1GetText(c, texto, display);
    };
    sinDescriptores.open();
    sinDescriptores.append();
    importe.setAsFloat(1500.5);
    sinDescriptores.post();
    EXPECT_EQ(importe.displayText(), QString());
}

TEST(TextoImporte, AnAmountBeingEditedIsStoredRoundedToTheCurrencysDecimals)
{
    LocaleEspanol es;
    struct Caso
    {
        const char *estado;
        bool editar, insertar, soloLectura, fallaAlGuardar;
        double guardado;
    };
    const Caso casos[] = {
        {"browsing", false, false, false, false, 1.236},
        {"editing", true, false, false, false, 1.24},
        {"inserting", false, true, false, false, 1.24},
        {"editing a read-only field", true, false, true, false, 1.236},
        {"editing, the owner refusing the value", true, false, false, true, 1.24},
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.estado);
        testsupport::DialogosGrabados dialogos;
        Tabla tabla;
        tabla.describir("IMPORTE", tcImporte, 2, 2);
        fw::Field &importe = tabla.campo("IMPORTE");
        if (c.insertar) {
            tabla.t.append();
            importe.setAsFloat(1.236);
        } else {
            tabla.fila(1.236);
            if (c.editar)
                tabla.t.edit();
        }
        importe.setReadOnly(c.soloLectura);
        if (c.fallaAlGuardar)
            importe.onChange = [](fw::Field &) { throw fw::Error(QStringLiteral("Valor no admitido")); };

        // The text divides the value by the rate; the rounding is of the stored value itself.
        EXPECT_EQ(importe.displayText(), QStringLiteral("[0,62]"));
        EXPECT_DOUBLE_EQ(importe.asFloat(), c.guardado);
        EXPECT_EQ(dialogos.vistos,
                  c.fallaAlGuardar ? QStringList{QStringLiteral("inform|Valor no admitido")} : QStringList{});
    }
}
