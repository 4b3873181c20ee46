#include "maps/manager_item.h"
#include "tests/support/scratch_dir.h"

#include <gtest/gtest.h>
#include <string>

namespace {

class TestItem : public ManagerItem {
public:
    void GetInfoText(wchar_t* buffer, size_t chars) override {
        if (chars)
            buffer[0] = L'\0';
    }
    void Draw(View*) override {}
};

View* FakeView(uintptr_t n) {
    return reinterpret_cast<View*>(n);
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

TEST(ManagerItem, ConstructionDefaults) {
    TestItem item;
    EXPECT_EQ(item.rerenderPermitted, 1);
    EXPECT_EQ(item.flags, 0);
    EXPECT_EQ(item.visible, 0);
    EXPECT_EQ(item.storedVisible, 0);
    EXPECT_EQ(item.opened, 0);
    EXPECT_EQ(item.previous, nullptr);
    EXPECT_EQ(item.next, nullptr);
    EXPECT_FALSE(item.IsInUse());
    EXPECT_EQ(item.ScaleOffset(25000), -1);
    EXPECT_FALSE(item.IsChart());
    EXPECT_EQ(item.IsInView(nullptr, nullptr, 25000, 0), 0.0);
}

TEST(ManagerItem, UserTableHoldsTwoDistinctUsers) {
    TestItem item;
    item.AddUser(nullptr, FakeView(1));
    item.AddUser(nullptr, FakeView(1));
    EXPECT_EQ(item.users[0], FakeView(1));
    EXPECT_EQ(item.users[1], nullptr);
    item.AddUser(nullptr, FakeView(2));
    item.AddUser(nullptr, FakeView(3)); // a third user is not recorded
    EXPECT_TRUE(item.HasUser(FakeView(2)));
    EXPECT_FALSE(item.HasUser(FakeView(3)));

    EXPECT_FALSE(item.RemoveUser(FakeView(3))); // absent: only reports
    EXPECT_FALSE(item.RemoveUser(nullptr));
    EXPECT_FALSE(item.RemoveUser(FakeView(1)));
    item.AddUser(nullptr, FakeView(3)); // the freed first entry takes it
    EXPECT_EQ(item.users[0], FakeView(3));
    item.ClearUsers();
    EXPECT_FALSE(item.IsInUse());
    item.AddUser(nullptr, FakeView(4));
    EXPECT_TRUE(item.RemoveUser(FakeView(4)));
}

TEST(ManagerItem, SetVisibleAndBoundedTexts) {
    TestItem item;
    item.SetVisible(1, false);
    EXPECT_EQ(item.visible, 1);
    EXPECT_EQ(item.storedVisible, 0);
    item.SetVisible(2, true);
    EXPECT_EQ(item.storedVisible, 2);

    std::wstring longText(400, L'n');
    item.SetName(longText.c_str());
    item.SetPath(longText.c_str());
    item.SetDateText(longText.c_str());
    EXPECT_EQ(std::wstring(item.name).size(), kItemNameChars - 1);
    EXPECT_EQ(std::wstring(item.path).size(), kItemPathChars - 1);
    EXPECT_EQ(std::wstring(item.dateText).size(), kItemDateChars - 1);
}

TEST(ManagerItem, RenameFileMovesBelowNewBase) {
    ScratchDir dir;
    const std::wstring root = dir.path();
    struct Case {
        const wchar_t* file;    // below root
        const wchar_t* oldBase; // below root
        const wchar_t* newBase; // below root; only its folder part counts
        const wchar_t* target;  // below root
    } cases[] = {
        {L"\\Maps\\Old\\sub\\x.jpg", L"\\Maps\\Old", L"\\Card\\New\\", L"\\Card\\New\\sub\\x.jpg"},
        {L"\\Maps\\Old\\y.jpg", L"\\Maps\\Old", L"\\Card\\New\\", L"\\Card\\New\\y.jpg"},
        // The new base's last component is a name, not a folder.
        {L"\\Maps\\Old\\z.jpg", L"\\Maps\\Old", L"\\Card\\Other\\ignored", L"\\Card\\Other\\z.jpg"},
        // Shared start only: the relative part begins after the last common character.
        {L"\\Maps\\Older\\a\\w.jpg", L"\\Maps\\Old", L"\\Card\\New\\",
         L"\\Card\\New\\er\\a\\w.jpg"},
        // An old base with its separator leaves a bare file name, which has no folder.
        {L"\\Maps\\Old\\v.jpg", L"\\Maps\\Old\\", L"\\Card\\New\\", L"\\Card\\New\\v.jpg"},
    };
    for (const Case& c : cases) {
        const std::wstring from = root + c.file;
        CreateDirectoryW((root + L"\\Maps").c_str(), nullptr);
        CreateDirectoryW((root + L"\\Maps\\Old").c_str(), nullptr);
        CreateDirectoryW((root + L"\\Maps\\Old\\sub").c_str(), nullptr);
        CreateDirectoryW((root + L"\\Maps\\Older").c_str(), nullptr);
        CreateDirectoryW((root + L"\\Maps\\Older\\a").c_str(), nullptr);
        dir.WriteFile(std::wstring(c.file).substr(1), "map");
        TestItem item;
        item.SetPath(from.c_str());
        EXPECT_TRUE(item.RenameFile((root + c.oldBase).c_str(), (root + c.newBase).c_str()))
            << c.file;
        EXPECT_EQ(std::wstring(item.path), root + c.target) << c.file;
        EXPECT_TRUE(FileExists(root + c.target)) << c.file;
        EXPECT_FALSE(FileExists(from)) << c.file;
    }
}

TEST(ManagerItem, FailedOrOverlongRenameKeepsPath) {
    ScratchDir dir;
    TestItem missing;
    const std::wstring from = dir.path() + L"\\Old\\gone.jpg";
    missing.SetPath(from.c_str());
    EXPECT_FALSE(
        missing.RenameFile((dir.path() + L"\\Old").c_str(), (dir.path() + L"\\New\\").c_str()));
    EXPECT_EQ(std::wstring(missing.path), from);

    const std::wstring present = dir.WriteFile(L"keep.jpg", "map");
    TestItem deep;
    deep.SetPath(present.c_str());
    const std::wstring longBase = dir.path() + L"\\" + std::wstring(240, L'd') + L"\\";
    EXPECT_FALSE(deep.RenameFile(dir.path().c_str(), longBase.c_str()));
    EXPECT_EQ(std::wstring(deep.path), present);
    EXPECT_TRUE(FileExists(present));
}

TEST(ManagerItem, FolderLabel) {
    struct Case {
        uint8_t flags;
        bool mark;
        const wchar_t* expected;
    } cases[] = {
        {0x00, false, L"|||Maps|Alps|Alps 1"},
        {0x00, true, L"|||Maps|Alps|*Alps 1"},
        {kItemFlagTileServer, false, L"|Alps 1"}, // a catalogue tile map has no folder
        {kItemFlagTileServer | kItemFlagFromFolder, false, L"|||Maps|Alps|Alps 1"},
    };
    for (const Case& c : cases) {
        TestItem item;
        item.SetPath(L"\\\\Maps\\Alps\\a1.tkm");
        item.SetName(L"Alps 1");
        item.flags = c.flags;
        wchar_t out[64];
        EXPECT_TRUE(FormatItemFolderLabel(&item, out, 64, c.mark));
        EXPECT_STREQ(out, c.expected);
    }
    TestItem item;
    item.SetPath(L"\\Maps\\a.tkm");
    item.SetName(L"A long name");
    wchar_t small[8];
    EXPECT_FALSE(FormatItemFolderLabel(&item, small, 8, false));
    EXPECT_STREQ(small, L"||Maps|");
}
