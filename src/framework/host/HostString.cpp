#include "HostString.h"

#include <cstdint>
#include <cstring>

namespace fw::host {

QString fromHostString(HostStringPtr text)
{
    if (text == nullptr)
        return {};
    const auto *bytes = reinterpret_cast<const unsigned char *>(text);
    std::int32_t length = 0;
    std::memcpy(&length, bytes + kLengthOffset, sizeof length);
    if (length <= 0)
        return {};
    return QString::fromUtf16(text, length);
}

} // namespace fw::host
