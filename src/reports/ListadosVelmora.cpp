#include "reports/ListadosVelmora.h"

#include "components/lxBoton.h"
#include "components/lxDBComboBox.h"
#include "components/lxDBEditLookupSrc.h"
#include "components/lxIBQuery.h"
#include "components/lxRxMemoryData.h"
#include "data/ModuloDatos.h"
#include "framework/ui/Guard.h"
#include "reports/InformesVelmora.h"
#include "reports/ProgresoListado.h"
#include "reports/VistaPreviaInforme.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

#include <memory>

namespace {

const QColor kRojo(0xFF, 0x00, 0x00);
const QColor kNegro(0x00, 0x00, 0x00);
const QColor kBlanco(0xFF, 0xFF, 0xFF);
const QColor kGris(0x80, 0x80, 0x80);
const QColor kGrisClaro(0xEF, 0xEB, 0xDE);
const QColor kGranate(0x80, 0x00, 0x00);

const char *const kMeses[12] = {"Enero", "Febrero", "Marzo",      "Abril",   "Mayo",      "Junio",
                                "Julio", "Agosto",  "Septiembre", "Octubre", "Noviembre", "Diciembre"};

const QStringList kSqlClientes = {
    QStringLiteral("SELECT C.Codigo,"),
    QStringLiteral("C.Nombre, C.NIF, C.FormaPago, C.Cartera, C.RAZONSOCIAL, C.DIRECCION, C.LOCALIDAD, C.PROVINCIA,"),
    QStringLiteral("C.CODIGOPOSTAL, C.REGIMENIVA, C.AplicarDtoSobreIVA, C.APLICARFINCSOBREIVA, C.Moneda, C.Ruta,"),
    QStringLiteral("C.Telefono1, C.Telefono2, C.Fax, C.Email1, C.Email2, C.Paginaweb, C.observaciones, C.IdClientes,"),
    QStringLiteral("C.ReferenciaBloqueo, C.RiesgoConcedido, C.AgenteVenta,"),
    QStringLiteral("CA.CODIGO AS CodigoCartera, CA.NOMBRE AS NombreCartera,"),
    QStringLiteral("FP.CODIGO AS CodigoFormaPago, FP.NOMBRE AS NombreFormaPago,"),
    QStringLiteral("AG.CODIGO AS CodigoAgente, AG.NOMBRE AS NombreAgente"),
    QStringLiteral("FROM Clientes C"),
    QStringLiteral("LEFT OUTER JOIN CARTERAS CA ON (C.Cartera = CA.IDCARTERAS)"),
    QStringLiteral("LEFT OUTER JOIN FormasPago FP ON (C.FormaPago = FP.IdFormasPago)"),
    QStringLiteral("LEFT OUTER JOIN AGENTESVENTA AG ON (C.AGENTEVENTA = AG.IDAGENTESVENTA)"),
};
const QStringList kFormatoClientes = {QStringLiteral("CODIGO@7@Código"),       QStringLiteral("NOMBRE@35@Nombre"),
                                      QStringLiteral("NIF@12@N.I.F."),         QStringLiteral("RAZONSOCIAL@35@Razón Social"),
                                      QStringLiteral("TELEFONO1@15@Teléfono"), QStringLiteral("DIRECCION@35@Dirección")};
const QStringList kSqlSeries = {QStringLiteral("SELECT CODIGO,"), QStringLiteral("NOMBRE,"),
                                QStringLiteral("IDSERIESFACTURAS"), QStringLiteral("FROM SERIESFACTURAS")};
const QStringList kFormatoSeries = {QStringLiteral("CODIGO@4@Código"), QStringLiteral("NOMBRE@35@Nombre")};

/// Text colour of a caption, in every colour group so a disabled control shows it too.
void colorTexto(QWidget *w, const QColor &color)
{
    QPalette p = w->palette();
    for (QPalette::ColorRole rol : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(rol, color);
    w->setPalette(p);
}

/// Background of an edit, or the fill of any other control.
void colorFondo(QWidget *w, const QColor &color)
{
    QPalette p = w->palette();
    if (qobject_cast<QLineEdit *>(w) != nullptr || qobject_cast<QAbstractScrollArea *>(w) != nullptr
        || qobject_cast<QComboBox *>(w) != nullptr) {
        p.setColor(QPalette::Base, color);
    } else {
        p.setColor(QPalette::Window, color);
        w->setAutoFillBackground(true);
    }
    w->setPalette(p);
}

void vaciarTexto(QWidget *w)
{
    if (auto *edit = qobject_cast<QLineEdit *>(w))
        edit->clear();
    else if (auto *combo = qobject_cast<QComboBox *>(w); combo && combo->isEditable())
        combo->setEditText(QString());
    else if (auto *texto = qobject_cast<QPlainTextEdit *>(w))
        texto->clear();
}

void negrita(QWidget *w)
{
    QFont f = w->font();
    f.setBold(true);
    w->setFont(f);
}

template <typename T>
T *crear(QWidget *parent, const char *nombre)
{
    auto *w = new T(parent);
    w->setObjectName(QLatin1String(nombre));
    return w;
}

QLabel *etiqueta(QWidget *parent, const char *nombre, const QString &texto)
{
    auto *l = crear<QLabel>(parent, nombre);
    l->setText(texto);
    return l;
}

QCheckBox *casilla(QWidget *parent, const char *nombre, const QString &texto)
{
    auto *c = crear<QCheckBox>(parent, nombre);
    c->setText(texto);
    return c;
}

/// A read-only grey note.
QPlainTextEdit *nota(QWidget *parent, const char *nombre, const QStringList &lineas)
{
    auto *m = crear<QPlainTextEdit>(parent, nombre);
    m->setPlainText(lineas.join(QLatin1Char('\n')));
    m->setReadOnly(true);
    m->setFocusPolicy(Qt::NoFocus);
    colorFondo(m, kGrisClaro);
    m->setFixedHeight(m->fontMetrics().lineSpacing() * int(lineas.size()) + 14);
    return m;
}

QPushButton *boton(QWidget *parent, const char *nombre, const QString &texto)
{
    auto *b = crear<QPushButton>(parent, nombre);
    b->setText(texto);
    // Enter moves between the fields; a button acts only when clicked.
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

/// A lookup edit as both pages configure theirs; it completes nothing while typing.
TlxDBEditLookup *lookup(QWidget *parent, const char *nombre, const QStringList &sql, TOpciones opciones,
                        const QStringList &formato, const QString &titulo, bool ventanaGrande)
{
    auto *e = crear<TlxDBEditLookup>(parent, nombre);
    e->setSQL(sql);
    e->setOpcionesBusqueda(opciones);
    e->setFormatoCampos(formato);
    e->setCaption_Ventana(titulo);
    e->setVentana_Scan_Grande(ventanaGrande);
    e->setAutoScan(false);
    return e;
}

TlxDBEditLookup *lookupCliente(QWidget *parent, const char *nombre)
{
    return lookup(parent, nombre, kSqlClientes, Filtrar_por_Grupo_de_Empresas, kFormatoClientes,
                  QStringLiteral("Seleccione un Cliente"), true);
}

TlxDBEditLookup *lookupSerie(QWidget *parent, const char *nombre)
{
    return lookup(parent, nombre, kSqlSeries, Filtrar_por_Empresa, kFormatoSeries,
                  QStringLiteral("Seleccione una Serie"), false);
}

QDateEdit *fecha(QWidget *parent, const char *nombre)
{
    auto *d = crear<QDateEdit>(parent, nombre);
    d->setCalendarPopup(true);
    d->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    return d;
}

/// A range row: caption, "from" caption and edit, "to" caption and edit, and its "Todos" box.
void filaRango(QGridLayout *g, int fila, QWidget *titulo, QWidget *desdeTexto, QWidget *desde, QWidget *hastaTexto,
               QWidget *hasta, QWidget *todos)
{
    g->addWidget(titulo, fila, 0);
    g->addWidget(desdeTexto, fila, 1);
    g->addWidget(desde, fila, 2);
    g->addWidget(hastaTexto, fila, 3);
    g->addWidget(hasta, fila, 4);
    g->addWidget(todos, fila, 5);
}

} // namespace

// ---- HabilitarControlesMarca ----

namespace {
void conmutar(QWidget *w, bool habilitar)
{
    w->setEnabled(habilitar);
    colorFondo(w, QApplication::palette().color(QPalette::Button));
    if (habilitar)
        colorFondo(w, kBlanco);
    else
        vaciarTexto(w);
}
} // namespace

void HabilitarControlesMarca(QWidget *control, QWidget *edit1, QWidget *edit2, QWidget *control3, QWidget *control4)
{
    bool marcado = false;
    bool habilitar = false;
    if (auto *radio = qobject_cast<QRadioButton *>(control)) {
        marcado = radio->isChecked();
        habilitar = marcado;
    } else if (auto *check = qobject_cast<QCheckBox *>(control)) {
        marcado = check->isChecked();
        habilitar = !marcado;
    } else {
        return; // none, or a kind of control this does not switch by
    }
    colorTexto(control, marcado ? kRojo : kNegro);
    for (QWidget *w : {edit1, edit2, control3, control4})
        if (w != nullptr)
            conmutar(w, habilitar);
}

// ---- the window ----

TFormListadosVelmora::TFormListadosVelmora(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormListadosVelmora"));
    buildForm();
    conectar();
}

TFormListadosVelmora::~TFormListadosVelmora() = default;

void TFormListadosVelmora::buildForm()
{
    setWindowTitle(QStringLiteral("  Listados de Velmora"));
    setModal(true);

    PageControlVentas = crear<QTabWidget>(this, "PageControlVentas");
    PageControlVentas->addTab(buildPaginaRiesgos(), QStringLiteral("Riesgos de Clientes"));
    PageControlVentas->addTab(buildPaginaCaucion(), QStringLiteral(" Resumen C.Caución"));

    BitBtnSalir = boton(this, "BitBtnSalir", QStringLiteral("  Cerrar"));
    auto *pie = new QHBoxLayout;
    pie->addStretch(1);
    pie->addWidget(BitBtnSalir);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(buildCabecera());
    layout->addWidget(MemoExplicacion);
    layout->addWidget(PageControlVentas, 1);
    layout->addLayout(pie);
    resize(820, 560);
}

QWidget *TFormListadosVelmora::buildCabecera()
{
    PanelTitulo = crear<QWidget>(this, "PanelTitulo");
    colorFondo(PanelTitulo, kGris);
    LabelTituloConsulta = etiqueta(PanelTitulo, "LabelTituloConsulta", QStringLiteral("Listados Velmora"));
    colorTexto(LabelTituloConsulta, kBlanco);
    QFont f = LabelTituloConsulta->font();
    f.setBold(true);
    f.setPointSize(f.pointSize() + 4);
    LabelTituloConsulta->setFont(f);

    lxBoton1 = crear<TlxBoton>(PanelTitulo, "lxBoton1");
    lxBoton1->setFlat(true);
    lxBoton1->setToolTip(QStringLiteral("Explicación del Listado"));
    lxBoton1->setGlyph(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(24, 24));
    lxBoton1->setFixedSize(32, 32);

    auto *fila = new QHBoxLayout(PanelTitulo);
    fila->addWidget(LabelTituloConsulta);
    fila->addStretch(1);
    fila->addWidget(lxBoton1);

    MemoExplicacion = nota(this, "MemoExplicacion",
                           {QStringLiteral(" Se listan los riesgos de los clientes y los importes de ventas para Caución. "),
                            QStringLiteral(" Adecuados para el control del Riesgo y para Caución.")});
    MemoExplicacion->setVisible(false);
    return PanelTitulo;
}

QWidget *TFormListadosVelmora::buildPaginaRiesgos()
{
    QWidget *p = TabSheetUltimoPrecio = crear<QWidget>(nullptr, "TabSheetUltimoPrecio");
    Label19 = etiqueta(p, "Label19", QStringLiteral("Selección de datos."));
    negrita(Label19);
    colorTexto(Label19, kGranate);
    suiMemoListadoClientes =
        nota(p, "suiMemoListadoClientes", {QStringLiteral(" Solo se muestran los riesgos distintos de cero.")});

    Label9 = etiqueta(p, "Label9", QStringLiteral("Clientes"));
    Label17 = etiqueta(p, "Label17", QStringLiteral("  Desde  "));
    Label18 = etiqueta(p, "Label18", QStringLiteral("  Hasta  "));
    lxDBEditLookupClienteDesde = lookupCliente(p, "lxDBEditLookupClienteDesde");
    lxDBEditLookupClienteHasta = lookupCliente(p, "lxDBEditLookupClienteHasta");
    CheckBoxClientesTodos = casilla(p, "CheckBoxClientesTodos", QStringLiteral("Todos"));
    CheckBoxClientesTodos->setChecked(true);

    Label16 = etiqueta(p, "Label16", QStringLiteral("Riesgos ..."));
    RadioButtonRiesgosExcedidos = crear<QRadioButton>(p, "RadioButtonRiesgosExcedidos");
    RadioButtonRiesgosExcedidos->setText(QStringLiteral(" Sólo Excedidos"));
    RadioButtonRiesgosNoExcedidos = crear<QRadioButton>(p, "RadioButtonRiesgosNoExcedidos");
    RadioButtonRiesgosNoExcedidos->setText(QStringLiteral(" Sólo No Excedidos"));
    RadioButtonRiesgosTodos = crear<QRadioButton>(p, "RadioButtonRiesgosTodos");
    RadioButtonRiesgosTodos->setText(QStringLiteral(" Todos"));
    auto *riesgos = new QButtonGroup(p);
    for (QRadioButton *r : {RadioButtonRiesgosExcedidos, RadioButtonRiesgosNoExcedidos, RadioButtonRiesgosTodos})
        riesgos->addButton(r);
    RadioButtonRiesgosTodos->setChecked(true);

    Label10 = etiqueta(p, "Label10", QStringLiteral("Titulo Listado"));
    EditTituloListado = crear<QLineEdit>(p, "EditTituloListado");
    // Left blank the user would have to type a title before every listing.
    EditTituloListado->setText(QStringLiteral("Situación de Riesgo de Clientes"));
    Label11 = etiqueta(p, "Label11", QStringLiteral("SubTitulo Listado"));
    EditSubTituloListado = crear<QLineEdit>(p, "EditSubTituloListado");

    Label20 = etiqueta(p, "Label20", QStringLiteral("  Tipo Listado  "));
    RadioGroupTipoListado = crear<QGroupBox>(p, "RadioGroupTipoListado");
    m_tipoListado = new QButtonGroup(RadioGroupTipoListado);
    auto *tipos = new QVBoxLayout(RadioGroupTipoListado);
    const QString textosTipo[2] = {QStringLiteral("  Por Cliente y Grupos"), QStringLiteral("  Por Grupos y Clientes")};
    for (int i = 0; i < 2; ++i) {
        auto *r = new QRadioButton(textosTipo[i], RadioGroupTipoListado);
        r->setObjectName(QStringLiteral("RadioGroupTipoListado%1").arg(i));
        m_tipoListado->addButton(r, i);
        tipos->addWidget(r);
    }
    m_tipoListado->button(0)->setChecked(true);

    BotonObtenerListadoClientes = boton(p, "BotonObtenerListadoClientes", QStringLiteral("  OBTENER EL LISTADO"));

    auto *g = new QGridLayout(p);
    g->addWidget(Label19, 0, 0, 1, 6);
    g->addWidget(suiMemoListadoClientes, 1, 0, 1, 6);
    filaRango(g, 2, Label9, Label17, lxDBEditLookupClienteDesde, Label18, lxDBEditLookupClienteHasta,
              CheckBoxClientesTodos);
    g->addWidget(Label16, 3, 0);
    g->addWidget(RadioButtonRiesgosExcedidos, 3, 1, 1, 2);
    g->addWidget(RadioButtonRiesgosNoExcedidos, 3, 3, 1, 2);
    g->addWidget(RadioButtonRiesgosTodos, 3, 5);
    g->addWidget(Label10, 4, 0);
    g->addWidget(EditTituloListado, 4, 1, 1, 5);
    g->addWidget(Label11, 5, 0);
    g->addWidget(EditSubTituloListado, 5, 1, 1, 5);
    g->addWidget(Label20, 6, 0);
    g->addWidget(RadioGroupTipoListado, 6, 1, 1, 4);
    g->addWidget(BotonObtenerListadoClientes, 7, 3, 1, 3);
    g->setRowStretch(8, 1);
    g->setColumnStretch(2, 1);
    g->setColumnStretch(4, 1);
    return p;
}

QWidget *TFormListadosVelmora::buildPaginaCaucion()
{
    QWidget *p = TabSheetResumenCaucion = crear<QWidget>(nullptr, "TabSheetResumenCaucion");
    Label25 = etiqueta(p, "Label25", QStringLiteral("Selección de datos."));
    negrita(Label25);
    colorTexto(Label25, kGranate);

    Label1 = etiqueta(p, "Label1", QStringLiteral("Clientes"));
    Label8 = etiqueta(p, "Label8", QStringLiteral("Desde  "));
    Label12 = etiqueta(p, "Label12", QStringLiteral("Hasta  "));
    lxDBEditLookupClienteDesde2 = lookupCliente(p, "lxDBEditLookupClienteDesde2");
    lxDBEditLookupClienteHasta2 = lookupCliente(p, "lxDBEditLookupClienteHasta2");
    CheckBoxClientesTodos2 = casilla(p, "CheckBoxClientesTodos2", QStringLiteral("Todos"));
    CheckBoxClientesTodos2->setChecked(true);

    Label6 = etiqueta(p, "Label6", QStringLiteral("Series  "));
    Label27 = etiqueta(p, "Label27", QStringLiteral("Desde"));
    Label28 = etiqueta(p, "Label28", QStringLiteral("Hasta"));
    lxDBEditSerieDesde = lookupSerie(p, "lxDBEditSerieDesde");
    lxDBEditSerieHasta = lookupSerie(p, "lxDBEditSerieHasta");
    CheckBoxSeriesTodas = casilla(p, "CheckBoxSeriesTodas", QStringLiteral("Todos"));
    CheckBoxSeriesTodas->setChecked(true);

    suiGroupBox4 = crear<QGroupBox>(p, "suiGroupBox4");
    suiGroupBox4->setTitle(QStringLiteral("  Fechas de Venta  "));
    Label3 = etiqueta(suiGroupBox4, "Label3", QStringLiteral("Ventas del Mes"));
    lxDBComboBoxDeMes = crear<TlxDBComboBox>(suiGroupBox4, "lxDBComboBoxDeMes");
    for (int m = 0; m < 12; ++m)
        lxDBComboBoxDeMes->addStoredItem(QString::fromLatin1(kMeses[m]), m + 1);
    lxDBComboBoxDeMes->setMaxVisibleItems(12);
    lxDBComboBoxDeMes->setStoredValue(QVariant());
    Label7 = etiqueta(suiGroupBox4, "Label7", QStringLiteral("Desde"));
    DateTimeDesde = fecha(suiGroupBox4, "DateTimeDesde");
    Label13 = etiqueta(suiGroupBox4, "Label13", QStringLiteral("Hasta"));
    DateTimeHasta = fecha(suiGroupBox4, "DateTimeHasta");
    auto *fechas = new QGridLayout(suiGroupBox4);
    fechas->addWidget(Label3, 0, 0);
    fechas->addWidget(lxDBComboBoxDeMes, 0, 1);
    fechas->addWidget(Label7, 1, 0);
    fechas->addWidget(DateTimeDesde, 1, 1);
    fechas->addWidget(Label13, 2, 0);
    fechas->addWidget(DateTimeHasta, 2, 1);

    suiRadioGroup1 = crear<QGroupBox>(p, "suiRadioGroup1");
    CheckBoxGruposTodos = casilla(suiRadioGroup1, "CheckBoxGruposTodos", QStringLiteral("Todos los grupos"));
    colorTexto(CheckBoxGruposTodos, kRojo);
    auto *grupos = new QVBoxLayout(suiRadioGroup1);
    grupos->addWidget(CheckBoxGruposTodos);
    QCheckBox **casillasGrupo[5] = {&CheckBoxGrupoRiesgo1, &CheckBoxGrupoRiesgo2, &CheckBoxGrupoRiesgo3,
                                    &CheckBoxGrupoRiesgo4, &CheckBoxGrupoRiesgo5};
    for (int g = 0; g < 5; ++g) {
        *casillasGrupo[g] = casilla(suiRadioGroup1, "", QStringLiteral("  Grupo Riesgo %1").arg(g + 1));
        (*casillasGrupo[g])->setObjectName(QStringLiteral("CheckBoxGrupoRiesgo%1").arg(g + 1));
        grupos->addWidget(*casillasGrupo[g]);
    }

    Label5 = etiqueta(p, "Label5", QStringLiteral("Titulo de Empresa"));
    EditTituloEmpresa2 = crear<QLineEdit>(p, "EditTituloEmpresa2");
    Label2 = etiqueta(p, "Label2", QStringLiteral("Titulo Listado"));
    EditTituloListado2 = crear<QLineEdit>(p, "EditTituloListado2");
    // Left blank the user would have to type a title before every declaration.
    EditTituloListado2->setText(QStringLiteral("Declaración de Ventas Crédito y Caución"));
    Label4 = etiqueta(p, "Label4", QStringLiteral("SubTitulo Listado"));
    EditSubTituloListado2 = crear<QLineEdit>(p, "EditSubTituloListado2");

    suiButton2 = boton(p, "suiButton2", QStringLiteral("  OBTENER EL LISTADO"));

    auto *g = new QGridLayout(p);
    g->addWidget(Label25, 0, 0, 1, 6);
    filaRango(g, 1, Label1, Label8, lxDBEditLookupClienteDesde2, Label12, lxDBEditLookupClienteHasta2,
              CheckBoxClientesTodos2);
    filaRango(g, 2, Label6, Label27, lxDBEditSerieDesde, Label28, lxDBEditSerieHasta, CheckBoxSeriesTodas);
    g->addWidget(suiGroupBox4, 3, 0, 1, 3);
    g->addWidget(suiRadioGroup1, 3, 3, 1, 3);
    g->addWidget(Label5, 4, 0);
    g->addWidget(EditTituloEmpresa2, 4, 1, 1, 5);
    g->addWidget(Label2, 5, 0);
    g->addWidget(EditTituloListado2, 5, 1, 1, 5);
    g->addWidget(Label4, 6, 0);
    g->addWidget(EditSubTituloListado2, 6, 1, 1, 5);
    g->addWidget(suiButton2, 7, 3, 1, 3);
    g->setRowStretch(8, 1);
    g->setColumnStretch(2, 1);
    g->setColumnStretch(4, 1);
    return p;
}

void TFormListadosVelmora::conectar()
{
    using fw::ui::guarded;
    connect(lxBoton1, &TlxBoton::clicked, this, guarded([this] { lxBoton1Click(); }));
    connect(CheckBoxClientesTodos, &QCheckBox::toggled, this, guarded([this] { suitempCheckBoxClientesTodosClick(); }));
    connect(CheckBoxClientesTodos2, &QCheckBox::toggled, this,
            guarded([this] { suitempCheckBoxClientesTodos2Click(); }));
    connect(CheckBoxSeriesTodas, &QCheckBox::toggled, this, guarded([this] { suitempCheckBoxSeriesTodasClick(); }));
    connect(CheckBoxGruposTodos, &QCheckBox::toggled, this, guarded([this] { CheckBoxGruposTodosClick(); }));
    connect(lxDBEditLookupClienteDesde, &QLineEdit::textChanged, this,
            guarded([this] { lxDBEditLookupClienteDesdeChange(); }));
    lxDBEditLookupClienteDesde->OnConfirmarCambios = [this](QObject *s) {
        lxDBEditLookupClienteDesdeConfirmarCambios(s);
    };
    lxDBEditLookupClienteDesde2->OnConfirmarCambios = [this](QObject *s) {
        lxDBEditLookupClienteDesde2ConfirmarCambios(s);
    };
    lxDBEditSerieDesde->OnConfirmarCambios = [this](QObject *s) { lxDBEditSerieDesdeConfirmarCambios(s); };
    connect(lxDBComboBoxDeMes, &fw::ui::DataComboBox::changed, this, guarded([this] { lxDBComboBoxDeMesChange(); }));
    // A text left in the drop-down that names no month gives way to the month in force.
    lxDBComboBoxDeMes->installEventFilter(this);
    connect(BotonObtenerListadoClientes, &QPushButton::clicked, this,
            guarded([this] { suitempBotonObtenerListadoClientesClick(); }));
    connect(suiButton2, &QPushButton::clicked, this, guarded([this] { suitempsuiButton2Click(); }));
    connect(BitBtnSalir, &QPushButton::clicked, this, guarded([this] { BitBtnSalirClick(); }));

    // The ranges start as "Todos" leaves them: switched off and empty.
    suitempCheckBoxClientesTodosClick();
    suitempCheckBoxClientesTodos2Click();
    suitempCheckBoxSeriesTodasClick();
}

int TFormListadosVelmora::TipoListado() const
{
    return m_tipoListado->checkedId();
}

void TFormListadosVelmora::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    fw::ui::runGuarded([this] { FormShow(); });
    if (const QScreen *screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

bool TFormListadosVelmora::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lxDBComboBoxDeMes && event->type() == QEvent::FocusOut && m_mes != 0) {
        fw::ui::runGuarded([this] {
            if (MesMostrado() != m_mes || lxDBComboBoxDeMes->currentText() != QString::fromLatin1(kMeses[m_mes - 1]))
                lxDBComboBoxDeMes->setStoredValue(m_mes);
        });
    }
    return QDialog::eventFilter(watched, event);
}

void TFormListadosVelmora::reject()
{
    fw::ui::runGuarded([this] { BitBtnSalirClick(); });
}

void TFormListadosVelmora::BitBtnSalirClick()
{
    accept();
}

// ---- FormShow and the handlers ----

void TFormListadosVelmora::FormShow()
{
    if (Datos == nullptr)
        return;
    for (TlxDBEditLookup *e : findChildren<TlxDBEditLookup *>())
        e->setDataBase(Datos->BaseDatosNORVIK);
    Datos->CargarValoresGrupoEmpresasLxDBEditLookup(this);

    QString empresa;
    if (Datos->IBQEmpresas->active() && !Datos->IBQEmpresas->isEmpty())
        if (const fw::Field *nombre = Datos->IBQEmpresas->findField(QStringLiteral("NOMBRE")); nombre && !nombre->isNull())
            empresa = nombre->asString();
    EditTituloEmpresa2->setText(empresa);
    // Left blank the user would have to type a subtitle before every risk listing.
    EditSubTituloListado->setText(
        (empresa.isEmpty() ? QString() : empresa + QStringLiteral(" - "))
        + QStringLiteral("Situación a %1").arg(QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"))));

    const int mesActual = QDate::currentDate().month();
    const int mes = mesActual == 1 ? 12 : mesActual - 1;
    lxDBComboBoxDeMes->setStoredValue(mes);
    AplicarMes(mes);
}

int TFormListadosVelmora::MesMostrado() const
{
    const QString texto = lxDBComboBoxDeMes->currentText().trimmed();
    for (int m = 0; m < 12; ++m)
        if (texto.compare(QLatin1String(kMeses[m]), Qt::CaseInsensitive) == 0)
            return m + 1;
    return 0;
}

void TFormListadosVelmora::AplicarMes(int mes)
{
    m_mes = mes;
    // The year is that of the month before today's, whichever month is chosen.
    const QDate hoy = QDate::currentDate();
    const int anio = hoy.month() == 1 ? hoy.year() - 1 : hoy.year();
    EditSubTituloListado2->setText(QStringLiteral("Listado Cred. y Caución - %1 / %2")
                                       .arg(QString::fromLatin1(kMeses[mes - 1]))
                                       .arg(anio, 4, 10, QLatin1Char('0')));
    const QDate primero(anio, mes, 1);
    DateTimeDesde->setDate(primero);
    DateTimeHasta->setDate(primero.addDays(primero.daysInMonth() - 1));
}

void TFormListadosVelmora::lxDBComboBoxDeMesChange()
{
    // A text that names no month keeps the month and period in force.
    if (const int mes = MesMostrado(); mes != 0)
        AplicarMes(mes);
}

void TFormListadosVelmora::lxBoton1Click()
{
    MemoExplicacion->setVisible(!MemoExplicacion->isVisible());
}

void TFormListadosVelmora::suitempCheckBoxClientesTodosClick()
{
    HabilitarControlesMarca(CheckBoxClientesTodos, lxDBEditLookupClienteDesde, lxDBEditLookupClienteHasta, nullptr,
                            nullptr);
}

void TFormListadosVelmora::suitempCheckBoxClientesTodos2Click()
{
    HabilitarControlesMarca(CheckBoxClientesTodos2, lxDBEditLookupClienteDesde2, lxDBEditLookupClienteHasta2, nullptr,
                            nullptr);
}

void TFormListadosVelmora::suitempCheckBoxSeriesTodasClick()
{
    HabilitarControlesMarca(CheckBoxSeriesTodas, lxDBEditSerieDesde, lxDBEditSerieHasta, nullptr, nullptr);
}

void TFormListadosVelmora::CheckBoxGruposTodosClick()
{
    const bool libres = !CheckBoxGruposTodos->isChecked();
    for (QCheckBox *c : {CheckBoxGrupoRiesgo1, CheckBoxGrupoRiesgo2, CheckBoxGrupoRiesgo3, CheckBoxGrupoRiesgo4,
                         CheckBoxGrupoRiesgo5})
        c->setEnabled(libres);
}

void TFormListadosVelmora::suitempCheckBoxGruposTodosClick()
{
    CheckBoxGruposTodosClick();
}

void TFormListadosVelmora::lxDBEditLookupClienteDesdeChange()
{
    lxDBEditLookupClienteHasta->setText(lxDBEditLookupClienteDesde->text());
}

void TFormListadosVelmora::lxDBEditLookupClienteDesdeConfirmarCambios(QObject *)
{
    lxDBEditLookupClienteHasta->setText(lxDBEditLookupClienteDesde->text());
}

void TFormListadosVelmora::lxDBEditLookupClienteDesde2ConfirmarCambios(QObject *)
{
    lxDBEditLookupClienteHasta2->setText(lxDBEditLookupClienteDesde2->text());
}

void TFormListadosVelmora::lxDBEditSerieDesdeConfirmarCambios(QObject *)
{
    lxDBEditSerieHasta->setText(lxDBEditSerieDesde->text());
}

void TFormListadosVelmora::suitempBotonObtenerListadoClientesClick()
{
    if (TipoListado() == 0)
        ListarSituacionClientes();
    else
        ListarSituacionPorGrupos();
}

void TFormListadosVelmora::suitempsuiButton2Click()
{
    ListarVentasCaucion();
}

// ---- launching a listing ----

void TFormListadosVelmora::MostrarInforme(const std::function<std::unique_ptr<fw::report::Report>()> &crearInforme)
{
    auto cerrarTabla = [this] {
        if (Datos->RxClientesRiesgo->active())
            Datos->RxClientesRiesgo->close();
    };
    try {
        std::unique_ptr<fw::report::Report> informe = crearInforme();
        MostrarVistaPrevia(*informe, this);
    } catch (...) {
        // The error goes on once the table is closed; a failure closing it must not hide the first one.
        try {
            cerrarTabla();
        } catch (...) {
            // Dropped: the error being passed on is the one the user needs to see.
        }
        throw;
    }
    cerrarTabla();
}

RiesgosListados TFormListadosVelmora::RiesgosElegidos() const
{
    if (RadioButtonRiesgosExcedidos->isChecked())
        return RiesgosListados::Excedidos;
    if (RadioButtonRiesgosNoExcedidos->isChecked())
        return RiesgosListados::NoExcedidos;
    return RiesgosListados::Todos;
}

bool TFormListadosVelmora::CargarConProgreso(const QString &listado, const std::function<int()> &contar,
                                             const std::function<void()> &cargar)
{
    // A window never shown (the command-line program's) has no one to show progress to.
    if (!isVisible()) {
        cargar();
        return true;
    }
    TFormProgresoListado progreso(listado, contar, this);
    const std::function<void()> anterior = ClienteLeido;
    ClienteLeido = [&] {
        if (anterior)
            anterior();
        progreso.ClienteLeido();
    };
    try {
        cargar();
    } catch (...) {
        ClienteLeido = anterior;
        throw;
    }
    ClienteLeido = anterior;
    if (!progreso.Cancelado())
        return true;
    // Cancelled: nothing of a half-gathered listing stays behind.
    if (Datos->RxClientesRiesgo->active())
        Datos->RxClientesRiesgo->close();
    return false;
}

void TFormListadosVelmora::ListarSituacionClientes()
{
    if (!CargarConProgreso(QStringLiteral("Riesgos por Cliente y Grupos"), [this] { return ContarClientesRiesgo(); },
                           [this] { CargarRiesgosPorCliente(); }))
        return;
    MostrarInforme([this] {
        TextosSituacionClientes t;
        t.Titulo = EditTituloListado->text();
        t.SubTitulo = EditSubTituloListado->text();
        t.Riesgos = RiesgosElegidos();
        t.SumaPedidos = SumaPedidos;
        t.SumaAlbaranes = SumaAlbaranes;
        t.SumaVtos = SumaVtos;
        t.SumaRemesas = SumaRemesas;
        t.SumaTotalRiesgo = SumaTotalRiesgo;
        t.SumaRiesgoConcedido = SumaRiesgoConcedido;
        t.SumaSaldo = SumaSaldo;
        return CrearInformeSituacionClientes(*Datos, t, this);
    });
}

void TFormListadosVelmora::ListarSituacionPorGrupos()
{
    // The statement runs once per group listed, so its customers are read that many times.
    if (!CargarConProgreso(QStringLiteral("Riesgos por Grupos y Clientes"),
                           [this] { return ContarClientesRiesgo() * GruposListados(); },
                           [this] { CargarRiesgosPorGrupo(); }))
        return;
    MostrarInforme([this] {
        TextosSituacionPorGrupos t;
        t.Titulo = EditTituloListado->text();
        t.SubTitulo = EditSubTituloListado->text();
        t.Riesgos = RiesgosElegidos();
        return CrearInformeSituacionPorGrupos(*Datos, t, this);
    });
}

void TFormListadosVelmora::ListarVentasCaucion()
{
    double total = 0;
    if (!CargarConProgreso(QString::fromUtf8("Resumen Crédito y Caución"), [this] { return ContarClientesCaucion(); },
                           [this, &total] { total = CargarVentasCaucion(); }))
        return;
    MostrarInforme([this, total] {
        TextosVentasCaucion t;
        t.TituloEmpresa = EditTituloEmpresa2->text();
        t.Titulo = EditTituloListado2->text();
        t.SubTitulo = EditSubTituloListado2->text();
        t.FechaHasta = DateTimeHasta->date();
        t.Total = total;
        t.Suma30C = Suma30C;
        t.Suma60C = Suma60C;
        t.Suma90C = Suma90C;
        t.SuperiorC = SuperiorC;
        t.Suma30 = Suma30;
        t.Suma60 = Suma60;
        t.Suma90 = Suma90;
        t.Superior = Superior;
        return CrearInformeVentasCaucion(*Datos, t, this);
    });
}
