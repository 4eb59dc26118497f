#include "framework/base/Error.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/Guard.h"

#include <QObject>

#include <gtest/gtest.h>

namespace {

class Emisor : public QObject
{
    Q_OBJECT
signals:
    void cambiado(int valor, const QString &texto);
};

struct Avisos : fw::ui::Dialogs
{
    QStringList errores;
    void inform(const QString &text) override { errores << text; }
    bool warn(const QString &) override { return true; }
    bool confirm(const QString &, const QString &) override { return false; }
    void error(const QString &text, const QString &) override { errores << text; }
};

} // namespace

TEST(Guard, HandlersWithAndWithoutTheSignalsArgumentsRunAndKeepTheirErrorsIn)
{
    Avisos avisos;
    const fw::ui::ScopedDialogs instalados(avisos);
    Emisor emisor;
    int sinArgumentos = 0;
    int recibido = 0;
    QObject::connect(&emisor, &Emisor::cambiado, fw::ui::guarded([&] { ++sinArgumentos; }));
    QObject::connect(&emisor, &Emisor::cambiado,
                     fw::ui::guarded([&](int valor, const QString &) { recibido = valor; }));
    QObject::connect(&emisor, &Emisor::cambiado,
                     fw::ui::guarded([](int, const QString &texto) { throw fw::Error(texto); }));
    QObject::connect(&emisor, &Emisor::cambiado, fw::ui::guarded([] { throw fw::Abort(); }));

    emisor.cambiado(7, QStringLiteral("fallo del manejador"));
    EXPECT_EQ(sinArgumentos, 1);
    EXPECT_EQ(recibido, 7);
    // The error reaches the user once; a cancelled step passes quietly.
    EXPECT_EQ(avisos.errores, QStringList{QStringLiteral("fallo del manejador")});
}

#include "GuardTest.moc"
