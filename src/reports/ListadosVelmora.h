#pragma once
#include "reports/InformesVelmora.h"

#include <QDialog>
#include <QStringList>

#include <functional>
#include <memory>

class QButtonGroup;
class QCheckBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class TDatos;
class TlxBoton;
class TlxDBComboBox;
class TlxDBEditLookup;
class TlxIBQuery;

/// The listings window: the filters of the customers' risk situation (by
/// customer or by group) and of the monthly credit-insurer declaration. Each
/// listing gathers its rows into the data module's memory table, then shows
/// them in the report preview. It writes nothing to the database; the main
/// screen rolls the session back after the window closes.
class TFormListadosVelmora : public QDialog
{
    Q_OBJECT
public:
    explicit TFormListadosVelmora(QWidget *parent = nullptr);
    ~TFormListadosVelmora() override;

    /// Set by whoever shows the window, before showing it; not owned.
    TDatos *Datos = nullptr;

    // Running totals of the last listing; the report texts are made from them.
    double SumaPedidos = 0;
    double SumaAlbaranes = 0;
    double SumaVtos = 0;
    double SumaRemesas = 0;
    double SumaTotalRiesgo = 0;
    double SumaRiesgoConcedido = 0;
    double SumaSaldo = 0;
    double Suma30C = 0;
    double Suma60C = 0;
    double Suma90C = 0;
    double SuperiorC = 0;
    double Suma30 = 0;
    double Suma60 = 0;
    double Suma90 = 0;
    double Superior = 0;

    // Header and footer.
    QWidget *PanelTitulo = nullptr;
    QLabel *LabelTituloConsulta = nullptr;
    TlxBoton *lxBoton1 = nullptr;
    QPlainTextEdit *MemoExplicacion = nullptr;
    QTabWidget *PageControlVentas = nullptr;
    QPushButton *BitBtnSalir = nullptr;

    // Page 1: the risk listings.
    QWidget *TabSheetUltimoPrecio = nullptr;
    QLabel *Label19 = nullptr;
    QPlainTextEdit *suiMemoListadoClientes = nullptr;
    QLabel *Label9 = nullptr;
    QLabel *Label17 = nullptr;
    QLabel *Label18 = nullptr;
    TlxDBEditLookup *lxDBEditLookupClienteDesde = nullptr;
    TlxDBEditLookup *lxDBEditLookupClienteHasta = nullptr;
    QCheckBox *CheckBoxClientesTodos = nullptr;
    QLabel *Label16 = nullptr;
    QRadioButton *RadioButtonRiesgosExcedidos = nullptr;
    QRadioButton *RadioButtonRiesgosNoExcedidos = nullptr;
    QRadioButton *RadioButtonRiesgosTodos = nullptr;
    QLabel *Label10 = nullptr;
    QLineEdit *EditTituloListado = nullptr;
    QLabel *Label11 = nullptr;
    QLineEdit *EditSubTituloListado = nullptr;
    QLabel *Label20 = nullptr;
    /// Its items are the radio buttons RadioGroupTipoListado0 and RadioGroupTipoListado1.
    QGroupBox *RadioGroupTipoListado = nullptr;
    QPushButton *BotonObtenerListadoClientes = nullptr;

    // Page 2: the credit-insurer declaration.
    QWidget *TabSheetResumenCaucion = nullptr;
    QLabel *Label25 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label8 = nullptr;
    QLabel *Label12 = nullptr;
    TlxDBEditLookup *lxDBEditLookupClienteDesde2 = nullptr;
    TlxDBEditLookup *lxDBEditLookupClienteHasta2 = nullptr;
    QCheckBox *CheckBoxClientesTodos2 = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *Label27 = nullptr;
    QLabel *Label28 = nullptr;
    TlxDBEditLookup *lxDBEditSerieDesde = nullptr;
    TlxDBEditLookup *lxDBEditSerieHasta = nullptr;
    QCheckBox *CheckBoxSeriesTodas = nullptr;
    QGroupBox *suiGroupBox4 = nullptr;
    QLabel *Label3 = nullptr;
    TlxDBComboBox *lxDBComboBoxDeMes = nullptr;
    QLabel *Label7 = nullptr;
    QDateEdit *DateTimeDesde = nullptr;
    QLabel *Label13 = nullptr;
    QDateEdit *DateTimeHasta = nullptr;
    QGroupBox *suiRadioGroup1 = nullptr;
    QCheckBox *CheckBoxGruposTodos = nullptr;
    QCheckBox *CheckBoxGrupoRiesgo1 = nullptr;
    QCheckBox *CheckBoxGrupoRiesgo2 = nullptr;
    QCheckBox *CheckBoxGrupoRiesgo3 = nullptr;
    QCheckBox *CheckBoxGrupoRiesgo4 = nullptr;
    QCheckBox *CheckBoxGrupoRiesgo5 = nullptr;
    QLabel *Label5 = nullptr;
    QLineEdit *EditTituloEmpresa2 = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *EditTituloListado2 = nullptr;
    QLabel *Label4 = nullptr;
    QLineEdit *EditSubTituloListado2 = nullptr;
    QPushButton *suiButton2 = nullptr;

    /// Called once for each customer a gathering reads, when set.
    std::function<void()> ClienteLeido;

    /// The selected item of the listing kind: 0 by customer, 1 by group.
    int TipoListado() const;

    /// The customers the risk statement reads with the filters in force.
    int ContarClientesRiesgo() const;
    /// The customers the credit-insurer customer statement reads with the filters in force.
    int ContarClientesCaucion() const;

    /// Esc closes the window as "  Cerrar" does.
    void reject() override;

protected:
    // Gathering a listing's rows into the memory table, with its totals
    // (ListadosVelmoraCarga.cpp). Each warns about its own errors. Protected so
    // a derived window can gather without the preview (the benchmark does).
    void CargarRiesgosPorCliente();
    void CargarRiesgosPorGrupo();
    /// Returns the sales of the rows listed.
    double CargarVentasCaucion();
    /// Runs `cargar`, a gathering, under the progress window while this window
    /// is on screen; `contar` gives the customers it will read. False when the
    /// user cancelled: the memory table is closed again and nothing is to be shown.
    bool CargarConProgreso(const QString &listado, const std::function<int()> &contar,
                           const std::function<void()> &cargar);
    /// The risk groups the risk listings take (every group with "Todos los grupos").
    int GruposListados() const;

    // Launching a listing: gather, then preview. Protected, with the preview
    // virtual, so a window that is never shown can write the same report to a
    // file instead (the command-line program does).
    void ListarSituacionClientes();
    void ListarSituacionPorGrupos();
    void ListarVentasCaucion();
    /// Previews the report `crearInforme` makes (with its run-time texts set),
    /// then frees it and closes the memory table, also when an error passes on.
    virtual void MostrarInforme(const std::function<std::unique_ptr<fw::report::Report>()> &crearInforme);
    /// The filters' starting values for the session: lookups, titles, last month.
    void FormShow();
    /// Month (1 to 12) in force and the period it gives in the reference year.
    void AplicarMes(int mes);

    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildForm();
    QWidget *buildCabecera();
    QWidget *buildPaginaRiesgos();
    QWidget *buildPaginaCaucion();
    void conectar();

    // Handlers.
    void lxBoton1Click();
    void suitempCheckBoxClientesTodosClick();
    void suitempCheckBoxClientesTodos2Click();
    void suitempCheckBoxSeriesTodasClick();
    void CheckBoxGruposTodosClick();
    void suitempCheckBoxGruposTodosClick();
    void lxDBEditLookupClienteDesdeChange();
    void lxDBEditLookupClienteDesdeConfirmarCambios(QObject *Sender);
    void lxDBEditLookupClienteDesde2ConfirmarCambios(QObject *Sender);
    void lxDBEditSerieDesdeConfirmarCambios(QObject *Sender);
    void lxDBComboBoxDeMesChange();
    void suitempBotonObtenerListadoClientesClick();
    void suitempsuiButton2Click();
    void BitBtnSalirClick();

    /// The risks the radio buttons choose.
    RiesgosListados RiesgosElegidos() const;

    /// The customer risk statement with the range and company group bound, not yet open.
    std::unique_ptr<TlxIBQuery> ConsultaRiesgos() const;
    /// True when the risks chosen (only exceeded, only not exceeded) leave out this balance.
    bool SaldoExcluido(double saldo) const;
    /// The seven totals of the risk listings back to 0.
    void TotalesACero();
    bool GrupoMarcado(int grupo) const;
    int GrupoDeclarado() const;

    /// The month whose name the drop-down shows (case ignored), or 0.
    int MesMostrado() const;

    int m_mes = 0; ///< month in force, 0 before the window is shown
    QButtonGroup *m_tipoListado = nullptr;
};

/// Switches controls on and off by a check box or radio button: the caption of
/// `control` turns red while it is ticked or selected and black otherwise, and
/// each linked control that is given is enabled exactly when a radio button is
/// selected or a check box is not ticked. A linked control switched on gets a
/// white background; one switched off gets the button-face colour and loses its
/// text. Any other kind of control, or none, changes nothing.
void HabilitarControlesMarca(QWidget *control, QWidget *edit1, QWidget *edit2, QWidget *control3,
                             QWidget *control4);

// The listings' statements, line by line, with their named parameters.
/// The customers of the company group (:PARGRUPOEMPRESAS) with a group 1
/// granted risk, each joined to his risk situation, by code; with `conRango`
/// only the codes from :PARDESDE to :PARHASTA.
QStringList SentenciaRiesgosClientes(bool conRango);
/// The count (as TOTAL) of the customers a customer statement reads: its
/// source and conditions without its joins, which neither add nor drop customers.
QStringList SentenciaContarClientes(const QStringList &sentencia);
/// One customer's (:PARCLIENTE) sales from :PARFECHADESDE to :PARFECHAHASTA in
/// the non-private invoice series of a risk group (:PARGRUPO); with `conRango`
/// only the series from :PARDESDE to :PARHASTA.
QStringList SentenciaVentasCliente(bool conRango);
/// The customers of the company group with their payment method's risk days,
/// their cover and credit-insurer code per group, by code; with `conRango` only
/// the codes from :PARDESDE to :PARHASTA.
QStringList SentenciaClientesCaucion(bool conRango);
