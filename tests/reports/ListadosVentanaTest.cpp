// The listings window itself: what it shows when it opens, how its boxes
// switch the range edits, how the from-edits feed the to-edits, the month
// drop-down, and closing.
#include "ListadosPrueba.h"

#include "components/lxBoton.h"
#include "components/lxDBComboBox.h"
#include "components/lxDBEditLookupSrc.h"
#include "framework/db/Database.h"
#include "framework/db/Transaction.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

using namespace listados;

namespace {

QColor fondo(const QWidget *w)
{
    return w->palette().color(w->isEnabled() ? QPalette::Active : QPalette::Disabled, w->backgroundRole());
}

QColor texto(const QWidget *w)
{
    return w->palette().color(w->foregroundRole());
}

/// The reference year and the first and last day a month gives, from today's date.
std::pair<QDate, QDate> periodo(int mes)
{
    const QDate hoy = QDate::currentDate();
    const int anio = hoy.month() == 1 ? hoy.year() - 1 : hoy.year();
    const QDate primero(anio, mes, 1);
    return {primero, primero.addDays(primero.daysInMonth() - 1)};
}

} // namespace

TEST_F(Listados, OpensWithItsCaptionsDefaultsAndLookupFilters)
{
    Ventana v(*db);
    TFormListadosVelmora &w = v.w;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("  Listados de Velmora"));
    EXPECT_EQ(w.PageControlVentas->tabText(0), QStringLiteral("Riesgos de Clientes"));
    EXPECT_EQ(w.PageControlVentas->tabText(1), QStringLiteral(" Resumen C.Caución"));
    EXPECT_EQ(w.BitBtnSalir->text(), QStringLiteral("  Cerrar"));
    EXPECT_FALSE(w.MemoExplicacion->isVisible());
    EXPECT_TRUE(w.RadioButtonRiesgosTodos->isChecked());
    EXPECT_EQ(w.TipoListado(), 0);
    EXPECT_FALSE(w.CheckBoxGruposTodos->isChecked());
    EXPECT_EQ(texto(w.CheckBoxGruposTodos), QColor(Qt::red));
    for (QCheckBox *c : {w.CheckBoxGrupoRiesgo1, w.CheckBoxGrupoRiesgo5}) {
        EXPECT_FALSE(c->isChecked());
        EXPECT_TRUE(c->isEnabled());
    }
    EXPECT_EQ(w.EditTituloEmpresa2->text(), QStringLiteral("Empresa Uno"));
    EXPECT_EQ(w.EditTituloListado->text(), QStringLiteral("Situación de Riesgo de Clientes"));
    EXPECT_TRUE(w.EditSubTituloListado->text().startsWith(QStringLiteral("Empresa Uno - Situación a ")));
    EXPECT_EQ(w.EditTituloListado2->text(), QStringLiteral("Declaración de Ventas Crédito y Caución"));

    // Customers filter by company group, series by company.
    for (TlxDBEditLookup *e : {w.lxDBEditLookupClienteDesde, w.lxDBEditLookupClienteHasta,
                               w.lxDBEditLookupClienteDesde2, w.lxDBEditLookupClienteHasta2}) {
        EXPECT_EQ(e->ValorGrupoEmpresas(), kGrupoEmpresas) << e->objectName().toStdString();
        EXPECT_EQ(e->Caption_Ventana(), QStringLiteral("Seleccione un Cliente"));
        EXPECT_TRUE(e->Ventana_Scan_Grande());
    }
    for (TlxDBEditLookup *e : {w.lxDBEditSerieDesde, w.lxDBEditSerieHasta}) {
        EXPECT_EQ(e->ValorGrupoEmpresas(), kEmpresa) << e->objectName().toStdString();
        EXPECT_EQ(e->Caption_Ventana(), QStringLiteral("Seleccione una Serie"));
        EXPECT_FALSE(e->Ventana_Scan_Grande());
    }

    w.lxBoton1->Click();
    EXPECT_TRUE(w.MemoExplicacion->isVisible());
    w.lxBoton1->Click();
    EXPECT_FALSE(w.MemoExplicacion->isVisible());
}

TEST_F(Listados, TodosBoxesSwitchTheirRangeEdits)
{
    Ventana v(*db);
    TFormListadosVelmora &w = v.w;
    const struct
    {
        QCheckBox *todos;
        QLineEdit *desde;
        QLineEdit *hasta;
    } rangos[] = {{w.CheckBoxClientesTodos, w.lxDBEditLookupClienteDesde, w.lxDBEditLookupClienteHasta},
                  {w.CheckBoxClientesTodos2, w.lxDBEditLookupClienteDesde2, w.lxDBEditLookupClienteHasta2},
                  {w.CheckBoxSeriesTodas, w.lxDBEditSerieDesde, w.lxDBEditSerieHasta}};
    const QColor caraBoton = QApplication::palette().color(QPalette::Button);
    for (const auto &r : rangos) {
        const std::string que = r.todos->objectName().toStdString();
        EXPECT_TRUE(r.todos->isChecked()) << que;
        EXPECT_EQ(texto(r.todos), QColor(Qt::red)) << que;
        r.todos->click();
        EXPECT_EQ(texto(r.todos), QColor(Qt::black)) << que;
        for (QLineEdit *e : {r.desde, r.hasta}) {
            EXPECT_TRUE(e->isEnabled()) << que;
            EXPECT_EQ(fondo(e), QColor(Qt::white)) << que;
            EXPECT_EQ(e->text(), QString()) << que;
        }
        r.desde->setText(QStringLiteral("C03"));
        r.hasta->setText(QStringLiteral("C04"));
        r.todos->click();
        EXPECT_EQ(texto(r.todos), QColor(Qt::red)) << que;
        for (QLineEdit *e : {r.desde, r.hasta}) {
            EXPECT_FALSE(e->isEnabled()) << que;
            EXPECT_EQ(fondo(e), caraBoton) << que;
            EXPECT_EQ(e->text(), QString()) << que;
        }
    }

    // "Todos los grupos" switches the group boxes off but leaves their ticks.
    w.CheckBoxGrupoRiesgo2->setChecked(true);
    w.CheckBoxGruposTodos->click();
    for (QCheckBox *c : {w.CheckBoxGrupoRiesgo1, w.CheckBoxGrupoRiesgo2, w.CheckBoxGrupoRiesgo3,
                         w.CheckBoxGrupoRiesgo4, w.CheckBoxGrupoRiesgo5})
        EXPECT_FALSE(c->isEnabled());
    EXPECT_TRUE(w.CheckBoxGrupoRiesgo2->isChecked());
    w.CheckBoxGruposTodos->click();
    EXPECT_TRUE(w.CheckBoxGrupoRiesgo5->isEnabled());
    EXPECT_TRUE(w.CheckBoxGrupoRiesgo2->isChecked());
}

TEST_F(Listados, FromEditsFeedTheirToEdits)
{
    Ventana v(*db);
    TFormListadosVelmora &w = v.w;
    w.CheckBoxClientesTodos->click();
    w.CheckBoxClientesTodos2->click();
    w.CheckBoxSeriesTodas->click();

    // Page 1 copies every change as it is typed.
    w.lxDBEditLookupClienteDesde->setFocus();
    QTest::keyClicks(w.lxDBEditLookupClienteDesde, QStringLiteral("c0"));
    EXPECT_EQ(w.lxDBEditLookupClienteHasta->text(), QStringLiteral("c0"));

    // Page 2 copies only a value confirmed: a code found on leaving the edit.
    w.PageControlVentas->setCurrentIndex(1);
    const struct
    {
        QLineEdit *desde;
        QLineEdit *hasta;
        const char *tecleado;
        const char *confirmado;
    } pares[] = {{w.lxDBEditLookupClienteDesde2, w.lxDBEditLookupClienteHasta2, "c03", "C03"},
                 {w.lxDBEditSerieDesde, w.lxDBEditSerieHasta, "f2", "F2"}};
    for (const auto &p : pares) {
        p.desde->setFocus();
        QTest::keyClicks(p.desde, QLatin1String(p.tecleado));
        EXPECT_EQ(p.hasta->text(), QString()) << p.tecleado;
        QTest::keyClick(p.desde, Qt::Key_Tab);
        EXPECT_EQ(p.hasta->text(), QLatin1String(p.confirmado)) << p.tecleado;
    }
}

TEST_F(Listados, MonthDropDownSetsThePeriodAndIgnoresOtherText)
{
    Ventana v(*db);
    TFormListadosVelmora &w = v.w;
    w.PageControlVentas->setCurrentIndex(1);

    const int previo = QDate::currentDate().month() == 1 ? 12 : QDate::currentDate().month() - 1;
    EXPECT_EQ(w.lxDBComboBoxDeMes->storedValue().toInt(), previo);
    EXPECT_EQ(w.DateTimeDesde->date(), periodo(previo).first);
    EXPECT_EQ(w.DateTimeHasta->date(), periodo(previo).second);

    w.lxDBComboBoxDeMes->setCurrentIndex(3);
    EXPECT_EQ(w.DateTimeDesde->date(), periodo(4).first);
    EXPECT_EQ(w.DateTimeHasta->date(), periodo(4).second);
    EXPECT_EQ(w.EditSubTituloListado2->text(),
              QStringLiteral("Listado Cred. y Caución - Abril / %1").arg(periodo(4).first.year()));

    // Text that names no month keeps the month in force and its period, and gives way to it on leaving.
    w.lxDBComboBoxDeMes->setFocus();
    w.lxDBComboBoxDeMes->lineEdit()->selectAll();
    QTest::keyClicks(w.lxDBComboBoxDeMes, QStringLiteral("xyz"));
    EXPECT_EQ(w.DateTimeHasta->date(), periodo(4).second);
    w.DateTimeDesde->setFocus();
    EXPECT_EQ(w.lxDBComboBoxDeMes->currentText(), QStringLiteral("Abril"));
    EXPECT_EQ(w.DateTimeHasta->date(), periodo(4).second);

    // A month typed in full, in any case, is taken.
    w.lxDBComboBoxDeMes->setFocus();
    w.lxDBComboBoxDeMes->lineEdit()->selectAll();
    QTest::keyClicks(w.lxDBComboBoxDeMes, QStringLiteral("febrero"));
    w.DateTimeDesde->setFocus();
    EXPECT_EQ(w.DateTimeHasta->date(), periodo(2).second);
    EXPECT_EQ(w.lxDBComboBoxDeMes->currentText(), QStringLiteral("Febrero"));
}

TEST_F(Listados, EscapeAndCerrarCloseTheWindow)
{
    for (bool conEscape : {true, false}) {
        Ventana v(*db);
        v.w.EditTituloListado->setFocus();
        if (conEscape)
            QTest::keyClick(v.w.EditTituloListado, Qt::Key_Escape);
        else
            v.w.BitBtnSalir->click();
        EXPECT_FALSE(v.w.isVisible()) << conEscape;
        EXPECT_EQ(v.w.result(), QDialog::Accepted) << conEscape;
    }
}
