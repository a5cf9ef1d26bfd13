#include "icc_file.h"

namespace tonalis::e2e {

namespace {

using Matrix = double[3][3];

constexpr Matrix kBradford = {
    {0.8951, 0.2664, -0.1614}, {-0.7502, 1.7135, 0.0367}, {0.0389, -0.0685, 1.0296}};

void Apply(const Matrix m, const double in[3], double out[3]) {
    for (int r = 0; r < 3; ++r) {
        out[r] = m[r][0] * in[0] + m[r][1] * in[1] + m[r][2] * in[2];
    }
}

void Invert(const Matrix m, Matrix out) {
    double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                 m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                 m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            int r1 = (c + 1) % 3, r2 = (c + 2) % 3, c1 = (r + 1) % 3, c2 = (r + 2) % 3;
            out[r][c] = (m[r1][c1] * m[r2][c2] - m[r1][c2] * m[r2][c1]) / det;
        }
    }
}

}  // namespace

unsigned IccFile::Number(size_t offset, int bytes) const {
    unsigned value = 0;
    for (int i = 0; i < bytes; ++i) {
        value = value << 8 | static_cast<unsigned char>(bytes_.at(offset + i));
    }
    return value;
}

bool IccFile::IsProfile() const {
    return bytes_.size() >= 132 && Number(0, 4) == bytes_.size() && Header(36) == "acsp";
}

std::string IccFile::Header(int offset) const {
    return bytes_.size() >= size_t(offset) + 4 ? bytes_.substr(offset, 4) : "";
}

std::vector<std::string> IccFile::TagNames() const {
    std::vector<std::string> names;
    if (!IsProfile()) {
        return names;
    }
    for (unsigned i = 0, count = Number(128, 4); i < count; ++i) {
        names.push_back(bytes_.substr(132 + 12 * i, 4));
    }
    return names;
}

std::string IccFile::Tag(const char* signature) const {
    if (!IsProfile()) {
        return "";
    }
    for (unsigned i = 0, count = Number(128, 4); i < count; ++i) {
        size_t entry = 132 + 12 * i;
        if (bytes_.compare(entry, 4, signature) == 0) {
            return bytes_.substr(Number(entry + 4, 4), Number(entry + 8, 4));
        }
    }
    return "";
}

double IccFile::Gamma(const char* signature) const {
    IccFile tag(Tag(signature));
    if (tag.bytes_.size() < 14 || tag.bytes_.compare(0, 4, "curv") != 0 || tag.Number(8, 4) != 1) {
        return 0;
    }
    return tag.Number(12, 2) / 256.0;
}

Xyz IccFile::XyzTag(const char* signature) const {
    IccFile tag(Tag(signature));
    if (tag.bytes_.size() < 20 || tag.bytes_.compare(0, 4, "XYZ ") != 0) {
        return {0, 0, 0};
    }
    auto fixed = [&](size_t offset) { return int32_t(tag.Number(offset, 4)) / 65536.0; };
    return {fixed(8), fixed(12), fixed(16)};
}

Xyz IccFile::Illuminant() const {
    auto fixed = [&](size_t offset) { return int32_t(Number(offset, 4)) / 65536.0; };
    return {fixed(68), fixed(72), fixed(76)};
}

std::string IccFile::Description() const {
    IccFile tag(Tag("desc"));
    if (tag.bytes_.size() < 12 || tag.bytes_.compare(0, 4, "desc") != 0) {
        return "";
    }
    unsigned length = tag.Number(8, 4);
    std::string text = tag.bytes_.substr(12, length);
    return text.substr(0, text.find('\0'));
}

std::vector<WORD> IccFile::Vcgt() const {
    IccFile tag(Tag("vcgt"));
    std::vector<WORD> entries;
    if (tag.bytes_.size() < 18 + 1536 || tag.bytes_.compare(0, 4, "vcgt") != 0 ||
        tag.Number(8, 4) != 0 || tag.Number(12, 2) != 3 || tag.Number(14, 2) != 256) {
        return entries;
    }
    for (int i = 0; i < 768; ++i) {
        entries.push_back(static_cast<WORD>(tag.Number(18 + 2 * i, 2)));
    }
    return entries;
}

Xy Chromaticity(const Xyz& xyz) {
    double sum = xyz.X + xyz.Y + xyz.Z;
    return {xyz.X / sum, xyz.Y / sum};
}

std::vector<Xy> UnadaptedPrimaries(const IccFile& file) {
    // Cone responses of the white and the illuminant give the scaling that
    // the adaptation applied; undo it.
    Xyz white = file.XyzTag("wtpt");
    Xyz pcs = file.Illuminant();
    double w[3] = {white.X, white.Y, white.Z}, d[3] = {pcs.X, pcs.Y, pcs.Z};
    double coneWhite[3], conePcs[3];
    Apply(kBradford, w, coneWhite);
    Apply(kBradford, d, conePcs);
    Matrix inverse;
    Invert(kBradford, inverse);
    std::vector<Xy> primaries;
    for (const char* signature : {"rXYZ", "gXYZ", "bXYZ"}) {
        Xyz adapted = file.XyzTag(signature);
        double in[3] = {adapted.X, adapted.Y, adapted.Z}, cone[3], out[3];
        Apply(kBradford, in, cone);
        for (int i = 0; i < 3; ++i) {
            cone[i] *= coneWhite[i] / conePcs[i];
        }
        Apply(inverse, cone, out);
        primaries.push_back(Chromaticity({out[0], out[1], out[2]}));
    }
    return primaries;
}

}  // namespace tonalis::e2e
