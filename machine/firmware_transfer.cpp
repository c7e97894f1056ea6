// Streaming the firmware image of the machine's model to it, in pieces of 2048 bytes.

#include <algorithm>
#include <optional>
#include <span>

#include "app/install_dlg.h"
#include "app/text.h"

namespace {

constexpr std::size_t kPieceBytes = 2048;
// Writes that report success with zero bytes move nothing; after this many in a row the machine
// is taken as refusing the piece.
constexpr int kMaxEmptyWrites = 8;

const char16_t* FirmwareFileName(const MachineIdentity& identity)
{
    return identity.ModelCode() == kModelTarvon ? u"FirmwareTarvon.dos" : u"FirmwareR5100.dos";
}

// A memory block holding a whole file, released when it goes.
class FileImage {
public:
    explicit FileImage(Kernel& kernel) : m_kernel(kernel) {}
    ~FileImage()
    {
        if (m_block) {
            m_kernel.GlobalUnlock(m_block);
            m_kernel.GlobalFree(m_block);
        }
    }
    FileImage(const FileImage&) = delete;
    FileImage& operator=(const FileImage&) = delete;

    // Reads the whole file. An image that cannot be held or read whole stays empty: nothing of
    // it is sent, so the machine never gets a cut or garbled image.
    void Load(const std::u16string& path)
    {
        const Handle file = m_kernel.CreateFileW(path, kGenericRead, kFileShareRead, kOpenExisting,
                                                 kFileAttributeNormal);
        if (file == kInvalidHandle) return;
        std::uint32_t sizeHigh = 0;
        const std::uint32_t size = m_kernel.GetFileSize(file, &sizeHigh);
        const bool sizeKnown =
            !(size == kInvalidFileSize && m_kernel.GetLastError() != kErrorSuccess);
        if (sizeKnown && sizeHigh == 0 && size > 0) {
            m_block = m_kernel.GlobalAlloc(kGptr, size);
            if (m_block) {
                const std::span<std::byte> bytes = m_kernel.GlobalLock(m_block);
                std::uint32_t read = 0;
                if (bytes.size() >= size && m_kernel.ReadFile(file, bytes.first(size), read) &&
                    read == size)
                    m_image = bytes.first(size);
            }
        }
        m_kernel.CloseHandle(file);
    }

    std::span<const std::byte> Bytes() const { return m_image; }

private:
    Kernel& m_kernel;
    Hglobal m_block;
    std::span<const std::byte> m_image;
};

}  // namespace

void CInstallDlg::TransferFirmware()
{
    Kernel& kernel = m_windows.kernel;
    std::u16string path;
    const std::uint32_t directoryLength = kernel.GetCurrentDirectoryW(kMaxPath, path);
    const bool directoryRead = directoryLength > 0 && directoryLength < kMaxPath;

    MachineIdentity identity;
    // No image is chosen for a machine that did not say which model it is.
    if (!QueryMachineIdentity(identity) || !directoryRead) return;
    path = InFolder(path, FirmwareFileName(identity));
    if (path.size() >= kMaxPath) return;  // it would not fit the path buffer

    FileImage image(kernel);
    image.Load(path);
    const std::span<const std::byte> bytes = image.Bytes();

    // One write of the given bytes: how many the machine took, or none after an Error box.
    // A write that takes nothing is tried again, within a bound.
    const Handle machine = OpenMachine();
    const auto writeOnce = [&](std::span<const std::byte> part) -> std::optional<std::size_t> {
        for (int attempt = 0; attempt < kMaxEmptyWrites; ++attempt) {
            std::uint32_t written = 0;
            if (!kernel.WriteFile(machine, part, written)) {
                ErrorBox(u"WriteFile error", kernel.GetLastError());
                return std::nullopt;
            }
            if (written > 0) return std::min<std::size_t>(written, part.size());
        }
        kernel.SetLastError(kErrorWriteFault);
        ErrorBox(u"WriteFile error", kernel.GetLastError());
        return std::nullopt;
    };

    // Pieces of 2048 bytes while more than that remains; a failed piece ends them.
    std::size_t offset = 0;
    while (bytes.size() - offset > kPieceBytes) {
        const std::optional<std::size_t> taken = writeOnce(bytes.subspan(offset, kPieceBytes));
        if (!taken) break;
        offset += *taken;
    }
    // Then what remains in one write, again after a failed piece; should the machine take only
    // part of it, the rest follows rather than being lost without a word.
    while (offset < bytes.size()) {
        const std::optional<std::size_t> taken = writeOnce(bytes.subspan(offset));
        if (!taken) break;
        offset += *taken;
    }
    if (machine) kernel.CloseHandle(machine);
}
