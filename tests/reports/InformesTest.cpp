// The three reports as the listings build them: their frame when nothing was
// gathered, and the builders run without any window.
#include "ListadosPrueba.h"

#include "framework/report/Document.h"
#include "reports/InformesVelmora.h"

#include <QDateEdit>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace listados;

namespace {

QStringList lineasDe(const fw::report::Document &documento)
{
    QStringList out;
    for (const fw::report::Page &pagina : documento.pages)
        for (const fw::report::TextLine &linea : fw::report::textLines(pagina)) {
            QStringList textos;
            for (const fw::report::TextItem *t : linea.items)
                textos << t->text;
            out << textos.join(u'\t');
        }
    return out;
}

} // namespace

// With no group ticked nothing is gathered for the risk listings, and group 1,
// without covered customers with sales, is declared.
TEST_F(Listados, ListingsWithNothingGatheredStillPrintTheirFrame)
{
    Ventana v(*db);
    v.w.EditTituloListado->setText(QStringLiteral("Riesgos"));
    v.w.DateTimeDesde->setDate(QDate(2024, 3, 1));
    v.w.DateTimeHasta->setDate(QDate(2024, 3, 31));

    const Listado cliente = v.listar(v.w.BotonObtenerListadoClientes);
    EXPECT_TRUE(cliente.filas.empty());
    EXPECT_TRUE(cliente.lineas.contains(QStringLiteral("Codigo\tNombre Cliente\tGrupo Riesgo\tPedidos\tAlbaran. Pte."
                                                       "\tVtos. Pte\tRemesas\tTotal Riesgo\tRiesgo Conc.\tSaldo")))
        << cliente.lineas.join(u'\n').toStdString();
    EXPECT_EQ(cliente.lineas.mid(cliente.lineas.size() - 2),
              (QStringList{QStringLiteral("Totales .....\t0,00\t0,00\t0,00\t0,00\t0,00\t0,00\t0,00"),
                           QStringLiteral("Pag. 1")}));

    v.w.RadioGroupTipoListado->findChild<QRadioButton *>(QStringLiteral("RadioGroupTipoListado1"))->setChecked(true);
    const Listado grupos = v.listar(v.w.BotonObtenerListadoClientes);
    EXPECT_EQ(grupos.lineas.size(), 4) << grupos.lineas.join(u'\n').toStdString(); // company and date, titles, page
    EXPECT_EQ(grupos.lineas.filter(QStringLiteral("Grupo de Riesgo")), QStringList());
    EXPECT_EQ(grupos.lineas.constLast(), QStringLiteral("Pag. 1"));

    // Only anonymous sales: no title block, no lines, the summary on the first page.
    const Listado caucion = v.listar(v.w.suiButton2);
    EXPECT_EQ(caucion.lineas.filter(QStringLiteral("Cod.  C.C")), QStringList());
    EXPECT_EQ(caucion.lineas.filter(QStringLiteral("Pag. ")), QStringList{QStringLiteral("Pag. 1")});
    EXPECT_TRUE(caucion.lineas.contains(QStringLiteral("60 dias\t0,00\t100,00\t100,00")))
        << caucion.lineas.join(u'\n').toStdString();
}

TEST_F(Listados, ReportsAreBuiltFromTheirTextsWithoutAWindow)
{
    TSesionDatos sesion({.IdEmpresa = kEmpresa, .IdGrupoEmpresa = kGrupoEmpresas,
                         .RutaBaseDatos = db->connectionString(), .NombreUsuario = TestDatabase::user(),
                         .Password = TestDatabase::password()});
    sesion.conectar();
    sesion.abrirEmpresa();
    sesion.datos().RxClientesRiesgo->open();

    TextosSituacionClientes t;
    t.Titulo = QStringLiteral("Situación");
    t.Riesgos = RiesgosListados::Excedidos;
    t.SumaSaldo = -1234.5;
    t.SumaTotalRiesgo = 1234567.891;
    auto situacion = CrearInformeSituacionClientes(sesion.datos(), t);
    const QStringList lineas = lineasDe(*situacion->generate());
    EXPECT_TRUE(lineas.constFirst().startsWith(QStringLiteral("Empresa Uno\tFecha : "))) << lineas.join(u'\n').toStdString();
    EXPECT_EQ(lineas[1], QStringLiteral("Situación"));
    EXPECT_TRUE(lineas[2].endsWith(QStringLiteral("\tRiesgo Conc.\tExcedido")));
    EXPECT_EQ(lineas[3], QStringLiteral("Totales .....\t0,00\t0,00\t0,00\t0,00\t1.234.567,89\t0,00\t-1.234,50"));

    const std::pair<RiesgosListados, const char *> titulos[] = {{RiesgosListados::Todos, "Saldo"},
                                                                {RiesgosListados::NoExcedidos, "Disponible"}};
    for (const auto &[riesgos, titulo] : titulos) {
        TextosSituacionPorGrupos g;
        g.Riesgos = riesgos;
        EXPECT_EQ(CrearInformeSituacionPorGrupos(sesion.datos(), g)->LabelSaldo->text(), QLatin1String(titulo));
    }

    TextosVentasCaucion c;
    c.TituloEmpresa = QStringLiteral("Otra Empresa");
    c.Titulo = QStringLiteral("Ventas");
    c.FechaHasta = QDate(2024, 2, 29);
    c.Total = 10;
    c.Suma30C = 10;
    c.Superior = 2000.5;
    auto caucion = CrearInformeVentasCaucion(sesion.datos(), c);
    EXPECT_EQ(caucion->LabelFecha->text(), QStringLiteral("Fecha : 29/02/2024"));
    EXPECT_EQ(caucion->LabelTituloEmpresa2->text(), QStringLiteral("Otra Empresa"));
    EXPECT_EQ(caucion->LabelTitulo2->text(), QStringLiteral("RESUMEN Ventas"));
    EXPECT_EQ(caucion->LabelTotales->text(), QStringLiteral("TOTALES :   10,00"));
    EXPECT_EQ(caucion->QRMemo4->lines(),
              (QStringList{QStringLiteral("10,00"), QStringLiteral("0,00"), QStringLiteral("0,00"),
                           QStringLiteral("2.000,50"), QStringLiteral(" "), QStringLiteral("2.010,50")}));
}
