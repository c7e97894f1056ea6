#pragma once
// version.dll of the simulated Windows: the version record of the installer's own file.

#include "platform/sim/context.h"
#include "platform/sim/world.h"
#include "platform/version.h"

namespace sim {

class SimVersion : public Version {
public:
    SimVersion(Context& context, const World& world) : m_ctx(context), m_world(world) {}

    std::uint32_t GetFileVersionInfoSizeW(const std::u16string& path) override;
    bool GetFileVersionInfoW(const std::u16string& path, std::span<std::byte> block) override;
    bool VerQueryValueW(std::span<const std::byte> block, const std::u16string& subBlock,
                        VsFixedFileInfo& fixedInfo) override;

private:
    bool HasRecord(const std::u16string& path);

    Context& m_ctx;
    const World& m_world;
};

}  // namespace sim
