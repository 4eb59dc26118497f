#include "reports/InformesVelmora.h"

#include "framework/base/PictureFormat.h"
#include "framework/report/Elements.h"
#include "framework/report/Exports.h"
#include "framework/report/ValueText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <sys/stat.h>

using fw::report::ReportError;

QString TituloSaldo(RiesgosListados riesgos)
{
    switch (riesgos) {
    case RiesgosListados::Excedidos: return QStringLiteral("Excedido");
    case RiesgosListados::NoExcedidos: return QStringLiteral("Disponible");
    case RiesgosListados::Todos: break;
    }
    return QStringLiteral("Saldo");
}

QString ImporteListado(double valor)
{
    return fw::report::formatNumber(valor, QStringLiteral("#,##0.00"));
}

std::unique_ptr<TQuickReportSituacionClientes> CrearInformeSituacionClientes(TDatos &datos,
                                                                             const TextosSituacionClientes &t,
                                                                             QObject *parent)
{
    auto informe = std::make_unique<TQuickReportSituacionClientes>(datos, parent);
    informe->LabelTitulo->setText(t.Titulo);
    informe->LabelSubTitulo->setText(t.SubTitulo);
    informe->LabelSaldo->setText(TituloSaldo(t.Riesgos));
    informe->LabelSumaPedidos->setText(ImporteListado(t.SumaPedidos));
    informe->LabelSumaAlbaranes->setText(ImporteListado(t.SumaAlbaranes));
    informe->LabelSumaVtos->setText(ImporteListado(t.SumaVtos));
    informe->LabelSumaRemesas->setText(ImporteListado(t.SumaRemesas));
    informe->LabelSumaTotalRiesgo->setText(ImporteListado(t.SumaTotalRiesgo));
    informe->LabelSumaRiesgoConcedido->setText(ImporteListado(t.SumaRiesgoConcedido));
    informe->LabelSumaSaldo->setText(ImporteListado(t.SumaSaldo));
    return informe;
}

std::unique_ptr<TQuickReportSituacionPorGrupos> CrearInformeSituacionPorGrupos(TDatos &datos,
                                                                               const TextosSituacionPorGrupos &t,
                                                                               QObject *parent)
{
    auto informe = std::make_unique<TQuickReportSituacionPorGrupos>(datos, parent);
    informe->LabelTitulo->setText(t.Titulo);
    informe->LabelSubTitulo->setText(t.SubTitulo);
    informe->LabelSaldo->setText(TituloSaldo(t.Riesgos));
    return informe;
}

std::unique_ptr<TQuickReportVentasCCaucion> CrearInformeVentasCaucion(TDatos &datos, const TextosVentasCaucion &t,
                                                                      QObject *parent)
{
    auto informe = std::make_unique<TQuickReportVentasCCaucion>(datos, parent);
    const QString fecha = QStringLiteral("Fecha : ")
                          + fw::formatDateTime(QStringLiteral("dd/mm/yyyy"), t.FechaHasta.startOfDay());
    informe->LabelTituloEmpresa->setText(t.TituloEmpresa);
    informe->LabelTituloEmpresa2->setText(t.TituloEmpresa);
    informe->LabelTitulo->setText(t.Titulo);
    informe->LabelSubTitulo->setText(t.SubTitulo);
    informe->LabelFecha->setText(fecha);
    informe->LabelTitulo2->setText(QStringLiteral("RESUMEN ") + t.Titulo);
    informe->LabelSubTitulo2->setText(t.SubTitulo);
    informe->LabelFecha2->setText(fecha);
    informe->LabelTotales->setText(QStringLiteral("TOTALES :   ") + ImporteListado(t.Total));

    const double clientes = t.Suma30C + t.Suma60C + t.Suma90C + t.SuperiorC;
    const double anonimos = t.Suma30 + t.Suma60 + t.Suma90 + t.Superior;
    const QString blanco = QStringLiteral(" ");
    informe->QRMemo1->setLines({QStringLiteral("30 dias"), QStringLiteral("60 dias"), QStringLiteral("90 dias"),
                                QStringLiteral("Superior"), blanco, QStringLiteral("TOTALES ...")});
    informe->QRMemo2->setLines({ImporteListado(t.Suma30C), ImporteListado(t.Suma60C), ImporteListado(t.Suma90C),
                                ImporteListado(t.SuperiorC), blanco, ImporteListado(clientes)});
    informe->QRMemo3->setLines({ImporteListado(t.Suma30), ImporteListado(t.Suma60), ImporteListado(t.Suma90),
                                ImporteListado(t.Superior), blanco, ImporteListado(anonimos)});
    informe->QRMemo4->setLines({ImporteListado(t.Suma30C + t.Suma30), ImporteListado(t.Suma60C + t.Suma60),
                                ImporteListado(t.Suma90C + t.Suma90), ImporteListado(t.SuperiorC + t.Superior), blanco,
                                ImporteListado(clientes + anonimos)});
    return informe;
}

namespace {
const char *const kExtensiones[] = {"QRP", "HTM", "PDF", "RTF", "XLS", "TXT", "QRX", "CSV"};
}

int IndiceExtension(const QString &extension)
{
    QString e = extension.trimmed();
    if (e.startsWith(u'.'))
        e.remove(0, 1);
    for (int i = 0; i < 8; ++i)
        if (e.compare(QLatin1String(kExtensiones[i]), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString ExtensionDeIndice(int indice)
{
    return QLatin1String(indice >= 0 && indice < 8 ? kExtensiones[indice] : "PDF");
}

namespace {

// One export into a file beside the target, renamed over it once complete.
void exportarSeguro(const fw::report::Export &exportacion, const fw::report::Document &documento,
                    const QString &fichero)
{
    const QFileInfo destino(fichero);
    QTemporaryFile temporal(destino.absoluteDir().filePath(QStringLiteral(".") + destino.fileName()
                                                           + QStringLiteral(".XXXXXX")));
    if (!temporal.open())
        throw ReportError(
            QStringLiteral("No se puede crear el fichero %1: %2").arg(fichero, temporal.errorString()));
    const QString nombreTemporal = temporal.fileName();
    temporal.close();
    try {
        exportacion.write(documento, nombreTemporal);
    } catch (const ReportError &e) {
        QString texto = e.message();
        texto.replace(nombreTemporal, fichero);
        throw ReportError(texto);
    }
    // rename() replaces the target in one step; QFile::rename would refuse an existing one.
    if (std::rename(QFile::encodeName(nombreTemporal).constData(), QFile::encodeName(fichero).constData()) != 0)
        throw ReportError(QStringLiteral("No se puede crear el fichero %1: %2")
                              .arg(fichero, QString::fromLocal8Bit(std::strerror(errno))));
    temporal.setAutoRemove(false);
    // The working copy was created private to its owner; the report gets the
    // rights any new file of the user gets.
    const mode_t mascara = ::umask(0);
    ::umask(mascara);
    ::chmod(QFile::encodeName(fichero).constData(), 0666 & ~mascara);
}

} // namespace

bool ExportarDocumento(const fw::report::Document &documento, const QString &fichero)
{
    const QString extension = QFileInfo(fichero).suffix();
    const std::vector<const fw::report::Export *> exportaciones = fw::report::findExports(extension);
    if (extension.isEmpty() || exportaciones.empty())
        return false;
    for (const fw::report::Export *e : exportaciones)
        exportarSeguro(*e, documento, fichero);
    return true;
}

bool ExportarInforme(fw::report::Report &informe, const QString &fichero)
{
    const std::shared_ptr<const fw::report::Document> documento =
        informe.document() ? informe.document() : informe.generate();
    return ExportarDocumento(*documento, fichero);
}
