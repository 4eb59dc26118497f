#include "framework/report/Exports.h"

#include "framework/report/PagePainter.h"

#include <QFile>

namespace fw::report {

namespace {

std::vector<Export> &registry()
{
    static std::vector<Export> list = {
        Export(QStringLiteral("QRP"), QStringLiteral("Informe"), writeNative),
        Export(QStringLiteral("HTM"), QStringLiteral("Documento HTML"), writeHtml),
        Export(QStringLiteral("PDF"), QStringLiteral("Documento PDF"), writePdf),
        Export(QStringLiteral("RTF"), QStringLiteral("Fichero RTF"), writeRtf),
        Export(QStringLiteral("XLS"), QStringLiteral("Hoja de Excel"), writeXls),
        Export(QStringLiteral("TXT"), QStringLiteral("Fichero de texto"), writeText),
        Export(QStringLiteral("QRX"), QStringLiteral("Documento QRX (XML)"), writeXml),
        Export(QStringLiteral("CSV"), QStringLiteral("Delimitado por comas"),
               [](const Document &doc, const QString &file) { writeCsv(doc, file); }),
    };
    return list;
}

QString normalised(const QString &extension)
{
    QString e = extension.trimmed();
    if (e.startsWith(u'.'))
        e.remove(0, 1);
    return e;
}

} // namespace

const std::vector<Export> &exports() { return registry(); }

void registerExport(Export e) { registry().push_back(std::move(e)); }

const Export *findExport(const QString &extension)
{
    const QString e = normalised(extension);
    if (e.isEmpty())
        return nullptr;
    for (const Export &x : registry())
        if (x.extension().compare(e, Qt::CaseInsensitive) == 0)
            return &x;
    return nullptr;
}

std::vector<const Export *> findExports(const QString &extension)
{
    std::vector<const Export *> found;
    const QString e = normalised(extension);
    if (e.isEmpty())
        return found;
    for (const Export &x : registry())
        if (x.extension().compare(e, Qt::CaseInsensitive) == 0)
            found.push_back(&x);
    return found;
}

void writeNative(const Document &doc, const QString &fileName) { doc.save(fileName); }

void saveBytes(const QString &fileName, const QByteArray &data)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw ReportError(QStringLiteral("No se puede crear el fichero %1: %2").arg(fileName, file.errorString()));
    if (file.write(data) != data.size() || !file.flush())
        throw ReportError(QStringLiteral("No se pudo escribir el fichero %1: %2").arg(fileName, file.errorString()));
}

} // namespace fw::report
