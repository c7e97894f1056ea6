#pragma once
// SetupAPI of the simulated Windows: the device interfaces of the USB bus, and the driver store.

#include "platform/setupapi.h"
#include "platform/sim/sim_kernel.h"
#include "platform/sim/usb_bus.h"

namespace sim {

class SimSetupApi : public SetupApi {
public:
    SimSetupApi(Context& context, const World& world, UsbBus& usb, SimKernel& kernel)
        : m_ctx(context), m_world(world), m_usb(usb), m_kernel(kernel)
    {
    }

    HdevInfo SetupDiGetClassDevsW(const Guid& classGuid, std::uint32_t flags) override
    {
        return m_usb.SetupDiGetClassDevsW(classGuid, flags);
    }
    bool SetupDiEnumDeviceInterfaces(HdevInfo set, const Guid& interfaceClass,
                                     std::uint32_t memberIndex,
                                     SpDeviceInterfaceData& data) override
    {
        return m_usb.SetupDiEnumDeviceInterfaces(set, interfaceClass, memberIndex, data);
    }
    bool SetupDiGetDeviceInterfaceDetailW(HdevInfo set, const SpDeviceInterfaceData& data,
                                          std::span<std::byte> detailBlock,
                                          SpDeviceInterfaceDetailData* detail,
                                          std::uint32_t* requiredBytes) override
    {
        return m_usb.SetupDiGetDeviceInterfaceDetailW(set, data, detailBlock, detail,
                                                      requiredBytes);
    }
    bool SetupDiDestroyDeviceInfoList(HdevInfo set) override
    {
        return m_usb.SetupDiDestroyDeviceInfoList(set);
    }

    // Copies a printer INF (UTF-16LE, with a [Version] section) into the INF folder as the next
    // free oemN.inf, with its .pnf. A missing source fails with ERROR_FILE_NOT_FOUND, one that
    // is not such an INF with ERROR_GENERAL_SYNTAX.
    bool SetupCopyOEMInfW(const std::u16string& sourceInf, std::uint32_t mediaType,
                          std::uint32_t copyStyle, std::uint32_t destinationChars,
                          std::u16string& destinationName) override;

    // How the installer called SetupCopyOEMInfW, each time.
    struct OemInfCall {
        std::u16string sourceInf;
        std::uint32_t mediaType = 0;
        std::uint32_t copyStyle = 0;
    };
    const std::vector<OemInfCall>& OemInfCalls() const { return m_calls; }

    // The INF folder of the driver store.
    static constexpr const char16_t* kInfFolder = u"C:\\Windows\\INF";

private:
    Context& m_ctx;
    const World& m_world;
    UsbBus& m_usb;
    SimKernel& m_kernel;
    std::vector<OemInfCall> m_calls;
};

}  // namespace sim
