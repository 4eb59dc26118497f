#include "RiesgoClientes.h"

#include "EstilosVentana.h"
#include "components/lxDBEdit.h"
#include "data/ModuloDatos.h"
#include "framework/db/DataSet.h"
#include "framework/db/DataSource.h"
#include "framework/ui/Guard.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>


using namespace estilos;

namespace {

struct Fila
{
    const char *etiqueta;
    const char *campo;
    bool negrita;
};

// Business counted apart, on the left of each page.
const Fila kIzquierda[] = {{"Presupuestos Sin Aceptar", "PARPRESINACEPTAR", false},
                           {"Pedidos Parcialmente Servidos", "PARPEDIDOSPARCIALES", false},
                           {"Pedidos Ptes. de Servir", "PARPEDIDOSPTES", false},
                           {"Devoluciones Cobradas", "PARSUMADEVCOBRADAS", true},
                           {"Devoluciones Pendientes", "PARSUMADEVPENDIENTES", true},
                           {nullptr, nullptr, false},
                           {"Total Otros", "PARTOTALOTROS", false},
                           {"Total Devoluciones", "PARSUMADEVTOTALES", true}};

// Risk in use, on the right.
const Fila kDerecha[] = {{"Albaranes Ptes. de Facturar", "PARALBSINFACT", false},
                         {"Fact. Ptes. de Gestionar Cobro", "PARFACTPTESCOBRO", false},
                         {"Documentos Ptes. de Ingresar", "PARFACTPTESREMESAR", false},
                         {"Remesas Ptes. de Confirmar", "PARREMPTESCONFIRMAR", false},
                         {"Remesas en Riesgo", "PARREMESASENRIESGO", false},
                         {"Devoluciones Ptes. de Cobrar", "PARDEVPENDIENTES", false},
                         {nullptr, nullptr, false},
                         {"Total Riesgo", "PARTOTALRIESGO", false},
                         {"Total Anticipos", "PARTOTALANTICIPOS", false}};

// Pages left to right: group 5 first.
const int kOrdenPaginas[] = {5, 3, 2, 4, 1};

/// Edits are named after the field they show.
QString nombreDe(const char *campo)
{
    return QString::fromLatin1(campo);
}

} // namespace

TFormRiesgoClientes::TFormRiesgoClientes(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormRiesgoClientes"));
    buildForm();
}

void TFormRiesgoClientes::buildForm()
{
    setWindowTitle(QStringLiteral("  Modulo de Velmora"));
    setModal(true);
    const QColor fondo = palette().color(QPalette::Window);

    auto *cliente = etiqueta(this, QStringLiteral("LabelCliente"), QStringLiteral("Cliente :"));
    DBEditCodigo = new TlxDBEdit(this);
    DBEditCodigo->setObjectName(QStringLiteral("DBEditCodigo"));
    DBEditNombre = new TlxDBEdit(this);
    DBEditNombre->setObjectName(QStringLiteral("DBEditNombre"));
    for (TlxDBEdit *e : {DBEditCodigo, DBEditNombre}) {
        e->setReadOnly(true);
        e->setFrame(false);
        e->setFocusPolicy(Qt::NoFocus);
        colorFondo(e, fondo);
        negrita(e);
    }
    colorTexto(DBEditCodigo, kAzulMarino);
    DBEditCodigo->setMaximumWidth(90);

    PageControlGruposRiesgo = new QTabWidget(this);
    PageControlGruposRiesgo->setObjectName(QStringLiteral("PageControlGruposRiesgo"));
    for (int g : kOrdenPaginas)
        PageControlGruposRiesgo->addTab(buildPagina(g), QStringLiteral("  Grupo Riesgo %1  ").arg(g));

    auto *resumen = new QGridLayout;
    auto *tituloResumen = etiqueta(this, QStringLiteral("LabelResumen"), QStringLiteral("  Resumen por Grupo de Riesgo  "));
    colorTexto(tituloResumen, kGranate);
    negrita(tituloResumen);
    resumen->addWidget(tituloResumen, 0, 0, 1, 5);
    for (int g = 1; g <= 5; ++g) {
        LabelNumero[g] = etiqueta(this, QStringLiteral("LabelNumero%1").arg(g), QString::number(g));
        negrita(LabelNumero[g]);
        LabelNumero[g]->setAlignment(Qt::AlignCenter);
        EstadoRiesgoResumen[g] = new TlxDBEdit(this);
        EstadoRiesgoResumen[g]->setObjectName(QStringLiteral("EstadoRiesgo%1%1").arg(g));
        EstadoRiesgoResumen[g]->setReadOnly(true);
        EstadoRiesgoResumen[g]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        colorTexto(EstadoRiesgoResumen[g], kNegro);
        LabelRiesgoDisponibleResumen[g] =
            etiqueta(this, QStringLiteral("LabelRiesgoDisponible%1%1").arg(g), QStringLiteral("Disponible"));
        LabelRiesgoDisponibleResumen[g]->setAlignment(Qt::AlignCenter);
        resumen->addWidget(LabelNumero[g], 1, g - 1);
        resumen->addWidget(EstadoRiesgoResumen[g], 2, g - 1);
        resumen->addWidget(LabelRiesgoDisponibleResumen[g], 3, g - 1);
    }
    BitBtnSalir = new QPushButton(QStringLiteral("  Cerrar"), this);
    BitBtnSalir->setObjectName(QStringLiteral("BitBtnSalir"));
    // Also the window's cancel button: Escape closes the window the same way.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, fw::ui::guarded([this] { BitBtnSalir->click(); }));
    connect(BitBtnSalir, &QPushButton::clicked, this, fw::ui::guarded([this] { accept(); }));
    resumen->addWidget(BitBtnSalir, 2, 5);

    auto *lineaCliente = new QHBoxLayout;
    lineaCliente->addWidget(cliente);
    lineaCliente->addWidget(DBEditCodigo);
    lineaCliente->addWidget(DBEditNombre, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(bandaTitulo(this, QStringLiteral("PanelTitulo"), QStringLiteral("Riesgo del Cliente")));
    layout->addLayout(lineaCliente);
    layout->addWidget(PageControlGruposRiesgo, 1);
    layout->addLayout(resumen);
    resize(820, 560);
}

QWidget *TFormRiesgoClientes::buildPagina(int g)
{
    auto *pagina = new QWidget;
    pagina->setObjectName(QStringLiteral("TabSheetGrupo%1").arg(g));
    TabSheetGrupo[g] = pagina;
    // The user may switch pages, but nothing on a page takes the focus or input.
    auto *contenido = new QWidget(pagina);
    contenido->setObjectName(QStringLiteral("PanelGrupo%1").arg(g));
    contenido->setEnabled(false);
    textoDeshabilitadoLegible(contenido);
    auto *paginaLayout = new QVBoxLayout(pagina);
    paginaLayout->addWidget(contenido);

    auto edit = [&](const QString &name) {
        auto *e = new TlxDBEdit(contenido);
        e->setObjectName(name);
        e->setReadOnly(true);
        e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return e;
    };

    auto *grid = new QGridLayout(contenido);
    auto *tituloConcedido = etiqueta(contenido, QStringLiteral("LabelRiesgoConcedido%1").arg(g),
                                     QStringLiteral("Riesgo Concedido"));
    negrita(tituloConcedido);
    auto *concedido = edit(QStringLiteral("RiesgoConcedido%1").arg(g));
    colorTexto(concedido, kAzul);
    colorFondo(concedido, kCianClaro);
    negrita(concedido);
    bind(concedido, QStringLiteral("PARRIESGOCONCEDIDO%1").arg(g));
    grid->addWidget(tituloConcedido, 0, 0);
    grid->addWidget(concedido, 0, 1);

    auto columna = [&](const Fila *filas, int n, int col, bool izquierda) {
        int row = 1;
        for (int i = 0; i < n; ++i, ++row) {
            const Fila &f = filas[i];
            if (f.etiqueta == nullptr) {
                auto *linea = new QFrame(contenido);
                linea->setFrameShape(QFrame::HLine);
                grid->addWidget(linea, row, col, 1, 2);
                continue;
            }
            const QString campo = QString::fromLatin1(f.campo) + QString::number(g);
            auto *l = etiqueta(contenido, QStringLiteral("Label") + campo, QString::fromLatin1(f.etiqueta));
            auto *e = edit(nombreDe(f.campo) + QString::number(g));
            colorTexto(e, kAzulMarino);
            if (izquierda)
                colorFondo(e, kBeigeGris);
            if (f.negrita)
                negrita(e);
            bind(e, campo);
            grid->addWidget(l, row, col);
            grid->addWidget(e, row, col + 1);
        }
        return row;
    };
    columna(kIzquierda, int(std::size(kIzquierda)), 0, true);
    const int fila = columna(kDerecha, int(std::size(kDerecha)), 2, false);

    LabelRiesgoDisponible[g] =
        etiqueta(contenido, QStringLiteral("LabelRiesgoDisponible%1").arg(g), QStringLiteral("Riesgo Disponible"));
    negrita(LabelRiesgoDisponible[g]);
    EstadoRiesgo[g] = edit(QStringLiteral("EstadoRiesgo%1").arg(g));
    colorTexto(EstadoRiesgo[g], kAzulMarino);
    colorFondo(EstadoRiesgo[g], kNaranjaClaro);
    negrita(EstadoRiesgo[g]);
    bind(EstadoRiesgo[g], QStringLiteral("TOTALEXCEDIDO%1").arg(g));
    grid->addWidget(LabelRiesgoDisponible[g], fila, 2);
    grid->addWidget(EstadoRiesgo[g], fila, 3);
    grid->setRowStretch(fila + 1, 1);
    return pagina;
}

void TFormRiesgoClientes::bind(TlxDBEdit *edit, const QString &campo)
{
    // The data source is known only once Datos is set: keep the field name.
    edit->setProperty("campoRiesgo", campo);
}

int TFormRiesgoClientes::exec()
{
    if (Datos != nullptr) {
        const QList<TlxDBEdit *> edits = findChildren<TlxDBEdit *>();
        for (TlxDBEdit *e : edits) {
            const QString campo = e->property("campoRiesgo").toString();
            if (!campo.isEmpty()) {
                e->setDataSource(Datos->dsSituacionClientesRiesgo);
                e->setDataField(campo);
            }
        }
        for (int g = 1; g <= 5; ++g) {
            EstadoRiesgoResumen[g]->setDataSource(Datos->dsSituacionClientesRiesgo);
            EstadoRiesgoResumen[g]->setDataField(QStringLiteral("TOTALEXCEDIDO%1").arg(g));
        }
        DBEditCodigo->setDataSource(Datos->dsSituacionClientesRiesgo);
        DBEditCodigo->setDataField(QStringLiteral("CODIGO"));
        DBEditNombre->setDataSource(Datos->dsSituacionClientesRiesgo);
        DBEditNombre->setDataField(QStringLiteral("NOMBRE"));
    }
    fw::ui::runGuarded([this] { FormShow(); });
    if (const QScreen *screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    return QDialog::exec();
}

void TFormRiesgoClientes::FormShow()
{
    PageControlGruposRiesgo->setCurrentIndex(0);
    BitBtnSalir->setFocus();
    if (Datos == nullptr)
        return;
    const fw::DataSet &riesgo = *Datos->dsSituacionClientesRiesgo->dataSet();
    for (int g = 1; g <= 5; ++g) {
        const double saldo = riesgo.fieldByName(QStringLiteral("TOTALEXCEDIDO%1").arg(g)).asFloat();
        if (saldo < 0) {
            for (QWidget *w : std::initializer_list<QWidget *>{EstadoRiesgo[g], EstadoRiesgoResumen[g],
                                                               LabelRiesgoDisponible[g],
                                                               LabelRiesgoDisponibleResumen[g]})
                colorTexto(w, kGranate);
            LabelRiesgoDisponible[g]->setText(QStringLiteral("Excedido"));
            LabelRiesgoDisponibleResumen[g]->setText(QStringLiteral("Excedido"));
        } else if (saldo == 0) {
            for (QWidget *w : std::initializer_list<QWidget *>{LabelNumero[g], EstadoRiesgoResumen[g],
                                                               LabelRiesgoDisponibleResumen[g]})
                colorTexto(w, kGris);
            colorFondo(EstadoRiesgoResumen[g], kBeigeGris);
        }
    }
}
