#include "applet_library.h"

namespace tonalis::e2e {

std::string AppletPath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.erase(folder.find_last_of("\\/") + 1);
    return folder + "TNP.cpl";
}

AppletLibrary::AppletLibrary()
    : module_(LoadLibraryA(AppletPath().c_str())),
      entry_(reinterpret_cast<ControlPanelEntry>(
          reinterpret_cast<void*>(module_ ? GetProcAddress(module_, "CPlApplet") : nullptr))) {}

AppletLibrary::~AppletLibrary() {
    if (module_ != nullptr) {
        FreeLibrary(module_);
    }
}

LONG AppletLibrary::Send(UINT message, LPARAM lParam1, LPARAM lParam2) const {
    return entry_(GetDesktopWindow(), message, lParam1, lParam2);
}

}  // namespace tonalis::e2e
