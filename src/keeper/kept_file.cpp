// The stamp of a kept file, taken before each read: a write that lands during
// the read changes it again, and the file is read once more.
#include "keeper/kept_file.h"

namespace tonalis::keeper {

bool KeptFile::Changed(const std::string& path) {
    seen_ = platform::StampOfFile(path.c_str());
    return due_ || seen_ != read_;
}

void KeptFile::Read() {
    read_ = seen_;
    due_ = false;
}

}  // namespace tonalis::keeper
