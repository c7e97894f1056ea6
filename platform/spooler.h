#pragma once
// winspool: the print spooler's ports.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/types.h"

// PORT_INFO_1: a port's name. In a 32-bit program each record takes a 4-byte pointer, and its
// name is stored behind the records, terminator included.
struct PortInfo1 {
    std::u16string pName;
};

inline std::uint32_t PortInfo1Bytes(const std::vector<PortInfo1>& ports)
{
    std::uint32_t bytes = 0;
    for (const PortInfo1& port : ports)
        bytes += 4 + 2 * static_cast<std::uint32_t>(port.pName.size() + 1);
    return bytes;
}

class Spooler {
public:
    virtual ~Spooler() = default;

    // EnumPortsW for the local machine at level 1, into the caller's block. With a block too
    // small (none at all, to learn the size), fails with ERROR_INSUFFICIENT_BUFFER and reports
    // the bytes needed. The ports read are handed back in ports.
    virtual bool EnumPortsW(std::uint32_t level, std::span<std::byte> buffer,
                            std::vector<PortInfo1>& ports, std::uint32_t& bytesNeeded,
                            std::uint32_t& returned) = 0;
};
