#include "ControlRiesgo.h"

#include "EstilosVentana.h"
#include "RiesgoClientes.h"
#include "components/lxDBEdit.h"
#include "data/ModuloDatos.h"
#include "framework/ui/Guard.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <memory>

using namespace estilos;

TFormControlRiesgo::TFormControlRiesgo(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormControlRiesgo"));
    buildForm();
}

void TFormControlRiesgo::buildForm()
{
    setWindowTitle(QStringLiteral("  Control de Riesgo"));
    setModal(true);
    const QColor fondo = palette().color(QPalette::Window);

    auto edit = [this](const QString &name) {
        auto *e = new TlxDBEdit(this);
        e->setObjectName(name);
        e->setReadOnly(true);
        e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return e;
    };

    auto *cliente = etiqueta(this, QStringLiteral("LabelCliente"), QStringLiteral("Cliente :"));
    DBEditCodigo = edit(QStringLiteral("DBEditCodigo"));
    DBEditNombre = edit(QStringLiteral("DBEditNombre"));
    for (TlxDBEdit *e : {DBEditCodigo, DBEditNombre}) {
        e->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        e->setFrame(false);
        e->setFocusPolicy(Qt::NoFocus);
        colorTexto(e, kAzulMarino);
        colorFondo(e, fondo);
        negrita(e);
    }
    DBEditCodigo->setMaximumWidth(90);

    auto *tabla = new QGridLayout;
    const char *titulos[] = {"Grupo Riesgo", "Concedido", "Riesgo en Curso", "Anticipos", "Total Saldo"};
    const char *nombresTitulo[] = {"LabelGrupoRiesgo", "LabelConcedido", "LabelRiesgoEnCurso", "LabelAnticipos",
                                   "LabelTotalSaldo"};
    for (int c = 0; c < 5; ++c) {
        auto *t = etiqueta(this, QString::fromLatin1(nombresTitulo[c]), QString::fromUtf8(titulos[c]));
        negrita(t);
        t->setAlignment(c == 0 ? Qt::AlignLeft : Qt::AlignRight);
        if (c == 4)
            colorTexto(t, kRojo);
        tabla->addWidget(t, 0, c);
    }
    for (int g = 1; g <= 5; ++g) {
        auto *fila = etiqueta(this, QStringLiteral("LabelGrupo%1").arg(g), QStringLiteral("Grupo %1").arg(g));
        colorTexto(fila, kGris);
        negrita(fila);
        tabla->addWidget(fila, g, 0);
        RiesgoConcedigo[g] = edit(QStringLiteral("RiesgoConcedigo%1").arg(g));
        TotalRiesgo[g] = edit(QStringLiteral("TotalRiesgo%1").arg(g));
        TotalAnticipos[g] = edit(QStringLiteral("TotalAnticipos%1").arg(g));
        EstadoRiesgo[g] = edit(QStringLiteral("EstadoRiesgo%1").arg(g));
        int c = 1;
        for (TlxDBEdit *e : {RiesgoConcedigo[g], TotalRiesgo[g], TotalAnticipos[g], EstadoRiesgo[g]}) {
            colorTexto(e, kGris);
            colorFondo(e, fondo);
            negrita(e);
            tabla->addWidget(e, g, c++);
        }
    }

    auto *totales = new QGridLayout;
    SumaSaldo = edit(QStringLiteral("SumaSaldo"));
    AnticiposLibres = edit(QStringLiteral("AnticiposLibres"));
    SaldoGlobal = edit(QStringLiteral("SaldoGlobal"));
    const std::pair<const char *, TlxDBEdit *> filas[] = {
        {"Suma Saldo", SumaSaldo}, {"Anticipos Libres", AnticiposLibres}, {"Saldo Global", SaldoGlobal}};
    const char *nombresTotales[] = {"LabelSumaSaldo", "LabelAnticiposLibres", "LabelSaldoGlobal"};
    int r = 0;
    for (const auto &[texto, e] : filas) {
        auto *l = etiqueta(this, QString::fromLatin1(nombresTotales[r]), QString::fromLatin1(texto));
        negrita(l);
        colorTexto(e, kNegro);
        negrita(e);
        totales->addWidget(l, r, 0);
        totales->addWidget(e, r, 1);
        ++r;
    }
    totales->setColumnStretch(2, 1);

    BitBtnVerRiesgo = new QPushButton(QStringLiteral("  Ver Riesgo"), this);
    BitBtnVerRiesgo->setObjectName(QStringLiteral("BitBtnVerRiesgo"));
    btnCerrar = new QPushButton(QStringLiteral("  Cerrar"), this);
    btnCerrar->setObjectName(QStringLiteral("btnCerrar"));
    // Neither is the default button: Enter acts on the one that has the focus.
    for (QPushButton *b : {BitBtnVerRiesgo, btnCerrar}) {
        b->setAutoDefault(true);
        b->setDefault(false);
    }
    connect(BitBtnVerRiesgo, &QPushButton::clicked, this, fw::ui::guarded([this] { BitBtnVerRiesgoClick(); }));
    connect(btnCerrar, &QPushButton::clicked, this, fw::ui::guarded([this] { reject(); }));

    auto *lineaCliente = new QHBoxLayout;
    lineaCliente->addWidget(cliente);
    lineaCliente->addWidget(DBEditCodigo);
    lineaCliente->addWidget(DBEditNombre, 1);
    auto *botones = new QHBoxLayout;
    botones->addStretch(1);
    botones->addWidget(BitBtnVerRiesgo);
    botones->addWidget(btnCerrar);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(bandaTitulo(this, QStringLiteral("PanelTitulo"), QStringLiteral("Control de Velmora")));
    layout->addLayout(lineaCliente);
    layout->addLayout(tabla);
    layout->addLayout(totales);
    layout->addStretch(1);
    layout->addLayout(botones);
    resize(640, 420);
}

int TFormControlRiesgo::exec()
{
    if (Datos != nullptr) {
        auto bind = [this](TlxDBEdit *e, const QString &campo) {
            e->setDataSource(Datos->dsSituacionClientesRiesgo);
            e->setDataField(campo);
        };
        bind(DBEditCodigo, QStringLiteral("CODIGO"));
        bind(DBEditNombre, QStringLiteral("NOMBRE"));
        for (int g = 1; g <= 5; ++g) {
            bind(RiesgoConcedigo[g], QStringLiteral("PARRIESGOCONCEDIDO%1").arg(g));
            bind(TotalRiesgo[g], QStringLiteral("PARTOTALRIESGO%1").arg(g));
            bind(TotalAnticipos[g], QStringLiteral("PARTOTALANTICIPOS%1").arg(g));
            bind(EstadoRiesgo[g], QStringLiteral("TOTALEXCEDIDO%1").arg(g));
        }
        bind(SumaSaldo, QStringLiteral("TOTALEXCEDIDOGLOBAL"));
        bind(AnticiposLibres, QStringLiteral("PARTOTALANTICIPOSLIBRES"));
        bind(SaldoGlobal, QStringLiteral("SALDOGLOBAL"));
    }
    fw::ui::runGuarded([this] { FormShow(); });
    if (const QScreen *screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    btnCerrar->setFocus();
    return QDialog::exec();
}

void TFormControlRiesgo::FormShow()
{
    for (int g = 1; g <= 5; ++g)
        colorTexto(EstadoRiesgo[g], kNegro);
    const int g = Datos != nullptr ? Datos->GrupoRiesgo : 0;
    if (g >= 1 && g <= 5) {
        colorTexto(EstadoRiesgo[g], kRojo);
        for (TlxDBEdit *e : {RiesgoConcedigo[g], TotalRiesgo[g], TotalAnticipos[g], EstadoRiesgo[g]})
            colorFondo(e, kBlanco);
    }
}

void TFormControlRiesgo::keyPressEvent(QKeyEvent *event)
{
    // Escape does nothing here: the dialog is closed with one of its buttons.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFormControlRiesgo::BitBtnVerRiesgoClick()
{
    setResult(QDialog::Accepted);
    try {
        auto vista = std::make_unique<TFormRiesgoClientes>(this);
        vista->Datos = Datos;
        vista->exec();
    } catch (...) {
        // Any error of the overview is shown here; the dialog closes all the same.
        MostrarErrorActual();
    }
    accept();
}
