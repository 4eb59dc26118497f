#include "PantallaPrincipal.h"

#include "data/ModuloDatos.h"
#include "data/SesionDatos.h"
#include "framework/ui/Guard.h"
#include "install/InstalacionSQLModulo.h"
#include "reports/ListadosVelmora.h"
#include "screens/ConfiguracionCreditoCaucion.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <memory>

TFormPantallaPrincipal::TFormPantallaPrincipal(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormPantallaPrincipal"));
    buildForm();
}

void TFormPantallaPrincipal::buildForm()
{
    setWindowTitle(QStringLiteral("  Modulo de Velmora"));
    setModal(true);

    LabelTitulo = new QLabel(QStringLiteral("Módulo de Velmora"), this);
    LabelTitulo->setObjectName(QStringLiteral("LabelTitulo"));
    QFont titleFont = LabelTitulo->font();
    titleFont.setBold(true);
    titleFont.setPointSize(titleFont.pointSize() + 6);
    LabelTitulo->setFont(titleFont);

    auto *regla = new QFrame(this);
    regla->setObjectName(QStringLiteral("PanelRegla"));
    regla->setFixedHeight(3);
    regla->setAutoFillBackground(true);
    QPalette maroon = regla->palette();
    maroon.setColor(QPalette::Window, QColor(0x80, 0x00, 0x00));
    regla->setPalette(maroon);

    auto makeButton = [this](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setMinimumHeight(48);
        return b;
    };
    BotonInstalar = makeButton("BotonInstalar", QStringLiteral("    Instalación / Actualización SQL      "));
    BotonConfigurar = makeButton("BotonConfigurar", QStringLiteral("    Configurar Series y Formas de Pago"));
    BotonListados = makeButton("BotonListados", QStringLiteral("  Obtener los listados de control       "));
    BotonCerrar = new QPushButton(QStringLiteral("  Cerrar"), this);
    BotonCerrar->setObjectName(QStringLiteral("BotonCerrar"));

    connect(BotonInstalar, &QPushButton::clicked, this, fw::ui::guarded([this] { suitempBotonInstalarClick(); }));
    connect(BotonConfigurar, &QPushButton::clicked, this, fw::ui::guarded([this] { suitempBotonConfigurarClick(); }));
    connect(BotonListados, &QPushButton::clicked, this, fw::ui::guarded([this] { suitempBotonListadosClick(); }));
    connect(BotonCerrar, &QPushButton::clicked, this, fw::ui::guarded([this] { BotonCerrarClick(); }));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(LabelTitulo);
    layout->addWidget(regla);
    layout->addSpacing(16);
    for (QPushButton *b : {BotonInstalar, BotonConfigurar, BotonListados}) {
        auto *row = new QHBoxLayout;
        row->addStretch(1);
        b->setMinimumWidth(360);
        row->addWidget(b);
        row->addStretch(1);
        layout->addLayout(row);
    }
    layout->addStretch(1);
    auto *footer = new QHBoxLayout;
    footer->addStretch(1);
    footer->addWidget(BotonCerrar);
    layout->addLayout(footer);

    resize(560, 380);
    if (const QScreen *screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    BotonCerrar->setFocus();
}

int TFormPantallaPrincipal::exec()
{
    // While the main screen exists an error escaping any handler of the
    // module's windows is discarded without a message.
    fw::ui::ScopedErrorPolicy discard(fw::ui::ErrorPolicy::Discard);
    BotonCerrar->setFocus();
    return QDialog::exec();
}

void TFormPantallaPrincipal::suitempBotonInstalarClick() { EjecutarAccion(Accion::Instalacion); }
void TFormPantallaPrincipal::suitempBotonConfigurarClick() { AbrirConfiguracionVelmora(); }
void TFormPantallaPrincipal::suitempBotonListadosClick() { EjecutarAccion(Accion::Listados); }
void TFormPantallaPrincipal::AbrirConfiguracionVelmora() { EjecutarAccion(Accion::Configuracion); }

void TFormPantallaPrincipal::BotonCerrarClick()
{
    accept();
}

void TFormPantallaPrincipal::EjecutarAccion(Accion accion)
{
    TContextoSesion contexto;
    contexto.IdEmpresa = IdEmpresaPrin;
    contexto.IdGrupoEmpresa = IdGrupoEmpresaPrin;
    contexto.IdUsuario = IdUsuarioPrin;
    contexto.RutaBaseDatos = RutaBaseDatosPrin;
    contexto.NombreUsuario = NombreUsuarioPrin;
    contexto.Password = PasswordPrin;
    // An error while closing the session is shown for the installation only.
    TSesionDatos sesion(contexto, accion == Accion::Instalacion ? TSesionDatos::ErroresAlCerrar::Mostrar
                                                                : TSesionDatos::ErroresAlCerrar::Ignorar);
    try {
        sesion.conectar();
        sesion.abrirEmpresa();
        MostrarVentanaAccion(accion, sesion.datos());
        // This commit is what stores the risk groups and risk days edited.
        if (accion == Accion::Configuracion)
            sesion.confirmar();
        else
            sesion.deshacer();
    } catch (...) {
        // Any error opening the session, in the window or ending the transaction: shown, then the session closes.
        MostrarErrorActual();
    }
}

void TFormPantallaPrincipal::MostrarVentanaAccion(Accion accion, TDatos &datos)
{
    if (accion == Accion::Instalacion) {
        auto ventana = std::make_unique<TFormInstalacionSQLModulo>(this);
        ventana->Datos = &datos;
        ventana->exec();
        return;
    }
    if (accion == Accion::Configuracion) {
        auto ventana = std::make_unique<TFormConfiguracionCreditoCaucion>(this);
        ventana->Datos = &datos;
        ventana->exec();
        return;
    }
    auto ventana = std::make_unique<TFormListadosVelmora>(this);
    ventana->Datos = &datos;
    ventana->exec();
}
