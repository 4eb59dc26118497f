#include "reports/VistaPreviaInforme.h"

#include "framework/host/HostPaths.h"
#include "framework/host/IniFile.h"
#include "framework/report/Report.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/WaitCursor.h"
#include "reports/InformesVelmora.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QStyle>

namespace {

const QString kSeccion = QStringLiteral("Configuracion");

const char *const kTiposFichero[] = {"Fichero QuickReport(*.QRP)",   "Documento HTML (*.HTM)",
                                     "Documento PDF (*.PDF)",        "Fichero RTF (*.RTF)",
                                     "Hoja de Excel (*.XLS)",        "Fichero de texto (*.TXT)",
                                     "Documento QRX (XML) (*.QRX)",  "Delimitado por comas (*.CSV)"};

QString clave(const char *nombre) { return QLatin1String(nombre); }

} // namespace

TFormVistaPrevia::TFormVistaPrevia(fw::report::Report &report, QWidget *parent) : PreviewDialog(report, parent)
{
    setMaximizedOnOpen(report.previewMaximized());

    auto *guardar = new QAction(style()->standardIcon(QStyle::SP_DialogSaveButton), QStringLiteral("Guardar"), this);
    guardar->setObjectName(QStringLiteral("SaveAction"));
    guardar->setToolTip(QStringLiteral("Guardar"));
    connect(guardar, &QAction::triggered, this, &TFormVistaPrevia::SaveClick);
    addToolAction(guardar);
    auto *enviar = new QAction(style()->standardIcon(QStyle::SP_ArrowForward), QStringLiteral("Enviar email"), this);
    enviar->setObjectName(QStringLiteral("SendMailAction"));
    enviar->setToolTip(QStringLiteral("Enviar email"));
    connect(enviar, &QAction::triggered, this, &TFormVistaPrevia::SendMailClick);
    addToolAction(enviar);

    m_timerExportar.setObjectName(QStringLiteral("TimerExportar"));
    m_timerExportar.setSingleShot(true);
    m_timerExportar.setInterval(1000);
    connect(&m_timerExportar, &QTimer::timeout, this, &TFormVistaPrevia::TimerExportarTimer);
    connect(this, &PreviewDialog::activated, this, &TFormVistaPrevia::FormActivate);
    connect(this, &PreviewDialog::pagesGenerated, this, &TFormVistaPrevia::PaginasGeneradas);
}

QString TFormVistaPrevia::FicheroConfiguracion()
{
    return fw::host::programFile(QStringLiteral("ListaDireccionesEMail.ini"));
}

void TFormVistaPrevia::FormActivate()
{
    fw::host::IniFile ini(FicheroConfiguracion());
    if (!ini.exists() || !ini.load())
        return;
    // An empty name, or one read again after the user saved, must not take the
    // place of the file just saved: "Enviar email" attaches that one.
    const QString nombre = ini.readString(kSeccion, clave("NombreArchivo"));
    if (!nombre.isEmpty() && !m_guardado)
        FFichero = nombre;
    PuedeGuardar = ini.readBool(kSeccion, clave("PuedeGuardar"), true);
    PuedeImprimir = ini.readBool(kSeccion, clave("PuedeImprimir"), true);
    NivelAccesoUsuario = ini.readInteger(kSeccion, clave("NivelAccesoUsuario"), 0);
    GestionDocumental = ini.readInteger(kSeccion, clave("GestionDocumental"), 0);
    GenerarPDF = ini.readBool(kSeccion, clave("GenerarPDF"), true);
}

void TFormVistaPrevia::AvisoSinPermiso()
{
    fw::ui::dialogs().error(QStringLiteral("No tiene permisos para guardar/enviar el informe.\n"
                                           "Consulte con su Administrador de Norvik SQL"),
                            QStringLiteral("Advertencia"));
}

void TFormVistaPrevia::SaveClick()
{
    Guardar();
}

TFormVistaPrevia::Resultado TFormVistaPrevia::Guardar()
{
    FFichero.clear();
    fw::host::IniFile ini(FicheroConfiguracion());
    ini.load(); // a missing or unreadable file reads as all defaults
    PuedeGuardar = ini.readBool(kSeccion, clave("PuedeGuardar"), true);
    PuedeImprimir = ini.readBool(kSeccion, clave("PuedeImprimir"), true);
    NivelAccesoUsuario = ini.readInteger(kSeccion, clave("NivelAccesoUsuario"), 0);
    if (!PuedeGuardar) {
        AvisoSinPermiso();
        return Resultado::SinGuardar;
    }

    int indice = ini.readInteger(kSeccion, clave("IndiceFiltroQRDefecto"), 2);
    if (indice < 0 || indice > 7)
        indice = 2;
    QStringList tipos;
    for (const char *t : kTiposFichero)
        tipos << QLatin1String(t);
    QFileDialog dialogo(this, QStringLiteral("Guardar informe"));
    dialogo.setObjectName(QStringLiteral("SaveDialog"));
    dialogo.setOption(QFileDialog::DontUseNativeDialog);
    dialogo.setAcceptMode(QFileDialog::AcceptSave);
    dialogo.setFileMode(QFileDialog::AnyFile);
    dialogo.setNameFilters(tipos);
    dialogo.selectNameFilter(tipos[indice]);
    dialogo.selectFile(QStringLiteral("*.") + ExtensionDeIndice(indice));
    if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty())
        return Resultado::SinGuardar;

    QString fichero = dialogo.selectedFiles().constFirst();
    QString extension = QFileInfo(fichero).suffix().toUpper();
    if (extension.isEmpty()) {
        extension = ExtensionDeIndice(int(tipos.indexOf(dialogo.selectedNameFilter())));
        fichero += QLatin1Char('.') + extension;
    }
    if (const int elegido = IndiceExtension(extension); elegido >= 0)
        ExtensionIndicada = elegido;

    try {
        bool guardado = false;
        {
            fw::ui::WaitCursor espera;
            guardado = ExportarDocumento(*document(), fichero);
        }
        if (!guardado)
            return Resultado::SinGuardar;
    } catch (const fw::report::ReportError &e) {
        fw::ui::WaitCursor::restore();
        fw::ui::dialogs().error(e.message(), QStringLiteral("Error"));
        return Resultado::Fallo;
    }
    setStatusText(2, QStringLiteral("Informe guardado: ") + fichero);
    FFichero = fichero;
    m_guardado = true;
    fw::ui::dialogs().inform(QStringLiteral("Informe guardado en: \n") + fichero);
    return Resultado::Guardado;
}

void TFormVistaPrevia::SendMailClick()
{
    {
        fw::host::IniFile ini(FicheroConfiguracion());
        if (ini.exists() && ini.load()) {
            NivelAccesoUsuario = ini.readInteger(kSeccion, clave("NivelAccesoUsuario"), 0);
            PuedeImprimir = ini.readBool(kSeccion, clave("PuedeImprimir"), true);
            PuedeGuardar = ini.readBool(kSeccion, clave("PuedeGuardar"), true);
        }
    }
    if (!PuedeGuardar) {
        AvisoSinPermiso();
        return;
    }
    if (!FFichero.isEmpty()) {
        try {
            GuardarFichero();
        } catch (const fw::report::ReportError &e) {
            // Nothing to attach: the host's e-mail program is not handed a file that was not written.
            fw::ui::dialogs().error(e.message(), QStringLiteral("Error"));
            return;
        }
    } else if (Guardar() == Resultado::Fallo) {
        // A cancelled save still starts the e-mail program, with no attachment;
        // a failed one has already said why and hands nothing on.
        return;
    }

    fw::host::IniFile ini(FicheroConfiguracion());
    if (ini.load()) {
        ini.writeString(kSeccion, clave("RutaAdjunto"), FFichero);
        ini.writeInteger(kSeccion, clave("IndiceFiltroQRDefecto"), ExtensionIndicada);
        ini.save();
    }
    fw::host::startDetached(fw::host::programFile(QStringLiteral("Norvik_GestorEmails.exe")),
                            fw::host::programFolder());
}

bool TFormVistaPrevia::GuardarFichero()
{
    if (!ExportarDocumento(*document(), FFichero))
        return false;
    if (const int indice = IndiceExtension(QFileInfo(FFichero).suffix()); indice >= 0)
        ExtensionIndicada = indice;
    return true;
}

void TFormVistaPrevia::PaginasGeneradas()
{
    m_timerExportar.start();
}

void TFormVistaPrevia::TimerExportarTimer()
{
    m_timerExportar.stop();
    if (!GenerarPDF)
        return;
    try {
        GuardarFichero();
    } catch (const fw::report::ReportError &e) {
        fw::ui::dialogs().error(e.message(), QStringLiteral("Error"));
    }
    closePreview();
}

int MostrarVistaPrevia(fw::report::Report &informe, QWidget *parent)
{
    TFormVistaPrevia vista(informe, parent);
    return vista.exec();
}
