// Test-only probe: finds the installer's dialog on the desktop and prints what a person sees of
// it, one "key=value" line each, in UTF-8:
//   title=QX Lumenthread Setup 1.36
//   control=1009 enabled=1 checked=0 text=...
//   banner=134            (the banner resource the picture shows, or none)
//   rect=x y width height (the dialog on the screen)
// then "shown", and takes commands on its input (see the end of wmain).
// Usage: probe INSTALL.EXE TIMEOUT_MS
// Exit code: 0 when the dialog was found, 3 when it did not appear within the time, 4 when it
// did not end within it after "watch".

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string Utf8(const std::wstring& text)
{
    if (text.empty()) return {};
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                          nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), bytes,
                        nullptr, nullptr);
    return out;
}

void Print(const std::string& line)
{
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::wstring TextOf(HWND window)
{
    wchar_t buffer[1024] = {};
    SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

HWND FindInstallerDialog()
{
    for (HWND window = FindWindowW(L"#32770", nullptr); window;
         window = FindWindowExW(nullptr, window, L"#32770", nullptr)) {
        if (GetDlgItem(window, 1017) && GetDlgItem(window, 1013)) return window;
    }
    return nullptr;
}

// The 24-bit pixels of a device context's rectangle, top-down.
std::vector<BYTE> Pixels(HDC source, int x, int y, int width, int height)
{
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateCompatibleBitmap(source, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    const int stride = (width * 3 + 3) & ~3;
    std::vector<BYTE> pixels(static_cast<std::size_t>(stride) * height);
    GetDIBits(memory, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return pixels;
}

// Which of the banners 133 to 135 the picture control shows: its centre compared with the
// centre of each bitmap of Install.exe, which the control shows centred.
std::string BannerShown(HWND picture, const wchar_t* installer)
{
    RECT client{};
    GetClientRect(picture, &client);
    POINT origin{0, 0};
    ClientToScreen(picture, &origin);
    const int width = 64, height = 24;
    const int centreX = origin.x + client.right / 2, centreY = origin.y + client.bottom / 2;
    HDC screen = GetDC(nullptr);
    const std::vector<BYTE> shown =
        Pixels(screen, centreX - width / 2, centreY - height / 2, width, height);
    ReleaseDC(nullptr, screen);

    HMODULE module = LoadLibraryExW(installer, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    std::string best = "none";
    double bestDifference = 12.0;  // mean difference per colour byte that still counts as the same
    for (int id = 133; id <= 135; ++id) {
        HBITMAP bitmap =
            static_cast<HBITMAP>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0));
        if (!bitmap) continue;
        BITMAP size{};
        GetObjectW(bitmap, sizeof size, &size);
        HDC memory = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(memory, bitmap);
        const std::vector<BYTE> expected = Pixels(memory, size.bmWidth / 2 - width / 2,
                                                  size.bmHeight / 2 - height / 2, width, height);
        SelectObject(memory, old);
        DeleteDC(memory);
        DeleteObject(bitmap);
        double total = 0;
        for (std::size_t i = 0; i < shown.size(); ++i)
            total += std::abs(int(shown[i]) - int(expected[i]));
        const double difference = total / static_cast<double>(shown.size());
        if (difference < bestDifference) {
            bestDifference = difference;
            best = std::to_string(id);
        }
    }
    if (module) FreeLibrary(module);
    return best;
}

}  // namespace

// One line for each control: its id, whether it is enabled and checked, and its text.
void PrintControls(HWND dialog)
{
    for (HWND control = GetWindow(dialog, GW_CHILD); control;
         control = GetWindow(control, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(control);
        const LRESULT checked = SendMessageW(control, BM_GETCHECK, 0, 0);
        Print(
            "control=" + std::to_string(id) + " enabled=" + (IsWindowEnabled(control) ? "1" : "0") +
            " checked=" + (checked == BST_CHECKED ? "1" : "0") + " text=" + Utf8(TextOf(control)));
    }
}

// A message box the dialog owns, if one is open: its text is printed as "box=..." and it is
// answered with OK, so that an Error box never holds a run until the time is out.
void AnswerMessageBox(HWND dialog)
{
    for (HWND box = FindWindowW(L"#32770", nullptr); box;
         box = FindWindowExW(nullptr, box, L"#32770", nullptr)) {
        if (box == dialog || GetWindow(box, GW_OWNER) != dialog) continue;
        std::wstring text;
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t className[32] = {};
            GetClassNameW(child, className, 32);
            if (std::wstring(className) == L"Static" && !TextOf(child).empty())
                text = TextOf(child);
        }
        Print("box=" + Utf8(text));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        for (int wait = 0; wait < 300 && IsWindow(box); ++wait) Sleep(10);  // at most 3 s
        return;
    }
}

// Waits until the dialog is gone, or the time is out, answering its message boxes.
bool WaitUntilGone(HWND dialog, DWORD start, DWORD timeoutMs)
{
    while (IsWindow(dialog)) {
        if (GetTickCount() - start > timeoutMs) return false;
        AnswerMessageBox(dialog);
        Sleep(10);
    }
    return true;
}

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) {
        Print("usage: probe INSTALL.EXE TIMEOUT_MS");
        return 2;
    }
    const wchar_t* installer = argv[1];
    const DWORD timeoutMs = static_cast<DWORD>(_wtoi(argv[2]));
    Print("ready");

    const DWORD start = GetTickCount();
    HWND dialog = nullptr;
    while (!(dialog = FindInstallerDialog())) {
        if (GetTickCount() - start > timeoutMs) {
            Print("error=no installer dialog appeared");
            return 3;
        }
        Sleep(10);
    }
    Sleep(150);  // let it paint
    RECT frame{};
    GetWindowRect(dialog, &frame);
    Print("title=" + Utf8(TextOf(dialog)));
    Print("rect=" + std::to_string(frame.left) + " " + std::to_string(frame.top) + " " +
          std::to_string(frame.right - frame.left) + " " +
          std::to_string(frame.bottom - frame.top));
    PrintControls(dialog);
    Print("banner=" + BannerShown(GetDlgItem(dialog, 1017), installer));
    Print("shown");

    // Then commands, a line each: "press ID" clicks a control, "enabled ID" waits until that
    // control is enabled and prints the controls again, "watch" waits until the dialog is gone,
    // "quit" (or the end of input) ends the probe.
    char line[64];
    while (std::fgets(line, sizeof line, stdin)) {
        const std::string command(line);
        if (command.rfind("press ", 0) == 0) {
            DWORD_PTR ignored = 0;
            SendMessageTimeoutW(GetDlgItem(dialog, std::atoi(line + 6)), BM_CLICK, 0, 0,
                                SMTO_ABORTIFHUNG, 5000, &ignored);
            Print("pressed");
        } else if (command.rfind("enabled ", 0) == 0) {
            const HWND control = GetDlgItem(dialog, std::atoi(line + 8));
            while (!IsWindowEnabled(control)) {
                AnswerMessageBox(dialog);
                if (GetTickCount() - start > timeoutMs || !IsWindow(dialog)) {
                    Print("error=the control was not enabled in time");
                    return 4;
                }
                Sleep(10);
            }
            PrintControls(dialog);
            Print("enabled");
        } else if (command.rfind("watch", 0) == 0) {
            if (!WaitUntilGone(dialog, start, timeoutMs)) {
                Print("error=the dialog did not end");
                return 4;
            }
            Print("gone");
        } else if (command.rfind("quit", 0) == 0) {
            break;
        }
    }
    return 0;
}
