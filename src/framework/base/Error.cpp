#include "framework/base/Error.h"

#include <algorithm>

namespace fw {

Error::Error(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}

DatabaseError::DatabaseError(QString message, std::vector<long> gdsCodes, QString sqlState, int sqlCode)
    : Error(std::move(message)), m_gdsCodes(std::move(gdsCodes)), m_sqlState(std::move(sqlState)), m_sqlCode(sqlCode)
{
}

bool DatabaseError::hasGdsCode(long code) const noexcept
{
    return std::find(m_gdsCodes.begin(), m_gdsCodes.end(), code) != m_gdsCodes.end();
}

const char *Abort::what() const noexcept
{
    return "Operación cancelada";
}

} // namespace fw
