#pragma once
#include "framework/db/DataSource.h"
#include "framework/ui/FieldText.h"
#include "framework/ui/KeyHooks.h"

#include <QLineEdit>
#include <QPointer>

#include <functional>
#include <memory>

namespace fw::ui {

/// Follows one field of a data source for a control: calls back when the
/// field's value may have changed, when editing starts or stops, and when the
/// data set is about to post (the control then writes its pending value).
class FieldLink : public DataLink
{
public:
    QString fieldName;
    std::function<void()> onLoad;         ///< reread the field
    std::function<void()> onEditingChanged;
    std::function<void()> onWrite;        ///< write the pending value now

    /// The bound field while the data set is open; null otherwise.
    Field *field() const;
    /// True when a value typed now could reach the field.
    bool canModify() const;

protected:
    void activeChanged(bool) override;
    void dataSetChanged() override;
    void dataSetScrolled() override;
    void recordChanged(Field *field) override;
    void editingChanged(bool) override;
    void updateData() override;
    void layoutChanged() override;

private:
    void load() const;
};

/// A single-line edit bound to one field of a data source. It shows the
/// field's editing text (Field::text()) while focused and editable, and its
/// display text otherwise, both through the field's get-text handler. Typing
/// puts the data set into edit mode (when the source allows it) and the text
/// is written to the field when the focus leaves or the data set posts.
/// Without a data source it is a plain edit.
class DataEdit : public KeyHooked<QLineEdit>
{
    Q_OBJECT
public:
    explicit DataEdit(QWidget *parent = nullptr);
    ~DataEdit() override;

    DataSource *dataSource() const;
    void setDataSource(DataSource *source);
    QString dataField() const;
    void setDataField(const QString &name);
    Field *field() const;

    /// The edit's own read-only setting; it is also read-only while the field cannot be changed.
    bool isReadOnly() const { return m_ownReadOnly; }
    void setReadOnly(bool readOnly);

    /// Writes a changed text to the field now.
    void updateRecord();
    /// Shows the field's value again, dropping what was typed.
    void reset();

protected:
    void baseKeyDown(QKeyEvent *event) override;
    /// A typed character: the base refuses characters the field cannot take,
    /// then runs the owner's handler.
    void keyPress(QString &text) override;

    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void load();
    void applyReadOnly();
    bool beginEdit();

    std::unique_ptr<FieldLink> m_link;
    bool m_ownReadOnly = false;
    bool m_loading = false;
};

} // namespace fw::ui
