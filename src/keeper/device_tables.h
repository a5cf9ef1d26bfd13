// The keeper's monitors on Windows: the display devices in the applet's
// numbering, each with the table kept for it, read and written through GDI.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "keeper/kept_file.h"
#include "keeper/monitor_tables.h"

namespace tonalis {

struct UserKeepChoice {
    int monitor = -1;          // only this monitor, in the applet's numbering; -1: all
    bool hasProfile = false;   // a profile given for every monitor kept
    GammaRamp profileTable{};  // its table, at 256 entries a channel
    std::string profileName;   // its path, read again when it changes
    // Only the monitors whose logon choice asks for their calibration.
    bool logonChoice = false;
};

class DeviceTables : public keeper::MonitorTables {
  public:
    explicit DeviceTables(const UserKeepChoice& choice) : choice_(choice) {}

    std::vector<std::string> Present() override;
    bool Kept(const std::string& monitor, GammaRamp* ramp) override;
    bool Held(const std::string& monitor, GammaRamp* ramp) override;
    bool Load(const std::string& monitor) override;

    // The kept profile is read again at the next use: of the monitor of this
    // number, or of every monitor for -1.
    void Forget(int number);
    // Forgets each monitor whose kept profile changed on disk since it was
    // read (another file, size or time); one that went away is not forgotten.
    void ForgetChanged();
    // What the monitor holds now is kept for it, until its profile is read
    // again; a monitor with nothing kept stays so.
    void KeepHeld(const std::string& monitor);
    // The monitor's number, or -1.
    int NumberOf(const std::string& monitor) const;
    // The profile kept for the monitor; empty when none is.
    std::string ProfileOf(const std::string& monitor);
    // Writes the identity table on every monitor present.
    void LoadIdentity();

  private:
    struct Entry {
        bool read = false;
        bool usable = false;
        GammaRamp table{};
        std::string profile;
        keeper::KeptFile file;
    };
    Entry& Read(const std::string& monitor);

    UserKeepChoice choice_;
    std::vector<std::string> present_;
    std::map<std::string, Entry> kept_;
};

// Writes a table; when the display, read back, still holds the table it had
// before, writes it once with the last entries a step off and then again,
// as some drivers skip a table equal to the last one they took. False when
// the system refused it.
bool WriteKeptTable(const char* device, const GammaRamp& table);

}  // namespace tonalis
