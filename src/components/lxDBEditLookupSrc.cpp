#include "components/lxDBEditLookupSrc.h"

#include "components/lxBoton.h"
#include "components/lxDataSetComun.h"
#include "components/lxIBQuery.h"
#include "components/lxRxMemoryData.h"
#include "framework/base/Error.h"
#include "framework/db/Database.h"
#include "framework/db/DataSource.h"
#include "framework/db/SqlQuery.h"
#include "framework/ui/DataEdit.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/Guard.h"
#include "framework/ui/KeyInjection.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLocale>

#include <algorithm>
#include <memory>

// The images live in this static library; whoever links it gets them registered here.
static void registrarImagenesBoton()
{
    static const bool registradas = [] {
        Q_INIT_RESOURCE(lxRecursos);
        return true;
    }();
    (void)registradas;
}

namespace {

// Longer text fields are cut to this many characters in the chosen-record table.
constexpr int kLongitudMaxima = 8190;

void avisar(const QString &paso)
{
    fw::ui::dialogs().inform(paso + QStringLiteral("\r\n") + fw::ui::errorText(std::current_exception()));
}

bool cambiaDeVentana(const QFocusEvent *event)
{
    // Another window (the search window, a message box) took or gave back the
    // focus: the user neither left nor entered the edit.
    return event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason;
}

} // namespace

TCustomLxDBEditLookup::TCustomLxDBEditLookup(QWidget *parent)
    : QLineEdit(parent), FLink(std::make_unique<fw::ui::FieldLink>())
{
    try {
        registrarImagenesBoton();
        FBoton = new TlxBoton(this);
        FBoton->setObjectName(QStringLiteral("BotonBusqueda"));
        FBoton->setCursor(Qt::ArrowCursor);
        FQuery = new fw::SqlQuery(this);
        FQuery->setObjectName(QStringLiteral("QueryBusqueda"));
        FDataSetResultado = new TlxRxMemoryData(this);
        FDataSetResultado->setObjectName(QStringLiteral("DataSetResultado"));
        FLink->onLoad = [this] { cargarCampo(); };
        FLink->onWrite = [this] { escribirCampo(); };
        resize(135, sizeHint().height());
        PonerImagen();
        ColocarBoton();
        connect(FBoton, &TlxBoton::clicked, this, fw::ui::guarded([this] { BotonPulsado(); }));
        // Typing into a bound edit edits its record; a new text no longer matches a record loaded before.
        connect(this, &QLineEdit::textEdited, this, fw::ui::guarded([this] {
                    FDataSetCargado = false;
                    if (FLink->dataSource() && !FLink->fieldName.isEmpty() && !FLink->editing())
                        FLink->edit();
                }));
    } catch (...) {
        avisar(QStringLiteral("Error en Create"));
    }
}

TCustomLxDBEditLookup::~TCustomLxDBEditLookup()
{
    FLink->onLoad = nullptr;
    FLink->onWrite = nullptr;
}

// ---------------------------------------------------------------------------
// Set-up

void TCustomLxDBEditLookup::copiarParametros(fw::SqlQuery &query) const
{
    for (fw::Param &p : query.params())
        if (const fw::Param *origen = FParametrosSQL.find(p.name()))
            p.setValue(origen->value());
}

void TCustomLxDBEditLookup::setSQL(const QStringList &lineas)
{
    try {
        if (lineas != FSQL) {
            FSQL = lineas;
            FQuery->setSql(lineas);
        }
        copiarParametros(*FQuery);
    } catch (...) {
        avisar(QStringLiteral("Error en SetSQL"));
    }
}

void TCustomLxDBEditLookup::setParametrosSQL(const fw::Params &parametros)
{
    try {
        FParametrosSQL = parametros;
        copiarParametros(*FQuery);
    } catch (...) {
        avisar(QStringLiteral("Error en SetParams"));
    }
}

fw::Param *TCustomLxDBEditLookup::ParamByName(const QString &Valor)
{
    try {
        return &FParametrosSQL.byName(Valor);
    } catch (...) {
        avisar(QStringLiteral("Error en ParamByName"));
        return nullptr;
    }
}

namespace {

void reemplazarLineas(QStringList &destino, const QStringList &lineas, const QString &paso)
{
    try {
        if (lineas != destino)
            destino = lineas;
    } catch (...) {
        avisar(paso);
    }
}

} // namespace

void TCustomLxDBEditLookup::setFormatoCampos(const QStringList &lineas)
{
    reemplazarLineas(FFormatoCampos, lineas, QStringLiteral("Error en SetFormatoCampos"));
}

void TCustomLxDBEditLookup::setOrigenFormatoCampos(const QStringList &lineas)
{
    reemplazarLineas(FOrigenFormatoCampos, lineas, QStringLiteral("Error en SetOrigenFormatoCampos"));
}

void TCustomLxDBEditLookup::setOpcionesBusqueda(TOpciones opciones)
{
    if (opciones.testFlag(Filtrar_por_Grupo_de_Empresas) && opciones.testFlag(Filtrar_por_Empresa))
        opciones &= ~TOpciones(Filtrar_por_Grupo_de_Empresas | Filtrar_por_Empresa);
    if (opciones.testFlag(Es_Tabla_Articulos) && opciones.testFlag(Es_Tabla_Clientes))
        opciones &= ~TOpciones(Es_Tabla_Articulos | Es_Tabla_Clientes);
    FOpcionesBusqueda = opciones;
}

// ---------------------------------------------------------------------------
// Bound field

fw::DataSource *TCustomLxDBEditLookup::DataSource() const
{
    return FLink->dataSource();
}

void TCustomLxDBEditLookup::setDataSource(fw::DataSource *source)
{
    FLink->setDataSource(source);
    cargarCampo();
}

QString TCustomLxDBEditLookup::DataField() const
{
    return FLink->fieldName;
}

void TCustomLxDBEditLookup::setDataField(const QString &nombre)
{
    FLink->fieldName = nombre;
    cargarCampo();
}

void TCustomLxDBEditLookup::cargarCampo()
{
    if (!FLink->dataSource() || FLink->fieldName.isEmpty() || FCargandoCampo)
        return;
    QString texto;
    fw::ui::runGuarded([&] {
        if (fw::Field *f = FLink->field())
            texto = (hasFocus() && FLink->canModify()) ? f->text() : f->displayText();
    });
    FCargandoCampo = true;
    if (texto != text())
        setText(texto);
    FCargandoCampo = false;
}

void TCustomLxDBEditLookup::escribirCampo()
{
    if (text().isEmpty())
        return;
    if (fw::Field *f = FLink->field(); f && !f->readOnly())
        f->setAsString(text());
}

// ---------------------------------------------------------------------------
// Button

QString TCustomLxDBEditLookup::TextButton() const
{
    return FBoton->Caption();
}

void TCustomLxDBEditLookup::setTextButton(const QString &texto)
{
    FBoton->setCaption(texto);
}

QPixmap TCustomLxDBEditLookup::ImageButton() const
{
    return FBoton->Glyph();
}

void TCustomLxDBEditLookup::setImageButton(const QPixmap &imagen)
{
    FBoton->setGlyph(imagen);
}

QFont TCustomLxDBEditLookup::FontButton() const
{
    return FBoton->font();
}

void TCustomLxDBEditLookup::setFontButton(const QFont &font)
{
    FBoton->setFont(font);
}

void TCustomLxDBEditLookup::setWidthButton(int ancho)
{
    if (ancho < 1 || ancho > 74)
        return;
    FWidthButton = ancho;
    ColocarBoton();
}

void TCustomLxDBEditLookup::setVisibleButton(bool visible)
{
    FVisibleButton = visible;
    ColocarBoton();
}

bool TCustomLxDBEditLookup::FlatButton() const
{
    return FBoton->Flat();
}

void TCustomLxDBEditLookup::setFlatButton(bool v)
{
    FBoton->setFlat(v);
}

bool TCustomLxDBEditLookup::TransparentButton() const
{
    return FBoton->Transparent();
}

void TCustomLxDBEditLookup::setTransparentButton(bool v)
{
    FBoton->setTransparent(v);
}

void TCustomLxDBEditLookup::setSide(TSideButton lado)
{
    FSide = lado;
    ColocarBoton();
}

void TCustomLxDBEditLookup::PonerImagen()
{
    const QPixmap imagen(isEnabled() ? QStringLiteral(":/lx/ICONOBOTON") : QStringLiteral(":/lx/ICONOBOTONAPAGADO"));
    if (imagen.isNull()) {
        fw::ui::dialogs().inform(QStringLiteral("Icono del boton inacesible"));
        return;
    }
    FBoton->setGlyph(imagen);
}

void TCustomLxDBEditLookup::ColocarBoton()
{
    if (!FBoton)
        return;
    // Hidden, the button still keeps one pixel of margin.
    const int ancho = FVisibleButton ? FWidthButton : 1;
    const bool marco = hasFrame();
    const int alto = std::max(1, height() - (marco ? 4 : 2));
    const int borde = marco ? 2 : 1;
    const int y = (height() - alto) / 2;
    const int otroLado = marco ? 1 : 0;
    if (FSide == sbRight) {
        FBoton->setGeometry(width() - ancho - borde, y, ancho, alto);
        setTextMargins(otroLado, 0, ancho + 2, 0);
    } else {
        FBoton->setGeometry(borde, y, ancho, alto);
        setTextMargins(ancho + 2, 0, otroLado, 0);
    }
    FBoton->setVisible(FVisibleButton);
}

void TCustomLxDBEditLookup::resizeEvent(QResizeEvent *event)
{
    QLineEdit::resizeEvent(event);
    ColocarBoton();
}

void TCustomLxDBEditLookup::changeEvent(QEvent *event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && FBoton) {
        FBoton->setEnabled(isEnabled());
        PonerImagen();
        FContador_AutoScan = 0;
    }
}

void TCustomLxDBEditLookup::BotonPulsado()
{
    try {
        if (!hasFocus())
            setFocus(Qt::MouseFocusReason);
        if (listoParaBuscar())
            AbrirScan(0);
        if (OnButtonClick)
            OnButtonClick(this);
        setFocus(Qt::MouseFocusReason);
    } catch (...) {
        // A click never ends in a message of its own.
    }
}

// ---------------------------------------------------------------------------
// Searching

bool TCustomLxDBEditLookup::listoParaBuscar() const
{
    return m_dataBase && !FSQL.join(QString()).trimmed().isEmpty() && m_dataBase->connected();
}

void TCustomLxDBEditLookup::AbrirScan(int Tipo)
{
    if (isReadOnly())
        return;
    std::unique_ptr<TlxScan> scan;
    try {
        scan = std::make_unique<TlxScan>(window());
        const TOpciones o = FOpcionesBusqueda;
        const TDatosAuxiliares &aux = FDatos_Auxiliares;
        scan->Inicializar(o.testFlag(Es_Compras), o.testFlag(Es_Tabla_Articulos), o.testFlag(Es_Tabla_Clientes),
                          o.testFlag(Incluir_Valores_Repetidos), o.testFlag(Filtrar_por_Empresa),
                          o.testFlag(Filtrar_por_Grupo_de_Empresas), FValorGrupoEmpresas, std::int16_t(Tipo), FSQL,
                          FFormatoCampos, FOrigenFormatoCampos, text(), FCaption_Ventana, m_dataBase, FParametrosSQL,
                          FVentana_Scan_Grande, FFuncionamiento_Grande, FControl_En_Rejilla,
                          FContar_Registros_Seleccion, o.testFlag(Usar_Datos_Auxiliares), aux.CodigoTarifaVentas(),
                          aux.NombreTarifaVentas(), aux.CodigoTarifaCliente(), aux.NombreTarifaCliente(),
                          aux.CodigoAlmacen(), aux.NombreAlmacen(), FCaracteres_Ignorar_Busqueda_F2);
        if (OnBotonF6Click)
            scan->setOnF6Click(OnBotonF6Click);
        if (scan->exec() == QDialog::Accepted)
            CargarResultado(*scan->lxQueryScan, true);
    } catch (const fw::Abort &) {
    } catch (...) {
        avisar(QStringLiteral("Error en AbrirScan"));
    }
    if (scan)
        scan->lxQueryScan->close();
}

void TCustomLxDBEditLookup::CargarResultado(fw::DataSet &origen, bool deVentana)
{
    try {
        // Accepting an empty or closed list chooses nothing.
        if (!origen.active() || origen.isEmpty())
            throw fw::Error(QStringLiteral("No hay ningún registro elegido"));
        FDataSetResultado->close();
        FDataSetResultado->clearFields();
        for (const auto &f : origen.fields())
            FDataSetResultado->addField(f->fieldName(), f->dataType(),
                                        f->dataType() == fw::FieldType::String ? std::min(f->size(), kLongitudMaxima) : 0);
        // The descriptors follow the fields just declared.
        FDataSetResultado->PrimeraVez = true;
        try {
            FDataSetResultado->open();
        } catch (const fw::Abort &) {
            throw;
        } catch (...) {
            fw::ui::dialogs().inform(fw::ui::errorText(std::current_exception()));
        }
        FDataSetResultado->append();
        for (const auto &f : origen.fields()) {
            QVariant valor = f->value();
            if (f->dataType() == fw::FieldType::String && valor.typeId() == QMetaType::QString)
                valor = valor.toString().left(kLongitudMaxima);
            FDataSetResultado->fieldByName(f->fieldName()).setValue(valor);
        }
        FDataSetResultado->post();
        FDataSetCargado = true;

        const QString codigo = FDataSetResultado->field(0).asString();
        if (FLink->dataSource() && !FLink->fieldName.isEmpty()) {
            if (!FLink->editing())
                FLink->edit();
            if (FLink->editing())
                setText(codigo);
        } else {
            setText(codigo);
        }
        if (deVentana)
            ConfirmarCambios();
    } catch (...) {
        // A record that could not be loaded is simply not loaded; the user is not told.
        FDataSetCargado = false;
    }
}

void TCustomLxDBEditLookup::ConfirmarCambios()
{
    try {
        if (!FDataSetCargado)
            CargarDataSetResultadoSinVentana(text(), false, false, false);
        if (FLink->dataSource() && !FLink->fieldName.isEmpty()) {
            fw::Field *f = FLink->field();
            const fw::DataSetState estado = f ? f->dataSet()->state() : fw::DataSetState::Inactive;
            if ((estado == fw::DataSetState::Edit || estado == fw::DataSetState::Insert) && !f->readOnly()
                && !text().isEmpty())
                f->setAsString(text());
            if (FDataSetCargado && OnConfirmarCambios && f && !f->readOnly())
                OnConfirmarCambios(this);
        } else if (FDataSetCargado && OnConfirmarCambios) {
            OnConfirmarCambios(this);
        }
    } catch (const fw::Abort &) {
    } catch (...) {
        avisar(QStringLiteral("Error en ConfirmarCambios"));
    }
    FDataSetResultado->close();
    FQuery->close();
}

QStringList TCustomLxDBEditLookup::SentenciaSinVentana(const QStringList &sql, const QString &texto,
                                                       TOpciones opciones, int valorGrupoEmpresas)
{
    QStringList lineas = sql;
    const QString codigo = TlxScan::ExtraerCampoCodigo(lineas.value(0));
    QString alias;
    for (const QString &linea : lineas) {
        if (linea.contains(QLatin1String("FROM "), Qt::CaseInsensitive)) {
            TlxScan::ExtraerTabla(linea, &alias);
            break;
        }
    }
    QString t = texto;
    t.remove(QLatin1Char('"'));

    auto sacarPrimera = [&lineas](const QString &clave) {
        for (int i = 0; i < lineas.size(); ++i)
            if (lineas[i].contains(clave, Qt::CaseInsensitive))
                return lineas.takeAt(i);
        return QString();
    };
    const QString grupo = sacarPrimera(QStringLiteral("GROUP "));
    QString orden = sacarPrimera(QStringLiteral("ORDER "));
    if (orden.isEmpty())
        orden = QStringLiteral("ORDER BY ") + codigo;

    const bool hayWhere = lineas.join(QLatin1Char('\n')).contains(QLatin1String("WHERE"), Qt::CaseInsensitive);
    const QStringList filtros = TlxScan::FiltrosEmpresa(alias, opciones.testFlag(Filtrar_por_Empresa),
                                                        opciones.testFlag(Filtrar_por_Grupo_de_Empresas),
                                                        valorGrupoEmpresas);
    const bool agregado = codigo.contains(QLatin1String("MIN("), Qt::CaseInsensitive)
                          || codigo.contains(QLatin1String("MAX("), Qt::CaseInsensitive);
    if (!agregado) {
        lineas << (hayWhere ? QStringLiteral("AND ( (") : QStringLiteral("WHERE ( ("))
                      + TlxScan::AlternativasBusqueda(codigo, codigo, codigo, t, false) + QStringLiteral(" )")
                      + filtros.join(QString());
    } else if (!filtros.isEmpty()) {
        // No code condition to follow: the company filters still apply, opening the WHERE when there is none.
        QString linea = filtros.join(QString()).trimmed();
        if (!hayWhere)
            linea = QStringLiteral("WHERE") + linea.mid(3);
        lineas << linea;
    }
    lineas << grupo << orden;
    return lineas;
}

void TCustomLxDBEditLookup::CargarDataSetResultadoSinVentana(const QString &TextoBusqueda,
                                                             bool Ejecutar_ConfirmarCambios, bool Primero,
                                                             bool Ultimo)
{
    if (!m_dataBase || !m_dataBase->connected())
        return;
    const QStringList recordada = FQuery->sql();
    try {
        FDataSetCargado = false;
        FQuery->close();
        FQuery->setDatabase(m_dataBase);
        FQuery->setTransaction(m_dataBase->defaultTransaction());
        FQuery->setSql(SentenciaSinVentana(FSQL, TextoBusqueda, FOpcionesBusqueda, FValorGrupoEmpresas));
        copiarParametros(*FQuery);
        FQuery->open();
        QString buscado = TextoBusqueda;
        if (Primero || Ultimo) {
            Primero ? FQuery->first() : FQuery->last();
            buscado = FQuery->isEmpty() ? QString() : FQuery->field(0).asString();
        }
        fw::LocateOptions opciones = fw::LocateOption::CaseInsensitive;
        if (FCompletando)
            opciones |= fw::LocateOption::PartialKey;
        if (FQuery->fieldCount() > 0 && FQuery->locate(FQuery->field(0).fieldName(), buscado, opciones)) {
            CargarResultado(*FQuery, false);
            if (Ejecutar_ConfirmarCambios) {
                if (OnConfirmarCambios)
                    OnConfirmarCambios(this);
                FDataSetResultado->close();
                FDataSetCargado = false;
            }
        }
    } catch (const fw::Abort &) {
    } catch (...) {
        fw::ui::dialogs().inform(QStringLiteral("Error al Cargar el DataSet Resultado \"Sin Ventana\":\r\n")
                                 + objectName() + QStringLiteral("\r\n")
                                 + fw::ui::errorText(std::current_exception()));
    }
    FQuery->close();
    try {
        FQuery->setSql(recordada);
    } catch (...) {
        // The statement it had before was valid; failing to put it back leaves the next look-up to rebuild it.
    }
}

void TCustomLxDBEditLookup::Autocompletar()
{
    FCompletando = true;
    ++FContador_AutoScan;
    try {
        // Loading puts the found code into the edit; what the user typed is kept first.
        const QString tecleado = text();
        CargarDataSetResultadoSinVentana(tecleado, false, false, false);
        if (FDataSetCargado) {
            const QString codigo = FDataSetResultado->field(0).asString();
            setText(tecleado + codigo.mid(FContador_AutoScan));
            // Typing on replaces the completed part.
            setSelection(FContador_AutoScan, int(text().size()) - FContador_AutoScan);
            FDataSetCargado = false;
            FDataSetResultado->close();
        }
    } catch (...) {
        FCompletando = false;
        throw;
    }
    FCompletando = false;
}

// ---------------------------------------------------------------------------
// Keys and focus

void TCustomLxDBEditLookup::keyPressEvent(QKeyEvent *event)
{
    fw::ui::runGuarded([&] {
        const int tecla = event->key();
        if (listoParaBuscar()) {
            switch (tecla) {
            case Qt::Key_Return:
            case Qt::Key_Enter: {
                // The focus moves on as with Tab; the Enter itself goes no further (no default button).
                int k = tecla;
                if (OnKeyDown)
                    OnKeyDown(k, event->modifiers());
                fw::ui::injectKeyClick({Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t")}, false);
                event->accept();
                FBoton->update();
                return;
            }
            case Qt::Key_Escape:
            case Qt::Key_Up:
            case Qt::Key_Down:
                if (QWidget *padre = parentWidget()) {
                    padre->setFocus(Qt::OtherFocusReason);
                    QCoreApplication::postEvent(padre, new QKeyEvent(QEvent::KeyPress, tecla, event->modifiers()));
                    event->accept();
                    FBoton->update();
                    return;
                }
                break;
            case Qt::Key_F2:
                AbrirScan(0);
                break;
            case Qt::Key_F4:
                AbrirScan(1);
                break;
            case Qt::Key_F5:
                AbrirScan(2);
                break;
            default:
                break;
            }
        }
        if (tecla != Qt::Key_Tab) {
            int k = tecla;
            if (OnKeyDown)
                OnKeyDown(k, event->modifiers());
            if (k != 0)
                QLineEdit::keyPressEvent(event);
        }
        FBoton->update();
    });
}

void TCustomLxDBEditLookup::keyReleaseEvent(QKeyEvent *event)
{
    QLineEdit::keyReleaseEvent(event);
    fw::ui::runGuarded([&] {
        const int tecla = event->key();
        if (tecla == Qt::Key_Backspace || tecla == Qt::Key_Delete) {
            FContador_AutoScan = cursorPosition();
            return;
        }
        if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
            if (FAutoScan)
                Salir();
            return;
        }
        if (tecla >= Qt::Key_F1 && tecla <= Qt::Key_F12)
            return;
        // Only a key that typed a character counts: Shift or an arrow typed nothing to complete.
        const QString escrito = event->text();
        if (FAutoScan && !isReadOnly() && !escrito.isEmpty() && escrito.at(0).isPrint())
            Autocompletar();
    });
}

void TCustomLxDBEditLookup::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    if (cambiaDeVentana(event))
        return;
    FContador_AutoScan = int(text().size());
    FDataSetCargado = false;
    m_etiquetas.resaltar();
    cargarCampo();
}

void TCustomLxDBEditLookup::Salir()
{
    FContador_AutoScan = 0;
    m_etiquetas.restaurar();
    if (!FDataSetCargado && !text().isEmpty())
        ConfirmarCambios();
}

void TCustomLxDBEditLookup::focusOutEvent(QFocusEvent *event)
{
    if (!cambiaDeVentana(event))
        fw::ui::runGuarded([this] { Salir(); });
    QLineEdit::focusOutEvent(event);
    if (!cambiaDeVentana(event))
        cargarCampo();
}
