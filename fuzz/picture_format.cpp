// Number and date masks: any mask with any value formats without fault, and a
// number's text never grows past what its mask and the largest double can ask for.
#include "Comprobar.h"
#include "framework/base/PictureFormat.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider fdp(data, size);
    static const QLocale locales[] = {QLocale::c(), QLocale(QLocale::Spanish, QLocale::Spain),
                                      QLocale(QLocale::English, QLocale::UnitedStates),
                                      QLocale(QLocale::French, QLocale::Switzerland),
                                      QLocale(QLocale::Arabic, QLocale::Egypt)};
    const QLocale &locale = locales[fdp.ConsumeIntegralInRange<std::size_t>(0, std::size(locales) - 1)];
    // Any bit pattern: NaN, infinities, subnormals, negative zero.
    const std::uint64_t bits = fdp.ConsumeIntegral<std::uint64_t>();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    const qint64 msecs = fdp.ConsumeIntegral<qint64>();
    const QString picture = QString::fromUtf8(fdp.ConsumeRemainingBytesAsString());

    const QString numero = fw::formatFloat(picture, value, locale);
    // Digits: the picture's own placeholders (with a separator for each three) plus
    // the 309 integer digits of the largest double, its separators and a sign.
    COMPROBAR(numero.size() <= 2 * picture.size() + 520 || numero == locale.toString(value),
              picture + QStringLiteral(" -> ") + numero);

    const QDateTime momento = QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC);
    const QString fecha = fw::formatDateTime(picture, momento, locale);
    COMPROBAR(momento.isValid() || fecha.isEmpty(), fecha);
    (void)fw::dateTimeOf(QVariant(momento.date()));
    return 0;
}
