#include "reports/ProgresoListado.h"

#include "framework/base/Error.h"
#include "framework/ui/Guard.h"

#include <QApplication>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

TFormProgresoListado::TFormProgresoListado(const QString &listado, std::function<int()> contar, QWidget *parent)
    : QDialog(parent), m_contar(std::move(contar))
{
    setObjectName(QStringLiteral("FormProgresoListado"));
    setWindowTitle(QStringLiteral("  Obteniendo el listado"));
    setWindowModality(Qt::ApplicationModal);

    LabelListado = new QLabel(listado, this);
    LabelListado->setObjectName(QStringLiteral("LabelListado"));
    QFont negrita = LabelListado->font();
    negrita.setBold(true);
    LabelListado->setFont(negrita);
    LabelClientesLeidos = new QLabel(this);
    LabelClientesLeidos->setObjectName(QStringLiteral("LabelClientesLeidos"));
    ProgressBarClientes = new QProgressBar(this);
    ProgressBarClientes->setObjectName(QStringLiteral("ProgressBarClientes"));
    ProgressBarClientes->setMinimumWidth(320);
    BotonCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    BotonCancelar->setObjectName(QStringLiteral("BotonCancelar"));
    connect(BotonCancelar, &QPushButton::clicked, this, fw::ui::guarded([this] { reject(); }));

    auto *botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(BotonCancelar);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(LabelListado);
    layout->addWidget(LabelClientesLeidos);
    layout->addWidget(ProgressBarClientes);
    layout->addLayout(botones);
    m_reloj.start();
}

void TFormProgresoListado::reject()
{
    m_cancelado = true;
    BotonCancelar->setEnabled(false);
}

void TFormProgresoListado::ClienteLeido()
{
    if (m_cancelado)
        throw fw::Abort();
    ++m_leidos;
    // One clock read per customer; everything else waits for the next refresh.
    const qint64 ahora = m_reloj.elapsed();
    if (ahora < m_siguienteRefresco)
        return;
    m_siguienteRefresco = ahora + kRefrescoMs;
    if (isVisible())
        Refrescar();
    else
        Mostrar();
    // The only moment the user can reach the window: the gathering runs on this thread.
    QApplication::processEvents();
    if (m_cancelado)
        throw fw::Abort();
}

void TFormProgresoListado::Mostrar()
{
    try {
        m_total = m_contar ? m_contar() : 0;
    } catch (...) {
        // Without a count the bar follows the customers read; the gathering itself goes on.
        m_total = 0;
    }
    Refrescar();
    adjustSize();
    if (parentWidget() != nullptr) {
        const QRect sobre = parentWidget()->frameGeometry();
        move(sobre.center() - rect().center());
    }
    show();
}

void TFormProgresoListado::Refrescar()
{
    // The customers may have changed since they were counted; the bar never runs past its end.
    m_total = std::max(m_total, m_leidos);
    ProgressBarClientes->setMaximum(std::max(m_total, 1));
    ProgressBarClientes->setValue(m_leidos);
    LabelClientesLeidos->setText(QStringLiteral("Clientes leídos: %1 de %2").arg(m_leidos).arg(m_total));
}
