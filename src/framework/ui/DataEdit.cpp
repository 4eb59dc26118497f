#include "DataEdit.h"

#include "DataGuard.h"
#include "framework/base/Error.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLocale>

namespace fw::ui {

// ---------------------------------------------------------------------------
// FieldLink

Field *FieldLink::field() const
{
    DataSet *ds = dataSet();
    if (!ds || !ds->active() || fieldName.isEmpty() || !active())
        return nullptr;
    return ds->findField(fieldName);
}

bool FieldLink::canModify() const
{
    Field *f = field();
    if (!f || f->readOnly() || f->kind() != FieldKind::Data)
        return false;
    DataSet *ds = f->dataSet();
    if (!ds->canModify())
        return false;
    const DataSetState s = ds->state();
    return s == DataSetState::Edit || s == DataSetState::Insert || dataSource()->autoEdit();
}

void FieldLink::load() const
{
    if (onLoad)
        onLoad();
}

void FieldLink::activeChanged(bool)
{
    load();
}

void FieldLink::dataSetChanged()
{
    load();
}

void FieldLink::dataSetScrolled()
{
    load();
}

void FieldLink::recordChanged(Field *f)
{
    if (!f || f->fieldName().compare(fieldName, Qt::CaseInsensitive) == 0)
        load();
}

void FieldLink::editingChanged(bool)
{
    if (onEditingChanged)
        onEditingChanged();
}

void FieldLink::updateData()
{
    if (onWrite)
        onWrite();
}

void FieldLink::layoutChanged()
{
    load();
}

// ---------------------------------------------------------------------------
// DataEdit

DataEdit::DataEdit(QWidget *parent) : KeyHooked<QLineEdit>(parent), m_link(std::make_unique<FieldLink>())
{
    m_link->onLoad = [this] { load(); };
    m_link->onEditingChanged = [this] { applyReadOnly(); };
    m_link->onWrite = [this] { updateRecord(); };
}

DataEdit::~DataEdit()
{
    m_link->onLoad = nullptr;
    m_link->onEditingChanged = nullptr;
    m_link->onWrite = nullptr;
}

DataSource *DataEdit::dataSource() const
{
    return m_link->dataSource();
}

void DataEdit::setDataSource(DataSource *source)
{
    m_link->setDataSource(source);
    load();
}

QString DataEdit::dataField() const
{
    return m_link->fieldName;
}

void DataEdit::setDataField(const QString &name)
{
    m_link->fieldName = name;
    load();
}

Field *DataEdit::field() const
{
    return m_link->field();
}

void DataEdit::setReadOnly(bool readOnly)
{
    m_ownReadOnly = readOnly;
    applyReadOnly();
}

void DataEdit::applyReadOnly()
{
    const bool bound = m_link->dataSource() && !m_link->fieldName.isEmpty();
    QLineEdit::setReadOnly(m_ownReadOnly || (bound && !m_link->canModify()));
}

void DataEdit::load()
{
    applyReadOnly();
    if (!m_link->dataSource() || m_link->fieldName.isEmpty())
        return; // unbound: a plain edit
    QString text;
    runDataStep([&] {
        if (Field *f = m_link->field()) {
            text = (hasFocus() && !QLineEdit::isReadOnly()) ? f->text() : f->displayText();
            // No more characters than the column holds.
            const int most = f->isText() && f->size() > 0 && !f->onGetText ? f->size() : 32767;
            if (maxLength() != most) // setting it retypes the text and loses the selection
                setMaxLength(most);
        }
    });
    m_loading = true;
    if (text != this->text())
        setText(text);
    setModified(false);
    m_loading = false;
}

void DataEdit::reset()
{
    load();
    selectAll();
}

bool DataEdit::beginEdit()
{
    if (!m_link->dataSource() || m_link->fieldName.isEmpty())
        return !QLineEdit::isReadOnly();
    if (QLineEdit::isReadOnly() || !m_link->canModify())
        return false;
    bool editing = false;
    runDataStep([&] { editing = m_link->edit(); });
    return editing;
}

void DataEdit::updateRecord()
{
    if (!isModified() || m_loading)
        return;
    Field *f = m_link->field();
    if (!f)
        return;
    writeFieldText(*f, text());
    setModified(false);
}

void DataEdit::keyPress(QString &text)
{
    if (!text.isEmpty() && !isValidFieldChar(m_link->field(), text.at(0))) {
        text.clear();
        return;
    }
    KeyHooked::keyPress(text);
}

void DataEdit::baseKeyDown(QKeyEvent *e)
{
    const bool bound = m_link->dataSource() && !m_link->fieldName.isEmpty();
    if (e->key() == Qt::Key_Escape && bound) {
        if (isModified()) {
            reset();
            return;
        }
        e->ignore();
        return;
    }
    const QString text = e->text();
    const bool typing = !text.isEmpty() && text.at(0).isPrint() &&
                        !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (typing) {
        QString typed = text;
        keyPress(typed);
        if (typed.isEmpty())
            return;
        if (!beginEdit())
            return;
        if (typed != text) {
            QKeyEvent replaced(QEvent::KeyPress, typed.at(0).toUpper().unicode(), e->modifiers(), typed);
            QLineEdit::keyPressEvent(&replaced);
            return;
        }
        QLineEdit::keyPressEvent(e);
        return;
    }
    const bool changesText = e->key() == Qt::Key_Backspace || e->key() == Qt::Key_Delete ||
                             e->matches(QKeySequence::Paste) || e->matches(QKeySequence::Cut);
    if (changesText && bound && !beginEdit())
        return;
    QLineEdit::keyPressEvent(e);
}

void DataEdit::focusInEvent(QFocusEvent *e)
{
    QLineEdit::focusInEvent(e);
    // While focused an editable field shows its editing text.
    if (!isModified())
        load();
}

void DataEdit::focusOutEvent(QFocusEvent *e)
{
    runDataStep([&] { updateRecord(); });
    QLineEdit::focusOutEvent(e);
    if (!isModified())
        load();
}

} // namespace fw::ui
