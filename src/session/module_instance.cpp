// The module instance, stored by the library entry point and read wherever no
// session is at hand.
#include "session/messages.h"

namespace tonalis {

namespace {

HINSTANCE g_moduleInstance = nullptr;

}  // namespace

HINSTANCE ModuleInstance() {
    return g_moduleInstance;
}

void SetModuleInstance(HINSTANCE instance) {
    g_moduleInstance = instance;
}

}  // namespace tonalis
