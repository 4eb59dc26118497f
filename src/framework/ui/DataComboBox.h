#pragma once
#include "framework/ui/DataEdit.h"
#include "framework/ui/KeyHooks.h"

#include <QComboBox>

#include <memory>

namespace fw::ui {

/// An editable drop-down bound to one field of a data source. Each item has a
/// text and a stored value (the text itself when none is given): choosing an
/// item writes its stored value to the field, a typed text that matches an
/// item's text writes that item's value, any other typed text is written as
/// text. The field's value selects the matching item, or shows as text.
/// Without a data source it is a plain drop-down whose `storedValue()` is read.
class DataComboBox : public KeyHooked<QComboBox>
{
    Q_OBJECT
public:
    explicit DataComboBox(QWidget *parent = nullptr);
    ~DataComboBox() override;

    DataSource *dataSource() const;
    void setDataSource(DataSource *source);
    QString dataField() const;
    void setDataField(const QString &name);
    Field *field() const;

    /// Adds an item with the value stored for it.
    void addStoredItem(const QString &text, const QVariant &stored = {});
    /// Stored value of the chosen item, or the typed text when no item matches.
    QVariant storedValue() const;
    /// Selects the item whose stored value equals `value` (compared as text);
    /// shows the value as text when none does. Raises no change event.
    void setStoredValue(const QVariant &value);

    /// When false, no key can leave the drop-down empty.
    bool allowClear() const { return m_allowClear; }
    void setAllowClear(bool allow) { m_allowClear = allow; }
    bool isReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly);

    /// Writes a changed value to the field now.
    void updateRecord();
    /// True while a value chosen or typed has not been written to the field.
    bool isModified() const { return m_modified; }
    /// Shows the field's value again, dropping what was chosen or typed.
    void reset();

signals:
    /// The chosen item or the text changed, other than by setStoredValue() or the field.
    void changed();

protected:
    void baseKeyDown(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void load();
    bool beginEdit();
    int itemForText(const QString &text) const;
    bool bound() const;

    std::unique_ptr<FieldLink> m_link;
    bool m_allowClear = true;
    bool m_readOnly = false;
    bool m_loading = false;
    bool m_modified = false;
};

} // namespace fw::ui
