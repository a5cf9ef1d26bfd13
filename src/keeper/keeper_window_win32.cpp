// The keeper's window procedure: each broadcast becomes an event of the core,
// a timer set to the core's next check polls, and the icon's menu acts.
#include "keeper/keeper_window.h"

#include <dbt.h>
#include <psapi.h>

#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "keeper/keeper_link.h"
#include "keeper/keeper_system_calls.h"
#include "keeper/keeper_tray.h"
#include "resources/string_ids.h"
#include "session/messages.h"

namespace tonalis {

namespace {

constexpr UINT_PTR kCheckTimer = 1;

// What the headers for older systems leave out.
constexpr UINT kSessionChange = 0x02B1;         // WM_WTSSESSION_CHANGE
constexpr WPARAM kConsoleConnect = 1;           // WTS_CONSOLE_CONNECT
constexpr WPARAM kRemoteConnect = 3;            // WTS_REMOTE_CONNECT
constexpr WPARAM kSessionUnlock = 8;            // WTS_SESSION_UNLOCK
constexpr WPARAM kPowerSettingChange = 0x8013;  // PBT_POWERSETTINGCHANGE
constexpr GUID kConsoleDisplayState = {
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr GUID kMonitorInterface = {
    0xe6f07b5f, 0xee97, 0x4a90, {0xb0, 0x76, 0x33, 0xf5, 0x7b, 0xf4, 0xea, 0xa7}};

// POWERBROADCAST_SETTING.
struct PowerSetting {
    GUID setting;
    DWORD length;
    UCHAR data[1];
};

struct KeeperState {
    KeeperState(const KeeperSettings& given)
        : settings(given), tables(given.choice), core(tables, Timing(given)) {}

    static keeper::KeeperTiming Timing(const KeeperSettings& settings) {
        keeper::KeeperTiming timing = settings.timing;
        timing.interval = settings.interval;
        return timing;
    }

    KeeperSettings settings;
    DeviceTables tables;
    keeper::Keeper core;
    KeeperTray tray;
    bool paused = false;
    bool reloadAsked = false;  // and not yet done, while it rested
    long checks = 0;
    UINT taskbarCreated = 0;
    HANDLE powerNotification = nullptr;
    HDEVNOTIFY deviceNotification = nullptr;
    bool sessionNotification = false;
};

KeeperState* StateOf(HWND window) {
    return reinterpret_cast<KeeperState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

std::wstring Wide(const std::string& text) {
    std::wstring wide;
    for (char c : text) {
        wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    return wide;
}

// The notifications that Windows sends only to windows that ask, looked up
// at run time: systems before Vista lack the power setting, before XP the session.
void RegisterNotifications(HWND window, KeeperState* state) {
    HMODULE user = GetModuleHandleW(L"user32.dll");
    using PowerRegister = HANDLE(WINAPI*)(HANDLE, const GUID*, DWORD);
    auto power = reinterpret_cast<PowerRegister>(
        reinterpret_cast<void*>(GetProcAddress(user, "RegisterPowerSettingNotification")));
    if (power != nullptr) {
        state->powerNotification =
            power(window, &kConsoleDisplayState, DEVICE_NOTIFY_WINDOW_HANDLE);
    }
    DEV_BROADCAST_DEVICEINTERFACE_W filter = {};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = kMonitorInterface;
    state->deviceNotification =
        RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    if (HMODULE wts = LoadLibraryW(L"wtsapi32.dll")) {
        using SessionRegister = BOOL(WINAPI*)(HWND, DWORD);
        auto session = reinterpret_cast<SessionRegister>(
            reinterpret_cast<void*>(GetProcAddress(wts, "WTSRegisterSessionNotification")));
        state->sessionNotification = session != nullptr && session(window, 0) != FALSE;
    }
}

void UnregisterNotifications(HWND window, KeeperState* state) {
    if (state->powerNotification != nullptr) {
        using PowerUnregister = BOOL(WINAPI*)(HANDLE);
        auto unregister = reinterpret_cast<PowerUnregister>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"user32.dll"), "UnregisterPowerSettingNotification")));
        if (unregister != nullptr) {
            unregister(state->powerNotification);
        }
    }
    if (state->deviceNotification != nullptr) {
        UnregisterDeviceNotification(state->deviceNotification);
    }
    HMODULE wts = GetModuleHandleW(L"wtsapi32.dll");
    if (state->sessionNotification && wts != nullptr) {
        using SessionUnregister = BOOL(WINAPI*)(HWND);
        auto unregister = reinterpret_cast<SessionUnregister>(
            reinterpret_cast<void*>(GetProcAddress(wts, "WTSUnRegisterSessionNotification")));
        if (unregister != nullptr) {
            unregister(window);
        }
    }
}

std::wstring Tip(KeeperState* state) {
    if (state->paused) {
        return KeeperText(strings::kKeeperTipPaused);
    }
    std::wstring stoodDown;
    int kept = 0;
    GammaRamp table;
    for (const keeper::MonitorState& monitor : state->core.Monitors()) {
        if (monitor.stoodDown) {
            stoodDown += (stoodDown.empty() ? L"" : L", ") + Wide(monitor.name);
        } else if (state->tables.Kept(monitor.name, &table)) {
            ++kept;
        }
    }
    return stoodDown.empty() ? KeeperText(strings::kKeeperTipKeeping, std::to_wstring(kept))
                             : KeeperText(strings::kKeeperTipStoodDown, stoodDown);
}

// The next wake-up: the core's next check, or the interval while nothing is checked.
void Schedule(HWND window, KeeperState* state) {
    const double now = g_keeperSystemCalls.now();
    const bool resting = state->paused || g_keeperSystemCalls.appletOpen();
    const double due = resting ? now + state->settings.interval : state->core.NextCheck();
    const double seconds = due > now ? due - now : 0.0;
    SetTimer(window, kCheckTimer, static_cast<UINT>(seconds * 1000.0) + 1, nullptr);
}

void Tell(HWND window, KeeperState* state, const std::vector<keeper::Notice>& notices) {
    ++state->checks;
    for (const keeper::Notice& notice : notices) {
        if (state->settings.report != nullptr) {
            state->settings.report(notice, state->settings.reportContext);
        }
        // The core tells each of these once.
        if (notice.kind == keeper::NoticeKind::kStoodDown) {
            state->tray.Balloon(KeeperText(strings::kKeeperStoodDown, Wide(notice.monitor)));
        } else if (notice.kind == keeper::NoticeKind::kRefused) {
            state->tray.Balloon(KeeperText(strings::kKeeperRefused, Wide(notice.monitor)));
        }
    }
    state->tray.SetTip(Tip(state));
    Schedule(window, state);
}

// The applet's preview is no rival: while it runs, nothing is checked.
bool Resting(HWND window, KeeperState* state) {
    if (state->paused || g_keeperSystemCalls.appletOpen()) {
        state->tray.SetTip(Tip(state));
        Schedule(window, state);
        return true;
    }
    return false;
}

// A check, after the reload asked while resting. A kept profile changed on
// disk is read again, and the core loads its table as the user's new one.
void Check(HWND window, KeeperState* state, const keeper::Trigger* event) {
    if (Resting(window, state)) {
        return;
    }
    const double now = g_keeperSystemCalls.now();
    std::vector<keeper::Notice> notices;
    state->tables.ForgetChanged();
    if (state->reloadAsked) {
        state->reloadAsked = false;
        notices = state->core.Reload(now);
    }
    const std::vector<keeper::Notice> checked =
        event != nullptr ? state->core.Event(now, *event) : state->core.Tick(now);
    notices.insert(notices.end(), checked.begin(), checked.end());
    Tell(window, state, notices);
}

void OnEvent(HWND window, KeeperState* state, keeper::Trigger trigger) {
    Check(window, state, &trigger);
}

void OnTimer(HWND window, KeeperState* state) {
    Check(window, state, nullptr);
}

void OnReload(HWND window, KeeperState* state, int monitor) {
    state->tables.Forget(monitor);
    state->reloadAsked = true;
    Check(window, state, nullptr);
}

// What the applet left in the display at its end is the user's choice, which
// the keeper never undoes; a reload its save asked for is done now.
void OnAppletEnded(HWND window, KeeperState* state) {
    for (const keeper::MonitorState& monitor : state->core.Monitors()) {
        state->tables.KeepHeld(monitor.name);
    }
    Check(window, state, nullptr);
}

void OpenApplet(HWND window) {
    // Inside TNP.cpl the library itself; from tonalis.exe the TNP.cpl beside
    // it, as both are installed in one folder.
    wchar_t library[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(ModuleInstance(), library, MAX_PATH);
    wchar_t* slash = length > 0 && length < MAX_PATH ? std::wcsrchr(library, L'\\') : nullptr;
    if (slash == nullptr || (slash - library) + 8 >= MAX_PATH) {
        lstrcpyW(library, L"TNP.cpl");
    } else if (lstrcmpiW(library + length - 4, L".cpl") != 0) {
        lstrcpyW(slash + 1, L"TNP.cpl");
    }
    const std::wstring parameters = std::wstring(L"\"") + library + L"\"";
    g_keeperSystemCalls.shellExecute(window, L"open", L"control.exe", parameters.c_str(), nullptr,
                                     SW_SHOWNORMAL);
}

void OnCommand(HWND window, KeeperState* state, UINT command) {
    switch (command) {
        case kKeeperCommandReload:
            state->paused = false;
            OnReload(window, state, -1);
            break;
        case kKeeperCommandPause:
            state->paused = !state->paused;
            OnEvent(window, state, keeper::Trigger::kPoll);
            break;
        case kKeeperCommandLinear:
            state->tables.LoadIdentity();
            state->paused = true;
            OnEvent(window, state, keeper::Trigger::kPoll);
            break;
        case kKeeperCommandOpenApplet:
            OpenApplet(window);
            break;
        case kKeeperCommandQuit:
            DestroyWindow(window);
            break;
    }
}

void AnswerStatus(HWND window, HWND asking) {
    const std::string text = KeeperStatusText(window);
    COPYDATASTRUCT data = {};
    data.cbData = static_cast<DWORD>(text.size());
    data.lpData = const_cast<char*>(text.data());
    SendMessageW(asking, WM_COPYDATA, reinterpret_cast<WPARAM>(window),
                 reinterpret_cast<LPARAM>(&data));
}

bool IsDisplayOn(LPARAM lParam) {
    const auto* setting = reinterpret_cast<const PowerSetting*>(lParam);
    // 0 off, 1 on, 2 dimmed: dimming is no wake.
    return setting != nullptr && IsEqualGUID(setting->setting, kConsoleDisplayState) &&
           setting->length >= 1 && setting->data[0] == 1;
}

bool IsMonitorArrival(WPARAM wParam, LPARAM lParam) {
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
    return wParam == DBT_DEVICEARRIVAL && header != nullptr &&
           header->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE &&
           IsEqualGUID(
               reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(header)->dbcc_classguid,
               kMonitorInterface);
}

LRESULT OnCreate(HWND window, const CREATESTRUCTW* create) {
    auto* state = static_cast<KeeperState*>(create->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    state->taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    RegisterNotifications(window, state);
    if (state->settings.tray) {
        state->tray.Show(window);
    }
    Tell(window, state, state->core.Start(g_keeperSystemCalls.now()));
    return 0;
}

void OnDestroy(HWND window, KeeperState* state) {
    KillTimer(window, kCheckTimer);
    UnregisterNotifications(window, state);
    state->tray.Remove();
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    delete state;
    PostQuitMessage(0);
}

LRESULT CALLBACK KeeperWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        return OnCreate(window, reinterpret_cast<const CREATESTRUCTW*>(lParam));
    }
    KeeperState* state = StateOf(window);
    if (state == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == state->taskbarCreated && message != 0) {
        // Explorer restarted and its notification area is empty.
        if (state->settings.tray) {
            state->tray.Show(window);
        }
        return 0;
    }
    switch (message) {
        case WM_TIMER:
            if (wParam == kCheckTimer) {
                OnTimer(window, state);
            }
            return 0;
        case WM_DISPLAYCHANGE:
            OnEvent(window, state, keeper::Trigger::kModeChange);
            return 0;
        case WM_SETTINGCHANGE:
            OnEvent(window, state, keeper::Trigger::kPoll);
            return 0;
        case WM_POWERBROADCAST:
            if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND ||
                (wParam == kPowerSettingChange && IsDisplayOn(lParam))) {
                OnEvent(window, state, keeper::Trigger::kWake);
            }
            return TRUE;
        case kSessionChange:
            if (wParam == kSessionUnlock || wParam == kConsoleConnect || wParam == kRemoteConnect) {
                OnEvent(window, state, keeper::Trigger::kWake);
            }
            return 0;
        case WM_DEVICECHANGE:
            if (IsMonitorArrival(wParam, lParam)) {
                OnEvent(window, state, keeper::Trigger::kModeChange);
            }
            return TRUE;
        case kKeeperReloadMessage:
            OnReload(window, state, static_cast<int>(wParam));
            return 0;
        case kKeeperAppletEndedMessage:
            OnAppletEnded(window, state);
            return 0;
        case kKeeperStatusMessage:
            AnswerStatus(window, reinterpret_cast<HWND>(wParam));
            return 0;
        case kKeeperTrayMessage:
            if (lParam == WM_RBUTTONUP || lParam == WM_CONTEXTMENU || lParam == WM_LBUTTONUP) {
                ShowKeeperMenu(window, state->paused);
            }
            return 0;
        case WM_COMMAND:
            OnCommand(window, state, LOWORD(wParam));
            return 0;
        case WM_ENDSESSION:
            if (wParam != FALSE) {
                DestroyWindow(window);
            }
            return 0;
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            OnDestroy(window, state);
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

HWND CreateKeeperWindow(const KeeperSettings& settings) {
    HINSTANCE instance = ModuleInstance();
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = KeeperWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kKeeperWindowClass;
    RegisterClassW(&windowClass);
    auto state = std::make_unique<KeeperState>(settings);
    // A top-level window, never shown: message-only windows get no broadcasts.
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, kKeeperWindowClass, L"Tonalis", WS_POPUP, 0, 0,
                                  0, 0, nullptr, nullptr, instance, state.get());
    if (window != nullptr) {
        state.release();
    }
    return window;
}

KeeperEnd RunKeeper(const KeeperSettings& settings, DWORD* runningProcess) {
    KeeperMutex mutex;
    if (!mutex.held()) {
        FindKeeperWindow(runningProcess);
        TellKeeperToReload(-1);
        return KeeperEnd::kAlreadyRunning;
    }
    if (CreateKeeperWindow(settings) == nullptr) {
        return KeeperEnd::kNoWindow;
    }
    // What start-up touched is not needed again; the keeper stays small.
    SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return KeeperEnd::kEnded;
}

namespace {

// The process's working set in KB, or 0: K32GetProcessMemoryInfo in kernel32
// since Windows 7, GetProcessMemoryInfo in psapi.dll before.
unsigned long WorkingSetKilobytes() {
    using MemoryInfo = BOOL(WINAPI*)(HANDLE, PPROCESS_MEMORY_COUNTERS, DWORD);
    auto query = reinterpret_cast<MemoryInfo>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "K32GetProcessMemoryInfo")));
    if (query == nullptr) {
        if (HMODULE psapi = LoadLibraryW(L"psapi.dll")) {
            query = reinterpret_cast<MemoryInfo>(
                reinterpret_cast<void*>(GetProcAddress(psapi, "GetProcessMemoryInfo")));
        }
    }
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    return query != nullptr && query(GetCurrentProcess(), &counters, sizeof counters)
               ? static_cast<unsigned long>(counters.WorkingSetSize / 1024)
               : 0;
}

}  // namespace

std::string KeeperStatusText(HWND window) {
    KeeperState* state = StateOf(window);
    if (state == nullptr) {
        return std::string();
    }
    char line[512];
    std::snprintf(line, sizeof line,
                  "keeper process %lu, checking every %g s, %ld checks so far, working set %lu "
                  "KB%s\n",
                  GetCurrentProcessId(), state->settings.interval, state->checks,
                  WorkingSetKilobytes(), state->paused ? ", paused" : "");
    std::string text = line;
    for (const keeper::MonitorState& monitor : state->core.Monitors()) {
        const std::string profile = state->tables.ProfileOf(monitor.name);
        std::snprintf(line, sizeof line, "%s: %s, restored %d time%s%s%s\n", monitor.name.c_str(),
                      profile.empty() ? "no kept profile" : profile.c_str(), monitor.restores,
                      monitor.restores == 1 ? "" : "s", monitor.stoodDown ? ", stood down" : "",
                      monitor.refused ? ", refused its table" : "");
        text += line;
    }
    return text;
}

}  // namespace tonalis
