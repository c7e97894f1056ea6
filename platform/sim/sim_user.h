#pragma once
// user32 of the simulated Windows: the installer's dialog as a model that records every change a
// person could see, its modal loop driven by a script of inputs, one-shot timers on the virtual
// clock, and message boxes that a simulated person reads and answers.

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/dialog_template.h"
#include "platform/sim/context.h"
#include "platform/sim/world.h"
#include "platform/user.h"

namespace sim {

// The resources of the program's file that user32 can load.
struct ProgramResources {
    std::map<int, const DialogTemplate*> dialogs;
    std::set<int> bitmaps;
    std::set<int> icons;
};

// Something a person does to the dialog, at a virtual time.
struct DialogInput {
    enum class Kind {
        Press,     // click a control (ignored while it or the dialog is disabled)
        Close,     // the system menu's Close, or Escape: Cancel, while Cancel is enabled
        Enter,     // the Enter key: the focused push button, or IDOK when none has the focus
        Answer,    // press OK in the message box open at that time (or the next one to open)
        Minimise,  // minimise the window, which repaints it as an icon
        Restore,
        Call,  // run a test's own step between two messages
    };
    std::uint64_t atMs = 0;
    Kind kind = Kind::Press;
    int control = 0;
    std::function<void()> call;
};

class SimUser : public User {
public:
    struct Control {
        int id = 0;
        ControlKind kind = ControlKind::StaticText;
        Hwnd hwnd;
        std::u16string text;
        bool enabled = true;
        bool checked = false;
        bool tabStop = false;
        int imageId = 0;  // the bitmap resource a picture shows, 0 for none
    };
    struct Dialog {
        Hwnd hwnd;
        int templateId = 0;
        Rect clientRect;
        std::u16string title;
        std::vector<Control> controls;
        bool open = true;    // the window exists
        bool ended = false;  // EndDialog was called
        std::intptr_t result = 0;
        bool iconic = false;
        int focus = 0;  // id of the control with the keyboard focus, 0 for none
        Hicon bigIcon, smallIcon;
    };

    SimUser(Context& context, const World& world, ProgramResources resources);

    void Queue(DialogInput input);

    // The last dialog shown, open or ended.
    const Dialog* LastDialog() const { return m_dialog ? &*m_dialog : nullptr; }
    const Control* FindControl(int id) const;
    bool TimerPending(std::uintptr_t eventId) const;
    int MessageBoxesShown() const { return m_boxesShown; }

    std::intptr_t DialogBoxParamW(Hmodule module, int templateId, Hwnd parent,
                                  DialogProcedure& procedure) override;
    bool EndDialog(Hwnd dialog, std::intptr_t result) override;
    Hwnd GetDlgItem(Hwnd dialog, int controlId) override;
    bool SetWindowTextW(Hwnd window, const std::u16string& text) override;
    std::u16string GetWindowTextW(Hwnd window) override;
    bool EnableWindow(Hwnd window, bool enable) override;
    bool IsWindowEnabled(Hwnd window) override;
    bool CheckDlgButton(Hwnd dialog, int controlId, std::uint32_t check) override;
    std::uint32_t IsDlgButtonChecked(Hwnd dialog, int controlId) override;
    std::intptr_t SendMessageW(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                               std::intptr_t lParam) override;
    std::uintptr_t SetTimer(Hwnd window, std::uintptr_t eventId, std::uint32_t elapseMs) override;
    bool KillTimer(Hwnd window, std::uintptr_t eventId) override;
    int MessageBoxW(Hwnd owner, const std::u16string& text, const std::u16string& caption,
                    std::uint32_t type) override;
    Hbitmap LoadImageW(Hmodule module, int resourceId, std::uint32_t type, int cx, int cy,
                       std::uint32_t flags) override;
    Hicon LoadIconW(Hmodule module, int resourceId) override;
    bool IsIconic(Hwnd window) override;
    bool GetClientRect(Hwnd window, Rect& rect) override;
    int GetSystemMetrics(int index) override;
    Hdc BeginPaint(Hwnd window, PaintStruct& paint) override;
    bool EndPaint(Hwnd window, const PaintStruct& paint) override;
    bool DrawIcon(Hdc dc, int x, int y, Hicon icon) override;
    std::uint32_t WaitForInputIdle(Handle process, std::uint32_t timeoutMs) override;

    // Answers WaitForInputIdle from the processes of the simulated kernel.
    std::function<std::uint32_t(Handle, std::uint32_t)> waitForInputIdle;

private:
    struct Timer {
        std::uintptr_t id = 0;
        std::uint64_t dueMs = 0;
        std::uint64_t armedMs = 0;
    };
    struct Next {
        std::uint64_t atMs = 0;
        std::optional<DialogInput> input;
        std::uintptr_t timerId = 0;
    };

    Control* ControlOf(Hwnd window);
    Control* ControlById(int id);
    bool IsDialog(Hwnd window) const;
    std::optional<Next> NextTimer() const;
    std::optional<Next> NextInput() const;
    void FireTimer(std::uintptr_t eventId);
    void Deliver(const DialogInput& input);
    void Click(Control& control);
    std::intptr_t Send(std::uint32_t message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
    bool DuringMessageBox(std::uint64_t timeMs) const;

    Context& m_ctx;
    const World& m_world;
    ProgramResources m_resources;
    std::optional<Dialog> m_dialog;
    DialogProcedure* m_procedure = nullptr;
    std::vector<DialogInput> m_inputs;  // in time order
    std::size_t m_nextInput = 0;
    std::vector<std::uint64_t> m_answers;  // times of scripted answers to message boxes
    std::vector<Timer> m_timers;           // in arming order
    std::vector<std::pair<std::uint64_t, std::uint64_t>> m_boxSpans;
    int m_boxesShown = 0;
};

}  // namespace sim
