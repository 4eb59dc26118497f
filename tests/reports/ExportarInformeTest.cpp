// Writing a finished report to the file a user or the host names: the file
// appears only once complete, so a failed export never leaves a half-written
// or emptied file under that name.
#include "framework/report/Exports.h"
#include "reports/InformesVelmora.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using fw::report::Document;
using fw::report::Export;
using fw::report::ReportError;

namespace {

QByteArray leer(const QString &fichero)
{
    QFile f(fichero);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// An export that writes part of its file and then fails, as a full disk would.
const bool kExportacionQueFalla = [] {
    fw::report::registerExport(Export(QStringLiteral("ZZZ"), QStringLiteral("Prueba"),
                                      [](const Document &, const QString &fichero) {
                                          QFile f(fichero);
                                          if (f.open(QIODevice::WriteOnly))
                                              f.write("a medio escribir");
                                          throw ReportError(QStringLiteral("Disco lleno al escribir ") + fichero);
                                      }));
    return true;
}();

} // namespace

TEST(ExportarInforme, AFailedExportLeavesTheTargetAsItWasAndNoStrayFile)
{
    QTemporaryDir dir;
    const Document documento;
    const QString nuevo = dir.filePath(QStringLiteral("nuevo.zzz"));
    const QString previo = dir.filePath(QStringLiteral("previo.zzz"));
    QFile f(previo);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("informe anterior") > 0);
    f.close();

    for (const QString &fichero : {nuevo, previo}) {
        try {
            ExportarDocumento(documento, fichero);
            ADD_FAILURE() << "no error for " << fichero.toStdString();
        } catch (const ReportError &e) {
            // The user is told about the file he chose, not about a working copy.
            EXPECT_EQ(e.message(), QStringLiteral("Disco lleno al escribir ") + fichero);
        }
    }
    EXPECT_FALSE(QFile::exists(nuevo));
    EXPECT_EQ(leer(previo), QByteArray("informe anterior"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("previo.zzz")});
}

TEST(ExportarInforme, WritesByExtensionInAnyCaseAndReplacesAnOlderFile)
{
    QTemporaryDir dir;
    const Document documento;
    const QString fichero = dir.filePath(QStringLiteral("informe.Pdf"));
    QFile f(fichero);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("viejo") > 0);
    f.close();
    EXPECT_TRUE(ExportarDocumento(documento, fichero));
    EXPECT_TRUE(leer(fichero).startsWith("%PDF"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("informe.Pdf")});

    // No export for the extension, or none at all: nothing is written.
    for (const char *nombre : {"informe.doc", "informe"}) {
        EXPECT_FALSE(ExportarDocumento(documento, dir.filePath(QLatin1String(nombre)))) << nombre;
        EXPECT_FALSE(QFile::exists(dir.filePath(QLatin1String(nombre)))) << nombre;
    }
}
