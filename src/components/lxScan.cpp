#include "components/lxScan.h"

#include "components/lxDBGrid.h"
#include "components/lxDataSetComun.h"
#include "components/lxIBQuery.h"
#include "framework/base/Error.h"
#include "framework/db/DataSource.h"
#include "framework/db/Database.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/Guard.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

using fw::ui::guarded;

namespace {

const QString kComillas = QStringLiteral("\"");

/// Text up to the first of `separadores` (all of it when none occurs).
QString hastaPrimero(const QString &texto, const QString &separadores)
{
    for (int i = 0; i < texto.size(); ++i)
        if (separadores.contains(texto.at(i)))
            return texto.left(i);
    return texto;
}

QString cortarEnAs(const QString &texto)
{
    const int as = texto.indexOf(QLatin1String(" AS "), 0, Qt::CaseInsensitive);
    return as >= 0 ? texto.left(as) : texto;
}

bool esAgregado(const QString &columna)
{
    return columna.contains(QLatin1String("MIN("), Qt::CaseInsensitive)
           || columna.contains(QLatin1String("MAX("), Qt::CaseInsensitive);
}

/// Filters that would open the condition list start with WHERE instead of AND.
void unirFiltros(QStringList &donde, QStringList filtros, bool hayWhere)
{
    if (!hayWhere && donde.isEmpty() && !filtros.isEmpty()) {
        QString &primero = filtros.first();
        const int and_ = primero.indexOf(QLatin1String("AND"), 0, Qt::CaseInsensitive);
        primero = QStringLiteral("WHERE") + primero.mid(and_ + 3);
    }
    donde << filtros;
}

QStringList quitarLineasVacias(QStringList lineas)
{
    while (!lineas.isEmpty() && lineas.last().trimmed().isEmpty())
        lineas.removeLast();
    return lineas;
}

} // namespace

// ---------------------------------------------------------------------------
// Statement pieces

QString TlxScan::ExtraerTabla(const QString &LineaFrom, QString *Abreviatura)
{
    QString resto = LineaFrom.trimmed();
    const int from = resto.indexOf(QLatin1String("FROM "), 0, Qt::CaseInsensitive);
    if (from >= 0)
        resto = resto.mid(from + 5);
    resto = resto.trimmed();
    const int blanco = resto.indexOf(QLatin1Char(' '));
    const QString tabla = blanco >= 0 ? resto.left(blanco) : resto;
    if (Abreviatura)
        *Abreviatura = blanco >= 0 ? resto.mid(blanco) : resto;
    return tabla;
}

QString TlxScan::ExtraerCampoCodigo(const QString &PrimeraLinea)
{
    QString t = PrimeraLinea.trimmed();
    if (t.startsWith(QLatin1String("SELECT "), Qt::CaseInsensitive))
        t = t.mid(7).trimmed();
    if (t.startsWith(QLatin1String("FIRST "), Qt::CaseInsensitive)) {
        t = t.mid(6).trimmed();
        const int blanco = t.indexOf(QLatin1Char(' '));
        t = blanco >= 0 ? t.mid(blanco + 1).trimmed() : QString();
    }
    // A statement that asks for distinct rows itself still names its code column next.
    if (t.startsWith(QLatin1String("DISTINCT "), Qt::CaseInsensitive))
        t = t.mid(9).trimmed();
    return cortarEnAs(hastaPrimero(t, QStringLiteral(","))).trimmed();
}

QString TlxScan::ExtraerCampoNombre(const QString &SegundaLinea)
{
    QString nombre;
    for (const QChar c : cortarEnAs(SegundaLinea)) {
        const char16_t u = c.unicode();
        if ((u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || u == u'.' || u == u'_')
            nombre += c;
        else if (u != u' ' && u != u'\t')
            break;
    }
    return nombre;
}

QString TlxScan::TextoEnLiteral(const QString &texto)
{
    // Dialect 1 reads "" inside a double-quoted literal as one double quote.
    QString t = texto;
    return t.replace(kComillas, QStringLiteral("\"\""));
}

QString TlxScan::AlternativasBusqueda(const QString &a, const QString &b, const QString &c, const QString &texto,
                                      bool contiene)
{
    const QLocale locale;
    const QString p = contiene ? QStringLiteral("%") : QString();
    return a + QStringLiteral(" LIKE \"") + p + TextoEnLiteral(texto) + QStringLiteral("%\") OR (UPPER(") + b
           + QStringLiteral(") LIKE \"") + p + TextoEnLiteral(locale.toUpper(texto)) + QStringLiteral("%\") OR (") + c
           + QStringLiteral(" LIKE \"") + p + TextoEnLiteral(locale.toLower(texto)) + QStringLiteral("%\")");
}

QStringList TlxScan::FiltrosEmpresa(const QString &alias, bool usarEmpresa, bool usarGrupo, int valor)
{
    QStringList filtros;
    if (usarEmpresa)
        filtros << QStringLiteral(" AND (%1.Empresa = %2)").arg(alias).arg(valor);
    if (usarGrupo)
        filtros << QStringLiteral(" AND (%1.GrupoEmpresas = %2)").arg(alias).arg(valor);
    return filtros;
}

// ---------------------------------------------------------------------------
// Window

TlxScan::TlxScan(QWidget *parent) : QDialog(parent)
{
    buildForm();
}

TlxScan::~TlxScan()
{
    if (m_filtroInstalado)
        qApp->removeEventFilter(this);
    // The grid lets go of the result before the queries go.
    lxDBGridScan->setDataSource(nullptr);
}

void TlxScan::buildForm()
{
    setObjectName(QStringLiteral("lxScan"));
    setWindowTitle(QStringLiteral("Scan por Nombre"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);

    lxQueryScan = new TlxIBQuery(this);
    lxQueryScan->setObjectName(QStringLiteral("lxQueryScan"));
    lxQueryScanCount = new TlxIBQuery(this);
    lxQueryScanCount->setObjectName(QStringLiteral("lxQueryScanCount"));
    lxQueryScanCount->setUniDirectional(true);
    dsqScan = new fw::DataSource(this);
    dsqScan->setObjectName(QStringLiteral("dsqScan"));
    dsqScan->setDataSet(lxQueryScan);

    auto nombrar = [](QObject *o, const char *nombre) { o->setObjectName(QLatin1String(nombre)); };

    LabelCadenaBuscar = new QLabel(QStringLiteral("Cadena a Buscar"), this);
    nombrar(LabelCadenaBuscar, "LabelCadenaBuscar");
    wwIncrementalSearchScan = new QLineEdit(this);
    nombrar(wwIncrementalSearchScan, "wwIncrementalSearchScan");
    wwIncrementalSearchScan->setToolTip(QStringLiteral("Posiciona palabra en la lista de abajo."));
    CheckBoxDescatalogados = new QCheckBox(QStringLiteral("Ver Descatalogados"), this);
    nombrar(CheckBoxDescatalogados, "CheckBoxDescatalogados");
    CheckBoxDescatalogados->hide();
    chkDesactivarAutoscan = new QCheckBox(QStringLiteral("Desactivar autoscan"), this);
    nombrar(chkDesactivarAutoscan, "chkDesactivarAutoscan");
    chkDesactivarAutoscan->setToolTip(
        QStringLiteral("Desactiva la búsqueda automática de la información al teclear para bsucar."));

    auto botonTecla = [this, &nombrar](QToolButton *&boton, QLabel *&etiqueta, const char *nombreBoton,
                                       const char *nombreEtiqueta, const QString &texto) {
        boton = new QToolButton(this);
        nombrar(boton, nombreBoton);
        boton->setAutoRaise(true);
        boton->setFocusPolicy(Qt::NoFocus);
        etiqueta = new QLabel(texto, boton);
        nombrar(etiqueta, nombreEtiqueta);
        etiqueta->setAlignment(Qt::AlignCenter);
        // The caption belongs to the button: clicks go through it.
        etiqueta->setAttribute(Qt::WA_TransparentForMouseEvents);
        auto *l = new QVBoxLayout(boton);
        l->setContentsMargins(2, 2, 2, 2);
        l->addWidget(etiqueta);
        boton->setMinimumSize(56, 36);
    };
    botonTecla(SBF2, LabelF2, "SBF2", "LabelF2", QStringLiteral("   F2\r\nCódigo"));
    botonTecla(SBF4, LabelF4, "SBF4", "LabelF4", QStringLiteral("    F4\r\nNombre"));
    botonTecla(SBF5, LabelF5, "SBF5", "LabelF5", QStringLiteral("  F5\r\nScan"));

    RGTarifaVentas = new QGroupBox(QStringLiteral(" Tarifa Ventas "), this);
    nombrar(RGTarifaVentas, "RGTarifaVentas");
    RGTarifaVentasDefecto = new QRadioButton(QStringLiteral("Defecto"), RGTarifaVentas);
    nombrar(RGTarifaVentasDefecto, "RGTarifaVentasDefecto");
    RGTarifaVentasCliente = new QRadioButton(QStringLiteral("Cliente"), RGTarifaVentas);
    nombrar(RGTarifaVentasCliente, "RGTarifaVentasCliente");
    auto *tarifas = new QVBoxLayout(RGTarifaVentas);
    tarifas->setContentsMargins(4, 2, 4, 2);
    tarifas->addWidget(RGTarifaVentasDefecto);
    tarifas->addWidget(RGTarifaVentasCliente);
    LabelAlmacenStock = new QLabel(QStringLiteral("Almacén: "), this);
    nombrar(LabelAlmacenStock, "LabelAlmacenStock");

    BevelOtrasBusquedas = new QFrame(this);
    nombrar(BevelOtrasBusquedas, "BevelOtrasBusquedas");
    BevelOtrasBusquedas->setFrameShape(QFrame::StyledPanel);
    LabelOtrasBusquedas = new QLabel(QStringLiteral("Otras Búsquedas por Scan"), BevelOtrasBusquedas);
    nombrar(LabelOtrasBusquedas, "LabelOtrasBusquedas");
    ComboBoxOtrasBusquedas = new QComboBox(BevelOtrasBusquedas);
    nombrar(ComboBoxOtrasBusquedas, "ComboBoxOtrasBusquedas");
    // It shows the kind of search as well as the column chosen; only the list chooses.
    ComboBoxOtrasBusquedas->setEditable(true);
    ComboBoxOtrasBusquedas->lineEdit()->setReadOnly(true);
    ComboBoxOtrasBusquedas->setInsertPolicy(QComboBox::NoInsert);
    LabelComodin = new QLabel(QStringLiteral("El carácter comodín es % (similar a *)\r\nEjemplo: %Castellana%10%ofic"),
                              BevelOtrasBusquedas);
    nombrar(LabelComodin, "LabelComodin");
    auto *otras = new QHBoxLayout(BevelOtrasBusquedas);
    otras->setContentsMargins(6, 4, 6, 4);
    otras->addWidget(LabelOtrasBusquedas);
    otras->addWidget(ComboBoxOtrasBusquedas, 1);
    otras->addWidget(LabelComodin);

    lxDBGridScan = new TlxDBGrid(this);
    nombrar(lxDBGridScan, "lxDBGridScan");
    lxDBGridScan->setToolTip(QStringLiteral("Pulse Return o Doble-click\r\npara seleccionar elemento."));
    lxDBGridScan->setGuardarColumnas(false);
    lxDBGridScan->setEnterToTab(true);
    lxDBGridScan->setMoveByRow(true);
    lxDBGridScan->setReadOnly(true);
    lxDBGridScan->setSelectionBehavior(QAbstractItemView::SelectRows);
    lxDBGridScan->setRowHeightPercent(130);
    // A search over a large table shows its first page without reading the rest.
    lxDBGridScan->setFetchOnDemand(true);
    lxDBGridScan->horizontalHeader()->setSectionsClickable(true);
    lxDBGridScan->setDataSource(dsqScan);
    lxDBGridScanIButton = new QToolButton(lxDBGridScan);
    nombrar(lxDBGridScanIButton, "lxDBGridScanIButton");
    lxDBGridScanIButton->setEnabled(false);
    lxDBGridScan->setCornerWidget(lxDBGridScanIButton);

    StaticTextNumeroRegistros = new QLabel(QStringLiteral("Nº Reg: "), this);
    nombrar(StaticTextNumeroRegistros, "StaticTextNumeroRegistros");
    StaticTextNumeroRegistros->setToolTip(QStringLiteral("Total de registros del scan."));
    BotonF6 = new QToolButton(this);
    nombrar(BotonF6, "BotonF6");
    BotonF6->setText(QStringLiteral("F6   Alta Rápida"));
    BotonF6->setAutoRaise(true);
    BotonF6->setFocusPolicy(Qt::NoFocus);
    BotonF6->hide();
    BitBtnAceptar = new QPushButton(QStringLiteral("&Aceptar"), this);
    nombrar(BitBtnAceptar, "BitBtnAceptar");
    BitBtnAceptar->setToolTip(QStringLiteral("Acepta el valor de la lista."));
    BitBtnAceptar->setDefault(true);
    BitBtnCancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
    nombrar(BitBtnCancelar, "BitBtnCancelar");
    BitBtnCancelar->setToolTip(QStringLiteral("Sale del Scan sin efecto."));

    PopupMenuScan = new QMenu(this);
    nombrar(PopupMenuScan, "PopupMenuScan");
    OrdenarelCampoAscendente = PopupMenuScan->addAction(QStringLiteral("    Ordenar el Campo:  Ascendentemente"));
    nombrar(OrdenarelCampoAscendente, "OrdenarelCampoAscendente");
    PopupMenuScan->addSeparator();
    OrdenarelCampoDescendente = PopupMenuScan->addAction(QStringLiteral("    Ordenar el Campo:  Descendentemente"));
    nombrar(OrdenarelCampoDescendente, "OrdenarelCampoDescendente");

    auto *principal = new QVBoxLayout(this);
    auto *fila1 = new QHBoxLayout;
    fila1->addWidget(LabelCadenaBuscar);
    fila1->addWidget(wwIncrementalSearchScan, 1);
    fila1->addWidget(SBF2);
    fila1->addWidget(SBF4);
    fila1->addWidget(SBF5);
    principal->addLayout(fila1);
    auto *fila2 = new QHBoxLayout;
    fila2->addWidget(CheckBoxDescatalogados);
    fila2->addWidget(chkDesactivarAutoscan);
    fila2->addStretch(1);
    fila2->addWidget(LabelAlmacenStock);
    fila2->addWidget(RGTarifaVentas);
    principal->addLayout(fila2);
    principal->addWidget(BevelOtrasBusquedas);
    principal->addWidget(lxDBGridScan, 1);
    auto *pie = new QHBoxLayout;
    pie->addWidget(StaticTextNumeroRegistros);
    pie->addWidget(BotonF6);
    pie->addStretch(1);
    pie->addWidget(BitBtnAceptar);
    pie->addWidget(BitBtnCancelar);
    principal->addLayout(pie);
    resize(600, 460);

    connect(SBF2, &QToolButton::clicked, this, guarded([this] { CambiarTipoBusqueda(0); }));
    connect(SBF4, &QToolButton::clicked, this, guarded([this] { CambiarTipoBusqueda(1); }));
    connect(SBF5, &QToolButton::clicked, this, guarded([this] { CambiarTipoBusqueda(2); }));
    connect(BotonF6, &QToolButton::clicked, this, guarded([this] { EjecutarF6(); }));
    connect(chkDesactivarAutoscan, &QCheckBox::toggled, this, [this](bool marcado) { m_autoScan = !marcado; });
    connect(wwIncrementalSearchScan, &QLineEdit::textEdited, this, guarded([this] {
                PosicionarBusqueda();
                TextoTecleado();
            }));
    connect(ComboBoxOtrasBusquedas, &QComboBox::activated, this, guarded([this](int i) { OtrasBusquedas(i); }));
    connect(RGTarifaVentasDefecto, &QRadioButton::clicked, this, guarded([this] { TarifaElegida(0); }));
    connect(RGTarifaVentasCliente, &QRadioButton::clicked, this, guarded([this] { TarifaElegida(1); }));
    connect(lxDBGridScan, &QAbstractItemView::doubleClicked, this, guarded([this] { BitBtnAceptar->click(); }));
    connect(lxDBGridScan->horizontalHeader(), &QHeaderView::sectionClicked, this,
            guarded([this](int columna) { TituloColumnaPulsado(columna); }));
    connect(BitBtnAceptar, &QPushButton::clicked, this, [this] { accept(); });
    connect(BitBtnCancelar, &QPushButton::clicked, this, [this] { reject(); });
    connect(OrdenarelCampoAscendente, &QAction::triggered, this, guarded([this] { OrdenarConsulta(true); }));
    connect(OrdenarelCampoDescendente, &QAction::triggered, this, guarded([this] { OrdenarConsulta(false); }));
}

void TlxScan::Inicializar(bool Compras, bool Articulos, bool Clientes, bool Repetidos, bool UsarEmpresa,
                          bool UsarGrupoEmpresas, int GrupoEmpresas, std::int16_t TipoOrdenacion,
                          const QStringList &TextoSQL, const QStringList &FormatoCampos,
                          const QStringList &OrigenFormatoCampos, const QString &TextoScan,
                          const QString &CaptionVentana, fw::Database *DataBase, const fw::Params &Parametros,
                          bool VerGrande, bool Funcionamiento_Grande, bool ControlEnRejilla, bool ContarRegistros,
                          bool UsarDatosAuxiliares, const QString &CodTarifa, const QString &NombTarifa,
                          const QString &CodTarifaCli, const QString &NombTarifaCli, const QString &CodAlmacen,
                          const QString &NombAlmacen, int Caract_Ignorar_Codigo)
{
    FNumero_Caract_Ignorar_Codigo = std::max(0, Caract_Ignorar_Codigo);
    // "_" is the one-character wildcard: the skipped leading characters match anything.
    FTextoScan = QString(FNumero_Caract_Ignorar_Codigo, QLatin1Char('_')) + TextoScan;

    FCompras = Compras;
    FArticulos = Articulos;
    FClientes = Clientes;
    FRepetidos = Repetidos;
    FUsarEmpresa = UsarEmpresa;
    FUsarGrupoEmpresas = UsarGrupoEmpresas;
    FGrupoEmpresas = GrupoEmpresas;
    FVerGrande = VerGrande;
    FFunciona_como_Grande = Funcionamiento_Grande;
    FControlEnRejilla = ControlEnRejilla;
    FContarRegistros = ContarRegistros;
    FUsarDatosAuxiliares = UsarDatosAuxiliares;
    FCaptionVentana = CaptionVentana;
    FFormatoCamposOriginal.clear();
    FFormatoCamposQuery.clear();
    m_otrasBusquedas.clear();
    m_long = 0;

    for (const QString &linea : FormatoCampos) {
        FFormatoCamposOriginal << linea;
        const QStringList partes = linea.split(QLatin1Char('@'));
        const QString titulo = partes.value(2);
        bool esNumero = false;
        const int ancho = partes.value(1).trimmed().toInt(&esNumero);
        if (esNumero)
            m_long += ancho < titulo.size() + 1 ? int(titulo.size()) + 6 : ancho;
        FFormatoCamposQuery << QString(linea).replace(QLatin1Char('@'), QLatin1Char('\t'));
        m_otrasBusquedas << titulo;
    }
    ComboBoxOtrasBusquedas->clear();
    ComboBoxOtrasBusquedas->addItems(m_otrasBusquedas);

    Usar_OrigenFormatoCampos = !OrigenFormatoCampos.join(QString()).trimmed().isEmpty();
    FOrigenFormatoCamposQuery = Usar_OrigenFormatoCampos ? OrigenFormatoCampos : FFormatoCamposQuery;

    m_database = DataBase;
    for (TlxIBQuery *q : {lxQueryScan, lxQueryScanCount}) {
        q->setDatabase(DataBase);
        q->setTransaction(DataBase ? DataBase->defaultTransaction() : nullptr);
    }

    // The caller's ORDER and GROUP lines go back at the end of every statement built.
    QStringList lineas = TextoSQL;
    OrderBy.clear();
    GroupBy.clear();
    auto sacarUltima = [&lineas](const QString &clave, QString &destino) {
        for (int i = int(lineas.size()) - 1; i >= 0; --i) {
            if (lineas[i].contains(clave, Qt::CaseInsensitive)) {
                destino = lineas.takeAt(i);
                return;
            }
        }
    };
    sacarUltima(QStringLiteral("ORDER "), OrderBy);
    sacarUltima(QStringLiteral("GROUP "), GroupBy);
    FCampoScan = lineas;
    lxQueryScan->setSql(FCampoScan);

    FParametrosQuery = Parametros;
    FTipoOrdenacion = TipoOrdenacion;

    FTabla.clear();
    FAbreviaturaTabla.clear();
    for (const QString &linea : FCampoScan) {
        if (linea.contains(QLatin1String("FROM "), Qt::CaseInsensitive)) {
            FTabla = ExtraerTabla(linea, &FAbreviaturaTabla);
            break;
        }
    }
    FScanCampoCodigo = ExtraerCampoCodigo(FCampoScan.value(0));
    FScanCampoNombre = ExtraerCampoNombre(FCampoScan.value(1));

    LabelF2->setText(QStringLiteral("   F2\r\n") + m_otrasBusquedas.value(0).left(7));
    LabelF4->setText(QStringLiteral("   F4\r\n") + m_otrasBusquedas.value(1).left(7));

    ConfigurarVentanaGrande();

    setWindowTitle(CaptionVentana);
    (ControlEnRejilla ? static_cast<QWidget *>(lxDBGridScan) : wwIncrementalSearchScan)->setFocus();

    if (UsarDatosAuxiliares) {
        FCodTarifa = CodTarifa;
        FCodTarifaCli = CodTarifaCli;
        LabelAlmacenStock->setText(QStringLiteral("Almacén: ") + CodAlmacen + QLatin1Char(' ') + NombAlmacen);
        RGTarifaVentasDefecto->setText(QStringLiteral("   Defecto ") + CodTarifa + QLatin1Char(' ') + NombTarifa);
        RGTarifaVentasCliente->setText(QStringLiteral("   Cliente   ") + CodTarifaCli + QLatin1Char(' ')
                                       + NombTarifaCli);
        RGTarifaVentasDefecto->setChecked(true);
        RGTarifaVentas->show();
        LabelAlmacenStock->show();
    } else {
        RGTarifaVentas->hide();
        LabelAlmacenStock->hide();
    }
}

void TlxScan::ConfigurarVentanaGrande()
{
    for (QWidget *w : {static_cast<QWidget *>(BevelOtrasBusquedas), static_cast<QWidget *>(LabelOtrasBusquedas),
                       static_cast<QWidget *>(ComboBoxOtrasBusquedas), static_cast<QWidget *>(LabelComodin)})
        w->setVisible(FVerGrande);
    if (FVerGrande) {
        Auxtecleado.clear();
        return;
    }
    if (!FFunciona_como_Grande) {
        // The whole table is listed; the typed text only positions the grid.
        Auxtecleado = FTextoScan;
        FTextoScan.clear();
    } else {
        Auxtecleado.clear();
    }
    wwIncrementalSearchScan->clear();
}

void TlxScan::PonerCaption(int Tipo)
{
    static const char *const kTextos[] = {" Búsqueda por Código de ", " Búsqueda por Nombre de ", " Scan por Nombre de "};
    setWindowTitle(FCaptionVentana + QString::fromUtf8(kTextos[std::clamp(Tipo, 0, 2)]) + FTabla);
}

void TlxScan::BuscarEn(const QString &expresion)
{
    m_campoIncremental = expresion;
}

void TlxScan::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_filtroInstalado) {
        // The window sees keys before its controls do.
        qApp->installEventFilter(this);
        m_filtroInstalado = true;
    }
    if (!event->spontaneous())
        fw::ui::runGuarded([this] { FormShow(); });
}

void TlxScan::hideEvent(QHideEvent *event)
{
    if (m_filtroInstalado) {
        qApp->removeEventFilter(this);
        m_filtroInstalado = false;
    }
    QDialog::hideEvent(event);
}

void TlxScan::FormShow()
{
    int ancho = m_long * 6;
    if (ancho < 753 && !RGTarifaVentas->isHidden())
        ancho = 753;
    else if (ancho < 450)
        ancho = 450;
    else if (ancho > 1000)
        ancho = 1000;
    ancho = std::max(ancho, 600);
    resize(ancho, height());
    if (QScreen *pantalla = screen())
        move(pantalla->availableGeometry().center() - rect().center());

    BotonF6->hide();
    if (FArticulos) {
        CheckBoxDescatalogados->show();
        BotonF6->setText(FCompras ? QStringLiteral("F6   Alta Rápida") : QStringLiteral("F6   Ver Stocks"));
        BotonF6->show();
    } else if (FClientes) {
        CheckBoxDescatalogados->hide();
        BotonF6->setText(QStringLiteral("F6   Alta Rápida"));
        BotonF6->show();
    }

    switch (FTipoOrdenacion) {
    case 0:
        ComboBoxOtrasBusquedas->setEditText(QStringLiteral("Código"));
        BuscarEn(FFormatoCamposQuery.value(0).section(QLatin1Char('\t'), 0, 0));
        break;
    case 1:
        ComboBoxOtrasBusquedas->setEditText(QStringLiteral("Nombre"));
        BuscarEn(FFormatoCamposQuery.value(1).section(QLatin1Char('\t'), 0, 0));
        break;
    default:
        ComboBoxOtrasBusquedas->setEditText(QStringLiteral("Scan por Nombre"));
        BuscarEn(FFormatoCamposQuery.value(1).section(QLatin1Char('\t'), 0, 0));
        break;
    }
    PonerCaption(FTipoOrdenacion);

    FCargandoSN = true;
    MostrarDatos();
    FCargandoSN = false;

    wwIncrementalSearchScan->setText(FTextoScan);
    if (FNumero_Caract_Ignorar_Codigo > 0)
        wwIncrementalSearchScan->setSelection(FNumero_Caract_Ignorar_Codigo,
                                              int(FTextoScan.size()) - FNumero_Caract_Ignorar_Codigo);
    (FControlEnRejilla ? static_cast<QWidget *>(lxDBGridScan) : wwIncrementalSearchScan)->setFocus();
}

void TlxScan::ConstruirConsulta()
{
    lxQueryScan->close();
    QStringList sentencia = FCampoScan;
    if (!FRepetidos && !sentencia.isEmpty() && !sentencia[0].contains(QLatin1String("DISTINCT"), Qt::CaseInsensitive)
        && !FScanCampoCodigo.isEmpty()) {
        const int pos = sentencia[0].indexOf(FScanCampoCodigo, 6, Qt::CaseInsensitive);
        if (pos >= 0)
            sentencia[0].insert(pos, QStringLiteral(" DISTINCT "));
    }

    QString texto = sentencia.join(QLatin1Char('\n'));
    QStringList donde;
    QString union_ = QStringLiteral("WHERE ");
    const int posWhere = texto.indexOf(QLatin1String("WHERE "), 0, Qt::CaseInsensitive);
    const bool hayWhere = posWhere >= 0;
    if (hayWhere) {
        donde << texto.mid(posWhere);
        texto.truncate(posWhere);
        union_ = QStringLiteral("AND");
    }

    const QString &T = FTextoScan;
    const QString &C = FScanCampoCodigo;
    const QString &N = FScanCampoNombre;
    const QLocale locale;
    QString condicion;
    if (FTipoOrdenacion == 0) {
        condicion = union_ + QStringLiteral("( ( (") + AlternativasBusqueda(C, C, locale.toLower(C), T, false)
                    + QStringLiteral(" )");
        if (FCompras) {
            const QString todo = FCampoScan.join(QLatin1Char('\n'));
            for (const QString &ref : {QStringLiteral("AP.REFERENCIA_PROVEEDOR"), QStringLiteral("A.REFERENCIAPROVEEDOR")}) {
                if (todo.contains(ref.mid(ref.indexOf(QLatin1Char('.')) + 1)))
                    condicion += QStringLiteral("\r\nOR ( (") + AlternativasBusqueda(ref, ref, locale.toLower(ref), T, false)
                                 + QStringLiteral(" )");
            }
        }
        condicion += QStringLiteral(" ) ");
    } else {
        condicion = union_ + QStringLiteral(" ( (")
                    + AlternativasBusqueda(N, locale.toUpper(N), locale.toLower(N), T, FTipoOrdenacion == 2)
                    + QStringLiteral(" )");
    }
    if (!esAgregado(C))
        donde << condicion;

    QStringList filtros = FiltrosEmpresa(FAbreviaturaTabla, FUsarEmpresa, FUsarGrupoEmpresas, FGrupoEmpresas);
    if (FArticulos && !CheckBoxDescatalogados->isChecked())
        filtros << QStringLiteral("AND (A.DESCATALOGADO = 0)");
    unirFiltros(donde, filtros, hayWhere);

    const QStringList cuerpo = quitarLineasVacias(texto.split(QLatin1Char('\n')));
    // The count has no GROUP, ORDER or DISTINCT: it counts the rows before grouping.
    const QString cuerpoTexto = cuerpo.join(QLatin1Char('\n'));
    const int posFrom = cuerpoTexto.indexOf(QLatin1String("FROM"), 0, Qt::CaseInsensitive);
    QStringList cuenta = (QStringLiteral("Select count(*) as contador ") + cuerpoTexto.mid(std::max(posFrom, 0)))
                             .split(QLatin1Char('\n'));
    cuenta << donde;
    lxQueryScanCount->close();
    lxQueryScanCount->setSql(cuenta);

    QStringList resultado = cuerpo;
    resultado << donde;
    if (!GroupBy.isEmpty())
        resultado << GroupBy;
    resultado << (!OrderBy.isEmpty() ? OrderBy : QStringLiteral("ORDER BY ") + (FTipoOrdenacion != 0 ? N : C));
    lxQueryScan->setSql(resultado);

    try {
        AplicarColumnas();
    } catch (const fw::Abort &) {
        throw;
    } catch (...) {
        fw::ui::dialogs().inform(QStringLiteral("Error formateando Campos\r\n")
                                 + fw::ui::errorText(std::current_exception()));
    }
}

void TlxScan::CopiarParametros(TlxIBQuery &query)
{
    for (fw::Param &p : query.params())
        if (const fw::Param *origen = FParametrosQuery.find(p.name()))
            p.setValue(origen->value());
}

void TlxScan::MostrarDatos()
{
    // A large window over customers or articles opened without a text lists nothing until the user searches.
    const bool abrir = !(FCargandoSN && FVerGrande && (FArticulos || FClientes) && FTextoScan.isEmpty());
    try {
        ConstruirConsulta();
        CopiarParametros(*lxQueryScanCount);
        if (FContarRegistros && abrir) {
            lxQueryScanCount->PrepararQuery();
            lxQueryScanCount->open();
            const qint64 total = lxQueryScanCount->isEmpty() ? 0 : lxQueryScanCount->field(0).asLargeInt();
            lxQueryScanCount->close();
            StaticTextNumeroRegistros->setText(QStringLiteral("Nº Reg: ") + QString::number(total));
        } else {
            StaticTextNumeroRegistros->setText(QStringLiteral("Nº Reg: ¿?"));
        }
        try {
            lxDBGridScan->setDataSource(dsqScan);
            CopiarParametros(*lxQueryScan);
            if (abrir) {
                // Prepared here so a wrong statement reaches the error box, once.
                lxQueryScan->PrepararQuery();
                lxQueryScan->open();
            }
            FormatearColumnas();
        } catch (const fw::Abort &) {
            throw;
        } catch (...) {
            MostrarErrorScan(QStringLiteral("Error en SCAN: ") + fw::ui::errorText(std::current_exception()));
        }
        PresentarCampos();
        if (!Auxtecleado.isEmpty()) {
            FTextoScan = Auxtecleado;
            wwIncrementalSearchScan->setText(Auxtecleado);
            PosicionarBusqueda();
        }
    } catch (const fw::Abort &) {
    } catch (const fw::DatabaseError &e) {
        MostrarErrorScan(e.message());
    } catch (...) {
        MostrarErrorScan(QStringLiteral("Error NO base datos: ") + fw::ui::errorText(std::current_exception()));
    }
}

void TlxScan::MostrarErrorScan(const QString &Texto)
{
    fw::ui::dialogs().error(QStringLiteral("Error en el Scan, detalles:\r\n") + Texto, QStringLiteral("Error"));
    lxQueryScan->close();
}

void TlxScan::AplicarColumnas()
{
    lxDBGridScan->setColumnDefinitions(FFormatoCamposQuery);
    // Each result field takes its column's caption, as the grid shows it.
    if (!lxQueryScan->active())
        return;
    for (const fw::ui::GridColumn &columna : lxDBGridScan->columns())
        if (fw::Field *f = lxQueryScan->findField(columna.fieldName); f && !columna.title.isEmpty())
            f->setDisplayLabel(columna.title);
}

void TlxScan::FormatearColumnas()
{
    AplicarColumnas();
    if (!lxQueryScan->active())
        return;
    for (const QString &linea : FCampoScan) {
        QString item = linea.trimmed();
        if (item.startsWith(QLatin1String("SELECT "), Qt::CaseInsensitive))
            item = item.mid(7).trimmed();
        QString columna = item;
        if (const int punto = columna.indexOf(QLatin1Char('.')); punto >= 0)
            columna = columna.mid(punto + 1);
        columna = hastaPrimero(columna, QStringLiteral(",. "));
        QString salida = columna;
        if (const int as = item.indexOf(QLatin1String(" AS "), 0, Qt::CaseInsensitive); as >= 0)
            salida = hastaPrimero(item.mid(as + 4).trimmed(), QStringLiteral(", "));
        const QString origen = hastaPrimero(item, QStringLiteral(", "));
        for (const QString &formato : FFormatoCamposOriginal) {
            if (formato.section(QLatin1Char('@'), 0, 0) != salida)
                continue;
            const QString titulo = formato.section(QLatin1Char('@'), 2, 2);
            for (const auto &f : lxQueryScan->fields())
                if (f->displayLabel() == titulo)
                    f->setOrigin(origen);
        }
    }
}

void TlxScan::PresentarCampos()
{
    if (!lxQueryScan->active())
        return;
    for (const auto &f : lxQueryScan->fields()) {
        if (fw::ui::DataGridModel::isCheckField(f.get()))
            continue; // shown as a check box: 1 ticked, 0 not
        if (f->isNumeric())
            f->setDisplayFormat(QStringLiteral("#,##0.##"));
        else if (f->isDateTime())
            f->setDisplayFormat(QStringLiteral("dd/mm/yyyy"));
    }
}

void TlxScan::PosicionarBusqueda()
{
    const QString texto = wwIncrementalSearchScan->text();
    if (!lxQueryScan->active() || texto.isEmpty())
        return;
    QString campo = m_campoIncremental.trimmed();
    campo = campo.mid(campo.lastIndexOf(QLatin1Char('.')) + 1);
    if (fw::Field *f = lxQueryScan->findField(campo))
        lxQueryScan->locate(f->fieldName(), texto, fw::LocateOption::CaseInsensitive | fw::LocateOption::PartialKey);
}

void TlxScan::TextoTecleado()
{
    if (FVerGrande && FFunciona_como_Grande)
        return;
    Auxtecleado = wwIncrementalSearchScan->text();
    if (Auxtecleado.size() > 4 && m_autoScan)
        CambiarTipoBusqueda(FTipoOrdenacion);
}

void TlxScan::CambiarTipoBusqueda(int Tipo)
{
    try {
        FTipoOrdenacion = std::int16_t(std::clamp(Tipo, 0, 2));
        PonerCaption(FTipoOrdenacion);
        FTextoScan = wwIncrementalSearchScan->text();
        BuscarEn(FFormatoCamposQuery.value(FTipoOrdenacion == 0 ? 0 : 1).section(QLatin1Char('\t'), 0, 0));
        MostrarDatos();
        wwIncrementalSearchScan->setFocus();
    } catch (...) {
        // A search that cannot run leaves the window as it was.
    }
}

void TlxScan::OtrasBusquedas(int Indice)
{
    if (Indice < 0 || Indice >= FFormatoCamposQuery.size())
        return;
    QString expresion = FOrigenFormatoCamposQuery.value(Indice).section(QLatin1Char('\t'), 0, 0);
    if (!Usar_OrigenFormatoCampos || expresion.trimmed().isEmpty())
        expresion = FFormatoCamposQuery[Indice].section(QLatin1Char('\t'), 0, 0);
    else
        expresion = FOrigenFormatoCamposQuery[Indice];
    BuscarEn(expresion);
    const QString item = ComboBoxOtrasBusquedas->itemText(Indice);
    if (Indice <= 1) {
        FTipoOrdenacion = std::int16_t(Indice);
        setWindowTitle(FCaptionVentana + QStringLiteral(" Búsqueda por ") + item);
    } else {
        FTipoOrdenacion = 2;
        setWindowTitle(FCaptionVentana + QStringLiteral(" Scan por ") + item);
        const QString respuesta = QInputDialog::getText(this, QStringLiteral("Scan por ") + item.toUpper(),
                                                        QStringLiteral("Cadena a Buscar"), QLineEdit::Normal, QString());
        FTextoScan = respuesta;
        wwIncrementalSearchScan->setText(respuesta);
    }
    FScanCampoNombre = expresion.contains(QLatin1Char('.')) ? expresion : FAbreviaturaTabla + QLatin1Char('.') + expresion;
    if (!FTextoScan.isEmpty()) {
        MostrarDatos();
        wwIncrementalSearchScan->setFocus();
    }
}

void TlxScan::TituloColumnaPulsado(int columna)
{
    if (columna < 0 || columna >= lxDBGridScan->gridColumnCount())
        return;
    lxDBGridScan->setSelectedIndex(columna);
    const fw::ui::GridColumn elegida = lxDBGridScan->columns()[size_t(columna)];
    FieldName = elegida.fieldName;
    OrdenarPorCampo = elegida.title;
    AplicarColumnas();
    OrdenarelCampoAscendente->setText(QStringLiteral("Ordenar Ascendente por el Campo:   ") + OrdenarPorCampo);
    OrdenarelCampoDescendente->setText(QStringLiteral("Ordenar Descendente por el Campo:   ") + OrdenarPorCampo);
    PopupMenuScan->popup(QCursor::pos());
}

void TlxScan::OrdenarConsulta(bool Ascendente)
{
    if (FieldName.isEmpty()) {
        fw::ui::dialogs().inform(QStringLiteral("Error, Imposible Ordenar por este Campo"));
        return;
    }
    const QString sentido = Ascendente ? QStringLiteral(" ASC") : QStringLiteral(" DESC");
    lxQueryScan->disableControls();
    try {
        lxQueryScan->close();
        QStringList sentencia = lxQueryScan->sql();
        for (int i = int(sentencia.size()) - 1; i >= 1; --i) {
            if (sentencia[i].contains(QLatin1String("ORDER"), Qt::CaseInsensitive)) {
                sentencia[i] = QStringLiteral("ORDER BY ") + QString(FieldName).replace(QLatin1Char(','), sentido + QLatin1Char(','))
                               + sentido + QLatin1Char(';');
                break;
            }
        }
        lxQueryScan->setSql(sentencia);
        CopiarParametros(*lxQueryScan);
        lxQueryScan->PrepararQuery();
        lxQueryScan->open();
    } catch (const fw::Abort &) {
    } catch (...) {
        lxQueryScan->enableControls();
        MostrarErrorScan(fw::ui::errorText(std::current_exception()));
        return;
    }
    lxQueryScan->enableControls();
    FormatearColumnas();
    PresentarCampos();
}

void TlxScan::TarifaElegida(int item)
{
    if (!FUsarDatosAuxiliares)
        return;
    fw::Param *p = FParametrosQuery.find(QStringLiteral("ParCodigoTarifa"));
    if (!p)
        p = &FParametrosQuery.add(QStringLiteral("ParCodigoTarifa"));
    p->setValue(item == 0 ? FCodTarifa : FCodTarifaCli);
    MostrarDatos();
}

void TlxScan::EjecutarF6()
{
    QString codigo;
    if (lxQueryScan->active() && !lxQueryScan->isEmpty() && lxQueryScan->fieldCount() > 0)
        codigo = lxQueryScan->field(0).asString();
    if (FOnF6Click)
        FOnF6Click(wwIncrementalSearchScan, codigo);
}

bool TlxScan::TeclaVentana(QKeyEvent *event)
{
    const int tecla = event->key();
    switch (tecla) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_F2:
    case Qt::Key_F4:
    case Qt::Key_F5:
    case Qt::Key_F6:
        break;
    default:
        return false;
    }
    FTextoScan = wwIncrementalSearchScan->text();
    switch (tecla) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        BitBtnAceptar->click();
        break;
    case Qt::Key_Escape:
        BitBtnCancelar->click();
        break;
    case Qt::Key_F2:
        CambiarTipoBusqueda(0);
        break;
    case Qt::Key_F4:
        CambiarTipoBusqueda(1);
        break;
    case Qt::Key_F5:
        CambiarTipoBusqueda(2);
        break;
    default:
        EjecutarF6();
        break;
    }
    return true;
}

bool TlxScan::TeclaBusqueda(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Down:
        lxDBGridScan->setFocus(Qt::OtherFocusReason);
        return true;
    case Qt::Key_Backspace:
        m_autoScan = false;
        return false;
    default:
        return false;
    }
}

bool TlxScan::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w || w->window() != this || !isVisible())
        return QDialog::eventFilter(watched, event);
    auto *tecla = static_cast<QKeyEvent *>(event);
    bool usada = false;
    fw::ui::runGuarded([&] {
        usada = TeclaVentana(tecla);
        if (!usada && w == wwIncrementalSearchScan)
            usada = TeclaBusqueda(tecla);
    });
    return usada;
}
