#include "DataComboBox.h"

#include "DataGuard.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace fw::ui {

DataComboBox::DataComboBox(QWidget *parent) : KeyHooked<QComboBox>(parent), m_link(std::make_unique<FieldLink>())
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    m_link->onLoad = [this] { load(); };
    m_link->onWrite = [this] { updateRecord(); };
    // Any change not made by the field itself counts as the user's: the list, the keys, or code.
    connect(this, &QComboBox::currentIndexChanged, this, guardedData([this](int chosen) {
                if (m_loading)
                    return;
                if (bound()) {
                    if (!beginEdit()) {
                        load();
                        return;
                    }
                    // Entering edit mode rereads the record into the drop-down: the choice is put back.
                    if (currentIndex() != chosen) {
                        m_loading = true;
                        setCurrentIndex(chosen);
                        m_loading = false;
                    }
                    m_modified = true;
                    updateRecord();
                }
                emit changed();
            }));
    connect(lineEdit(), &QLineEdit::textEdited, this, guardedData([this](const QString &) {
                if (m_loading)
                    return;
                m_modified = true;
                emit changed();
            }));
}

DataComboBox::~DataComboBox()
{
    m_link->onLoad = nullptr;
    m_link->onWrite = nullptr;
}

DataSource *DataComboBox::dataSource() const
{
    return m_link->dataSource();
}

void DataComboBox::setDataSource(DataSource *source)
{
    m_link->setDataSource(source);
    load();
}

QString DataComboBox::dataField() const
{
    return m_link->fieldName;
}

void DataComboBox::setDataField(const QString &name)
{
    m_link->fieldName = name;
    load();
}

Field *DataComboBox::field() const
{
    return m_link->field();
}

bool DataComboBox::bound() const
{
    return m_link->dataSource() && !m_link->fieldName.isEmpty();
}

void DataComboBox::addStoredItem(const QString &text, const QVariant &stored)
{
    addItem(text, stored.isValid() ? stored : QVariant(text));
}

int DataComboBox::itemForText(const QString &text) const
{
    for (int i = 0; i < count(); ++i)
        if (itemText(i) == text)
            return i;
    return -1;
}

QVariant DataComboBox::storedValue() const
{
    const int item = itemForText(currentText());
    if (item >= 0)
        return itemData(item);
    return currentText().isEmpty() ? QVariant() : QVariant(currentText());
}

void DataComboBox::setStoredValue(const QVariant &value)
{
    m_loading = true;
    int found = -1;
    if (!value.isNull()) {
        for (int i = 0; i < count(); ++i) {
            if (itemData(i).toString() == value.toString()) {
                found = i;
                break;
            }
        }
    }
    setCurrentIndex(found);
    if (found < 0)
        setEditText(value.isNull() ? QString() : value.toString());
    m_modified = false;
    m_loading = false;
}

void DataComboBox::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    lineEdit()->setReadOnly(readOnly);
}

void DataComboBox::load()
{
    if (!bound())
        return;
    QVariant value;
    runDataStep([&] {
        if (Field *f = m_link->field())
            value = f->value();
    });
    setStoredValue(value);
    lineEdit()->setReadOnly(m_readOnly || !m_link->canModify());
}

bool DataComboBox::beginEdit()
{
    if (!bound())
        return !m_readOnly;
    if (m_readOnly || !m_link->canModify())
        return false;
    return m_link->edit();
}

void DataComboBox::reset()
{
    m_modified = false;
    load();
}

void DataComboBox::updateRecord()
{
    if (!m_modified || m_loading)
        return;
    Field *f = m_link->field();
    if (!f)
        return;
    const QVariant value = storedValue();
    if (value.isNull() && !f->isText())
        f->clear();
    else if (value.typeId() == QMetaType::QString)
        writeFieldText(*f, value.toString());
    else
        f->setValue(value);
    m_modified = false;
}

void DataComboBox::baseKeyDown(QKeyEvent *e)
{
    QLineEdit *line = lineEdit();
    if (e->key() == Qt::Key_Escape && bound() && m_modified) {
        load();
        return;
    }
    const QString text = e->text();
    const bool typing = !text.isEmpty() && text.at(0).isPrint() &&
                        !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    const bool erasing = e->key() == Qt::Key_Backspace || e->key() == Qt::Key_Delete ||
                         e->matches(QKeySequence::Cut);
    if (erasing && !m_allowClear && line) {
        // A key that would leave the drop-down empty is refused.
        const QString all = line->text();
        const bool wholeSelected = line->hasSelectedText() && line->selectedText().size() == all.size();
        if (all.size() <= 1 || wholeSelected)
            return;
    }
    if (typing) {
        QString typed = text;
        keyPress(typed);
        if (typed.isEmpty() || !beginEdit())
            return;
        if (typed != text) {
            QKeyEvent replaced(QEvent::KeyPress, typed.at(0).toUpper().unicode(), e->modifiers(), typed);
            QComboBox::keyPressEvent(&replaced);
            return;
        }
    } else if ((erasing || e->matches(QKeySequence::Paste)) && bound() && !beginEdit()) {
        return;
    } else if ((e->key() == Qt::Key_Up || e->key() == Qt::Key_Down || e->key() == Qt::Key_PageUp ||
                e->key() == Qt::Key_PageDown) &&
               bound() && !beginEdit()) {
        return;
    }
    QComboBox::keyPressEvent(e);
}

void DataComboBox::focusOutEvent(QFocusEvent *e)
{
    runDataStep([&] { updateRecord(); });
    QComboBox::focusOutEvent(e);
}

} // namespace fw::ui
