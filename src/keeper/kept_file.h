// When the keeper reads a kept profile file again: when the file the path
// leads to, its size or its last write is not what it was at the last read,
// or when the user asks for every file again.
#pragma once

#include <string>

#include "model/platform.h"

namespace tonalis::keeper {

class KeptFile {
  public:
    // True when the file is due to be read: never read, forgotten, or changed
    // on disk since the last read. Read follows the reading, usable or not.
    bool Changed(const std::string& path);
    // The file was read as Changed last found it; it is due again only when
    // it changes again, so that a file without a usable table, or a missing
    // one, is not read at every check.
    void Read();
    // Due at the next Changed, whatever its stamp.
    void Forget() { due_ = true; }
    // Whether the file was there when Changed last looked.
    bool Found() const { return seen_.found; }

  private:
    bool due_ = true;
    platform::FileStamp read_;
    platform::FileStamp seen_;
};

}  // namespace tonalis::keeper
