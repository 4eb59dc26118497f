#pragma once
#include "support/TestDatabase.h"

#include <QString>
#include <QStringList>

#include <map>

namespace installtest {

/// How an installation ended: statements skipped and the first error's text.
struct Instalacion
{
    int omitidas = 0;
    QString primerError;
};

/// Installs the module as SYSDBA with the installer's own statement runner: a
/// connection of its own per statement, each committed on its own, retried once
/// and then skipped when it fails.
Instalacion instalarModulo(const testsupport::TestDatabase &db);

/// The risk procedure's 81 outputs in their declared order.
QStringList salidasRiesgo();

/// The procedure's single row for one customer, output name -> value; a NULL
/// output is missing from the map.
std::map<QString, double> situacionRiesgo(const testsupport::TestDatabase &db, int idCliente);

} // namespace installtest
