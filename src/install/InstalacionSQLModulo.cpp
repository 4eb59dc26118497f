#include "install/InstalacionSQLModulo.h"

#include "data/ModuloDatos.h"
#include "framework/ui/Guard.h"
#include "install/EjecutorInstalacion.h"

#include <QApplication>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

void colorTexto(QWidget *w, const QColor &color)
{
    QPalette p = w->palette();
    for (auto grupo : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(grupo, QPalette::WindowText, color);
    w->setPalette(p);
}

} // namespace

QString TFormInstalacionSQLModulo::MensajeFinal(int noEjecutadas, const QString &primerError)
{
    if (noEjecutadas == 0)
        return QStringLiteral("\r\n !!! Proceso Terminado Correctamente ¡¡¡");
    const QString cuantas = noEjecutadas == 1
                                ? QStringLiteral("No se ha podido ejecutar 1 sentencia")
                                : QStringLiteral("No se han podido ejecutar %1 sentencias").arg(noEjecutadas);
    return QStringLiteral("\r\n !!! La instalación no ha terminado correctamente ¡¡¡\r\n ") + cuantas
           + QStringLiteral(" de la instalación. El primer error fue:\r\n") + primerError
           + QStringLiteral("\r\n Vuelva a ejecutar la instalación.");
}

TFormInstalacionSQLModulo::TFormInstalacionSQLModulo(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormInstalacionSQLModulo"));
    buildForm();
}

TFormInstalacionSQLModulo::~TFormInstalacionSQLModulo() = default;

void TFormInstalacionSQLModulo::buildForm()
{
    setWindowTitle(QStringLiteral("  Instalación del Módulo de Velmora"));
    setModal(true);

    LabelTitulo = new QLabel(QStringLiteral("Ejecución del Codigo SQL de Instalación"), this);
    LabelTitulo->setObjectName(QStringLiteral("LabelTitulo"));
    QFont grande = LabelTitulo->font();
    grande.setBold(true);
    grande.setPointSizeF(grande.pointSizeF() * 1.5);
    LabelTitulo->setFont(grande);

    MemoInformacion = new QPlainTextEdit(this);
    MemoInformacion->setObjectName(QStringLiteral("MemoInformacion"));
    MemoInformacion->setReadOnly(true);
    MemoInformacion->setPlainText(
        QStringLiteral("\n  Se va a proceder a la ejecución del codigo SQL necesario para la instalación del \n"
                       "  módulo de   Velmora."));

    LabelAviso = new QLabel(QStringLiteral(". Si no esta seguro de lo que esta haciendo  PULSE EN CANCELAR"), this);
    LabelAviso->setObjectName(QStringLiteral("LabelAviso"));
    QFont negrita = LabelAviso->font();
    negrita.setBold(true);
    LabelAviso->setFont(negrita);
    colorTexto(LabelAviso, QColor(0x80, 0x00, 0x00));

    BitBtnAceptar = new QPushButton(QStringLiteral("  Instalar SQL"), this);
    BitBtnAceptar->setObjectName(QStringLiteral("BitBtnAceptar"));
    btnCerrar = new QPushButton(QStringLiteral("  Cancelar"), this);
    btnCerrar->setObjectName(QStringLiteral("btnCerrar"));
    connect(BitBtnAceptar, &QPushButton::clicked, this, fw::ui::guarded([this] { BitBtnAceptarClick(); }));
    connect(btnCerrar, &QPushButton::clicked, this, fw::ui::guarded([this] { reject(); }));

    auto *botones = new QHBoxLayout;
    botones->addStretch(1);
    botones->addWidget(BitBtnAceptar);
    botones->addWidget(btnCerrar);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(LabelTitulo);
    layout->addWidget(MemoInformacion, 1);
    layout->addWidget(LabelAviso);
    layout->addLayout(botones);
    resize(560, 300);
}

void TFormInstalacionSQLModulo::BitBtnAceptarClick()
{
    // The runner lets window messages through before each statement; with the
    // buttons off, a second click cannot start the sequence again meanwhile.
    BitBtnAceptar->setEnabled(false);
    btnCerrar->setEnabled(false);
    fw::ui::runGuarded([this] { EjecutarInstalacionSQL(); });
    BitBtnAceptar->setEnabled(true);
    btnCerrar->setEnabled(true);
    accept();
}

void TFormInstalacionSQLModulo::EjecutarInstalacionSQL()
{
    if (Datos == nullptr || !TEjecutorInstalacion::UsuarioAdmitido(Datos->NombreUsuario)) {
        MostrarAviso(QStringLiteral("\n\r Debe de entrar con el usuario SYSDBA \n\r Este proceso ejecuta el codigo SQL "
                                    "de instalación del módulo de Velmora. "));
        return;
    }
    TEjecutorInstalacion ejecutor(Datos->RutaBaseDatos, Datos->NombreUsuario, Datos->Password);
    ejecutor.AntesDeEjecutar = [] { QApplication::processEvents(); };
    try {
        ejecutor.EjecutarInstalacionSQL();
        MostrarAviso(MensajeFinal(ejecutor.SentenciasNoEjecutadas(), ejecutor.PrimerErrorNoEjecutada()));
    } catch (...) {
        // Any error assembling a statement ends the sequence; what already ran stays committed.
        MostrarAviso(QStringLiteral("Error al Actualizar la base de datos.  \r\n")
                     + fw::ui::errorText(std::current_exception()));
    }
}
