// Streaming a 64 MiB firmware image through the simulated machine, against plain copying of the
// same bytes: the file read into one block, then copied out in pieces of 2048 bytes. Both run in
// the same iteration, so the ratio compares like with like on the same machine and moment.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

#include "app/install_app.h"
#include "app/install_dlg.h"
#include "simulator/installer_run.h"

namespace {

constexpr std::size_t kImageBytes = 64u * 1024 * 1024;
constexpr std::size_t kPieceBytes = 2048;

sim::World WorldWithImage()
{
    sim::World world;
    world.machine.emplace();
    world.installerPath = u"C:\\Kit\\Driver\\Install.exe";
    sim::FileSetup image{
        u"C:\\Kit\\FirmwareR5100.dos", std::vector<std::byte>(kImageBytes), {}, false};
    for (std::size_t i = 0; i < kImageBytes; ++i) image.bytes[i] = std::byte((i * 131) >> 7);
    world.files.push_back(std::move(image));
    return world;
}

double Seconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

void FirmwareStreaming64MiB(benchmark::State& state)
{
    const sim::World world = WorldWithImage();
    const std::vector<std::byte>& file = world.files[0].bytes;
    std::array<std::byte, kPieceBytes> piece{};
    std::vector<double> ratios;
    std::uint64_t peakBytes = 0;
    for (auto _ : state) {
        // Copying: the file into a fresh zero-filled block, as the installer holds it, then out
        // in pieces.
        auto start = std::chrono::steady_clock::now();
        std::vector<std::byte> block(kImageBytes);
        std::memcpy(block.data(), file.data(), kImageBytes);
        for (std::size_t at = 0; at < kImageBytes; at += kPieceBytes) {
            std::memcpy(piece.data(), block.data() + at, kPieceBytes);
            benchmark::DoNotOptimize(piece.data());
        }
        const double copying = Seconds(std::chrono::steady_clock::now() - start);

        // Streaming: the installer's transfer over the simulated Windows and machine.
        sim::SimWindows windows(world, InstallerResources());
        windows.kernel.SetCurrentDirectoryW(u"C:\\Kit");
        CInstallApp app;
        CInstallDlg dlg(windows.windows, nullptr);
        start = std::chrono::steady_clock::now();
        dlg.TransferFirmware();
        const double took = Seconds(std::chrono::steady_clock::now() - start);
        ratios.push_back(took / copying);
        state.SetIterationTime(took);
        if (windows.MachineModel().FirmwareBytes() != kImageBytes) {
            state.SkipWithError("the machine did not get the whole image");
            return;
        }
        peakBytes = std::max<std::uint64_t>(
            peakBytes, windows.kernel.PeakMemoryBlockBytes() +
                           windows.MachineModel().Firmware().size() + kPieceBytes);
    }
    // The median of the iterations' ratios: page faults make single runs noisy.
    std::ranges::sort(ratios);
    state.counters["ratio_to_copying"] = ratios[ratios.size() / 2];
    state.counters["peak_MiB_over_image"] =
        static_cast<double>(peakBytes - kImageBytes) / (1024.0 * 1024.0);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kImageBytes));
}
BENCHMARK(FirmwareStreaming64MiB)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(21);

}  // namespace
