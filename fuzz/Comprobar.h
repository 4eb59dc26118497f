#pragma once
// What every fuzz target shares: a property that fails stops the run with the
// reason, so libFuzzer keeps the input as a crash.
#include <QByteArray>
#include <QString>

#include <cstdio>
#include <cstdlib>

[[noreturn]] inline void fallo(const char *donde, const QString &detalle)
{
    std::fprintf(stderr, "property failed: %s\n%s\n", donde, qPrintable(detalle));
    std::abort();
}

#define COMPROBAR(cond, detalle)                                                                                       \
    do {                                                                                                               \
        if (!(cond))                                                                                                   \
            fallo(#cond, detalle);                                                                                     \
    } while (0)

/// Text from fuzz bytes, UTF-16 code unit by code unit, so lone surrogates,
/// byte-order marks and other odd units reach the code under test.
inline QString textoUtf16(const std::string &bytes)
{
    return QString(reinterpret_cast<const QChar *>(bytes.data()), qsizetype(bytes.size() / 2));
}

/// What the host's ini files hold of a name or value: the text without the
/// blanks (spaces, tabs) around it. Written here again on purpose, so the
/// targets check the file editor against their own reading of the rule.
inline QString recortar(QString s)
{
    while (!s.isEmpty() && (s.front() == u' ' || s.front() == u'\t'))
        s.remove(0, 1);
    while (!s.isEmpty() && (s.back() == u' ' || s.back() == u'\t'))
        s.chop(1);
    return s;
}
