// A profile file read straight from its bytes by the ICC layout (big-endian
// header, tag table, tag types), without the applet's library, so that what
// the applet wrote is checked by a reader of its own.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tonalis::e2e {

struct Xyz {
    double X, Y, Z;
};
struct Xy {
    double x, y;
};

class IccFile {
  public:
    explicit IccFile(std::string bytes) : bytes_(std::move(bytes)) {}

    // The size field matches the file and the signature is there.
    bool IsProfile() const;
    std::string Header(int offset) const;  // four bytes as text
    std::vector<std::string> TagNames() const;
    std::string Tag(const char* signature) const;  // empty when missing
    // The gamma of a 'curv' tag of one entry (u8Fixed8); 0 otherwise.
    double Gamma(const char* signature) const;
    Xyz XyzTag(const char* signature) const;
    Xyz Illuminant() const;
    // The ASCII part of a 'desc' tag.
    std::string Description() const;
    // The 768 entries of a table 'vcgt'; empty when there is none.
    std::vector<WORD> Vcgt() const;

  private:
    unsigned Number(size_t offset, int bytes) const;
    std::string bytes_;
};

Xy Chromaticity(const Xyz& xyz);
// The colourants' chromaticities before their Bradford adaptation from the
// media white point to the profile's illuminant.
std::vector<Xy> UnadaptedPrimaries(const IccFile& file);

}  // namespace tonalis::e2e
