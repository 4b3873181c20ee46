#include "core/app_settings.h"
#include "core/dev_cfg.h"
#include "core/device_profile.h"
#include "platform/oem_info.h"
#include "tests/support/program_key_scope.h"
#include "tests/support/scratch_dir.h"

#include <gtest/gtest.h>

namespace {

class DevCfgTest : public ::testing::Test {
protected:
    DevCfgTest() : settings(GetAppSettings()), profile(GetDeviceProfile()) {
        wcscpy(settings->gpsPort, L"COM6:");
        settings->baudRate = 4800;
        settings->SetFolderList(L":na");
        profile->cfg4 = 0;
        profile->buttonCount = 0;
        profile->lcdType = 0;
        profile->minBacklight = -1;
        profile->ioRegisterIndex = 0;
        profile->ioRegisterMask = 0;
        profile->deviceFunction[0] = 0;
    }
    ~DevCfgTest() override { SetOemInfoForTesting(L""); }

    std::wstring Folder() const { return dir.path() + L"\\"; }
    void Run(const wchar_t* oem) {
        SetOemInfoForTesting(oem);
        DevCfg cfg(settings, profile, Folder());
        cfg.ParseFile(DevCfgFilePath(Folder()));
    }
    std::vector<std::pair<uint32_t, int>> Buttons() const {
        std::vector<std::pair<uint32_t, int>> out;
        for (int i = 0; i < profile->buttonCount; ++i)
            out.emplace_back(profile->buttons[i].keyWord, profile->buttons[i].action);
        return out;
    }

    ProgramKeyScope key;
    ScratchDir dir;
    AppSettings* settings;
    DeviceProfile* profile;
};

TEST(DevCfgKeyWord, HexOrDecimal) {
    const struct {
        const wchar_t* text;
        uint32_t value;
    } cases[] = {{L"0x10D", 0x10D}, {L"0X20d", 0x20D}, {L"13", 13},
                 {L" 0x85", 0x85},  {L"abc", 0},       {L"", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(c.value, ParseKeyWord(c.text)) << c.text;
}

TEST_F(DevCfgTest, BuiltInDeviceMatchesOemPrefixIgnoringCase) {
    profile->set_cfg_gpsbt(true);
    Run(L"platform_oem rev. B");
    EXPECT_STREQ(L"GPS1:", settings->gpsPort);
    EXPECT_EQ(57600, settings->baudRate);
    EXPECT_FALSE(profile->cfg_gpsbt()); // a "gps" element without text "1"
    EXPECT_EQ(1, profile->lcdType);
    EXPECT_EQ(21, profile->minBacklight);
    const std::vector<std::pair<uint32_t, int>> expected = {{0x34, 1},  {0x35, 2},  {0x52, 3},
                                                            {0x4C, 4},  {0x55, 5},  {0x44, 6},
                                                            {0x30, 16}, {0x32, 14}, {0x43, 17}};
    EXPECT_EQ(expected, Buttons());
    EXPECT_STREQ(L"\\Flash Disk\\Tarn-Wick", settings->folders[0]);
    EXPECT_STREQ(L"\\Storage Card\\Tarn-Wick", settings->folders[1]);
    // The matching device's values are saved.
    std::wstring port;
    DWORD baud = 0;
    EXPECT_TRUE(key.GetString(L"COM Port", &port));
    EXPECT_EQ(L"GPS1:", port);
    EXPECT_TRUE(key.GetDword(L"Baudrate", &baud));
    EXPECT_EQ(57600u, baud);

    Run(L"N_HH_BRISEL");
    EXPECT_TRUE(profile->cfg_gpsbt()); // text "1"
    EXPECT_EQ(-1, profile->lcdType);
    EXPECT_EQ(9, profile->buttonCount);
    EXPECT_EQ(0x20Du, profile->buttons[8].keyWord);
}

TEST_F(DevCfgTest, NoMatchingDeviceChangesAndSavesNothing) {
    dir.WriteFile(L"devcfg.xml", "<devices><device name=\"Other\"><gps port=\"COM1:\" "
                                 "baudrate=\"9600\"/></device><device><gps port=\"COM2:\"/>"
                                 "</device></devices>");
    Run(L"Unknown device");
    EXPECT_STREQ(L"COM6:", settings->gpsPort);
    EXPECT_EQ(0, profile->buttonCount);
    EXPECT_FALSE(key.Exists());
}

TEST_F(DevCfgTest, FileOverridesBuiltInAndThisdevWins) {
    dir.WriteFile(L"devcfg.xml", "<devices><device name=\"Windows PC\"><gps port=\"COM9:\" "
                                 "baudrate=\"1200\"/></device></devices>");
    dir.WriteFile(L"thisdev.xml",
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                  "<DEVICES><Device name=\"windows pc\">\n"
                  "  <GPS port=\"COM3:\" baudrate=\"9600\">\n    1\n  </GPS>\n"
                  "  <lcd cap=\"103\"><min>50</min><io r=\"2\">0x40</io>"
                  "<dll func=\"1\">\n  BKL_Set</dll></lcd>\n"
                  "  <Buttons>\n"
                  "    <button action=\"17\">0x1&#x30;D</button>\n" // delivered in pieces
                  "    <button action=\"5\">13</button>\n"
                  "    <button>0x20</button>\n"
                  "  </Buttons>\n"
                  "</Device></DEVICES>");
    Run(L"Windows PC");
    EXPECT_STREQ(L"COM3:", settings->gpsPort);
    EXPECT_EQ(9600, settings->baudRate);
    EXPECT_TRUE(profile->cfg_gpsbt());
    EXPECT_EQ(103, profile->lcdType);
    EXPECT_EQ(50, profile->minBacklight);
    EXPECT_EQ(2, profile->ioRegisterIndex);
    EXPECT_EQ(0x40u, profile->ioRegisterMask);
    EXPECT_STREQ(L"BKL_Set", profile->deviceFunction);
    // The file's device starts the table again; a button without action gets action 0.
    const std::vector<std::pair<uint32_t, int>> expected = {{0x10D, 17}, {13, 5}, {0x20, 0}};
    EXPECT_EQ(expected, Buttons());
}

TEST_F(DevCfgTest, OddInputIsBoundedAndErrorsKeepWhatWasApplied) {
    std::string buttons;
    for (int i = 0; i < 20; ++i)
        buttons +=
            "<button action=\"" + std::to_string(i) + "\">" + std::to_string(100 + i) + "</button>";
    // The second device breaks off with a parse error after its buttons.
    dir.WriteFile(L"devcfg.xml", "<devices><device name=\"Windows PC\"><gps/><lcd><io>7</io>"
                                 "<dll/><min></min></lcd><folder>\\Mine</folder></device>"
                                 "<device name=\"Windows PC\"><gps port=\"COM4:\"/>" +
                                     buttons + "<broken></device></devices>");
    Run(L"Windows PC");
    ASSERT_EQ(16, profile->buttonCount);
    EXPECT_EQ(115u, profile->buttons[15].keyWord);
    EXPECT_STREQ(L"COM4:", settings->gpsPort); // applied before the parse error
    EXPECT_EQ(0, profile->ioRegisterIndex);    // "io" without "r"
    EXPECT_EQ(0u, profile->ioRegisterMask);
    EXPECT_EQ(-1, profile->minBacklight);
    EXPECT_STREQ(L"\\Mine", settings->folders[0]);
}

TEST_F(DevCfgTest, FolderTextOnlyReplacesAnUnsetList) {
    settings->SetFolderList(L"\\My Maps");
    Run(L"PLATFORM_OEM");
    EXPECT_STREQ(L"\\My Maps", settings->folders[0]);
    EXPECT_EQ(1, settings->folderCount);
}

TEST_F(DevCfgTest, DeviceLibraryIsCopiedWithoutOverwriting) {
    ScratchDir source;
    std::wstring library = source.WriteFile(L"bkl.dll", "new");
    std::string xml = "<devices><device name=\"Windows PC\"><lcd cap=\"1\"><dll c=\"1\">" +
                      std::string(library.begin(), library.end()) +
                      "</dll></lcd></device></devices>";
    dir.WriteFile(L"devcfg.xml", xml);
    Run(L"Windows PC");
    EXPECT_EQ("new", ScratchDir::ReadFile(dir / L"bkl.dll"));
    dir.WriteFile(L"bkl.dll", "mine");
    Run(L"Windows PC");
    EXPECT_EQ("mine", ScratchDir::ReadFile(dir / L"bkl.dll"));
}

} // namespace
