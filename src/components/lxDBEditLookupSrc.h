#pragma once
#include "components/lxDBEdit.h"
#include "components/lxScan.h"
#include "framework/db/Params.h"

#include <QFlags>
#include <QFont>
#include <QLineEdit>
#include <QPixmap>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>

class TlxBoton;
class TlxRxMemoryData;

namespace fw {
class DataSet;
class DataSource;
class Database;
class SqlQuery;
namespace ui {
class FieldLink;
}
} // namespace fw

/// Default sales tariff, the customer's tariff and the warehouse, handed to
/// the search window when the edit uses auxiliary data.
class TDatosAuxiliares
{
public:
    const QString &CodigoTarifaVentas() const { return m_codigoTarifaVentas; }
    void setCodigoTarifaVentas(const QString &v) { asignar(m_codigoTarifaVentas, v); }
    const QString &NombreTarifaVentas() const { return m_nombreTarifaVentas; }
    void setNombreTarifaVentas(const QString &v) { asignar(m_nombreTarifaVentas, v); }
    const QString &CodigoTarifaCliente() const { return m_codigoTarifaCliente; }
    void setCodigoTarifaCliente(const QString &v) { asignar(m_codigoTarifaCliente, v); }
    const QString &NombreTarifaCliente() const { return m_nombreTarifaCliente; }
    void setNombreTarifaCliente(const QString &v) { asignar(m_nombreTarifaCliente, v); }
    const QString &CodigoAlmacen() const { return m_codigoAlmacen; }
    void setCodigoAlmacen(const QString &v) { asignar(m_codigoAlmacen, v); }
    const QString &NombreAlmacen() const { return m_nombreAlmacen; }
    void setNombreAlmacen(const QString &v) { asignar(m_nombreAlmacen, v); }

private:
    static void asignar(QString &campo, const QString &v)
    {
        if (campo != v)
            campo = v;
    }
    QString m_codigoTarifaVentas, m_nombreTarifaVentas, m_codigoTarifaCliente, m_nombreTarifaCliente,
        m_codigoAlmacen, m_nombreAlmacen;
};

enum TOpcion {
    Filtrar_por_Grupo_de_Empresas = 0x01,
    Filtrar_por_Empresa = 0x02,
    Incluir_Valores_Repetidos = 0x04,
    Es_Compras = 0x08,
    Es_Tabla_Articulos = 0x10,
    Es_Tabla_Clientes = 0x20,
    Usar_Datos_Auxiliares = 0x40,
};
Q_DECLARE_FLAGS(TOpciones, TOpcion)
Q_DECLARE_OPERATORS_FOR_FLAGS(TOpciones)

enum TSideButton { sbLeft, sbRight };

/// A single-line edit for the code of a record of another table, with a small
/// button inside it. Leaving the edit looks the typed code up in the database
/// (without regard to case); F2, F4, F5 or the button open the search window
/// by code, by name or by name containing the text; with `AutoScan` the code
/// is completed while typing. The chosen record is kept in the one-row memory
/// table `DataSetResultado` while `OnConfirmarCambios` runs. The edit may be
/// bound to a field of a data set, which then receives the code.
///
/// Look-ups run on `DataBase` and its default transaction. Double quotes are
/// left out of the search text in the look-up statement, so the text can never
/// end its literal. The edit owns its button, its query, the memory table and
/// its lists; the database, the data source and the captions are not owned.
class TCustomLxDBEditLookup : public QLineEdit
{
    Q_OBJECT
public:
    explicit TCustomLxDBEditLookup(QWidget *parent = nullptr);
    ~TCustomLxDBEditLookup() override;

    // --- look-up set-up --------------------------------------------------------
    fw::Database *DataBase() const { return m_dataBase; }
    void setDataBase(fw::Database *db) { m_dataBase = db; }
    const QStringList &SQL() const { return FSQL; }
    void setSQL(const QStringList &lineas);
    fw::Params &ParametrosSQL() { return FParametrosSQL; }
    void setParametrosSQL(const fw::Params &parametros);
    /// The parameter of that name; none (and an error box) when there is none.
    fw::Param *ParamByName(const QString &Valor);
    const QStringList &FormatoCampos() const { return FFormatoCampos; }
    void setFormatoCampos(const QStringList &lineas);
    const QStringList &OrigenFormatoCampos() const { return FOrigenFormatoCampos; }
    void setOrigenFormatoCampos(const QStringList &lineas);
    TOpciones OpcionesBusqueda() const { return FOpcionesBusqueda; }
    /// Both company filters, or both table kinds, cancel each other out.
    void setOpcionesBusqueda(TOpciones opciones);
    int ValorGrupoEmpresas() const { return FValorGrupoEmpresas; }
    void setValorGrupoEmpresas(int v) { FValorGrupoEmpresas = v; }
    const QString &Caption_Ventana() const { return FCaption_Ventana; }
    void setCaption_Ventana(const QString &v) { FCaption_Ventana = v; }
    int Caracteres_Ignorar_Busqueda_F2() const { return FCaracteres_Ignorar_Busqueda_F2; }
    void setCaracteres_Ignorar_Busqueda_F2(int v) { FCaracteres_Ignorar_Busqueda_F2 = v; }
    bool AutoScan() const { return FAutoScan; }
    void setAutoScan(bool v) { FAutoScan = v; }
    bool Contar_Registros_Seleccion() const { return FContar_Registros_Seleccion; }
    void setContar_Registros_Seleccion(bool v) { FContar_Registros_Seleccion = v; }
    bool Ventana_Scan_Grande() const { return FVentana_Scan_Grande; }
    void setVentana_Scan_Grande(bool v) { FVentana_Scan_Grande = v; }
    bool Funcionamiento_Grande() const { return FFuncionamiento_Grande; }
    void setFuncionamiento_Grande(bool v) { FFuncionamiento_Grande = v; }
    bool Control_En_Rejilla() const { return FControl_En_Rejilla; }
    void setControl_En_Rejilla(bool v) { FControl_En_Rejilla = v; }
    bool SuperBusqueda_Articulos() const { return FSuperBusqueda_Articulos; }
    void setSuperBusqueda_Articulos(bool v) { FSuperBusqueda_Articulos = v; }
    bool Es_FichaArticulo() const { return FEs_FichaArticulo; }
    void setEs_FichaArticulo(bool v) { FEs_FichaArticulo = v; }
    TDatosAuxiliares &Datos_Auxiliares() { return FDatos_Auxiliares; }

    // --- bound field -------------------------------------------------------------
    fw::DataSource *DataSource() const;
    void setDataSource(fw::DataSource *source);
    QString DataField() const;
    void setDataField(const QString &nombre);
    /// The chosen record; open only while OnConfirmarCambios runs.
    TlxRxMemoryData *DataSetResultado() const { return FDataSetResultado; }

    // --- captions and button -------------------------------------------------------
    bool Etiqueta() const { return m_etiquetas.activo(); }
    void setEtiqueta(bool v) { m_etiquetas.setActivo(v); }
    QWidget *Etiqueta1() const { return m_etiquetas.etiqueta(1); }
    void setEtiqueta1(QWidget *caption) { m_etiquetas.setEtiqueta(1, caption); }
    QWidget *Etiqueta2() const { return m_etiquetas.etiqueta(2); }
    void setEtiqueta2(QWidget *caption) { m_etiquetas.setEtiqueta(2, caption); }
    QString TextButton() const;
    void setTextButton(const QString &texto);
    QPixmap ImageButton() const;
    void setImageButton(const QPixmap &imagen);
    QFont FontButton() const;
    void setFontButton(const QFont &font);
    int WidthButton() const { return FWidthButton; }
    /// Only 1 to 74 are taken.
    void setWidthButton(int ancho);
    bool VisibleButton() const { return FVisibleButton; }
    void setVisibleButton(bool visible);
    bool FlatButton() const;
    void setFlatButton(bool v);
    bool TransparentButton() const;
    void setTransparentButton(bool v);
    TSideButton Side() const { return FSide; }
    void setSide(TSideButton lado);
    TlxBoton *Boton() const { return FBoton; }

    // --- events ---------------------------------------------------------------------
    /// A value has been chosen; DataSetResultado holds its record meanwhile.
    std::function<void(QObject *Sender)> OnConfirmarCambios;
    TOnF6BotonEventoScan OnBotonF6Click;
    /// Raised after a click on the button has been handled.
    std::function<void(QObject *Sender)> OnButtonClick;
    /// The owner's key-down handler; setting key to 0 stops the edit's own handling.
    std::function<void(int &key, Qt::KeyboardModifiers modifiers)> OnKeyDown;

    // --- operations -----------------------------------------------------------------
    /// Opens the search window by code (0), name (1) or name containing the text (2).
    void AbrirScan(int Tipo);
    /// Loads the record whose code is TextoBusqueda (or the first or last row) without the window.
    void CargarDataSetResultadoSinVentana(const QString &TextoBusqueda, bool Ejecutar_ConfirmarCambios, bool Primero,
                                          bool Ultimo);
    /// Writes the chosen code to the bound field and raises OnConfirmarCambios.
    void ConfirmarCambios();
    /// Completes the typed code with the first code that starts with it.
    void Autocompletar();
    int Contador_AutoScan() const { return FContador_AutoScan; }
    bool DataSetCargado() const { return FDataSetCargado; }

    /// The look-up statement: the caller's one with the code condition (double
    /// quotes left out of the text), the company filters and its GROUP and ORDER.
    static QStringList SentenciaSinVentana(const QStringList &sql, const QString &texto, TOpciones opciones,
                                           int valorGrupoEmpresas);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    bool listoParaBuscar() const;
    void CargarResultado(fw::DataSet &origen, bool deVentana);
    void ColocarBoton();
    void PonerImagen();
    void BotonPulsado();
    void Salir();
    void cargarCampo();
    void escribirCampo();
    void copiarParametros(fw::SqlQuery &query) const;

    QPointer<fw::Database> m_dataBase;
    QStringList FSQL;
    fw::Params FParametrosSQL;
    QStringList FFormatoCampos;
    QStringList FOrigenFormatoCampos;
    TOpciones FOpcionesBusqueda;
    int FValorGrupoEmpresas = 0;
    QString FCaption_Ventana;
    int FCaracteres_Ignorar_Busqueda_F2 = 0;
    bool FAutoScan = false;
    bool FContar_Registros_Seleccion = true;
    bool FVentana_Scan_Grande = true;
    bool FFuncionamiento_Grande = false;
    bool FControl_En_Rejilla = false;
    bool FSuperBusqueda_Articulos = false;
    bool FEs_FichaArticulo = false;
    TDatosAuxiliares FDatos_Auxiliares;
    int FWidthButton = 16;
    bool FVisibleButton = true;
    TSideButton FSide = sbRight;

    TlxBoton *FBoton = nullptr;
    fw::SqlQuery *FQuery = nullptr;
    TlxRxMemoryData *FDataSetResultado = nullptr;
    std::unique_ptr<fw::ui::FieldLink> FLink;
    TlxEtiquetasFoco m_etiquetas{this};

    int FContador_AutoScan = 0;
    bool FDataSetCargado = false;
    bool FCompletando = false; ///< locate by the start of the code while completing
    bool FCargandoCampo = false;
};

/// The lookup edit as forms use it: every property published.
class TlxDBEditLookup : public TCustomLxDBEditLookup
{
    Q_OBJECT
    Q_PROPERTY(QStringList SQL READ SQL WRITE setSQL)
    Q_PROPERTY(QStringList FormatoCampos READ FormatoCampos WRITE setFormatoCampos)
    Q_PROPERTY(QStringList OrigenFormatoCampos READ OrigenFormatoCampos WRITE setOrigenFormatoCampos)
    Q_PROPERTY(int ValorGrupoEmpresas READ ValorGrupoEmpresas WRITE setValorGrupoEmpresas)
    Q_PROPERTY(QString Caption_Ventana READ Caption_Ventana WRITE setCaption_Ventana)
    Q_PROPERTY(int Caracteres_Ignorar_Busqueda_F2 READ Caracteres_Ignorar_Busqueda_F2 WRITE
                   setCaracteres_Ignorar_Busqueda_F2)
    Q_PROPERTY(bool AutoScan READ AutoScan WRITE setAutoScan)
    Q_PROPERTY(bool Contar_Registros_Seleccion READ Contar_Registros_Seleccion WRITE setContar_Registros_Seleccion)
    Q_PROPERTY(bool Ventana_Scan_Grande READ Ventana_Scan_Grande WRITE setVentana_Scan_Grande)
    Q_PROPERTY(bool Funcionamiento_Grande READ Funcionamiento_Grande WRITE setFuncionamiento_Grande)
    Q_PROPERTY(bool Control_En_Rejilla READ Control_En_Rejilla WRITE setControl_En_Rejilla)
    Q_PROPERTY(bool SuperBusqueda_Articulos READ SuperBusqueda_Articulos WRITE setSuperBusqueda_Articulos)
    Q_PROPERTY(bool Es_FichaArticulo READ Es_FichaArticulo WRITE setEs_FichaArticulo)
    Q_PROPERTY(QString DataField READ DataField WRITE setDataField)
    Q_PROPERTY(bool Etiqueta READ Etiqueta WRITE setEtiqueta)
    Q_PROPERTY(QWidget *Etiqueta1 READ Etiqueta1 WRITE setEtiqueta1)
    Q_PROPERTY(QWidget *Etiqueta2 READ Etiqueta2 WRITE setEtiqueta2)
    Q_PROPERTY(QString TextButton READ TextButton WRITE setTextButton)
    Q_PROPERTY(QPixmap ImageButton READ ImageButton WRITE setImageButton)
    Q_PROPERTY(QFont FontButton READ FontButton WRITE setFontButton)
    Q_PROPERTY(int WidthButton READ WidthButton WRITE setWidthButton)
    Q_PROPERTY(bool VisibleButton READ VisibleButton WRITE setVisibleButton)
    Q_PROPERTY(bool FlatButton READ FlatButton WRITE setFlatButton)
    Q_PROPERTY(bool TransparentButton READ TransparentButton WRITE setTransparentButton)
    Q_PROPERTY(Qt::Alignment Alignment READ alignment WRITE setAlignment)

public:
    explicit TlxDBEditLookup(QWidget *parent = nullptr) : TCustomLxDBEditLookup(parent) {}
};
