#pragma once
// Small helpers shared by the module's windows: colours, title bands, captions.
#include <QColor>
#include <QString>

class QLabel;
class QWidget;

namespace estilos {

inline const QColor kGris{0x80, 0x80, 0x80};
inline const QColor kAzulMarino{0x00, 0x00, 0x80};
inline const QColor kGranate{0x80, 0x00, 0x00};
inline const QColor kRojo{0xFF, 0x00, 0x00};
inline const QColor kBlanco{0xFF, 0xFF, 0xFF};
inline const QColor kNegro{0x00, 0x00, 0x00};
inline const QColor kAzul{0x00, 0x00, 0xFF};
inline const QColor kCianClaro{0xE8, 0xFD, 0xFD};
inline const QColor kBeigeGris{0xEF, 0xEB, 0xDE};
inline const QColor kNaranjaClaro{0xFB, 0xE6, 0xB3};

/// Text colour of a label, edit or button, in every colour group, so that a
/// disabled control paints it too.
void colorTexto(QWidget *w, const QColor &color);
/// Background of an edit (or the fill of any other widget), in every colour group.
void colorFondo(QWidget *w, const QColor &color);
void negrita(QWidget *w, bool bold = true);
/// Disabled text inside `w` in the system's grey-text colour rather than the
/// toolkit's pale grey, so a page shown disabled stays readable.
void textoDeshabilitadoLegible(QWidget *w);
/// A title band: white bold text on grey.
QWidget *bandaTitulo(QWidget *parent, const QString &objectName, const QString &texto);
QLabel *etiqueta(QWidget *parent, const QString &objectName, const QString &texto);

} // namespace estilos
