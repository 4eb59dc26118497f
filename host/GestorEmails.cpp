// Stand-in for the suite's e-mail program: records that it was started and what
// the report preview left for it in ListaDireccionesEMail.ini.
#include "framework/host/HostPaths.h"
#include "framework/host/IniFile.h"

#include <QDateTime>
#include <QFile>

int main()
{
    fw::host::IniFile ini(fw::host::programFile(QStringLiteral("ListaDireccionesEMail.ini")));
    ini.load();
    const QString section = QStringLiteral("Configuracion");
    // Tabs separate the fields so that paths with blanks stay readable by a test.
    const QString line = QDateTime::currentDateTime().toString(Qt::ISODateWithMs) + QLatin1Char('\t')
                         + QStringLiteral("RutaAdjunto=") + ini.readString(section, QStringLiteral("RutaAdjunto"))
                         + QLatin1Char('\t') + QStringLiteral("IndiceFiltroQRDefecto=")
                         + ini.readString(section, QStringLiteral("IndiceFiltroQRDefecto")) + QLatin1Char('\n');
    QFile log(fw::host::programFile(QStringLiteral("GestorEmails.log")));
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return 1;
    log.write(line.toUtf8());
    return 0;
}
