#include "ConfiguracionCreditoCaucion.h"

#include "EstilosVentana.h"
#include "components/lxDBComboBox.h"
#include "components/lxDBGrid.h"
#include "components/lxIBDataSet.h"
#include "data/ModuloDatos.h"
#include "framework/db/DataSet.h"
#include "framework/base/Error.h"
#include "framework/db/Field.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/Guard.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

using namespace estilos;

namespace {

const QStringList kColumnasFormasPago = {
    QStringLiteral("CODIGO\t6\t Codigo \tF"),
    QStringLiteral("NOMBRE\t27\tNombre\tF"),
    QStringLiteral("DIASPRIMERVENCIMIENTO\t10\t Dias 1º Vto \tF"),
    QStringLiteral("NUMEROVENCIMIENTOS\t6\t Nº Vtos \tF"),
    QStringLiteral("INTERVALOVENCIMIENTOS\t10\t Intervalo Vtos. \tF"),
    QStringLiteral("EXENTA_DE_RIESGO\t10\t Exenta Riesgo \tF"),
    QStringLiteral("DIASRIESGOCALCULADO\t10\t Dias Calculados \tF"),
    QStringLiteral("DIASRIESGO\t10\t Dias de Riesgo \tF"),
};

const QStringList kColumnasSeries = {
    QStringLiteral("CODIGOEMPRESA\t4\t Empresa \tF"),
    QStringLiteral("NOMBREEMPRESA\t15\tNombre Empresa\tF"),
    QStringLiteral("CODIGOSERIE\t6\t Serie \tF"),
    QStringLiteral("NOMBRESERIE\t20\tNombre Serie\tF"),
    QStringLiteral("GRUPORIESGO\t10\tGrupo Riesgo\tF"),
};

const QStringList kLineasFormula = {
    QString(),
    QStringLiteral("- SI Dias hasta 1º Vto = 0 entonces :"),
    QString(),
    QStringLiteral("   Intervalo + ( Intervalo * ( Nº Vtos - 1))"),
    QString(),
    QString(),
    QStringLiteral("- En caso contrario :"),
    QString(),
    QStringLiteral("   Dias hasta 1º Vto +"),
    QStringLiteral("    ( Intervalo * (NºVtos - 1 ) )"),
};

bool EsCampo(const fw::Field *campo, const char *nombre)
{
    return campo != nullptr && campo->fieldName().compare(QLatin1String(nombre), Qt::CaseInsensitive) == 0;
}

/// The one look of an editable column: tooltip fill, red bold text.
void ResaltarEditable(fw::ui::CellLook &look)
{
    look.background = QApplication::palette().brush(QPalette::ToolTipBase);
    look.textColor = QColor(255, 0, 0);
    look.font.setBold(true);
}

TlxDBGrid *CrearRejilla(QWidget *parent, const char *nombre, const QStringList &columnas)
{
    auto *grid = new TlxDBGrid(parent);
    grid->setObjectName(QString::fromLatin1(nombre));
    grid->setColumnDefinitions(columnas);
    grid->setTitleLines(2);
    grid->setEnterToTab(true);
    grid->setMoveByRow(true);
    grid->setAllowInsert(true);
    grid->setAllowDelete(false);
    grid->setGuardarColumnas(true);
    grid->setFiltrarRejillas(true);
    return grid;
}

TlxDBComboBox *CrearComboGrupo(QWidget *parent, const char *nombre)
{
    auto *combo = new TlxDBComboBox(parent);
    combo->setObjectName(QString::fromLatin1(nombre));
    for (int g = 1; g <= 5; ++g)
        combo->addStoredItem(QString::number(g));
    combo->setAllowClear(false);
    return combo;
}

QLabel *Encabezado(QWidget *parent, const char *nombre, const QString &texto)
{
    QLabel *l = etiqueta(parent, QString::fromLatin1(nombre), texto);
    colorTexto(l, kGranate);
    negrita(l);
    return l;
}

} // namespace

TFormConfiguracionCreditoCaucion::TFormConfiguracionCreditoCaucion(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormConfiguracionCreditoCaucion"));
    buildForm();
}

void TFormConfiguracionCreditoCaucion::buildForm()
{
    setWindowTitle(QStringLiteral("  Configuración de Velmora"));
    setModal(true);

    PanelTitulo = bandaTitulo(this, QStringLiteral("PanelTitulo"), QStringLiteral("  Configuración de Velmora"));

    PageControlConfiguracion = new QTabWidget(this);
    PageControlConfiguracion->setObjectName(QStringLiteral("PageControlConfiguracion"));
    PageControlConfiguracion->addTab(buildPaginaFormasPago(), QStringLiteral("  Formas de Pago  "));
    PageControlConfiguracion->addTab(buildPaginaSeries(), QStringLiteral("  Series de Documentos y Facturas  "));
    connect(PageControlConfiguracion, &QTabWidget::currentChanged, this, fw::ui::guarded([this](int pagina) {
                if (!m_paginaDesdeCodigo)
                    PageControlConfiguracionChange(pagina);
            }));

    btnCerrar = new QPushButton(QStringLiteral("  Cerrar"), this);
    btnCerrar->setObjectName(QStringLiteral("btnCerrar"));
    // Enter belongs to the grids (next cell); the button acts only when clicked or focused.
    btnCerrar->setAutoDefault(false);
    btnCerrar->setDefault(false);
    connect(btnCerrar, &QPushButton::clicked, this, fw::ui::guarded([this] { accept(); }));

    auto *pie = new QHBoxLayout;
    pie->addStretch(1);
    pie->addWidget(btnCerrar);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(PanelTitulo);
    layout->addWidget(PageControlConfiguracion, 1);
    layout->addLayout(pie);
    resize(1100, 560);
}

QWidget *TFormConfiguracionCreditoCaucion::buildPaginaFormasPago()
{
    TabSheetFormasPago = new QWidget;
    TabSheetFormasPago->setObjectName(QStringLiteral("TabSheetFormasPago"));

    LabelFormasPago = Encabezado(TabSheetFormasPago, "LabelFormasPago", QStringLiteral("Formas de Pago y sus Dias de Riesgo"));
    lxDBGridFormasPago = CrearRejilla(TabSheetFormasPago, "lxDBGridFormasPago", kColumnasFormasPago);
    lxDBGridFormasPago->onCalcCellColors = [this](fw::Field *f, fw::ui::CellStates s, bool h, fw::ui::CellLook &l) {
        lxDBGridFormasPagoCalcCellColors(f, s, h, l);
    };

    LabelFormula = Encabezado(TabSheetFormasPago, "LabelFormula", QStringLiteral("Formula Calculo de los Dias de Riesgo"));
    MemoFormula = new QPlainTextEdit(TabSheetFormasPago);
    MemoFormula->setObjectName(QStringLiteral("MemoFormula"));
    MemoFormula->setPlainText(kLineasFormula.join(QLatin1Char('\n')));
    MemoFormula->setReadOnly(true);
    MemoFormula->setFocusPolicy(Qt::NoFocus);
    MemoFormula->setLineWrapMode(QPlainTextEdit::NoWrap);
    colorTexto(MemoFormula, kAzulMarino);
    // Wide enough for its longest line; the grid takes the rest.
    int ancho = 0;
    for (const QString &linea : kLineasFormula)
        ancho = std::max(ancho, MemoFormula->fontMetrics().horizontalAdvance(linea));
    MemoFormula->setFixedWidth(ancho + 32);

    auto *izquierda = new QVBoxLayout;
    izquierda->addWidget(LabelFormasPago);
    izquierda->addWidget(lxDBGridFormasPago, 1);
    auto *derecha = new QVBoxLayout;
    derecha->addWidget(LabelFormula);
    derecha->addWidget(MemoFormula, 1);
    auto *layout = new QHBoxLayout(TabSheetFormasPago);
    layout->addLayout(izquierda, 1);
    layout->addLayout(derecha, 0);
    return TabSheetFormasPago;
}

QWidget *TFormConfiguracionCreditoCaucion::buildPaginaSeries()
{
    TabSheetSeries = new QWidget;
    TabSheetSeries->setObjectName(QStringLiteral("TabSheetSeries"));

    LabelSeriesDocumentos = Encabezado(TabSheetSeries, "LabelSeriesDocumentos", QStringLiteral(" Series de Documentos"));
    lxDBGridSeriesDocumentos = CrearRejilla(TabSheetSeries, "lxDBGridSeriesDocumentos", kColumnasSeries);
    LabelSeriesFacturas = Encabezado(TabSheetSeries, "LabelSeriesFacturas", QStringLiteral(" Series de Facturas"));
    lxDBGridSeriesFacturas = CrearRejilla(TabSheetSeries, "lxDBGridSeriesFacturas", kColumnasSeries);
    for (TlxDBGrid *grid : {lxDBGridSeriesDocumentos, lxDBGridSeriesFacturas})
        grid->onCalcCellColors = [this](fw::Field *f, fw::ui::CellStates s, bool h, fw::ui::CellLook &l) {
            lxDBGridSeriesDocumentosCalcCellColors(f, s, h, l);
        };

    lxDBComboBoxGrupoRiesgo1 = CrearComboGrupo(TabSheetSeries, "lxDBComboBoxGrupoRiesgo1");
    lxDBComboBoxGrupoRiesgo2 = CrearComboGrupo(TabSheetSeries, "lxDBComboBoxGrupoRiesgo2");
    lxDBGridSeriesDocumentos->setCellEditor(QStringLiteral("GRUPORIESGO"), lxDBComboBoxGrupoRiesgo1);
    lxDBGridSeriesFacturas->setCellEditor(QStringLiteral("GRUPORIESGO"), lxDBComboBoxGrupoRiesgo2);

    auto *documentos = new QVBoxLayout;
    documentos->addWidget(LabelSeriesDocumentos);
    documentos->addWidget(lxDBGridSeriesDocumentos, 1);
    auto *facturas = new QVBoxLayout;
    facturas->addWidget(LabelSeriesFacturas);
    facturas->addWidget(lxDBGridSeriesFacturas, 1);
    auto *layout = new QHBoxLayout(TabSheetSeries);
    layout->addLayout(documentos, 1);
    layout->addLayout(facturas, 1);
    return TabSheetSeries;
}

void TFormConfiguracionCreditoCaucion::enlazarDatos()
{
    if (Datos == nullptr)
        return;
    lxDBGridFormasPago->setDataSource(Datos->dstFormasPago);
    lxDBGridSeriesDocumentos->setDataSource(Datos->dstSeriesDocumentos);
    lxDBGridSeriesFacturas->setDataSource(Datos->dstSeriesFacturas);
    lxDBComboBoxGrupoRiesgo1->setDataSource(Datos->dstSeriesDocumentos);
    lxDBComboBoxGrupoRiesgo1->setDataField(QStringLiteral("GRUPORIESGO"));
    lxDBComboBoxGrupoRiesgo2->setDataSource(Datos->dstSeriesFacturas);
    lxDBComboBoxGrupoRiesgo2->setDataField(QStringLiteral("GRUPORIESGO"));
}

void TFormConfiguracionCreditoCaucion::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    m_cerrado = false;
    fw::ui::runGuarded([this] {
        enlazarDatos();
        FormShow();
    });
    if (const QScreen *screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    lxDBGridFormasPago->setFocus(Qt::OtherFocusReason);
}

void TFormConfiguracionCreditoCaucion::FormShow()
{
    if (Datos == nullptr)
        return;
    for (TlxIBDataSet *t : {Datos->tSeriesDocumentos, Datos->tSeriesFacturas, Datos->tFormasPago})
        if (!t->active())
            t->open();
    m_paginaDesdeCodigo = true;
    PageControlConfiguracion->setCurrentIndex(0);
    m_paginaDesdeCodigo = false;
}

void TFormConfiguracionCreditoCaucion::PageControlConfiguracionChange(int pagina)
{
    if (pagina == 0)
        lxDBGridFormasPago->setFocus(Qt::OtherFocusReason);
    else if (pagina == 1)
        lxDBGridSeriesDocumentos->setFocus(Qt::OtherFocusReason);
}

bool TFormConfiguracionCreditoCaucion::publicarPendientes()
{
    if (Datos == nullptr)
        return true;
    try {
        for (TlxDBGrid *grid : {lxDBGridFormasPago, lxDBGridSeriesDocumentos, lxDBGridSeriesFacturas})
            grid->commitCellEditor();
        for (TlxIBDataSet *t : {Datos->tSeriesDocumentos, Datos->tSeriesFacturas, Datos->tFormasPago})
            if (t->active())
                t->checkBrowseMode();
        return true;
    } catch (const fw::Abort &) {
        return false;
    } catch (...) {
        // Asked here even while the main screen discards stray errors: the user
        // decides between losing the change and staying in the window.
        const QString texto = QStringLiteral("No se ha podido guardar el cambio pendiente: ") +
                              fw::ui::errorText(std::current_exception()) +
                              QStringLiteral("\r\n\r\n¿Cerrar la ventana sin guardarlo?");
        if (!fw::ui::dialogs().confirm(texto, windowTitle()))
            return false;
        descartarPendientes();
        return true;
    }
}

void TFormConfiguracionCreditoCaucion::descartarPendientes()
{
    for (TlxDBGrid *grid : {lxDBGridFormasPago, lxDBGridSeriesDocumentos, lxDBGridSeriesFacturas})
        grid->discardCellEditor();
    for (TlxIBDataSet *t : {Datos->tSeriesDocumentos, Datos->tSeriesFacturas, Datos->tFormasPago})
        fw::ui::runGuarded([t] {
            if (t->active())
                t->cancel();
        });
}

void TFormConfiguracionCreditoCaucion::done(int result)
{
    if (m_cerrado) {
        QDialog::done(result);
        return;
    }
    if (!publicarPendientes())
        return;
    m_cerrado = true;
    fw::ui::runGuarded([this] { FormClose(); });
    QDialog::done(result);
}

void TFormConfiguracionCreditoCaucion::keyPressEvent(QKeyEvent *event)
{
    // Escape gets here only when no cell was being edited (a grid cancels its own edit); there is nothing to cancel.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFormConfiguracionCreditoCaucion::FormClose()
{
    if (Datos == nullptr)
        return;
    for (TlxIBDataSet *t : {Datos->tSeriesDocumentos, Datos->tSeriesFacturas, Datos->tFormasPago})
        if (t->active())
            t->close();
}

void TFormConfiguracionCreditoCaucion::lxDBGridSeriesDocumentosCalcCellColors(fw::Field *Field, fw::ui::CellStates,
                                                                              bool, fw::ui::CellLook &Look)
{
    if (EsCampo(Field, "GRUPORIESGO"))
        ResaltarEditable(Look);
}

void TFormConfiguracionCreditoCaucion::lxDBGridFormasPagoCalcCellColors(fw::Field *Field, fw::ui::CellStates, bool,
                                                                        fw::ui::CellLook &Look)
{
    if (EsCampo(Field, "DIASRIESGO"))
        ResaltarEditable(Look);
    else if (EsCampo(Field, "DIASRIESGOCALCULADO"))
        Look.textColor = QColor(0, 0, 128);
}
