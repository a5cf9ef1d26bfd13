// TNP.cpl driven through its Control Panel entry point, as the Control Panel does.
#include <windows.h>
#include <cpl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "applet_library.h"

namespace tonalis::e2e {
namespace {

constexpr char kWhitePointClass[] = "WhPtExp";

class ControlPanel : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_NE(applet_.module(), nullptr) << AppletPath(); }
    AppletLibrary applet_;
};

TEST_F(ControlPanel, ExportsTheEntryPoints) {
    EXPECT_NE(applet_.Export("CPlApplet"), nullptr);
    EXPECT_NE(applet_.Export("DllMain"), nullptr);
}

TEST_F(ControlPanel, InitRegistersTheWhitePointClassAndExitRemovesIt) {
    WNDCLASSA found;
    ASSERT_EQ(applet_.Send(CPL_INIT), 1);
    ASSERT_TRUE(GetClassInfoA(applet_.module(), kWhitePointClass, &found));
    EXPECT_EQ(found.style, UINT(CS_VREDRAW | CS_HREDRAW));
    EXPECT_EQ(found.cbClsExtra, 0);
    EXPECT_EQ(found.cbWndExtra, 0);
    EXPECT_EQ(found.hIcon, nullptr);
    EXPECT_NE(found.hbrBackground, nullptr);

    EXPECT_EQ(applet_.Send(CPL_EXIT), 0);
    EXPECT_FALSE(GetClassInfoA(applet_.module(), kWhitePointClass, &found));

    // Found twice, in the system folder and through its Cpls value.
    ASSERT_EQ(applet_.Send(CPL_INIT), 1);
    EXPECT_EQ(applet_.Send(CPL_INIT), 1);
    applet_.Send(CPL_EXIT);
    EXPECT_TRUE(GetClassInfoA(applet_.module(), kWhitePointClass, &found));
    applet_.Send(CPL_EXIT);
    EXPECT_FALSE(GetClassInfoA(applet_.module(), kWhitePointClass, &found));
}

TEST_F(ControlPanel, DescribesOneApplet) {
    ASSERT_EQ(applet_.Send(CPL_INIT), 1);
    EXPECT_EQ(applet_.Send(CPL_GETCOUNT), 1);

    CPLINFO info;
    std::memset(&info, 0xCD, sizeof info);
    EXPECT_EQ(applet_.Send(CPL_INQUIRE, 0, reinterpret_cast<LPARAM>(&info)), 0);
    EXPECT_EQ(info.idIcon, 137);
    EXPECT_EQ(info.idName, 2);
    EXPECT_EQ(info.idInfo, 1);
    EXPECT_EQ(info.lData, 0);
    EXPECT_NE(LoadIconA(applet_.module(), MAKEINTRESOURCEA(137)), nullptr);
    applet_.Send(CPL_EXIT);
}

TEST_F(ControlPanel, OtherMessagesAnswerZeroAndTouchNothing) {
    ASSERT_EQ(applet_.Send(CPL_INIT), 1);
    for (UINT message : {0u, UINT(CPL_SELECT), UINT(CPL_STOP), UINT(CPL_NEWINQUIRE), 9u, 0x400u}) {
        unsigned char buffer[64];
        std::memset(buffer, 0xCD, sizeof buffer);
        EXPECT_EQ(applet_.Send(message, 0, reinterpret_cast<LPARAM>(buffer)), 0) << message;
        for (unsigned char byte : buffer) {
            ASSERT_EQ(byte, 0xCD) << "message " << message << " wrote to its argument";
        }
    }
    applet_.Send(CPL_EXIT);
}

TEST_F(ControlPanel, StringTableReadsInTheAnsiCodePage) {
    ASSERT_EQ(GetACP(), 936u) << "the suite runs with the Simplified Chinese code page";
    char text[160] = {};
    ASSERT_GT(LoadStringA(applet_.module(), 2, text, sizeof text), 0);
    EXPECT_STREQ(text, "Tonalis");

    // The same text converted here from UTF-8 must match what LoadStringA gives.
    const char* utf8 = u8"您目前的显示模式必须支持 256 色以上，才能执行此公用程序。";
    wchar_t wide[128] = {};
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 128);
    char expected[160] = {};
    WideCharToMultiByte(936, 0, wide, -1, expected, sizeof expected, nullptr, nullptr);
    ASSERT_GT(LoadStringA(applet_.module(), 3300, text, sizeof text), 0);
    EXPECT_STREQ(text, expected);
}

}  // namespace
}  // namespace tonalis::e2e
