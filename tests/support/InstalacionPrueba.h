#pragma once
#include "support/TestDatabase.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <map>

namespace installtest {

/// How an installation ended: statements skipped and the first error's text,
/// then those that could not be run (skipped though their object is not there).
struct Instalacion
{
    int omitidas = 0;
    QString primerError;
    int noEjecutadas = 0;
    QString errorNoEjecutada;
};

/// Installs the module as SYSDBA with the installer's own statement runner: a
/// connection of its own per statement, each committed on its own, retried once
/// and then skipped when it fails.
/// `antesDeEjecutar` runs just before each statement is executed.
Instalacion instalarModulo(const testsupport::TestDatabase &db, std::function<void()> antesDeEjecutar = {});

/// A host database that lacks the amount domain TLXIMPORTE (its own columns
/// made plain doubles), so the module's amount columns cannot be added.
testsupport::TestDatabase::Options sinDominioImporte();

/// The risk procedure's 81 outputs in their declared order.
QStringList salidasRiesgo();

/// The block-by-block text the risk procedure replaced
/// (tests/fixtures/risk-procedure-by-blocks.sql), creating a procedure named `nombre`.
QString textoPorBloques(const QString &nombre);

/// Creates (or replaces) the procedure `nombre` with that text in `db`.
void instalarPorBloques(const testsupport::TestDatabase &db, const QString &nombre);

/// The procedure's single row for one customer, output name -> value; a NULL
/// output is missing from the map.
std::map<QString, double> situacionRiesgo(const testsupport::TestDatabase &db, int idCliente);

} // namespace installtest
