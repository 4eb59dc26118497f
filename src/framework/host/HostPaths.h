#pragma once
#include <QString>

namespace fw::host {

/// Folder of the running executable: the host's program folder, since the
/// library runs inside the host process. Its ini files live there.
QString programFolder();

/// Full name of a file in the host's program folder.
QString programFile(const QString &name);

/// Starts a program and returns at once; false when it could not be started.
bool startDetached(const QString &program, const QString &workingFolder = {});

/// Gives freed heap memory back to the system after database work.
void trimWorkingSet();

} // namespace fw::host
