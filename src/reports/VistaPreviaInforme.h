#pragma once
#include "framework/report/PreviewDialog.h"

#include <QString>
#include <QTimer>

/// The listings' preview: the engine's preview with the host's "Guardar" and
/// "Enviar email", both under the host's permission to save, and the unattended
/// export that writes the report to the file the host names and closes the
/// preview by itself. The host drives all three through its file
/// "ListaDireccionesEMail.ini" (section "Configuracion") in its program folder;
/// the preview reads it at every activation and writes back only "RutaAdjunto"
/// and "IndiceFiltroQRDefecto".
class TFormVistaPrevia : public fw::report::PreviewDialog
{
    Q_OBJECT
public:
    explicit TFormVistaPrevia(fw::report::Report &report, QWidget *parent = nullptr);

    /// Full name of the host's preview settings file.
    static QString FicheroConfiguracion();

    /// The file the report was last exported to, or the one the host named.
    QString FFichero;
    /// Type index (QRP 0 ... CSV 7) of the last save.
    int ExtensionIndicada = 2;
    bool PuedeGuardar = false;
    bool PuedeImprimir = false;
    int NivelAccesoUsuario = 0;
    int GestionDocumental = 0;
    bool GenerarPDF = false;

    /// "Guardar": asks for a file and exports the report to it.
    void SaveClick();
    /// "Enviar email": exports the report (asking for a file when there is
    /// none yet) and hands it to the host's e-mail program.
    void SendMailClick();
    /// Exports the report to FFichero without asking; false when its extension
    /// has no export. Throws fw::report::ReportError when the file cannot be written.
    bool GuardarFichero();

private:
    enum class Resultado { Guardado, SinGuardar, Fallo };
    /// SaveClick's work: SinGuardar when not allowed, cancelled or without an export.
    Resultado Guardar();
    void FormActivate();
    void PaginasGeneradas();
    void TimerExportarTimer();
    /// The warning that saving and e-mailing are not allowed.
    void AvisoSinPermiso();

    QTimer m_timerExportar;
    /// A save made in this preview names the file to attach from then on.
    bool m_guardado = false;
};

/// Shows a listing's report in the preview until it is closed (by the user or
/// by the unattended export).
int MostrarVistaPrevia(fw::report::Report &informe, QWidget *parent = nullptr);
