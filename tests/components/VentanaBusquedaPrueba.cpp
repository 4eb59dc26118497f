// A stand-in plug-in for driving the lookup edit through norvik-host: its
// configuration export connects to the host database it is given and shows a
// small window with a customer lookup (large search window, company group) and
// an invoice-series lookup (small search window, company), set up as the
// listings window sets up its own. A caption shows each confirmed choice.
#include "components/lxDBEditLookupSrc.h"
#include "components/lxRxMemoryData.h"
#include "entry/PuntosEntrada.h"
#include "framework/base/Error.h"
#include "framework/host/HostString.h"
#include "support/SesionPrueba.h"

#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include <cstdint>
#include <memory>

namespace {

TlxDBEditLookup *nuevoLookup(QDialog &ventana, const char *nombre, fw::Database &db)
{
    auto *edit = new TlxDBEditLookup(&ventana);
    edit->setObjectName(QLatin1String(nombre));
    edit->setDataBase(&db);
    return edit;
}

} // namespace

extern "C" {

std::int32_t MostrarRiesgoCliente(std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                                  std::int32_t, std::int32_t, fw::host::HostStringPtr, fw::host::HostStringPtr,
                                  fw::host::HostStringPtr)
{
    return 1;
}

std::int32_t AbrirConfiguracionVelmora(std::int32_t IdEmpresa, std::int32_t IdGrupoEmpresa, std::int32_t,
                                       fw::host::HostStringPtr RutaBaseDatos, fw::host::HostStringPtr NombreUsuario,
                                       fw::host::HostStringPtr Password)
{
    std::unique_ptr<testsupport::SesionPrueba> sesion;
    try {
        sesion = std::make_unique<testsupport::SesionPrueba>(fw::host::fromHostString(RutaBaseDatos),
                                                             fw::host::fromHostString(NombreUsuario),
                                                             fw::host::fromHostString(Password));
    } catch (const fw::Error &e) {
        QMessageBox::critical(nullptr, QStringLiteral("Conexión"), e.message());
        return 1;
    }
    fw::Database &db = sesion->db;

    QDialog ventana;
    ventana.setObjectName(QStringLiteral("VentanaBusquedaPrueba"));
    ventana.setWindowTitle(QStringLiteral(" Prueba de búsqueda "));
    auto *rejilla = new QGridLayout(&ventana);
    auto *confirmada = new QLabel(&ventana);
    confirmada->setObjectName(QStringLiteral("EtiquetaConfirmada"));

    TlxDBEditLookup *cliente = nuevoLookup(ventana, "lxDBEditLookupCliente", db);
    cliente->setSQL({"SELECT C.Codigo,", "C.Nombre, C.NIF, C.RAZONSOCIAL, C.TELEFONO1, C.DIRECCION, C.IdClientes,",
                     "CA.CODIGO AS CodigoCartera, CA.NOMBRE AS NombreCartera", "FROM Clientes C",
                     "LEFT OUTER JOIN CARTERAS CA ON (C.Cartera = CA.IDCARTERAS)"});
    cliente->setFormatoCampos({"CODIGO@7@Código", "NOMBRE@35@Nombre", "NIF@12@N.I.F.", "RAZONSOCIAL@35@Razón Social",
                               "TELEFONO1@15@Teléfono", "DIRECCION@35@Dirección"});
    cliente->setOpcionesBusqueda(Filtrar_por_Grupo_de_Empresas);
    cliente->setValorGrupoEmpresas(IdGrupoEmpresa);
    cliente->setCaption_Ventana(QStringLiteral("Seleccione un Cliente"));
    cliente->setVentana_Scan_Grande(true);

    TlxDBEditLookup *serie = nuevoLookup(ventana, "lxDBEditSerie", db);
    serie->setSQL({"SELECT CODIGO,", "NOMBRE,", "IDSERIESFACTURAS", "FROM SERIESFACTURAS"});
    serie->setFormatoCampos({"CODIGO@4@Código", "NOMBRE@35@Nombre"});
    serie->setOpcionesBusqueda(Filtrar_por_Empresa);
    serie->setValorGrupoEmpresas(IdEmpresa);
    serie->setCaption_Ventana(QStringLiteral("Seleccione una Serie"));
    serie->setVentana_Scan_Grande(false);

    for (TlxDBEditLookup *edit : {cliente, serie}) {
        edit->OnConfirmarCambios = [edit, confirmada](QObject *) {
            confirmada->setText(edit->text() + QLatin1Char(' ')
                                + edit->DataSetResultado()->fieldByName(QStringLiteral("NOMBRE")).asString());
        };
    }

    auto *cerrar = new QPushButton(QStringLiteral("&Cerrar"), &ventana);
    cerrar->setObjectName(QStringLiteral("BotonCerrar"));
    cerrar->setAutoDefault(false);
    QObject::connect(cerrar, &QPushButton::clicked, &ventana, &QDialog::accept);
    rejilla->addWidget(new QLabel(QStringLiteral("Cliente"), &ventana), 0, 0);
    rejilla->addWidget(cliente, 0, 1);
    rejilla->addWidget(new QLabel(QStringLiteral("Serie"), &ventana), 1, 0);
    rejilla->addWidget(serie, 1, 1);
    rejilla->addWidget(confirmada, 2, 0, 1, 2);
    rejilla->addWidget(cerrar, 3, 1);

    cliente->setFocus();
    ventana.exec();
    return 1;
}
}
