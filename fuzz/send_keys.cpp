// The key sender's notation: any key string is typed without fault, every key
// pressed is released again: no Shift, Ctrl or Alt is left held down.
#include "Comprobar.h"
#include "components/EnviarTeclas.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/KeyInjection.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMap>
#include <QWidget>

#include <cstdint>
#include <string>

namespace {

class Teclado : public QWidget
{
public:
    Teclado() { setFocusPolicy(Qt::StrongFocus); }
    QMap<int, int> pulsadas; // presses not yet released, per key (Shift, Ctrl and Alt too)

protected:
    bool event(QEvent *e) override
    {
        // Tab and Backtab reach event() only; they must not move the focus away here.
        if (e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease) {
            const auto *k = static_cast<QKeyEvent *>(e);
            pulsadas[k->key()] += e->type() == QEvent::KeyPress ? 1 : -1;
            return true;
        }
        return QWidget::event(e);
    }
};

class Avisos : public fw::ui::Dialogs
{
public:
    void inform(const QString &) override {}
    bool warn(const QString &) override { return true; }
    bool confirm(const QString &, const QString &) override { return false; }
    void error(const QString &, const QString &) override {}
};

QApplication *app;
Teclado *teclado;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    app = new QApplication(*argc, *argv);
    teclado = new Teclado;
    teclado->show();
    QApplication::setActiveWindow(teclado);
    teclado->setFocus();
    QApplication::processEvents();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1 || size > 200)
        return 0;
    const std::string bytes(reinterpret_cast<const char *>(data + 1), size - 1);
    // A count in braces types the key that many times: long counts only cost time.
    int cifras = 0;
    for (const char c : bytes) {
        cifras = (c >= '0' && c <= '9') ? cifras + 1 : 0;
        if (cifras > 2)
            return 0;
    }
    const bool esperar = data[0] & 1;
    const QString teclas = data[0] & 2 ? textoUtf16(bytes) : QString::fromUtf8(bytes);

    Avisos avisos;
    const fw::ui::ScopedDialogs instalados(avisos);
    teclado->pulsadas.clear();
    teclado->setFocus();
    const bool hecho = EnviarTeclas(teclas, esperar);
    fw::ui::flushQueuedKeys();
    QApplication::processEvents();

    // Only a brace left open stops the string.
    int abierta = -1;
    for (qsizetype i = 0; i < teclas.size(); ++i) {
        if (teclas.at(i) != u'{')
            continue;
        const qsizetype cierre = (i + 2 < teclas.size() && teclas.at(i + 1) == u'}' && teclas.at(i + 2) == u'}')
                                     ? i + 2
                                     : teclas.indexOf(QLatin1Char('}'), i + 1);
        if (cierre < 0) {
            abierta = int(i);
            break;
        }
        i = cierre;
    }
    COMPROBAR(hecho == (abierta < 0), teclas);
    for (auto it = teclado->pulsadas.cbegin(); it != teclado->pulsadas.cend(); ++it)
        COMPROBAR(it.value() == 0, QStringLiteral("key %1 pressed %2 more times than released in %3")
                                       .arg(it.key())
                                       .arg(it.value())
                                       .arg(teclas));
    return 0;
}
