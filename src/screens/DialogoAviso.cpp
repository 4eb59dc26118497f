#include "DialogoAviso.h"

#include "data/ModuloDatos.h"
#include "framework/ui/Guard.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTextEdit>
#include <QVBoxLayout>

TFormDialogoAviso::TFormDialogoAviso(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                          | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("FormDialogoAviso"));
    buildForm();
}

void TFormDialogoAviso::buildForm()
{
    setWindowTitle(QStringLiteral("Aviso"));
    setModal(true);

    ImagenAviso = new QLabel(this);
    ImagenAviso->setObjectName(QStringLiteral("ImagenAviso"));
    ImagenAviso->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(48, 48));
    ImagenAviso->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    MemoMensaje = new QTextEdit(this);
    MemoMensaje->setObjectName(QStringLiteral("MemoMensaje"));
    MemoMensaje->setReadOnly(true);
    MemoMensaje->setFrameShape(QFrame::NoFrame);
    MemoMensaje->setAcceptRichText(false);
    QPalette memoPalette = MemoMensaje->palette();
    memoPalette.setColor(QPalette::Base, palette().color(QPalette::Window));
    MemoMensaje->setPalette(memoPalette);
    MemoMensaje->installEventFilter(this);

    BotonAceptar = new QPushButton(QStringLiteral("&Aceptar"), this);
    BotonAceptar->setObjectName(QStringLiteral("BotonAceptar"));
    BotonAceptar->setDefault(true);
    connect(BotonAceptar, &QPushButton::clicked, this, fw::ui::guarded([this] { accept(); }));

    auto *top = new QHBoxLayout;
    top->addWidget(ImagenAviso);
    top->addWidget(MemoMensaje, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(BotonAceptar);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(bottom);

    setFixedSize(460, 200);
    if (const QScreen *screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    BotonAceptar->setFocus();
}

void TFormDialogoAviso::EstablecerMensaje(const QString &texto)
{
    QString lines = texto;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    MemoMensaje->clear();
    MemoMensaje->setPlainText(lines);
}

bool TFormDialogoAviso::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == MemoMensaje && event->type() == QEvent::FocusIn)
        MemoMensajeEnter();
    return QDialog::eventFilter(watched, event);
}

void TFormDialogoAviso::MemoMensajeEnter()
{
    // The keyboard never rests on the text: Enter must always mean "&Aceptar".
    BotonAceptar->setFocus();
}

bool TDialogosVelmora::warn(const QString &texto)
{
    TFormDialogoAviso dialogo(QApplication::activeWindow());
    dialogo.setWindowTitle(QStringLiteral("Aviso"));
    dialogo.EstablecerMensaje(texto);
    dialogo.BotonAceptar->setFocus();
    return dialogo.exec() == QDialog::Accepted;
}
