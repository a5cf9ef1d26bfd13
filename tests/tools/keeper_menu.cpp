// Opens the running keeper's menu as a right click on its icon does, with the
// cursor at the given point, for the README's screenshot:
// keeper_menu.exe [X Y]. Exits 1 when no keeper runs.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    HWND keeper = FindWindowW(L"TonalisKeeper", nullptr);
    if (keeper == nullptr) {
        std::fprintf(stderr, "no keeper is running\n");
        return 1;
    }
    SetCursorPos(argc > 2 ? std::atoi(argv[1]) : 200, argc > 2 ? std::atoi(argv[2]) : 300);
    // The icon's message, as the notification area sends it.
    PostMessageW(keeper, WM_APP + 1, 1, WM_RBUTTONUP);
    return 0;
}
