#pragma once
// Reading XML data packets back in tests: the raw bytes, the reference files
// kept beside the tests, and the rows as a real XML parser sees them.
#include <QByteArray>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <ostream>

// Readable QString values in assertion messages.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

inline QByteArray leerFichero(const QString &nombre)
{
    QFile f(nombre);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

inline QString ficheroReferencia(const QString &nombre)
{
    return QStringLiteral(VELMORA_SOURCE_DIR "/tests/components/datos/") + nombre;
}

/// Compares a written packet with its reference file. Set VELMORA_ACTUALIZAR_REFERENCIAS=1
/// to rewrite the reference after a deliberate layout change (then review the diff).
inline void compararConReferencia(const QByteArray &escrito, const QString &referencia)
{
    const QString ruta = ficheroReferencia(referencia);
    if (qEnvironmentVariableIntValue("VELMORA_ACTUALIZAR_REFERENCIAS") == 1) {
        QFile f(ruta);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(escrito);
    }
    EXPECT_EQ(escrito, leerFichero(ruta)) << "reference: " << ruta.toStdString();
}

struct PaqueteLeido
{
    QStringList campos;               // attrname of each FIELD
    QStringList tipos;                // fieldtype of each FIELD
    QList<QMap<QString, QString>> filas; // attributes of each ROW
    QString error;
};

/// What libxml2's checker says of a document: empty when it is well-formed.
inline QString erroresXmllint(const QByteArray &bytes)
{
    QProcess xmllint;
    xmllint.start(QStringLiteral("xmllint"), {QStringLiteral("--noout"), QStringLiteral("-")});
    if (!xmllint.waitForStarted())
        return QStringLiteral("xmllint could not be started");
    xmllint.write(bytes);
    xmllint.closeWriteChannel();
    xmllint.waitForFinished();
    if (xmllint.exitStatus() == QProcess::NormalExit && xmllint.exitCode() == 0)
        return {};
    return QString::fromLocal8Bit(xmllint.readAllStandardError());
}

/// Parses a packet with QXmlStreamReader; `error` is set when it is not
/// well-formed for it or for libxml2.
inline PaqueteLeido leerPaquete(const QByteArray &bytes)
{
    PaqueteLeido p;
    p.error = erroresXmllint(bytes);
    if (!p.error.isEmpty())
        return p;
    QXmlStreamReader r(bytes);
    while (!r.atEnd()) {
        if (r.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (r.name() == QLatin1String("FIELD")) {
            p.campos << r.attributes().value("attrname").toString();
            p.tipos << r.attributes().value("fieldtype").toString();
        } else if (r.name() == QLatin1String("ROW")) {
            QMap<QString, QString> fila;
            for (const QXmlStreamAttribute &a : r.attributes())
                fila.insert(a.name().toString(), a.value().toString());
            p.filas << fila;
        }
    }
    if (r.hasError())
        p.error = r.errorString();
    return p;
}

/// One line, one byte per character: nothing outside printable ASCII except
/// the carriage returns and line feeds a query keeps.
inline bool soloAsciiImprimible(const QByteArray &bytes, bool admiteSaltos)
{
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if ((c == '\r' || c == '\n') && admiteSaltos)
            continue;
        if (u < 0x20 || u > 0x7E)
            return false;
    }
    return true;
}
