#pragma once
#include <QString>

namespace fw::ui {

/// The one way non-visual code talks to the user. Data sets, the data module,
/// the key sender and the error guard call `dialogs()`; they never build a
/// message box themselves. The entry points install the module's own dialogs
/// (the "Aviso" window for warnings) for the length of a call; tests install a
/// recorder. Every call is modal and returns when the user has answered.
class Dialogs
{
public:
    virtual ~Dialogs() = default;

    /// A plain message with a single OK button, captioned with the application's name.
    virtual void inform(const QString &text) = 0;
    /// The module's warning ("Aviso"). True when the user closed it with its accept button.
    virtual bool warn(const QString &text) = 0;
    /// A question with Yes and No (Yes is the default button). True for Yes.
    virtual bool confirm(const QString &text, const QString &caption) = 0;
    /// An error message with a warning sign and a single OK button.
    virtual void error(const QString &text, const QString &caption) = 0;
};

/// Plain message boxes. Without a widget application there is nobody to ask:
/// the text goes to standard error so it is not lost, and questions answer No.
class MessageBoxDialogs : public Dialogs
{
public:
    void inform(const QString &text) override;
    bool warn(const QString &text) override;
    bool confirm(const QString &text, const QString &caption) override;
    void error(const QString &text, const QString &caption) override;
};

/// The dialogs in use: the ones installed, otherwise plain message boxes.
Dialogs &dialogs();

/// Installs `dialogs` (not owned) for as long as the object lives, then puts
/// back what was installed before.
class ScopedDialogs
{
public:
    explicit ScopedDialogs(Dialogs &dialogs);
    ~ScopedDialogs();
    ScopedDialogs(const ScopedDialogs &) = delete;
    ScopedDialogs &operator=(const ScopedDialogs &) = delete;

private:
    Dialogs *m_previous;
};

} // namespace fw::ui
