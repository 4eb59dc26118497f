#include "HostPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <malloc.h>
#include <unistd.h>

#include <array>

namespace fw::host {

QString programFolder()
{
    std::array<char, 4096> buffer{};
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0)
        return QDir::currentPath();
    return QFileInfo(QString::fromLocal8Bit(buffer.data(), int(n))).absolutePath();
}

QString programFile(const QString &name)
{
    return QDir(programFolder()).filePath(name);
}

bool startDetached(const QString &program, const QString &workingFolder)
{
    return QProcess::startDetached(program, {}, workingFolder.isEmpty() ? programFolder() : workingFolder);
}

void trimWorkingSet()
{
    ::malloc_trim(0);
}

} // namespace fw::host
