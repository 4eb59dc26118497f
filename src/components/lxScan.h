#pragma once
#include "framework/db/Params.h"

#include <QDialog>
#include <QPointer>
#include <QStringList>

#include <cstdint>
#include <functional>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QToolButton;
class TlxDBGrid;
class TlxIBQuery;

namespace fw {
class Database;
class DataSource;
} // namespace fw

/// The caller's F6 action: the search edit as Sender and the first column of
/// the current row (empty when nothing is listed).
using TOnF6BotonEventoScan = std::function<void(QObject *Sender, const QString &Codigo)>;

/// The modal window in which the user looks for a record of a table by part
/// of its code or name and picks one. The caller hands it the whole set-up
/// through Inicializar, shows it with exec() and, when it closes accepted,
/// reads the chosen record from `lxQueryScan`, which stays open until the
/// caller closes it. The window builds its statements around the caller's
/// one: the search condition (typed text as typed, upper and lower case),
/// company and discontinued filters, the order, and a statement that counts
/// the matches.
///
/// The search text is data: inside the double-quoted literals of the
/// statement (SQL dialect 1) a double quote the user typed is doubled, so it
/// can never end the literal. `%` and `_` keep their meaning as wildcards.
///
/// Both queries run on the database given and its default transaction; the
/// window owns them, its controls and its copy of the caller's parameters.
class TlxScan : public QDialog
{
    Q_OBJECT
public:
    explicit TlxScan(QWidget *parent = nullptr);
    ~TlxScan() override;

    /// The caller's statement must hold "SELECT " and the code column on its
    /// first line, the name column at the start of its second, a line
    /// starting with "FROM " with the table and optional alias, and any ORDER
    /// and GROUP clause on a line of its own. FormatoCampos holds one
    /// "FIELD@WIDTH@Caption" line per grid column, code and name first.
    void Inicializar(bool Compras, bool Articulos, bool Clientes, bool Repetidos, bool UsarEmpresa,
                     bool UsarGrupoEmpresas, int GrupoEmpresas, std::int16_t TipoOrdenacion,
                     const QStringList &TextoSQL, const QStringList &FormatoCampos,
                     const QStringList &OrigenFormatoCampos, const QString &TextoScan,
                     const QString &CaptionVentana, fw::Database *DataBase, const fw::Params &Parametros,
                     bool VerGrande, bool Funcionamiento_Grande, bool ControlEnRejilla, bool ContarRegistros,
                     bool UsarDatosAuxiliares, const QString &CodTarifa, const QString &NombTarifa,
                     const QString &CodTarifaCli, const QString &NombTarifaCli, const QString &CodAlmacen,
                     const QString &NombAlmacen, int Caract_Ignorar_Codigo);

    /// Builds and runs the statements and shows the result; errors go to the error box.
    void MostrarDatos();
    /// Puts the result and counting statements into the two queries (without running them).
    void ConstruirConsulta();
    /// Search by code (0), by name (1) or by name containing the text (2).
    void CambiarTipoBusqueda(int Tipo);
    /// Orders the result by the column whose title was clicked last.
    void OrdenarConsulta(bool Ascendente);
    /// The other-searches list: searches on the column of item `Indice`.
    void OtrasBusquedas(int Indice);
    /// Runs the caller's F6 action on the current row.
    void EjecutarF6();
    /// Shows "Error en el Scan, detalles:" and the text, then closes the result.
    void MostrarErrorScan(const QString &Texto);

    void setOnF6Click(TOnF6BotonEventoScan handler) { FOnF6Click = std::move(handler); }

    /// The table (first word after "FROM ") of a FROM line; `Abreviatura`
    /// receives the rest from the blank on (" C" for an alias C), or the table
    /// itself when there is no alias.
    static QString ExtraerTabla(const QString &LineaFrom, QString *Abreviatura = nullptr);
    /// The code column of the first statement line: after "SELECT " and any
    /// "FIRST n", up to the first comma or " AS ".
    static QString ExtraerCampoCodigo(const QString &PrimeraLinea);
    /// The name column of the second statement line: up to " AS ", then the
    /// letters A-Z, dots and underscores from the start, blanks left out.
    static QString ExtraerCampoNombre(const QString &SegundaLinea);
    /// `texto` as the inside of a double-quoted literal: every double quote doubled.
    static QString TextoEnLiteral(const QString &texto);
    /// `(a LIKE "<p>T%") OR (UPPER(b) LIKE "<p>UPPER(T)%") OR (c LIKE "<p>lower(T)%")`
    /// without its first "(", where <p> is "%" for a contains search; the case
    /// changes follow the user's locale and T goes through TextoEnLiteral.
    static QString AlternativasBusqueda(const QString &a, const QString &b, const QString &c, const QString &texto,
                                        bool contiene);
    /// " AND (<alias>.Empresa = n)" and " AND (<alias>.GrupoEmpresas = n)" as asked.
    static QStringList FiltrosEmpresa(const QString &alias, bool usarEmpresa, bool usarGrupo, int valor);

    // --- what the window holds, for its caller --------------------------------
    int Long() const { return m_long; }
    bool AutoScan() const { return m_autoScan; }
    std::int16_t TipoOrdenacion() const { return FTipoOrdenacion; }
    const QString &TextoScan() const { return FTextoScan; }
    const QString &ScanCampoCodigo() const { return FScanCampoCodigo; }
    const QString &ScanCampoNombre() const { return FScanCampoNombre; }
    const QString &Tabla() const { return FTabla; }
    const QString &AbreviaturaTabla() const { return FAbreviaturaTabla; }
    /// The expression the search edit positions the grid on.
    const QString &CampoBusquedaIncremental() const { return m_campoIncremental; }
    const fw::Params &ParametrosQuery() const { return FParametrosQuery; }

    // --- components -----------------------------------------------------------
    QLabel *LabelCadenaBuscar = nullptr;
    QLineEdit *wwIncrementalSearchScan = nullptr;
    QCheckBox *CheckBoxDescatalogados = nullptr;
    QCheckBox *chkDesactivarAutoscan = nullptr;
    QToolButton *SBF2 = nullptr;
    QToolButton *SBF4 = nullptr;
    QToolButton *SBF5 = nullptr;
    QLabel *LabelF2 = nullptr;
    QLabel *LabelF4 = nullptr;
    QLabel *LabelF5 = nullptr;
    QGroupBox *RGTarifaVentas = nullptr;
    QRadioButton *RGTarifaVentasDefecto = nullptr;
    QRadioButton *RGTarifaVentasCliente = nullptr;
    QLabel *LabelAlmacenStock = nullptr;
    QLabel *LabelOtrasBusquedas = nullptr;
    QFrame *BevelOtrasBusquedas = nullptr;
    QComboBox *ComboBoxOtrasBusquedas = nullptr;
    TlxDBGrid *lxDBGridScan = nullptr;
    QToolButton *lxDBGridScanIButton = nullptr;
    QLabel *StaticTextNumeroRegistros = nullptr;
    QToolButton *BotonF6 = nullptr;
    QLabel *LabelComodin = nullptr;
    QPushButton *BitBtnAceptar = nullptr;
    QPushButton *BitBtnCancelar = nullptr;
    QMenu *PopupMenuScan = nullptr;
    QAction *OrdenarelCampoAscendente = nullptr;
    QAction *OrdenarelCampoDescendente = nullptr;
    TlxIBQuery *lxQueryScan = nullptr;
    fw::DataSource *dsqScan = nullptr;
    TlxIBQuery *lxQueryScanCount = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildForm();
    void ConfigurarVentanaGrande();
    void FormatearColumnas();
    void PresentarCampos();
    void AplicarColumnas();
    void FormShow();
    void PonerCaption(int Tipo);
    void BuscarEn(const QString &expresion);
    /// Moves the grid to the first row whose search column starts with the edit's text.
    void PosicionarBusqueda();
    void TextoTecleado();
    void TituloColumnaPulsado(int columna);
    void TarifaElegida(int item);
    bool TeclaVentana(QKeyEvent *event);
    bool TeclaBusqueda(QKeyEvent *event);
    void CopiarParametros(TlxIBQuery &query);

    // Set by Inicializar.
    QString FTextoScan;
    QString Auxtecleado;
    QString FScanCampoCodigo;
    QString FScanCampoNombre;
    QString FTabla;
    QString FAbreviaturaTabla;
    std::int16_t FTipoOrdenacion = 0;
    QStringList FCampoScan;
    QString OrderBy;
    QString GroupBy;
    QStringList FFormatoCamposQuery;
    QStringList FOrigenFormatoCamposQuery;
    bool Usar_OrigenFormatoCampos = false;
    QStringList FFormatoCamposOriginal;
    fw::Params FParametrosQuery;
    int m_long = 0;
    bool FCompras = false;
    bool FArticulos = false;
    bool FClientes = false;
    bool FRepetidos = false;
    bool FUsarEmpresa = false;
    bool FUsarGrupoEmpresas = false;
    int FGrupoEmpresas = 0;
    bool FVerGrande = false;
    bool FFunciona_como_Grande = false;
    bool FContarRegistros = false;
    bool FUsarDatosAuxiliares = false;
    QString FCodTarifa;
    QString FCodTarifaCli;
    int FNumero_Caract_Ignorar_Codigo = 0;
    QString FCaptionVentana;
    bool FControlEnRejilla = false;
    QStringList m_otrasBusquedas;

    bool FCargandoSN = false;
    // Re-searching while typing starts on, as its check box ("Desactivar autoscan" unticked) says.
    bool m_autoScan = true;
    QString FieldName;
    QString OrdenarPorCampo;
    QString m_campoIncremental;
    TOnF6BotonEventoScan FOnF6Click;
    QPointer<fw::Database> m_database;
    bool m_filtroInstalado = false;
};
