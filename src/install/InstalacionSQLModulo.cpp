#include "install/InstalacionSQLModulo.h"

#include "data/ModuloDatos.h"
#include "framework/db/Database.h"
#include "framework/db/SqlStatement.h"
#include "framework/db/Transaction.h"
#include "framework/ui/Guard.h"
#include "install/SentenciasInstalacion.h"

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

    RichEdit = new QPlainTextEdit(this);
    RichEdit->setObjectName(QStringLiteral("RichEdit"));
    RichEdit->setVisible(false);

    BaseDatosActualizacion = new fw::Database(this);
    BaseDatosActualizacion->setObjectName(QStringLiteral("BaseDatosActualizacion"));
    IBTAdmin_ActualizacionInterna = new fw::Transaction(this);
    IBTAdmin_ActualizacionInterna->setObjectName(QStringLiteral("IBTAdmin_ActualizacionInterna"));
    IBTAdmin_ActualizacionInterna->setParams(
        {QStringLiteral("read_committed"), QStringLiteral("rec_version"), QStringLiteral("nowait")});
    IBTAdmin_ActualizacionInterna->setDatabase(BaseDatosActualizacion);
    BaseDatosActualizacion->setDefaultTransaction(IBTAdmin_ActualizacionInterna);
    IBSQLActualizacionInterna = new fw::SqlStatement(this);
    IBSQLActualizacionInterna->setObjectName(QStringLiteral("IBSQLActualizacionInterna"));
    IBSQLActualizacionInterna->setDatabase(BaseDatosActualizacion);
    IBSQLActualizacionInterna->setTransaction(IBTAdmin_ActualizacionInterna);

    auto *botones = new QHBoxLayout;
    botones->addStretch(1);
    botones->addWidget(BitBtnAceptar);
    botones->addWidget(btnCerrar);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(LabelTitulo);
    layout->addWidget(MemoInformacion, 1);
    layout->addWidget(LabelAviso);
    layout->addWidget(RichEdit);
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
    if (Datos == nullptr || Datos->NombreUsuario != QLatin1String("SYSDBA")) {
        MostrarAviso(QStringLiteral("\n\r Debe de entrar con el usuario SYSDBA \n\r Este proceso ejecuta el codigo SQL "
                                    "de instalación del módulo de Velmora. "));
        return;
    }
    try {
        RichEdit->clear();
        for (const QString &sentencia : SentenciasEsquema()) {
            RichEdit->setPlainText(sentencia);
            EjecutarSentenciaSQL();
            RichEdit->clear();
        }
        RichEdit->setPlainText(TextoProcedimientoRiesgo().join(QLatin1Char('\n')));
        EjecutarSentenciaSQL();
        RichEdit->clear();
        RichEdit->setPlainText(SentenciaGrant());
        EjecutarSentenciaSQL();
        MostrarAviso(QStringLiteral("\r\n !!! Proceso Terminado Correctamente ¡¡¡"));
    } catch (...) {
        MostrarAviso(QStringLiteral("Error al Actualizar la base de datos.  \r\n")
                     + fw::ui::errorText(std::current_exception()));
    }
}

void TFormInstalacionSQLModulo::EjecutarSentenciaSQL()
{
    try {
        EjecutarSentenciaSQLSinVaciar();
    } catch (...) {
        // A statement that cannot be run is dropped; the next one still goes,
        // on a connection of its own.
        try {
            if (BaseDatosActualizacion->connected()) {
                BaseDatosActualizacion->closeDataSets();
                BaseDatosActualizacion->close();
            }
        } catch (...) {
        }
    }
    RichEdit->clear();
}

void TFormInstalacionSQLModulo::EjecutarSentenciaSQLSinVaciar()
{
    IBSQLActualizacionInterna->setSql(RichEdit->toPlainText().split(QLatin1Char('\n')));
    if (IBSQLActualizacionInterna->sqlText().trimmed().isEmpty() || Datos == nullptr)
        return;

    BaseDatosActualizacion->setDatabaseName(Datos->RutaBaseDatos);
    BaseDatosActualizacion->params().clear();
    BaseDatosActualizacion->params() << QStringLiteral("user_name=") + Datos->NombreUsuario
                                     << QStringLiteral("password=") + Datos->Password
                                     << QStringLiteral("lc_ctype=ISO8859_1");
    try {
        BaseDatosActualizacion->open();
    } catch (...) {
        return; // unreachable database: the statement is skipped without a word
    }

    fw::Transaction &tr = *IBTAdmin_ActualizacionInterna;
    if (tr.active())
        tr.rollback();
    tr.start();

    try {
        IBSQLActualizacionInterna->close();
        IBSQLActualizacionInterna->prepare();
        QApplication::processEvents();
        IBSQLActualizacionInterna->execute();
        tr.commit();
    } catch (...) {
        // Once more on a fresh connection; if it fails again it is left at that.
        try {
            if (tr.active())
                tr.rollback();
            if (BaseDatosActualizacion->connected()) {
                BaseDatosActualizacion->closeDataSets();
                BaseDatosActualizacion->close();
            }
            BaseDatosActualizacion->open();
            tr.start();
            IBSQLActualizacionInterna->close();
            IBSQLActualizacionInterna->prepare();
            QApplication::processEvents();
            IBSQLActualizacionInterna->execute();
        } catch (...) {
        }
    }

    IBSQLActualizacionInterna->unprepare();
    if (tr.active()) {
        try {
            tr.commit();
        } catch (...) {
            if (tr.active())
                tr.rollback();
        }
    }
    if (BaseDatosActualizacion->connected()) {
        BaseDatosActualizacion->closeDataSets();
        BaseDatosActualizacion->close();
    }
}
