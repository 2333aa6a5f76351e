// The command buffer and its append operations: a command's bytes as the
// builders write them and the transports send them, with no framing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace korvante {

// An ordered sequence of bytes with no framing: what is sent is exactly its
// content. Built on one thread, then moved whole into a send job.
using CommandBuffer = std::vector<std::uint8_t>;

void AppendByte(CommandBuffer& buffer, std::uint8_t byte);
void AppendBytes(CommandBuffer& buffer, const std::uint8_t* bytes, std::size_t count);
inline void AppendBytes(CommandBuffer& buffer, std::span<const std::uint8_t> bytes) {
  AppendBytes(buffer, bytes.data(), bytes.size());
}

// The characters of a narrow literal, without its terminating zero ("@cnt").
void AppendCString(CommandBuffer& buffer, const char* text);

// Wide text as VISCII, one UTF-16 unit at a time: CR dropped, LF kept, other
// units below 0x80 passed through, mapped letters as their VISCII byte and
// everything else (surrogate halves, combining accents, unmapped letters) '?'.
void AppendViscii(CommandBuffer& buffer, std::u16string_view text);

// The VISCII byte of one code unit at or above 0x80, or '?' when it has none.
std::uint8_t VisciiByte(char16_t unit);

// 1B letter n triples whose n add up to total, 255 at most each; the first
// triple is always appended (total 0 gives one triple with n = 0).
void AppendSplitFeed(CommandBuffer& buffer, char letter, unsigned total);

}  // namespace korvante
