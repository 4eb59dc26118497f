#pragma once
#include <QDialog>

#include <cstdint>

class QLabel;
class QPushButton;
class TDatos;

/// The module's own main screen: installation, configuration and listings, each
/// on a data module of its own. It holds only the calling context and never
/// connects to the database itself.
class TFormPantallaPrincipal : public QDialog
{
    Q_OBJECT
public:
    explicit TFormPantallaPrincipal(QWidget *parent = nullptr);

    std::int32_t IdEmpresaPrin = 0;
    std::int32_t IdGrupoEmpresaPrin = 0;
    std::int32_t IdUsuarioPrin = 0;
    QString RutaBaseDatosPrin;
    QString NombreUsuarioPrin;
    QString PasswordPrin;

    QLabel *LabelTitulo = nullptr;
    QPushButton *BotonInstalar = nullptr;
    QPushButton *BotonConfigurar = nullptr;
    QPushButton *BotonListados = nullptr;
    QPushButton *BotonCerrar = nullptr;

    /// The configuration action (distinct from the exported function of the same name).
    void AbrirConfiguracionVelmora();

    int exec() override;

private:
    enum class Accion { Instalacion, Configuracion, Listados };

    void buildForm();
    void suitempBotonInstalarClick();
    void suitempBotonConfigurarClick();
    void suitempBotonListadosClick();
    void BotonCerrarClick();
    void EjecutarAccion(Accion accion);
    void MostrarVentanaAccion(Accion accion, TDatos &datos);
};
