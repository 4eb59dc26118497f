#pragma once
#include <QString>

namespace fw::host {

/// The host passes its strings as one pointer to the first UTF-16 code unit of a
/// reference-counted string; the header lies just before it: code page (16 bit,
/// 1200) at -12, element size (16 bit, 2) at -10, reference count (32 bit) at -8
/// and length in code units (32 bit) at -4. A null pointer is the empty string.
/// The library only reads the string during the call and copies it out: it never
/// frees it, never changes its reference count and never keeps the pointer.
using HostStringPtr = const char16_t *;

QString fromHostString(HostStringPtr text);

/// Layout offsets, shared with the host stand-in that builds such strings.
inline constexpr int kLengthOffset = -4;
inline constexpr int kRefCountOffset = -8;
inline constexpr int kElemSizeOffset = -10;
inline constexpr int kCodePageOffset = -12;
inline constexpr int kHeaderSize = 12;

} // namespace fw::host
