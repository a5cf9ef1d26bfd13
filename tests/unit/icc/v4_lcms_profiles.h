// ICC v4 display profiles made by LittleCMS, the kind that colour daemons and
// measuring tools write: 'mluc' texts, 'para' curves, a D50 'wtpt' with the
// real white behind a 'chad', and a profile ID. Also hand-made 'para' and
// 'mluc' bytes for the cases LittleCMS would not write.
#pragma once

#include <lcms2.h>

#include <functional>
#include <string>
#include <vector>

#include "icc_test_support.h"
#include "lcms_reference.h"

namespace tonalis::icc::testing {

// One LittleCMS profile handle, closed when it goes.
class LcmsHandle {
  public:
    explicit LcmsHandle(cmsHPROFILE handle) : handle_(handle) {}
    explicit LcmsHandle(const Bytes& image)
        : handle_(cmsOpenProfileFromMem(image.data(), cmsUInt32Number(image.size()))) {}
    ~LcmsHandle() {
        if (handle_ != nullptr) {
            cmsCloseProfile(handle_);
        }
    }
    LcmsHandle(const LcmsHandle&) = delete;
    LcmsHandle& operator=(const LcmsHandle&) = delete;

    cmsHPROFILE get() const { return handle_; }
    Xyz ReadXyz(cmsTagSignature tag) const {
        const auto* xyz = static_cast<const cmsCIEXYZ*>(cmsReadTag(handle_, tag));
        return xyz == nullptr ? Xyz{-1, -1, -1} : Xyz{xyz->X, xyz->Y, xyz->Z};
    }
    std::string Text(cmsInfoType what) const {
        char text[512] = {};
        cmsGetProfileInfoASCII(handle_, what, "en", "US", text, sizeof text);
        return text;
    }

  private:
    cmsHPROFILE handle_;
};

// A parametric curve as LittleCMS builds it, for one ICC function type
// (0 to 4); LittleCMS counts those types from 1.
inline cmsToneCurve* LcmsParametric(int iccType, const std::vector<double>& parameters) {
    return cmsBuildParametricToneCurve(nullptr, iccType + 1, parameters.data());
}

// Parameters as they come back from s15Fixed16.
inline std::vector<double> AsStored(const std::vector<double>& parameters) {
    std::vector<double> stored;
    for (double p : parameters) {
        stored.push_back(Fixed(p) / 65536.0);
    }
    return stored;
}

// A v4.3 RGB display profile for these primaries and white with the three
// curves (which it frees), description "Test display v4", a profile ID, and
// whatever the caller adds before it is saved.
inline Bytes LcmsV4Display(const Xy primaries[3], Xy white, cmsToneCurve* curves[3],
                           const std::function<void(cmsHPROFILE)>& addTags = {}) {
    const cmsCIExyY whiteXyY = {white.x, white.y, 1.0};
    const cmsCIExyYTRIPLE triple = {{primaries[0].x, primaries[0].y, 1.0},
                                    {primaries[1].x, primaries[1].y, 1.0},
                                    {primaries[2].x, primaries[2].y, 1.0}};
    cmsHPROFILE handle = cmsCreateRGBProfile(&whiteXyY, &triple, curves);
    for (int c = 0; c < 3; ++c) {
        cmsFreeToneCurve(curves[c]);
    }
    cmsSetProfileVersion(handle, 4.3);
    cmsMLU* text = cmsMLUalloc(nullptr, 2);
    cmsMLUsetASCII(text, "de", "DE", "Testbildschirm");
    cmsMLUsetASCII(text, "en", "US", "Test display v4");
    cmsWriteTag(handle, cmsSigProfileDescriptionTag, text);
    cmsMLUfree(text);
    if (addTags) {
        addTags(handle);
    }
    cmsMD5computeID(handle);
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(handle, nullptr, &size);
    Bytes image(size);
    cmsSaveProfileToMem(handle, image.data(), &size);
    cmsCloseProfile(handle);
    return image;
}

// Three curves of one gamma.
inline std::vector<cmsToneCurve*> GammaCurves(double gamma) {
    return {cmsBuildGamma(nullptr, gamma), cmsBuildGamma(nullptr, gamma),
            cmsBuildGamma(nullptr, gamma)};
}

// 'para' bytes of one function type with its parameters (as many as given).
inline Bytes ParaBytes(uint16_t type, const std::vector<double>& parameters) {
    Bytes b = TypeHeader("para", 12 + 4 * parameters.size());
    StoreBig16(&b[8], type);
    for (size_t i = 0; i < parameters.size(); ++i) {
        Put32(b, 12 + 4 * i, uint32_t(Fixed(parameters[i])));
    }
    return b;
}

struct MlucRecord {
    const char* language;  // two characters
    const char* country;   // two characters
    std::u16string text;
};

// 'mluc' bytes with the records' strings after the record table, in order.
inline Bytes MlucBytes(const std::vector<MlucRecord>& records, uint32_t recordSize = 12) {
    Bytes b = TypeHeader("mluc", 16 + recordSize * records.size());
    Put32(b, 8, uint32_t(records.size()));
    Put32(b, 12, recordSize);
    for (size_t i = 0; i < records.size(); ++i) {
        const size_t at = 16 + recordSize * i;
        b[at] = uint8_t(records[i].language[0]);
        b[at + 1] = uint8_t(records[i].language[1]);
        b[at + 2] = uint8_t(records[i].country[0]);
        b[at + 3] = uint8_t(records[i].country[1]);
        Put32(b, at + 4, uint32_t(2 * records[i].text.size()));
        Put32(b, at + 8, uint32_t(b.size()));
        for (char16_t unit : records[i].text) {
            b.push_back(uint8_t(unit >> 8));
            b.push_back(uint8_t(unit));
        }
    }
    return b;
}

// The tags of an image whose type is one that ICC v2 does not have.
inline std::vector<std::string> Version4Types(const Bytes& image) {
    const char* const v4Only[] = {"mluc", "para", "mAB ", "mBA ", "mpet",
                                  "dict", "clro", "clrt", "cicp"};
    std::vector<std::string> found;
    for (const TableEntry& entry : TagTable(image)) {
        const std::string type = SigText(Get32(image, entry.offset));
        for (const char* t : v4Only) {
            if (type == t) {
                found.push_back(SigText(entry.signature) + ":" + type);
            }
        }
    }
    return found;
}

}  // namespace tonalis::icc::testing
