#pragma once
#include <QByteArray>
#include <QString>

#include <exception>
#include <vector>

namespace fw {

/// Base of every error the framework raises. `message()` is the text a user
/// sees; `what()` gives the same text in UTF-8.
class Error : public std::exception
{
public:
    explicit Error(QString message);
    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

/// An error reported by the Firebird client or server. `message()` is
/// Firebird's own formatted status text; the gds codes come in status order.
class DatabaseError : public Error
{
public:
    DatabaseError(QString message, std::vector<long> gdsCodes, QString sqlState, int sqlCode);

    /// Every isc/gds code of the status vector, outermost first.
    const std::vector<long> &gdsCodes() const noexcept { return m_gdsCodes; }
    /// The first gds code (0 when there is none).
    long gdsCode() const noexcept { return m_gdsCodes.empty() ? 0 : m_gdsCodes.front(); }
    bool hasGdsCode(long code) const noexcept;
    /// Five-character SQLSTATE, empty when the server sent none.
    const QString &sqlState() const noexcept { return m_sqlState; }
    /// Legacy SQLCODE derived from the status vector.
    int sqlCode() const noexcept { return m_sqlCode; }

private:
    std::vector<long> m_gdsCodes;
    QString m_sqlState;
    int m_sqlCode;
};

/// The silent exception: thrown from a before-step handler it cancels that
/// step without a message. It is deliberately not an fw::Error, so handlers that
/// show fw::Error texts do not swallow it; window guards must let it pass quietly.
class Abort : public std::exception
{
public:
    const char *what() const noexcept override;
};

} // namespace fw
