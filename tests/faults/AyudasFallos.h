#pragma once
// What every fault case checks of a host run, and how the host is started for one.
#include "support/NorvikHostRunner.h"
#include "support/TestDatabase.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace faulttest {

/// Company group 1 with company 1 "Empresa Uno", its currency and rate, the
/// document series "A" and the payment method "C1": the host rows the fault
/// cases with customers start from.
inline void empresaUno(testsupport::HostRows &rows)
{
    rows.grupoEmpresas(1, 0).empresa(1, 1, QStringLiteral("Empresa Uno"), 1).moneda(1, 2).cambio(1, 1, 1, 1.0);
    rows.serieDocumento(1, QStringLiteral("A"), 1);
    rows.formaPago(1, QStringLiteral("C1"), 1, 0, 2, 30);
}

/// The host survived and the call returned 1.
inline void esperaSuperviviente(const hosttest::HostResult &r, const char *caso)
{
    EXPECT_EQ(r.exitCode, 0) << caso << "\n" << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.lines().contains(QStringLiteral("resultado=1"))) << caso << "\n" << r.out.toStdString();
}

/// The server's own words for a connection that is gone.
inline bool errorDeRed(const QString &mensaje)
{
    return mensaje.contains(QStringLiteral("Unable to complete network request"))
           || mensaje.contains(QStringLiteral("connection lost"), Qt::CaseInsensitive)
           || mensaje.contains(QStringLiteral("connection shutdown"), Qt::CaseInsensitive)
           || mensaje.contains(QStringLiteral("Error reading data from the connection"))
           || mensaje.contains(QStringLiteral("Error writing data to the connection"));
}

/// The host's connections the server holds on `db` right now.
inline QString conexionesDelHost(testsupport::TestDatabase &db)
{
    return db.value("SELECT COUNT(*) FROM MON$ATTACHMENTS WHERE MON$SYSTEM_FLAG = 0 "
                    "AND MON$REMOTE_PROCESS CONTAINING 'norvik-host'");
}

/// The server ends every connection the host holds on `db`, as an administrator would.
inline void cortarConexionesDelHost(testsupport::TestDatabase &db)
{
    db.run("DELETE FROM MON$ATTACHMENTS WHERE MON$SYSTEM_FLAG = 0 AND MON$REMOTE_PROCESS CONTAINING 'norvik-host';");
}

/// The texts of the message boxes the host showed, in order.
inline QStringList mensajes(const hosttest::HostResult &r)
{
    return r.lines().filter(QStringLiteral("message: "));
}

/// Waits for a file the host's script writes; gives up early when `host` ends without it.
inline void esperarFichero(const QString &file, hosttest::HostProcess *host = nullptr, int milliseconds = 90000)
{
    QElapsedTimer reloj;
    reloj.start();
    while (!QFileInfo::exists(file) && reloj.elapsed() < milliseconds && !(host && host->finished()))
        QThread::msleep(50);
}

/// The arguments that open the main screen on `ruta` as SYSDBA, driven by `guion`.
inline QStringList pantallaPrincipal(const QString &ruta, const QString &guion)
{
    return {QStringLiteral("AbrirConfiguracionVelmora"), QStringLiteral("--IdEmpresa"), QStringLiteral("1"),
            QStringLiteral("--IdGrupoEmpresa"), QStringLiteral("1"), QStringLiteral("--RutaBaseDatos"), ruta,
            QStringLiteral("--NombreUsuario"), testsupport::TestDatabase::user(), QStringLiteral("--Password"),
            testsupport::TestDatabase::password(), QStringLiteral("--autopilot"), guion};
}

inline QByteArray leer(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

/// The user that permissions bind: tests run as root in CI, and root reads and
/// writes whatever the permissions say.
constexpr uid_t kSinPrivilegios = 65534;

/// Runs the host of `folder` with `arguments`; as an unprivileged user when
/// `sinPrivilegios` and the test runs as root (the folder must be open to it).
inline hosttest::HostResult correrHost(const hosttest::HostFolder &folder, const QStringList &arguments,
                                       bool sinPrivilegios = false)
{
    if (!sinPrivilegios || ::geteuid() != 0)
        return folder.run(arguments);
    const QString id = QString::number(kSinPrivilegios);
    return hosttest::HostProcess(QStringList{QStringLiteral("--reuid=") + id, QStringLiteral("--regid=") + id,
                                             QStringLiteral("--clear-groups"), folder.host()}
                                     + arguments,
                                 QStringLiteral("/usr/bin/setpriv"), folder.path())
        .wait();
}

/// Lets the unprivileged user into a folder the test made (scratch folders are private).
inline void abrirATodos(const QString &path, mode_t modo = 0755)
{
    ::chmod(QFile::encodeName(path).constData(), modo);
}

} // namespace faulttest
