#pragma once
// Builds strings in the host's own layout, written down here on its own (not
// taken from the plug-in's reader), so a reader that got an offset wrong would
// fail the tests instead of agreeing with itself:
//   [-12] code page, 16 bits (1200: UTF-16)
//   [-10] element size, 16 bits (2)
//   [ -8] reference count, 32 bits
//   [ -4] length in UTF-16 code units, 32 bits
//   [  0] the code units, then a terminating 0
// The string is passed as the address of its first code unit.
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
        const std::int32_t counted = length < 0 ? std::int32_t(text.size()) : std::int32_t(length);
        const std::uint16_t codePage = 1200, elementSize = 2;
        const std::int32_t references = 1;
        m_buffer.resize(kHeader + (std::size_t(text.size()) + 1) * 2, 0);
        unsigned char *p = m_buffer.data();
        std::memcpy(p + 0, &codePage, 2);
        std::memcpy(p + 2, &elementSize, 2);
        std::memcpy(p + 4, &references, 4);
        std::memcpy(p + 8, &counted, 4);
        std::memcpy(p + kHeader, text.utf16(), std::size_t(text.size()) * 2);
    }
    /// A string whose stored length is `stored` whatever the text holds: a
    /// damaged or hostile length (0, negative) the reader must survive.
    static HostString withStoredLength(const QString &text, std::int32_t stored)
    {
        HostString s(text);
        std::memcpy(s.m_buffer.data() + 8, &stored, 4);
        return s;
    }
    /// The pointer the host passes: the first code unit.
    const char16_t *get() const { return reinterpret_cast<const char16_t *>(m_buffer.data() + kHeader); }
    int refCount() const
    {
        std::int32_t r = 0;
        std::memcpy(&r, m_buffer.data() + 4, 4);
        return r;
    }

private:
    static constexpr std::size_t kHeader = 12;
    std::vector<unsigned char> m_buffer;
};

} // namespace norvik
