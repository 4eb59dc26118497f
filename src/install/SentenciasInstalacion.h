#pragma once
#include <QString>
#include <QStringList>

// What the installer sends to the host database, in this order: the schema
// statements one by one, the risk procedure as one statement, then its grant.
// All of it is SQL dialect 1 (double quotes delimit string literals) and is sent
// verbatim, without looking for parameters.

/// The 21 one-line statements that add the risk domain and columns and give
/// existing rows their starting values. Each must run in its own transaction:
/// on a database installed before, the first 16 fail and are meant to be skipped.
QStringList SentenciasEsquema();

/// The CREATE OR ALTER PROCEDURE PRSITUACIONCLIENTESRIESGOGRUPOS statement, one
/// entry per line, to be joined by line breaks. It ends with END and carries no
/// terminator.
QStringList TextoProcedimientoRiesgo();

/// Grants the use of the risk procedure to every user.
QString SentenciaGrant();
