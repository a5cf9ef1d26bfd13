// What a monitor's kept profile gives back, as the loader at logon and
// tonalis apply judge it alike.
#pragma once

namespace tonalis {

enum class KeptTable {
    kUsable,
    kNoProfile,
    // A profile the system associates may be any profile (sRGB has no table).
    kAssociatedWithoutTable,
    // A profile the applet registered must hold a usable table; these say why
    // it does not.
    kRegisteredMissing,
    kRegisteredUnreadable,
    kRegisteredWithoutTable,
};

inline bool IsRegisteredFailure(KeptTable table) {
    return table == KeptTable::kRegisteredMissing || table == KeptTable::kRegisteredUnreadable ||
           table == KeptTable::kRegisteredWithoutTable;
}

}  // namespace tonalis
