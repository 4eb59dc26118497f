#include "lxDBEdit.h"

#include "components/EnviarTeclas.h"
#include "lxDBGrid.h"

#include <QKeyEvent>
#include <QLocale>

// ---------------------------------------------------------------------------
// Caption highlighting

TlxEstiloGuardado TlxEstiloGuardado::de(const QFont &font, const QColor &color)
{
    TlxEstiloGuardado e;
    e.color = color;
    e.bold = font.bold();
    e.italic = font.italic();
    e.underline = font.underline();
    e.strikeOut = font.strikeOut();
    return e;
}

void TlxEstiloGuardado::aplicarEstilo(QFont &font) const
{
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    font.setStrikeOut(strikeOut);
}

namespace {

void ponerColorTexto(QWidget *w, const QColor &color)
{
    QPalette pal = w->palette();
    pal.setColor(w->foregroundRole(), color);
    pal.setColor(QPalette::WindowText, color);
    w->setPalette(pal);
}

} // namespace

void TlxEtiquetasFoco::setEtiqueta(int n, QWidget *caption)
{
    Guardada &g = m_etiquetas[n - 1];
    g = Guardada{};
    g.widget = caption;
    if (caption)
        QObject::connect(caption, &QObject::destroyed, m_owner, [this](QObject *o) { olvidada(o); });
}

void TlxEtiquetasFoco::olvidada(QObject *destruida)
{
    for (Guardada &g : m_etiquetas) {
        if (!g.widget || g.widget.data() == destruida) {
            g.widget = nullptr;
            g.guardada = false;
        }
    }
    if (!m_etiquetas[0].widget && !m_etiquetas[1].widget)
        m_activo = false;
}

void TlxEtiquetasFoco::resaltar()
{
    if (!m_activo)
        return;
    for (Guardada &g : m_etiquetas) {
        // Already highlighted (the focus came back from a message): the saved look stays.
        if (!g.widget || g.guardada)
            continue;
        g.color = g.widget->palette().color(g.widget->foregroundRole());
        g.font = g.widget->font();
        g.guardada = true;
        ponerColorTexto(g.widget, Qt::red);
        QFont f = g.widget->font();
        f.setBold(true);
        g.widget->setFont(f);
    }
}

void TlxEtiquetasFoco::restaurar()
{
    if (!m_activo)
        return;
    for (Guardada &g : m_etiquetas) {
        if (!g.widget || !g.guardada)
            continue;
        ponerColorTexto(g.widget, g.color);
        QFont f = g.widget->font();
        TlxEstiloGuardado::de(g.font, g.color).aplicarEstilo(f);
        g.widget->setFont(f);
        g.guardada = false;
    }
}

// ---------------------------------------------------------------------------
// TlxDBEdit

TlxDBEdit::TlxDBEdit(QWidget *parent) : fw::ui::DataEdit(parent) {}

bool TlxDBEdit::dentroDeRejilla() const
{
    for (QWidget *w = parentWidget(); w; w = w->parentWidget())
        if (qobject_cast<TlxDBGrid *>(w))
            return true;
    return false;
}

void TlxDBEdit::focusInEvent(QFocusEvent *event)
{
    m_etiquetas.resaltar();
    m_propio = TlxEstiloGuardado::de(font(), palette().color(QPalette::Base));
    m_guardado = true;
    if (m_tag != 9999) {
        QPalette pal = palette();
        pal.setColor(QPalette::Base, colorFoco());
        setPalette(pal);
    }
    QFont f = font();
    f.setBold(true);
    setFont(f);
    fw::ui::DataEdit::focusInEvent(event);
    if (dentroDeRejilla())
        selectAll();
}

void TlxDBEdit::focusOutEvent(QFocusEvent *event)
{
    m_etiquetas.restaurar();
    if (m_guardado) {
        QPalette pal = palette();
        pal.setColor(QPalette::Base, m_propio.color);
        setPalette(pal);
        QFont f = font();
        m_propio.aplicarEstilo(f);
        setFont(f);
        m_guardado = false;
    }
    fw::ui::DataEdit::focusOutEvent(event);
}

void TlxDBEdit::keyDown(QKeyEvent *event)
{
    if (m_enterToTab) {
        const int key = event->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down) {
            EnviarTeclas(QStringLiteral("{TAB}"), false);
            ownerKeyDown(event);
            return;
        }
        if (key == Qt::Key_Up) {
            EnviarTeclas(QStringLiteral("+{TAB}"), false);
            ownerKeyDown(event);
            return;
        }
    }
    fw::ui::DataEdit::keyDown(event);
}

void TlxDBEdit::keyPress(QString &text)
{
    const QString tecleado = text;
    fw::ui::DataEdit::keyPress(text);
    const fw::Field *campo = field();
    if (!campo || !campo->isFloat())
        return;
    const QString separador = QLocale().decimalPoint();
    // The base refuses the separator the locale does not use; outside a grid it still means "decimal point".
    if (text.isEmpty() && (tecleado == QLatin1String(".") || tecleado == QLatin1String(",")) && !dentroDeRejilla())
        text = tecleado;
    if ((text == QLatin1String(".") && separador != QLatin1String(".")) ||
        (text == QLatin1String(",") && separador != QLatin1String(",")))
        text = separador;
    if (text == separador && this->text().contains(separador))
        text.clear();
}
