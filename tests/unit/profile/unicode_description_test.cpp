// Descriptions in any language: the whole text in the 'desc' tag's Unicode
// part, an ASCII part that ASCII readers (LittleCMS here) can show, and the
// text loaded back unchanged.
#include <string>

#include "profile/load_monitor_profile.h"
#include "profile/save_monitor_profile.h"
#include "profile_test_support.h"

namespace tonalis {
namespace {

using namespace profile_testing;

class UnicodeDescriptionTest : public ScratchFolderTest {};

TEST_F(UnicodeDescriptionTest, EdgeTextsSaveAndLoadBackUnchanged) {
    const struct {
        const char* name;
        std::string text;
        std::u16string units;
        std::string file, ascii;
    } cases[] = {
        {"the maximum of 255 units", u8"显示器" + std::string(252, 'x'),
         u"显示器" + std::u16string(252, u'x'), "maximum.icc", std::string(252, 'x')},
        {"pairs outside the BMP", u8"  Dell 😀 𠀀 校准  ", u"  Dell 😀 𠀀 校准  ", "pairs.icc",
         "Dell"},
        {"only Chinese", u8"我的显示器", u"我的显示器", "office-left.icm", "office-left"},
        {"only Chinese in a Chinese name", u8"我的显示器", u"我的显示器", u8"左边.icm",
         "Tonalis profile"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = Path(c.file);
        MonitorSettings settings = DefaultSettings();
        ASSERT_EQ(SaveMonitorProfile("", path.c_str(), c.text.c_str(), settings, true), 0);

        const Bytes desc = TagData(ReadFile(path), "desc");
        const size_t count = Get32(desc, 8);
        ASSERT_EQ(count, c.ascii.size() + 1);
        EXPECT_EQ(std::string(desc.begin() + 12, desc.begin() + 12 + count - 1), c.ascii);
        const size_t unicode = 12 + count;
        ASSERT_EQ(Get32(desc, unicode + 4), c.units.size() + 1) << "the count holds the zero";
        std::u16string stored;
        for (size_t i = 0; i <= c.units.size(); ++i) {
            stored += char16_t(Get16(desc, unicode + 8 + 2 * i));
        }
        EXPECT_EQ(stored, c.units + u'\0');

        char lcms[256] = {};
        cmsGetProfileInfoASCII(LcmsProfile(path).get(), cmsInfoDescription, "en", "US", lcms,
                               sizeof lcms);
        EXPECT_EQ(lcms, c.ascii);

        MonitorSettings loaded = DefaultSettings();
        ASSERT_EQ(LoadMonitorProfile(path.c_str(), &loaded), 0);
        EXPECT_EQ(std::string(loaded.description), c.text);
        char preview[kDescriptionSize] = {};
        ASSERT_EQ(ReadProfileDescription(path.c_str(), preview, sizeof preview), 0);
        EXPECT_EQ(std::string(preview), c.text);
    }
}

}  // namespace
}  // namespace tonalis
