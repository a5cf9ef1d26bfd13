// Monitor profiles ('mntr', PCS 'XYZ ') and the RGB monitor profiles that the
// entry points make and change.
#pragma once

#include "icc/profile.h"

namespace tonalis::icc {

class DisplayProfile : public Profile {
  public:
    // Reads as Profile does, then requires class 'mntr' and PCS 'XYZ '.
    DisplayProfile(const MemoryPool& poolTemplate, const uint8_t* image, uint32_t extent);
    // Builds as Profile does, with class 'mntr' and PCS 'XYZ '.
    DisplayProfile(const MemoryPool& poolTemplate, const double white[3], const double black[3],
                   const char* description, int32_t intent);

  protected:
    // Class 'mntr' and PCS 'XYZ ', or 'Lab ' as well when asked.
    bool MeetsDisplayRule(bool acceptLab) const;
};

class RgbDisplayProfile : public DisplayProfile {
  public:
    // Reads, then requires colour space 'RGB ' and the three TRC and three
    // colorant tags.
    RgbDisplayProfile(const MemoryPool& poolTemplate, const uint8_t* image, uint32_t extent);
    // Builds from calibration values (a kProfileInfoValues record) and copies
    // the stored description back into the record.
    RgbDisplayProfile(const MemoryPool& poolTemplate, ProfileInfo* info);

    // Fills gammas, unadapted primaries, white, black, description and
    // intent; *simpleGamma is 1 when every TRC is a plain gamma. A 'chad'
    // is undone to reach the media white and the primaries under it; without
    // one, the adaptation is taken to be Bradford's or a scaling.
    virtual int32_t ExtractInfo(ProfileInfo* info, uint8_t* simpleGamma) const;

    // Rewrites the calibration tags from a kProfileInfoValues record; the
    // result is a version 2.1 profile whatever version it was read as.
    void UpdateInfo(ProfileInfo* info);

  private:
    bool MeetsRgbRule() const;
    // A copy of each primary adapted from white to the PCS illuminant; a
    // failed adaptation leaves it unadapted.
    void AdaptedPrimaries(const ProfileInfo& info, double adapted[3][3]) const;
};

}  // namespace tonalis::icc
