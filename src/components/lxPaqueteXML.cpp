#include "components/lxPaqueteXML.h"

#include "framework/base/Error.h"
#include "framework/db/DataSet.h"
#include "framework/db/Field.h"
#include "framework/ui/DataGuard.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include <algorithm>

namespace lxcomun {

namespace {

QString dosCifras(int n, int ancho)
{
    return QStringLiteral("%1").arg(n, ancho, 10, QLatin1Char('0'));
}

QString textoFecha(const QDate &d)
{
    return dosCifras(d.year(), 4) + dosCifras(d.month(), 2) + dosCifras(d.day(), 2);
}

QString textoHora(const QTime &t)
{
    return dosCifras(t.hour(), 2) + dosCifras(t.minute(), 2) + dosCifras(t.second(), 2);
}

QString textoFechaHora(const QDateTime &dt)
{
    QString s = textoFecha(dt.date());
    const QTime t = dt.time();
    if (t.hour() != 0 || t.minute() != 0 || t.second() != 0 || t.msec() != 0)
        s += QLatin1Char('T') + dosCifras(t.hour(), 2) + QLatin1Char(':') + dosCifras(t.minute(), 2) +
             QLatin1Char(':') + dosCifras(t.second(), 2) + dosCifras(t.msec(), 3);
    return s;
}

QByteArray tipoCampoXML(const fw::Field &f)
{
    switch (f.dataType()) {
    case fw::FieldType::String:
        return "\"string\" WIDTH=\"" + QByteArray::number(f.size()) + '"';
    case fw::FieldType::SmallInt:
    case fw::FieldType::Integer:
        return "\"i4\"";
    case fw::FieldType::Boolean:
        return "\"boolean\"";
    case fw::FieldType::Float:
    case fw::FieldType::Bcd:
        return "\"r8\"";
    case fw::FieldType::Currency:
        return "\"r8\" SUBTYPE=\"Money\"";
    case fw::FieldType::Date:
        return "\"date\"";
    case fw::FieldType::Time:
        return "\"time\"";
    case fw::FieldType::DateTime:
        return "\"datetime\"";
    default:
        return {};
    }
}

// Characters the packet always needs escaped: XML's own, and anything past
// ASCII so the file reads the same whatever encoding a reader assumes.
void anadirEscapado(QByteArray &out, QChar c)
{
    const char16_t u = c.unicode();
    switch (u) {
    case u'&':
        out += "&amp;";
        return;
    case u'<':
        out += "&lt;";
        return;
    case u'>':
        out += "&gt;";
        return;
    case u'"':
        out += "&quot;";
        return;
    default:
        break;
    }
    if (u >= 0x20 && u < 0x7F) {
        out += char(u);
    } else if (u == u'\t' || u == u'\r' || u == u'\n') {
        out += char(u);
    } else if (u < 0x20 || u == 0x7F) {
        out += ' '; // control characters have no place in XML 1.0, not even as references
    } else if (c.isSurrogate() || u == 0xFFFE || u == 0xFFFF) {
        // A half of a pair (the pairs are written before this) or a non-character:
        // no XML reference may name them, so they stand as the replacement character.
        out += "&#65533;";
    } else {
        out += "&#" + QByteArray::number(uint(u)) + ';';
    }
}

QByteArray escaparTal(const QString &texto)
{
    QByteArray out;
    out.reserve(texto.size());
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const QChar c = texto.at(i);
        if (c.isHighSurrogate() && i + 1 < texto.size() && texto.at(i + 1).isLowSurrogate()) {
            out += "&#" + QByteArray::number(QChar::surrogateToUcs4(c, texto.at(i + 1))) + ';';
            ++i;
            continue;
        }
        anadirEscapado(out, c);
    }
    return out;
}

bool esNombreXML(const QString &nombre)
{
    auto letra = [](QChar c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_'; };
    if (nombre.isEmpty() || !letra(nombre.front()))
        return false;
    return std::all_of(nombre.begin(), nombre.end(), [&](QChar c) {
        return letra(c) || (c >= u'0' && c <= u'9') || c == u'-' || c == u'.';
    });
}

// A name cannot be escaped in XML: a field name that is no plain ASCII XML name,
// or that two fields share, would make the whole packet unreadable.
void comprobarNombres(const fw::DataSet &ds)
{
    QSet<QString> vistos;
    for (const auto &f : ds.fields()) {
        const QString &nombre = f->fieldName();
        if (!esNombreXML(nombre))
            throw fw::Error(QStringLiteral("No se puede guardar el paquete XML: el nombre del campo \"%1\" solo puede "
                                           "llevar letras sin acentos, cifras y los signos _ - . y debe empezar por "
                                           "una letra o _")
                                .arg(nombre));
        if (vistos.contains(nombre))
            throw fw::Error(QStringLiteral("No se puede guardar el paquete XML: hay dos campos \"%1\"").arg(nombre));
        vistos.insert(nombre);
    }
}

} // namespace

QString TextoValorXML(const fw::Field &campo)
{
    if (campo.isNull())
        return {};
    switch (campo.dataType()) {
    case fw::FieldType::Boolean:
        return campo.asBoolean() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case fw::FieldType::Date:
        return textoFecha(campo.asDateTime().date());
    case fw::FieldType::Time:
        return textoHora(campo.value().toTime());
    case fw::FieldType::DateTime:
        return textoFechaHora(campo.asDateTime());
    case fw::FieldType::Blob:
        return {}; // binary content cannot be an attribute value
    default:
        break;
    }
    // The field's own text, never a get-text handler's display: numbers in the
    // user's locale, without grouping.
    return campo.asString();
}

QByteArray LimpiarValorXML(const QString &valor, LimpiezaXML limpieza)
{
    const bool query = limpieza == LimpiezaXML::Query;
    QByteArray out;
    out.reserve(valor.size() + 8);
    for (qsizetype i = 0; i < valor.size(); ++i) {
        const QChar c = valor.at(i);
        const char16_t u = c.unicode();
        const char *sustituto = nullptr;
        switch (u) {
        case u'\u00B4': // acute accent
        case u'`':
        case u'"':
            sustituto = "'";
            break;
        case u'\u00F1': sustituto = "n"; break;
        case u'\u00D1': sustituto = "N"; break;
        case u'\u00E1': sustituto = "a"; break;
        case u'\u00E9': sustituto = "e"; break;
        case u'\u00ED': sustituto = "i"; break;
        case u'\u00F3': sustituto = "o"; break;
        case u'\u00FA': sustituto = "u"; break;
        case u'\u00C1': sustituto = "A"; break;
        case u'\u00C9': sustituto = "E"; break;
        case u'\u00CD': sustituto = "I"; break;
        case u'\u00D3': sustituto = "O"; break;
        case u'\u00DA': sustituto = "U"; break;
        case u'\u00E4': sustituto = query ? nullptr : "a"; break;
        case u'\u00EB': sustituto = query ? nullptr : "e"; break;
        case u'\u00EF': sustituto = query ? nullptr : "i"; break;
        case u'\u00F6': sustituto = query ? nullptr : "o"; break;
        case u'\u00FC': sustituto = query ? nullptr : "u"; break;
        case u'\u00AA': sustituto = query ? "a" : "&#170;"; break;
        case u'\u00BA': sustituto = query ? "o" : "&#186;"; break;
        case u'\u00C7': sustituto = query ? "C" : "&#199;"; break;
        case u'\u00E7': sustituto = query ? "c" : "&#231;"; break;
        case u'\r':
        case u'\n':
            sustituto = query ? nullptr : " ";
            break;
        default:
            break;
        }
        if (sustituto != nullptr) {
            out += sustituto;
        } else if (c.isHighSurrogate() && i + 1 < valor.size() && valor.at(i + 1).isLowSurrogate()) {
            out += "&#" + QByteArray::number(QChar::surrogateToUcs4(c, valor.at(i + 1))) + ';';
            ++i;
        } else {
            anadirEscapado(out, c);
        }
    }
    return out;
}

namespace {

// Writes through a buffer so a large data set does not pay one write per piece.
class EscritorFichero
{
public:
    explicit EscritorFichero(const QString &nombre) : m_fichero(nombre)
    {
        if (!m_fichero.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw fw::Error(QStringLiteral("No se puede crear el fichero %1: %2")
                                .arg(QDir::toNativeSeparators(nombre), m_fichero.errorString()));
    }
    void operator<<(const QByteArray &trozo)
    {
        m_buffer += trozo;
        if (m_buffer.size() >= 64 * 1024)
            volcar();
    }
    void cerrar()
    {
        volcar();
        m_fichero.close();
        if (m_fichero.error() != QFileDevice::NoError)
            throw fw::Error(QStringLiteral("Error al escribir el fichero %1: %2")
                                .arg(QDir::toNativeSeparators(m_fichero.fileName()), m_fichero.errorString()));
    }

private:
    void volcar()
    {
        if (m_buffer.isEmpty())
            return;
        if (m_fichero.write(m_buffer) != m_buffer.size())
            throw fw::Error(QStringLiteral("Error al escribir el fichero %1: %2")
                                .arg(QDir::toNativeSeparators(m_fichero.fileName()), m_fichero.errorString()));
        m_buffer.clear();
    }

    QFile m_fichero;
    QByteArray m_buffer;
};

} // namespace

void GuardarPaqueteXML(fw::DataSet &ds, const QString &nombreFichero, LimpiezaXML limpieza)
{
    if (!ds.active())
        throw fw::Error(QStringLiteral("El conjunto de datos %1 no está abierto").arg(ds.objectName()));
    // Refused before the file is touched, so an existing file stays as it was.
    comprobarNombres(ds);
    EscritorFichero out(nombreFichero);

    QByteArray cabecera = "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\">"
                          "<METADATA><FIELDS>";
    for (const auto &f : ds.fields()) {
        cabecera += "<FIELD attrname=\"" + f->fieldName().toLatin1() + '"';
        // A type without a type text leaves the attribute out: "fieldtype=" alone is not XML.
        if (const QByteArray tipo = tipoCampoXML(*f); !tipo.isEmpty())
            cabecera += " fieldtype=" + tipo;
        if (f->required())
            cabecera += " required=\"true\"";
        if (f->readOnly())
            cabecera += " readonly=\"true\"";
        cabecera += "><PARAM Name=\"ORIGIN\" Value=\"" + escaparTal(f->origin()) + "\" Roundtrip=\"True\" /></FIELD>";
    }
    cabecera += "</FIELDS><PARAMS PRIMARY_KEY=\"1\"><PARAM Name=\"NO_RESET_CALL\" Value=\"TRUE\" Type=\"boolean\" />"
                "</PARAMS></METADATA><ROWDATA>";
    out << cabecera;

    {
        const fw::ui::ControlsDisabled sinRepintar(ds);
        const fw::Bookmark anterior = ds.isEmpty() ? fw::Bookmark(0) : ds.bookmark();
        std::exception_ptr error;
        try {
            ds.first();
            QByteArray fila;
            while (!ds.eof()) {
                fila = "<ROW";
                for (const auto &f : ds.fields()) {
                    const QString valor = TextoValorXML(*f);
                    if (valor.isEmpty())
                        continue;
                    fila += ' ' + f->fieldName().toLatin1() + "=\"" + LimpiarValorXML(valor, limpieza) + '"';
                }
                fila += "/>";
                out << fila;
                ds.next();
            }
        } catch (...) {
            // Any error of the walk or of the file waits until the data set is back on its record.
            error = std::current_exception();
        }
        // The data set goes back to where it stood even when writing failed.
        if (anterior != 0 && ds.active() && ds.bookmarkValid(anterior))
            ds.gotoBookmark(anterior);
        if (error)
            std::rethrow_exception(error);
    }

    out << QByteArray("</ROWDATA></DATAPACKET>");
    out.cerrar();
}

} // namespace lxcomun
