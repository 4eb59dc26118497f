// A Qt plug-in that any Qt program started with
// QT_QPA_GENERIC_PLUGINS=cierreventanas loads: it closes every modal window
// shortly after it appears and names it on standard error. It lets a test run a
// host that cannot drive the module's windows itself (a plain C program).
#include <QApplication>
#include <QGenericPlugin>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <cstdio>

class CierreVentanas : public QGenericPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "cierre-ventanas.json")

public:
    QObject *create(const QString &, const QString &) override
    {
        // Owned by the application, which deletes its generic plug-ins' objects when it ends.
        auto *timer = new QTimer;
        timer->setInterval(100);
        QObject::connect(timer, &QTimer::timeout, [] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible())
                return;
            QString texto;
            if (auto *box = qobject_cast<QMessageBox *>(modal))
                texto = QStringLiteral(" ") + box->text();
            std::fprintf(stderr, "modal: %s%s\n", qPrintable(modal->objectName()), qPrintable(texto));
            std::fflush(stderr);
            modal->close();
        });
        timer->start();
        return timer;
    }
};

#include "CierreVentanas.moc"
