// A stand-in plug-in with the module's two exports, for testing norvik-host
// itself: the configuration export shows a small modal dialog with one
// component of each kind the autopilot drives; the risk export shows its
// decoded arguments in a message box, so the host's calling contract is
// checked end to end.
#include "entry/PuntosEntrada.h"
#include "framework/host/HostString.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cstdint>
#include <cstring>

namespace {

/// A string's decoded text, "(null)" for a null pointer, and "bad header"
/// when the bytes before the text are not in the host's layout.
QString describe(fw::host::HostStringPtr text)
{
    if (!text)
        return QStringLiteral("(null)");
    const auto *bytes = reinterpret_cast<const unsigned char *>(text);
    std::uint16_t codePage = 0, elemSize = 0;
    std::int32_t refCount = 0;
    std::memcpy(&codePage, bytes + fw::host::kCodePageOffset, 2);
    std::memcpy(&elemSize, bytes + fw::host::kElemSizeOffset, 2);
    std::memcpy(&refCount, bytes + fw::host::kRefCountOffset, 4);
    if (codePage != 1200 || elemSize != 2 || refCount < 1)
        return QStringLiteral("bad header");
    return QLatin1Char('[') + fw::host::fromHostString(text) + QLatin1Char(']');
}

} // namespace

extern "C" {

std::int32_t MostrarRiesgoCliente(std::int32_t IdEmpresa, std::int32_t IdGrupoEmpresa, std::int32_t IdUsuario,
                                  std::int32_t IdCliente, std::int32_t IDSerie, std::int32_t IdDocumento,
                                  std::int32_t TipoDocumento, fw::host::HostStringPtr RutaBaseDatos,
                                  fw::host::HostStringPtr NombreUsuario, fw::host::HostStringPtr Password)
{
    const QString text = QStringLiteral("%1 %2 %3 %4 %5 %6 %7\n%8 %9 %10")
                             .arg(IdEmpresa)
                             .arg(IdGrupoEmpresa)
                             .arg(IdUsuario)
                             .arg(IdCliente)
                             .arg(IDSerie)
                             .arg(IdDocumento)
                             .arg(TipoDocumento)
                             .arg(describe(RutaBaseDatos), describe(NombreUsuario), describe(Password));
    QMessageBox::information(nullptr, QStringLiteral("Argumentos"), text);
    return 1;
}

std::int32_t AbrirConfiguracionVelmora(std::int32_t, std::int32_t, std::int32_t, fw::host::HostStringPtr,
                                       fw::host::HostStringPtr, fw::host::HostStringPtr)
{
    QDialog dialog;
    dialog.setObjectName(QStringLiteral("VentanaPrueba"));
    dialog.setWindowTitle(QStringLiteral(" Ventana de prueba "));
    auto *layout = new QVBoxLayout(&dialog);
    auto *form = new QFormLayout;
    layout->addLayout(form);

    auto *nombre = new QLineEdit(&dialog);
    nombre->setObjectName(QStringLiteral("EditNombre"));
    auto *copia = new QLabel(&dialog);
    copia->setObjectName(QStringLiteral("EtiquetaCopia"));
    // Shows what the user edited; a set that bypassed the user's signals would leave it empty.
    QObject::connect(nombre, &QLineEdit::textEdited, copia, &QLabel::setText);
    auto *activo = new QCheckBox(QStringLiteral("&Activo"), &dialog);
    activo->setObjectName(QStringLiteral("CheckActivo"));
    auto *radio = new QRadioButton(QStringLiteral("Opción B"), &dialog);
    radio->setObjectName(QStringLiteral("RadioB"));
    auto *tipo = new QComboBox(&dialog);
    tipo->setObjectName(QStringLiteral("ComboTipo"));
    tipo->addItems({QStringLiteral("Presupuesto"), QStringLiteral("Pedido"), QStringLiteral("Albarán")});
    auto *fecha = new QDateEdit(QDate(2024, 1, 31), &dialog);
    fecha->setObjectName(QStringLiteral("FechaAlta"));
    fecha->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    auto *dias = new QSpinBox(&dialog);
    dias->setObjectName(QStringLiteral("SpinDias"));
    dias->setRange(0, 365);
    form->addRow(QStringLiteral("Nombre"), nombre);
    form->addRow(QStringLiteral("Copia"), copia);
    form->addRow(activo);
    form->addRow(radio);
    form->addRow(QStringLiteral("Tipo"), tipo);
    form->addRow(QStringLiteral("Fecha"), fecha);
    form->addRow(QStringLiteral("Días"), dias);

    auto *pestanas = new QTabWidget(&dialog);
    pestanas->setObjectName(QStringLiteral("Pestanas"));
    pestanas->addTab(new QWidget, QStringLiteral("General"));
    pestanas->addTab(new QWidget, QStringLiteral("Otros datos"));
    layout->addWidget(pestanas);

    auto *color = new QLabel(QStringLiteral("Riesgo sobrepasado"), &dialog);
    color->setObjectName(QStringLiteral("EtiquetaColor"));
    color->setAutoFillBackground(true);
    QPalette palette = color->palette();
    palette.setColor(QPalette::WindowText, QColor(0xc0, 0x00, 0x00));
    palette.setColor(QPalette::Window, QColor(0xff, 0xff, 0x80));
    color->setPalette(palette);
    layout->addWidget(color);
    // Stands for a custom-painted component that reports what it paints.
    auto *pintado = new QWidget(&dialog);
    pintado->setObjectName(QStringLiteral("PanelPintado"));
    pintado->setProperty("paintedTextColor", QColor(0x00, 0x80, 0x00));
    pintado->setProperty("paintedBackgroundColor", QColor(0x00, 0x00, 0xff));
    pintado->setMinimumSize(20, 20);
    layout->addWidget(pintado);

    auto *aviso = new QPushButton(QStringLiteral("A&viso"), &dialog);
    aviso->setObjectName(QStringLiteral("BotonAviso"));
    QObject::connect(aviso, &QPushButton::clicked, &dialog, [&dialog, nombre] {
        const auto answer = QMessageBox::question(&dialog, QStringLiteral("Confirmar"),
                                                  QStringLiteral("¿Borrar el nombre?\nNo se puede deshacer."));
        if (answer == QMessageBox::Yes)
            nombre->clear();
    });
    auto *fichero = new QLabel(&dialog);
    fichero->setObjectName(QStringLiteral("EtiquetaFichero"));
    auto *guardar = new QPushButton(QStringLiteral("&Guardar"), &dialog);
    guardar->setObjectName(QStringLiteral("BotonGuardar"));
    QObject::connect(guardar, &QPushButton::clicked, &dialog, [&dialog, fichero] {
        fichero->setText(QFileDialog::getSaveFileName(&dialog, QStringLiteral("Guardar informe"), QString(),
                                                      QStringLiteral("Documento PDF (*.PDF)")));
    });
    layout->addWidget(fichero);
    layout->addWidget(guardar);
    auto *bloqueado = new QPushButton(QStringLiteral("Bloqueado"), &dialog);
    bloqueado->setObjectName(QStringLiteral("BotonBloqueado"));
    bloqueado->setEnabled(false);
    auto *cerrar = new QPushButton(QStringLiteral("&Cerrar"), &dialog);
    cerrar->setObjectName(QStringLiteral("BotonCerrar"));
    cerrar->setAutoDefault(false);
    QObject::connect(cerrar, &QPushButton::clicked, &dialog, &QDialog::accept);
    layout->addWidget(aviso);
    layout->addWidget(bloqueado);
    layout->addWidget(cerrar);

    nombre->setFocus();
    dialog.exec();
    return 1;
}
}
