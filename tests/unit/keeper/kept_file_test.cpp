// When a kept profile file is read again, on real files: each thing the file
// system tells of a file, changed alone, makes it due.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "keeper/kept_file.h"

namespace tonalis::keeper {
namespace {

void Write(const std::string& path, const char* text) {
    FILE* file = std::fopen(path.c_str(), "w");
    ASSERT_NE(file, nullptr) << path;
    std::fputs(text, file);
    std::fclose(file);
}

void SetWritten(const std::string& path, time_t seconds) {
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

TEST(KeptFile, IsReadAgainWhenItsIdentitySizeOrLastWriteChanges) {
    char folder[] = "/tmp/tonalis_kept_file_XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string path = std::string(folder) + "/kept.icc";
    const std::string other = std::string(folder) + "/other.icc";
    Write(path, "first");
    SetWritten(path, 1000000);
    KeptFile file;
    EXPECT_TRUE(file.Changed(path));
    file.Read();
    EXPECT_FALSE(file.Changed(path));

    Write(path, "sixth");  // in place, at the same size
    SetWritten(path, 1000001);
    EXPECT_TRUE(file.Changed(path)) << "last write";
    file.Read();
    Write(path, "longer");
    SetWritten(path, 1000001);
    EXPECT_TRUE(file.Changed(path)) << "size";
    file.Read();
    Write(other, "longer");
    SetWritten(other, 1000001);
    ASSERT_EQ(std::rename(other.c_str(), path.c_str()), 0);
    EXPECT_TRUE(file.Changed(path)) << "identity";
    file.Read();
    EXPECT_FALSE(file.Changed(path));
    file.Forget();
    EXPECT_TRUE(file.Changed(path)) << "forgotten";
    file.Read();

    // A missing file is due once, not at every check.
    std::remove(path.c_str());
    EXPECT_TRUE(file.Changed(path));
    file.Read();
    EXPECT_FALSE(file.Changed(path));
    rmdir(folder);
}

}  // namespace
}  // namespace tonalis::keeper
