#include "EstilosVentana.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

namespace estilos {

void colorTexto(QWidget *w, const QColor &color)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, color);
    p.setColor(QPalette::Text, color);
    p.setColor(QPalette::ButtonText, color);
    w->setPalette(p);
}

void colorFondo(QWidget *w, const QColor &color)
{
    QPalette p = w->palette();
    if (qobject_cast<QLineEdit *>(w) != nullptr) {
        p.setColor(QPalette::Base, color);
    } else {
        p.setColor(QPalette::Window, color);
        w->setAutoFillBackground(true);
    }
    w->setPalette(p);
}

void textoDeshabilitadoLegible(QWidget *w)
{
    QPalette p = w->palette();
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, kGris);
    w->setPalette(p);
}

void negrita(QWidget *w, bool bold)
{
    QFont f = w->font();
    f.setBold(bold);
    w->setFont(f);
}

QWidget *bandaTitulo(QWidget *parent, const QString &objectName, const QString &texto)
{
    auto *banda = new QWidget(parent);
    banda->setObjectName(objectName);
    colorFondo(banda, kGris);
    auto *titulo = etiqueta(banda, objectName + QStringLiteral("Titulo"), texto);
    colorTexto(titulo, kBlanco);
    QFont f = titulo->font();
    f.setBold(true);
    f.setPointSize(f.pointSize() + 4);
    titulo->setFont(f);
    auto *layout = new QHBoxLayout(banda);
    layout->addWidget(titulo);
    layout->addStretch(1);
    return banda;
}

QLabel *etiqueta(QWidget *parent, const QString &objectName, const QString &texto)
{
    auto *l = new QLabel(texto, parent);
    l->setObjectName(objectName);
    return l;
}

} // namespace estilos
