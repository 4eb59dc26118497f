// The XML data packet writer: whatever the field names, origins and values, a
// packet it writes is well-formed XML to a real parser, and a packet it refuses
// leaves no file behind.
#include "Comprobar.h"
#include "components/lxPaqueteXML.h"
#include "framework/base/Error.h"
#include "framework/db/Field.h"
#include "framework/db/MemoryDataSet.h"

#include <QDir>
#include <QFile>

#include <fuzzer/FuzzedDataProvider.h>
#include <libxml/parser.h>

#include <cstdint>
#include <cstring>
#include <unistd.h>

namespace {

void silencio(void *, const char *, ...) {}

QString errorXml(const QByteArray &bytes)
{
    xmlDocPtr doc = xmlReadMemory(bytes.constData(), int(bytes.size()), "packet.xml", nullptr,
                                  XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (doc == nullptr) {
        const xmlError *e = xmlGetLastError();
        return e && e->message ? QString::fromUtf8(e->message) : QStringLiteral("unreadable");
    }
    xmlFreeDoc(doc);
    return {};
}

QString texto(FuzzedDataProvider &fdp, std::size_t max)
{
    const std::string bytes = fdp.ConsumeRandomLengthString(max);
    return fdp.ConsumeBool() ? QString::fromUtf8(bytes)
                             : QString(reinterpret_cast<const QChar *>(bytes.data()), qsizetype(bytes.size() / 2));
}

QVariant valor(FuzzedDataProvider &fdp, fw::FieldType tipo)
{
    switch (tipo) {
    case fw::FieldType::String:
        return texto(fdp, 30);
    case fw::FieldType::Integer:
        return fdp.ConsumeIntegral<int>();
    case fw::FieldType::Float:
    case fw::FieldType::Currency: {
        const std::uint64_t bits = fdp.ConsumeIntegral<std::uint64_t>();
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }
    case fw::FieldType::Boolean:
        return fdp.ConsumeBool();
    case fw::FieldType::Date:
        return QDate::fromJulianDay(fdp.ConsumeIntegralInRange<qint64>(-800000, 6000000));
    case fw::FieldType::DateTime:
        return QDateTime::fromMSecsSinceEpoch(fdp.ConsumeIntegralInRange<qint64>(-1LL << 45, 1LL << 45), Qt::UTC);
    default:
        return QTime::fromMSecsSinceStartOfDay(fdp.ConsumeIntegralInRange(0, 86399999));
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    xmlSetGenericErrorFunc(nullptr, silencio);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // In the temporary folder scripts/fuzz.sh gives (in memory when it can), removed after the run.
    static const QString ruta = QDir::tempPath() + QStringLiteral("/fuzz-xml-packet-%1.xml").arg(::getpid());
    FuzzedDataProvider fdp(data, size);
    const fw::FieldType tipos[] = {fw::FieldType::String,  fw::FieldType::Integer, fw::FieldType::Float,
                                   fw::FieldType::Currency, fw::FieldType::Boolean, fw::FieldType::Date,
                                   fw::FieldType::DateTime, fw::FieldType::Time};
    const auto limpieza = fdp.ConsumeBool() ? lxcomun::LimpiezaXML::Query : lxcomun::LimpiezaXML::Edicion;

    // The cleaned text alone, inside an attribute.
    const QString suelto = texto(fdp, 40);
    const QByteArray atributo = "<a v=\"" + lxcomun::LimpiarValorXML(suelto, limpieza) + "\"/>";
    COMPROBAR(errorXml(atributo).isEmpty(), errorXml(atributo) + QString::fromLatin1(atributo));

    fw::MemoryDataSet ds;
    const int campos = fdp.ConsumeIntegralInRange(1, 4);
    std::vector<fw::FieldType> tiposCampo;
    for (int i = 0; i < campos; ++i) {
        const fw::FieldType tipo = tipos[fdp.ConsumeIntegralInRange<std::size_t>(0, std::size(tipos) - 1)];
        // Mostly valid names, so the rows are reached; sometimes anything.
        const QString nombre = fdp.ConsumeBool() ? QStringLiteral("C%1").arg(i) : texto(fdp, 8);
        fw::Field *f = nullptr;
        try {
            f = &ds.addField(nombre, tipo, tipo == fw::FieldType::String ? 30 : 0);
        } catch (const fw::Error &) {
            continue; // a name the data set refuses (empty, repeated)
        }
        f->setOrigin(texto(fdp, 20));
        f->setRequired(fdp.ConsumeBool());
        tiposCampo.push_back(tipo);
    }
    if (tiposCampo.empty())
        return 0;
    ds.open();
    for (int fila = fdp.ConsumeIntegralInRange(0, 3); fila > 0; --fila) {
        ds.append();
        for (int i = 0; i < int(tiposCampo.size()); ++i) {
            if (fdp.ConsumeBool())
                continue; // left null
            try {
                ds.field(i).setValue(valor(fdp, tiposCampo[size_t(i)]));
            } catch (const fw::Error &) {
                // a value the field refuses
            }
        }
        try {
            ds.post();
        } catch (const fw::Error &) {
            ds.cancel();
        }
    }

    QFile::remove(ruta);
    try {
        lxcomun::GuardarPaqueteXML(ds, ruta, limpieza);
    } catch (const fw::Error &) {
        COMPROBAR(!QFile::exists(ruta), QStringLiteral("a refused packet left a file"));
        return 0;
    }
    QFile f(ruta);
    COMPROBAR(f.open(QIODevice::ReadOnly), ruta);
    const QByteArray paquete = f.readAll();
    COMPROBAR(errorXml(paquete).isEmpty(), errorXml(paquete) + QString::fromLatin1(paquete));
    return 0;
}
