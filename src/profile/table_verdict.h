// What a monitor's kept profile gives back, as the loader at logon and
// tonalis apply judge it alike.
#pragma once

namespace tonalis {

enum class TableVerdict {
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

inline bool IsRegisteredFailure(TableVerdict table) {
    return table == TableVerdict::kRegisteredMissing ||
           table == TableVerdict::kRegisteredUnreadable ||
           table == TableVerdict::kRegisteredWithoutTable;
}

}  // namespace tonalis
