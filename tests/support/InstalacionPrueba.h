#pragma once
#include "support/TestDatabase.h"

#include <QString>
#include <QStringList>

#include <map>

namespace installtest {

/// Sends the installer's statements the way the installer does, through the
/// data access framework on a connection of its own per statement: each schema
/// statement committed on its own, retried once and then dropped when it fails,
/// then the procedure as one raw statement and its grant.
void instalarModulo(const testsupport::TestDatabase &db);

/// The risk procedure's 81 outputs in their declared order.
QStringList salidasRiesgo();

/// The procedure's single row for one customer, output name -> value; a NULL
/// output is missing from the map.
std::map<QString, double> situacionRiesgo(const testsupport::TestDatabase &db, int idCliente);

} // namespace installtest
