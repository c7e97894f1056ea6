#pragma once

#include <array>
#include <cstdint>

// The seven values of the machine's identification reply; value 4 is the model code.
struct MachineIdentity {
    std::array<std::uint32_t, 7> values{};

    static constexpr std::size_t kModelCode = 4;
    std::uint32_t ModelCode() const { return values[kModelCode]; }
};

// The model code of the Tarvon model; every other code is an R5100.
inline constexpr std::uint32_t kModelTarvon = 4;
