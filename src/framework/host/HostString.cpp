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
    // Copied code unit for code unit: decoding would drop a leading U+FEFF and
    // byte-swap whatever follows a U+FFFE, and the host's text is not ours to change.
    return QString(reinterpret_cast<const QChar *>(text), length);
}

} // namespace fw::host
