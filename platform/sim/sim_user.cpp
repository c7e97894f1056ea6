#include "platform/sim/sim_user.h"

#include <algorithm>

namespace sim {

namespace {

constexpr std::uint32_t kErrorControlIdNotFound = 1421;
constexpr std::uint32_t kErrorResourceNameNotFound = 1814;
constexpr std::uintptr_t kDialogHwnd = 0x10010;
constexpr std::uintptr_t kFirstControlHwnd = 0x10100;
constexpr std::uintptr_t kBitmapBase = 0x20000;
constexpr std::uintptr_t kIconBase = 0x30000;
constexpr std::uintptr_t kPaintDc = 0x40000;
// Dialog base units of MS Sans Serif at 8 points on a 96-dpi screen.
constexpr int kBaseUnitX = 6;
constexpr int kBaseUnitY = 13;

std::string ControlLabel(const SimUser::Control& control)
{
    return control.text.empty() ? "control " + std::to_string(control.id) : Utf8(control.text);
}

}  // namespace

SimUser::SimUser(Context& context, const World& world, ProgramResources resources)
    : m_ctx(context), m_world(world), m_resources(std::move(resources))
{
}

void SimUser::Queue(DialogInput input)
{
    if (input.kind == DialogInput::Kind::Answer) {
        m_answers.insert(std::ranges::upper_bound(m_answers, input.atMs), input.atMs);
        return;
    }
    const auto at =
        std::ranges::upper_bound(m_inputs.begin() + static_cast<std::ptrdiff_t>(m_nextInput),
                                 m_inputs.end(), input.atMs, {}, &DialogInput::atMs);
    m_inputs.insert(at, std::move(input));
}

const SimUser::Control* SimUser::FindControl(int id) const
{
    if (!m_dialog) return nullptr;
    const auto it = std::ranges::find(m_dialog->controls, id, &Control::id);
    return it == m_dialog->controls.end() ? nullptr : &*it;
}

SimUser::Control* SimUser::ControlById(int id)
{
    return const_cast<Control*>(FindControl(id));
}

SimUser::Control* SimUser::ControlOf(Hwnd window)
{
    if (!m_dialog || !m_dialog->open) return nullptr;
    const auto it = std::ranges::find(m_dialog->controls, window, &Control::hwnd);
    return it == m_dialog->controls.end() ? nullptr : &*it;
}

bool SimUser::IsDialog(Hwnd window) const
{
    return m_dialog && m_dialog->open && window == m_dialog->hwnd;
}

bool SimUser::TimerPending(std::uintptr_t eventId) const
{
    return std::ranges::find(m_timers, eventId, &Timer::id) != m_timers.end();
}

std::intptr_t SimUser::DialogBoxParamW(Hmodule module, int templateId, Hwnd,
                                       DialogProcedure& procedure)
{
    const auto found = m_resources.dialogs.find(templateId);
    if (module != kProgramModule || found == m_resources.dialogs.end() ||
        m_world.missingResources.contains(templateId)) {
        m_ctx.lastError = kErrorResourceNameNotFound;
        m_ctx.log.Add("dialog", "template " + std::to_string(templateId) + " not found");
        return -1;
    }
    const DialogTemplate& tmpl = *found->second;
    Dialog dialog;
    dialog.hwnd = Hwnd{kDialogHwnd};
    dialog.templateId = templateId;
    dialog.clientRect = {0, 0, tmpl.cx * kBaseUnitX / 4, tmpl.cy * kBaseUnitY / 8};
    dialog.title = tmpl.caption;
    for (std::size_t i = 0; i < tmpl.controls.size(); ++i) {
        const ControlTemplate& c = tmpl.controls[i];
        Control control;
        control.id = c.id;
        control.kind = c.kind;
        control.hwnd = Hwnd{kFirstControlHwnd + 4 * i};
        if (c.kind == ControlKind::StaticPicture)
            control.imageId = std::stoi(Utf8(c.text));
        else
            control.text = c.text;
        control.tabStop = c.IsTabStop();
        dialog.controls.push_back(std::move(control));
    }
    m_dialog = std::move(dialog);
    m_procedure = &procedure;
    m_timers.clear();
    m_ctx.log.Add("dialog", "shown: \"" + Utf8(m_dialog->title) + "\"");

    if (Send(kWmInitDialog) != 0) {
        const auto first = std::ranges::find_if(
            m_dialog->controls, [](const Control& c) { return c.tabStop && c.enabled; });
        m_dialog->focus = first == m_dialog->controls.end() ? 0 : first->id;
    }

    bool stopped = false;
    while (!m_dialog->ended) {
        const std::optional<Next> next = NextInput();
        if (!next || next->atMs > m_world.limitMs) {
            m_ctx.log.Add("simulation", next ? "time limit reached, the dialog is still open"
                                             : "nothing more happens, the dialog is still open");
            stopped = true;
            break;
        }
        m_ctx.clock.AdvanceTo(next->atMs);
        if (next->input) {
            ++m_nextInput;
            Deliver(*next->input);
        } else {
            FireTimer(next->timerId);
        }
    }

    const std::intptr_t result = stopped ? -1 : m_dialog->result;
    m_timers.clear();
    m_procedure = nullptr;
    m_dialog->open = false;
    if (!stopped)
        m_ctx.log.Add("dialog", result == kIdOk       ? "ended with OK"
                                : result == kIdCancel ? "ended with Cancel"
                                                      : "ended with " + std::to_string(result));
    return result;
}

std::optional<SimUser::Next> SimUser::NextTimer() const
{
    std::optional<Next> next;
    for (const Timer& timer : m_timers)
        if (!next || timer.dueMs < next->atMs) next = Next{timer.dueMs, std::nullopt, timer.id};
    return next;
}

std::optional<SimUser::Next> SimUser::NextInput() const
{
    std::optional<Next> next = NextTimer();
    // Input comes before a timer due at the same time, as WM_TIMER does on Windows.
    if (m_nextInput < m_inputs.size()) {
        const DialogInput& input = m_inputs[m_nextInput];
        const std::uint64_t at = std::max(input.atMs, m_ctx.clock.Now());
        if (!next || at <= next->atMs) next = Next{at, input, 0};
    }
    return next;
}

void SimUser::FireTimer(std::uintptr_t eventId)
{
    // A timer goes on firing at its interval until it is killed.
    const auto timer = std::ranges::find(m_timers, eventId, &Timer::id);
    const std::uint64_t interval = timer->dueMs - timer->armedMs;
    timer->armedMs = m_ctx.clock.Now();
    timer->dueMs = timer->armedMs + interval;
    Send(kWmTimer, eventId);
}

bool SimUser::DuringMessageBox(std::uint64_t timeMs) const
{
    return std::ranges::any_of(m_boxSpans, [timeMs](const auto& span) {
        return span.first <= timeMs && timeMs < span.second;
    });
}

void SimUser::Deliver(const DialogInput& input)
{
    using Kind = DialogInput::Kind;
    if (input.kind == Kind::Call) {
        input.call();
        return;
    }
    if (DuringMessageBox(input.atMs)) {
        m_ctx.log.Add("ignored", "input while a message box was open");
        return;
    }
    switch (input.kind) {
        case Kind::Press: {
            Control* control = ControlById(input.control);
            if (!control) {
                m_ctx.log.Add("ignored",
                              "press on missing control " + std::to_string(input.control));
            } else if (!control->enabled) {
                m_ctx.log.Add("ignored", "press on disabled " + ControlLabel(*control),
                              control->id);
            } else {
                Click(*control);
            }
            break;
        }
        case Kind::Close: {
            Control* cancel = ControlById(kIdCancel);
            if (cancel && cancel->enabled) {
                m_ctx.log.Add("press", "Close");
                Send(kWmCommand, kIdCancel);
            } else {
                m_ctx.log.Add("ignored", "Close while Cancel is disabled");
            }
            break;
        }
        case Kind::Enter: {
            Control* focused = ControlById(m_dialog->focus);
            if (focused && focused->kind == ControlKind::PushButton && focused->enabled) {
                Click(*focused);
            } else {
                m_ctx.log.Add("press", "Enter with no button focused: IDOK");
                Send(kWmCommand, kIdOk);
            }
            break;
        }
        case Kind::Minimise:
        case Kind::Restore:
            m_dialog->iconic = input.kind == Kind::Minimise;
            m_ctx.log.Add("window", m_dialog->iconic ? "minimised" : "restored");
            Send(kWmPaint);
            break;
        default: break;
    }
}

void SimUser::Click(Control& control)
{
    m_ctx.log.Add("press", ControlLabel(control), control.id);
    if (control.kind == ControlKind::PushButton) m_dialog->focus = control.id;
    Send(kWmCommand, (std::uintptr_t{kBnClicked} << 16) | static_cast<std::uint16_t>(control.id),
         static_cast<std::intptr_t>(control.hwnd.value));
}

std::intptr_t SimUser::Send(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    std::intptr_t result = 0;
    if (m_procedure) m_procedure->OnDialogMessage(m_dialog->hwnd, message, wParam, lParam, result);
    return result;
}

bool SimUser::EndDialog(Hwnd dialog, std::intptr_t result)
{
    if (!IsDialog(dialog)) return m_ctx.Fail(kErrorInvalidWindowHandle);
    m_dialog->ended = true;
    m_dialog->result = result;
    return true;
}

Hwnd SimUser::GetDlgItem(Hwnd dialog, int controlId)
{
    if (!IsDialog(dialog)) return m_ctx.Fail(kErrorInvalidWindowHandle), Hwnd{};
    const Control* control = FindControl(controlId);
    if (!control) return m_ctx.Fail(kErrorControlIdNotFound), Hwnd{};
    return control->hwnd;
}

bool SimUser::SetWindowTextW(Hwnd window, const std::u16string& text)
{
    if (IsDialog(window)) {
        if (m_dialog->title != text) m_ctx.log.Add("title", Utf8(text));
        m_dialog->title = text;
        return true;
    }
    Control* control = ControlOf(window);
    if (!control) return m_ctx.Fail(kErrorInvalidWindowHandle);
    if (control->text != text) m_ctx.log.Add("caption", Utf8(text), control->id);
    control->text = text;
    return true;
}

std::u16string SimUser::GetWindowTextW(Hwnd window)
{
    if (IsDialog(window)) return m_dialog->title;
    const Control* control = ControlOf(window);
    if (!control) return m_ctx.Fail(kErrorInvalidWindowHandle), std::u16string();
    return control->text;
}

bool SimUser::EnableWindow(Hwnd window, bool enable)
{
    Control* control = ControlOf(window);
    if (!control) return m_ctx.Fail(kErrorInvalidWindowHandle);
    const bool wasDisabled = !control->enabled;
    if (control->enabled != enable)
        m_ctx.log.Add(enable ? "enable" : "disable", ControlLabel(*control), control->id);
    control->enabled = enable;
    // A window that is disabled loses the keyboard focus.
    if (!enable && m_dialog->focus == control->id) m_dialog->focus = 0;
    return wasDisabled;
}

bool SimUser::IsWindowEnabled(Hwnd window)
{
    const Control* control = ControlOf(window);
    return control && control->enabled;
}

bool SimUser::CheckDlgButton(Hwnd dialog, int controlId, std::uint32_t check)
{
    if (!IsDialog(dialog)) return m_ctx.Fail(kErrorInvalidWindowHandle);
    Control* control = ControlById(controlId);
    if (!control) return m_ctx.Fail(kErrorControlIdNotFound);
    const bool checked = check == kBstChecked;
    if (control->checked != checked)
        m_ctx.log.Add(checked ? "check" : "uncheck", ControlLabel(*control), control->id);
    control->checked = checked;
    return true;
}

std::uint32_t SimUser::IsDlgButtonChecked(Hwnd dialog, int controlId)
{
    const Control* control = IsDialog(dialog) ? FindControl(controlId) : nullptr;
    return control && control->checked ? kBstChecked : kBstUnchecked;
}

std::intptr_t SimUser::SendMessageW(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                                    std::intptr_t lParam)
{
    if (message == kStmSetImage) {
        Control* picture = ControlOf(window);
        if (!picture || picture->kind != ControlKind::StaticPicture || wParam != kImageBitmap)
            return 0;
        const auto previous =
            static_cast<std::intptr_t>(picture->imageId ? kBitmapBase + picture->imageId : 0);
        const auto bitmap = static_cast<std::uintptr_t>(lParam);
        picture->imageId = bitmap > kBitmapBase ? static_cast<int>(bitmap - kBitmapBase) : 0;
        m_ctx.log.Add("banner",
                      picture->imageId ? "bitmap " + std::to_string(picture->imageId) : "none",
                      picture->id);
        return previous;
    }
    if (!IsDialog(window)) return 0;
    if (message == kWmSetIcon) {
        Hicon& slot = wParam == kIconBig ? m_dialog->bigIcon : m_dialog->smallIcon;
        const Hicon previous = slot;
        slot = Hicon{static_cast<std::uintptr_t>(lParam)};
        const std::string which = wParam == kIconBig ? "big icon " : "small icon ";
        m_ctx.log.Add("icon", which + (slot ? std::to_string(slot.value - kIconBase) : "none"));
        return static_cast<std::intptr_t>(previous.value);
    }
    if (message == kWmIconEraseBkgnd) {
        m_ctx.log.Add("paint", "icon background erased");
        return 1;
    }
    // Anything else sent to the dialog goes to its procedure, as SendMessageW does.
    return Send(message, wParam, lParam);
}

std::uintptr_t SimUser::SetTimer(Hwnd window, std::uintptr_t eventId, std::uint32_t elapseMs)
{
    if (!IsDialog(window)) return m_ctx.Fail(kErrorInvalidWindowHandle), 0;
    std::erase_if(m_timers, [eventId](const Timer& t) { return t.id == eventId; });
    constexpr std::uint32_t kUserTimerMinimum = 10;  // shorter intervals are raised to this
    elapseMs = std::max(elapseMs, kUserTimerMinimum);
    const std::uint64_t now = m_ctx.clock.Now();
    m_timers.push_back({eventId, now + elapseMs, now});
    m_ctx.log.Add("timer",
                  "timer " + std::to_string(eventId) + " in " + std::to_string(elapseMs) + " ms");
    return eventId;
}

bool SimUser::KillTimer(Hwnd window, std::uintptr_t eventId)
{
    if (!IsDialog(window)) return m_ctx.Fail(kErrorInvalidWindowHandle);
    return std::erase_if(m_timers, [eventId](const Timer& t) { return t.id == eventId; }) > 0;
}

int SimUser::MessageBoxW(Hwnd, const std::u16string& text, const std::u16string& caption,
                         std::uint32_t type)
{
    ++m_boxesShown;
    std::string shown = Utf8(caption);  // as "[caption] text"
    shown.insert(0, 1, '[');
    shown += "] " + Utf8(text);
    if (type & kMbIconMask) shown += " (with an icon)";
    m_ctx.log.Add("box", shown);

    const std::uint64_t opened = m_ctx.clock.Now();
    std::uint64_t answered = opened + m_world.boxReadingMs;
    if (!m_answers.empty() && m_answers.front() <= answered) {
        answered = std::max(opened, m_answers.front());
        m_answers.erase(m_answers.begin());
    }
    m_boxSpans.emplace_back(opened, answered);
    // The box's own message loop still hands the owner its timers, as Windows does.
    while (const std::optional<Next> timer = NextTimer()) {
        if (timer->atMs > answered) break;
        m_ctx.clock.AdvanceTo(timer->atMs);
        FireTimer(timer->timerId);
    }
    m_ctx.clock.AdvanceTo(answered);
    m_ctx.log.Add("box", "OK pressed");
    return kIdOk;
}

Hbitmap SimUser::LoadImageW(Hmodule module, int resourceId, std::uint32_t type, int, int,
                            std::uint32_t)
{
    if (m_ctx.Faulted("LoadImageW")) return Hbitmap{};
    if (module != kProgramModule || type != kImageBitmap ||
        !m_resources.bitmaps.contains(resourceId) || m_world.missingResources.contains(resourceId))
        return m_ctx.Fail(kErrorResourceNameNotFound), Hbitmap{};
    return Hbitmap{kBitmapBase + static_cast<std::uintptr_t>(resourceId)};
}

Hicon SimUser::LoadIconW(Hmodule module, int resourceId)
{
    if (m_ctx.Faulted("LoadIconW")) return Hicon{};
    if (module != kProgramModule || !m_resources.icons.contains(resourceId) ||
        m_world.missingResources.contains(resourceId))
        return m_ctx.Fail(kErrorResourceNameNotFound), Hicon{};
    return Hicon{kIconBase + static_cast<std::uintptr_t>(resourceId)};
}

bool SimUser::IsIconic(Hwnd window)
{
    return IsDialog(window) && m_dialog->iconic;
}

bool SimUser::GetClientRect(Hwnd window, Rect& rect)
{
    if (!IsDialog(window)) return m_ctx.Fail(kErrorInvalidWindowHandle);
    rect = m_dialog->iconic ? Rect{0, 0, 37, 36} : m_dialog->clientRect;
    return true;
}

int SimUser::GetSystemMetrics(int index)
{
    return index == kSmCxIcon || index == kSmCyIcon ? 32 : 0;
}

Hdc SimUser::BeginPaint(Hwnd window, PaintStruct& paint)
{
    paint = {};
    if (!IsDialog(window)) return Hdc{};
    paint.hdc = Hdc{kPaintDc};
    GetClientRect(window, paint.rcPaint);
    return paint.hdc;
}

bool SimUser::EndPaint(Hwnd, const PaintStruct&)
{
    return true;
}

bool SimUser::DrawIcon(Hdc dc, int x, int y, Hicon icon)
{
    if (dc != Hdc{kPaintDc} || !icon) return m_ctx.Fail(kErrorInvalidHandle);
    m_ctx.log.Add("paint", "icon " + std::to_string(icon.value - kIconBase) + " drawn at (" +
                               std::to_string(x) + ", " + std::to_string(y) + ")");
    return true;
}

std::uint32_t SimUser::WaitForInputIdle(Handle process, std::uint32_t timeoutMs)
{
    return waitForInputIdle ? waitForInputIdle(process, timeoutMs) : 0xFFFFFFFF;
}

}  // namespace sim
