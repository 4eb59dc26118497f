#pragma once
// Builds strings in the host's own layout; used by the host stand-in and the tests.
#include "framework/host/HostString.h"

#include <QString>

#include <cstdint>
#include <cstring>
#include <vector>

namespace norvik {

class HostString
{
public:
    /// `length` < 0 means the whole text; a shorter length leaves the rest of
    /// the text after the counted code units, as garbage the reader must ignore.
    explicit HostString(const QString &text, int length = -1)
    {
        const int n = length < 0 ? int(text.size()) : length;
        m_buffer.resize(fw::host::kHeaderSize + (text.size() + 1) * 2, 0);
        unsigned char *base = m_buffer.data() + fw::host::kHeaderSize;
        const std::uint16_t codePage = 1200, elemSize = 2;
        const std::int32_t refCount = 1, len = n;
        std::memcpy(base + fw::host::kCodePageOffset, &codePage, 2);
        std::memcpy(base + fw::host::kElemSizeOffset, &elemSize, 2);
        std::memcpy(base + fw::host::kRefCountOffset, &refCount, 4);
        std::memcpy(base + fw::host::kLengthOffset, &len, 4);
        std::memcpy(base, text.utf16(), text.size() * 2);
    }
    fw::host::HostStringPtr get() const
    {
        return reinterpret_cast<fw::host::HostStringPtr>(m_buffer.data() + fw::host::kHeaderSize);
    }
    int refCount() const
    {
        std::int32_t r = 0;
        std::memcpy(&r, m_buffer.data() + fw::host::kHeaderSize + fw::host::kRefCountOffset, 4);
        return r;
    }

private:
    std::vector<unsigned char> m_buffer;
};

} // namespace norvik
