// Stored grid layouts: any file of the host reads, and a layout written over it
// reads back as written, or the write is refused and the file left as it was.
#include "Comprobar.h"
#include "framework/base/Error.h"
#include "framework/ui/GridLayoutStore.h"

#include <QDir>
#include <QFile>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <unistd.h>

namespace {

QByteArray leer(const QString &ruta)
{
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // In the temporary folder scripts/fuzz.sh gives (in memory when it can), removed after the run.
    static const QString ruta = QDir::tempPath() + QStringLiteral("/fuzz-grid-layout-%1.ini").arg(::getpid());
    FuzzedDataProvider fdp(data, size);
    const QString seccion = QString::fromUtf8(fdp.ConsumeRandomLengthString(16));
    QStringList nuevas;
    for (int n = fdp.ConsumeIntegralInRange(0, 6); n > 0; --n)
        nuevas << QString::fromUtf8(fdp.ConsumeRandomLengthString(40));
    const QByteArray fichero = QByteArray::fromStdString(fdp.ConsumeRemainingBytesAsString());
    // Lookups go line by line, once per key: a large file only makes the runs slow.
    if (fichero.size() > 1024)
        return 0;
    {
        QFile f(ruta);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(fichero);
    }
    const fw::ui::GridLayoutStore store(ruta, seccion);

    // What was stored goes back unchanged.
    const QStringList guardadas = store.lines();
    bool escrito = true;
    try {
        store.write(guardadas);
    } catch (const fw::Error &) {
        escrito = false; // a section name that cannot stand in a file
    }
    if (escrito)
        COMPROBAR(store.lines() == guardadas, guardadas.join(QLatin1Char('|')));

    const QByteArray antes = leer(ruta);
    try {
        store.write(nuevas);
    } catch (const fw::Error &) {
        COMPROBAR(leer(ruta) == antes, QStringLiteral("a refused layout changed the file"));
        return 0;
    }
    QStringList esperadas;
    for (const QString &l : nuevas)
        esperadas << recortar(l);
    COMPROBAR(store.lines() == esperadas,
              esperadas.join(QLatin1Char('|')) + QStringLiteral(" <> ") + store.lines().join(QLatin1Char('|')));
    return 0;
}
