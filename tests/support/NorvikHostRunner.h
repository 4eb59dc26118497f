#pragma once
// Runs norvik-host from an end-to-end test: in the build's bin folder, or as a
// copy in a scratch folder for tests that write the host's ini files (the host
// reads them from its own folder and loads libvelmora.so from there).
#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <map>
#include <stdexcept>

namespace hosttest {

inline QString binFile(const QString &name)
{
    return QDir(testsupport::binFolder()).filePath(name);
}

struct HostResult
{
    int exitCode = -1; ///< -1 when the process crashed or was killed
    QString out;
    QString err;
    QStringList lines() const { return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
};

/// A started norvik-host (or any program); several may run side by side.
class HostProcess
{
public:
    explicit HostProcess(const QStringList &arguments, const QString &program = binFile(QStringLiteral("norvik-host")),
                         const QString &workingFolder = {})
    {
        m_process.setProgram(program);
        m_process.setArguments(arguments);
        if (!workingFolder.isEmpty())
            m_process.setWorkingDirectory(workingFolder);
        m_process.start();
    }
    /// True once the process has ended (or never started).
    bool finished() { return m_process.state() == QProcess::NotRunning || m_process.waitForFinished(0); }
    /// Waits for the end; a process still running after `milliseconds` is killed.
    HostResult wait(int milliseconds = 120000)
    {
        if (!m_process.waitForFinished(milliseconds)) {
            m_process.kill();
            m_process.waitForFinished();
        }
        HostResult r;
        r.exitCode = m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
        r.out = QString::fromUtf8(m_process.readAllStandardOutput());
        r.err = QString::fromUtf8(m_process.readAllStandardError());
        return r;
    }

private:
    QProcess m_process;
};

inline HostResult runHost(const QStringList &arguments, const QString &program = binFile(QStringLiteral("norvik-host")))
{
    return HostProcess(arguments, program).wait();
}

/// A scratch copy of the host's folder: norvik-host, the e-mail program and a
/// library copied as libvelmora.so (the real one unless told otherwise). The
/// folder is removed at the end.
class HostFolder
{
public:
    explicit HostFolder(const QString &library = binFile(QStringLiteral("libvelmora.so")))
    {
        copy(binFile(QStringLiteral("norvik-host")), QStringLiteral("norvik-host"));
        copy(binFile(QStringLiteral("Norvik_GestorEmails.exe")), QStringLiteral("Norvik_GestorEmails.exe"));
        if (!library.isEmpty())
            copy(library, QStringLiteral("libvelmora.so"));
    }
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }
    QString host() const { return file(QStringLiteral("norvik-host")); }

    /// Writes a file of the folder (an ini file, an autopilot script) and returns its full name.
    QString write(const QString &name, const QByteArray &content) const
    {
        QFile f(file(name));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(content) != content.size())
            throw std::runtime_error("cannot write " + f.fileName().toStdString());
        return f.fileName();
    }
    QString write(const QString &name, const QString &content) const { return write(name, content.toUtf8()); }

    HostResult run(const QStringList &arguments) const { return HostProcess(arguments, host(), path()).wait(); }

private:
    void copy(const QString &from, const QString &name)
    {
        if (!QFile::copy(from, file(name)))
            throw std::runtime_error("cannot copy " + from.toStdString());
    }
    QTemporaryDir m_dir;
};

/// objectName -> component, from a file written by the autopilot's dump; throws when it cannot be read.
inline std::map<QString, QJsonObject> leerDump(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + file.toStdString());
    std::map<QString, QJsonObject> out;
    for (const QJsonValue &v : QJsonDocument::fromJson(f.readAll()).array())
        out[v.toObject().value(QStringLiteral("objectName")).toString()] = v.toObject();
    return out;
}

/// The host runs with Spanish regional settings for as long as this lives (the
/// hosts a test starts inherit them), so amounts read as 1.500,00.
class RegionEspanola
{
public:
    RegionEspanola() : m_anterior(qgetenv("LC_ALL")) { qputenv("LC_ALL", "es_ES.UTF-8"); }
    ~RegionEspanola()
    {
        if (m_anterior.isNull())
            qunsetenv("LC_ALL");
        else
            qputenv("LC_ALL", m_anterior);
    }
    RegionEspanola(const RegionEspanola &) = delete;
    RegionEspanola &operator=(const RegionEspanola &) = delete;

private:
    QByteArray m_anterior;
};

} // namespace hosttest
