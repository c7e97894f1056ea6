#pragma once
// Reading the machine's replies: a reply is accepted by the tag before its first ';' among its
// first ten bytes, and its fields are the last bytes of the four-byte groups after that ';'.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

inline constexpr std::size_t kReplyBufferBytes = 260;

// The position of the ';' that ends the tag, when the text before it (up to a zero byte) holds
// the tag, exactly so. None for a refused reply, also one without a ';' in its first ten bytes.
std::optional<std::size_t> AcceptedTagEnd(std::span<const std::byte, kReplyBufferBytes> reply,
                                          std::string_view tag);

// The byte taken from group n (0 to 6) of an accepted reply: the last of its four bytes.
std::uint8_t GroupByte(std::span<const std::byte, kReplyBufferBytes> reply, std::size_t tagEnd,
                       std::size_t group);
