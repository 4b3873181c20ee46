#include "core/directory_tree.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/scratch_dir.h"

namespace {

bool IsFolder(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// source\a.txt, source\Sub\b.txt, source\Sub\Deeper\c.txt, source\Empty
std::wstring MakeTree(const ScratchDir& scratch) {
    const std::wstring root = scratch / L"source";
    EXPECT_TRUE(CreateDirectoryChain((root + L"\\Sub\\Deeper").c_str()));
    EXPECT_TRUE(CreateDirectoryChain((root + L"\\Empty").c_str()));
    scratch.WriteFile(L"source\\a.txt", "alpha");
    scratch.WriteFile(L"source\\Sub\\b.txt", "beta");
    scratch.WriteFile(L"source\\Sub\\Deeper\\c.txt", "gamma");
    return root;
}

class CurrentFolder {
public:
    explicit CurrentFolder(const std::wstring& folder) {
        GetCurrentDirectoryW(MAX_PATH, previous_);
        SetCurrentDirectoryW(folder.c_str());
    }
    ~CurrentFolder() { SetCurrentDirectoryW(previous_); }

private:
    wchar_t previous_[MAX_PATH] = {};
};

TEST(DirectoryTree, CreateDirectoryChainCreatesEveryLevel) {
    ScratchDir scratch;
    const std::wstring deep = scratch / L"A\\B\\C";
    EXPECT_TRUE(CreateDirectoryChain(deep.c_str()));
    EXPECT_TRUE(IsFolder(deep));
    EXPECT_TRUE(CreateDirectoryChain(deep.c_str())); // already there is no failure

    const std::wstring trailing = scratch / L"X\\Y\\";
    EXPECT_TRUE(CreateDirectoryChain(trailing.c_str()));
    EXPECT_TRUE(IsFolder(scratch / L"X\\Y"));

    EXPECT_TRUE(CreateDirectoryChain((scratch / L"S/T").c_str()));
    EXPECT_TRUE(IsFolder(scratch / L"S\\T"));

    EXPECT_FALSE(CreateDirectoryChain(L""));
    EXPECT_FALSE(CreateDirectoryChain(nullptr));
}

TEST(DirectoryTree, CreateDirectoryChainTakesTheFirstComponentAsExisting) {
    ScratchDir scratch;
    CurrentFolder here(scratch.path());
    // The volume-like first component is never created, so nothing below it can be.
    EXPECT_FALSE(CreateDirectoryChain(L"Volume\\A\\B"));
    EXPECT_FALSE(Exists(scratch / L"Volume"));
    ASSERT_TRUE(CreateDirectoryW((scratch / L"Volume").c_str(), nullptr));
    EXPECT_TRUE(CreateDirectoryChain(L"Volume\\A\\B"));
    EXPECT_TRUE(IsFolder(scratch / L"Volume\\A\\B"));
}

TEST(DirectoryTree, CreateDirectoryChainRefusesAnOverlongPath) {
    ScratchDir scratch;
    const std::wstring name(40, L'n');
    std::wstring path = scratch.path();
    while (path.size() < MAX_PATH)
        path += L"\\" + name;
    EXPECT_FALSE(CreateDirectoryChain(path.c_str()));
    EXPECT_FALSE(Exists(scratch / name)); // not even the levels that would fit
}

TEST(DirectoryTree, DeleteDirectoryTreeRemovesEverything) {
    ScratchDir scratch;
    const std::wstring root = MakeTree(scratch);
    EXPECT_TRUE(DeleteDirectoryTree((root + L"\\").c_str()));
    EXPECT_FALSE(Exists(root));
    EXPECT_TRUE(IsFolder(scratch.path()));

    EXPECT_FALSE(DeleteDirectoryTree((scratch / L"missing").c_str()));
    EXPECT_FALSE(DeleteDirectoryTree(L""));
    EXPECT_FALSE(DeleteDirectoryTree(nullptr));
}

TEST(DirectoryTree, CopyDirectoryTreeCopiesFilesAndFolders) {
    ScratchDir scratch;
    const std::wstring source = MakeTree(scratch);
    ASSERT_TRUE(CreateDirectoryChain((scratch / L"copy\\Sub").c_str()));
    scratch.WriteFile(L"copy\\Sub\\b.txt", "old"); // overwritten

    EXPECT_TRUE(CopyDirectoryTree(source.c_str(), (scratch / L"copy").c_str()));
    EXPECT_EQ(ScratchDir::ReadFile(scratch / L"copy\\a.txt"), "alpha");
    EXPECT_EQ(ScratchDir::ReadFile(scratch / L"copy\\Sub\\b.txt"), "beta");
    EXPECT_EQ(ScratchDir::ReadFile(scratch / L"copy\\Sub\\Deeper\\c.txt"), "gamma");
    EXPECT_TRUE(IsFolder(scratch / L"copy\\Empty"));
    EXPECT_EQ(ScratchDir::ReadFile(source + L"\\a.txt"), "alpha");

    EXPECT_FALSE(CopyDirectoryTree((scratch / L"missing").c_str(), (scratch / L"c2").c_str()));
    EXPECT_FALSE(Exists(scratch / L"c2"));
}

TEST(DirectoryTree, CopyDirectoryTreeRefusesATargetInsideItsSource) {
    ScratchDir scratch;
    const std::wstring source = MakeTree(scratch);
    const std::wstring targets[] = {
        source + L"\\Sub\\Copy",
        source,
        source + L"\\",
        scratch / L"SOURCE\\copy",
        scratch / L"source\\..\\source\\x",
    };
    for (const auto& target : targets) {
        SetLastError(0);
        EXPECT_FALSE(CopyDirectoryTree(source.c_str(), target.c_str())) << target;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER)) << target;
    }
    EXPECT_FALSE(Exists(source + L"\\Sub\\Copy"));
    EXPECT_FALSE(Exists(source + L"\\x"));
    // A sibling whose name only begins with the source's name is not inside it.
    EXPECT_TRUE(CopyDirectoryTree(source.c_str(), (scratch / L"source2").c_str()));
    EXPECT_EQ(ScratchDir::ReadFile(scratch / L"source2\\Sub\\Deeper\\c.txt"), "gamma");
}

TEST(DirectoryTree, CopyDirectoryTreeSkipsAnEntryWhosePathWouldNotFit) {
    ScratchDir scratch;
    const std::wstring source = scratch / L"s";
    ASSERT_TRUE(CreateDirectoryChain(source.c_str()));
    scratch.WriteFile(L"s\\short.txt", "kept");
    // The long name fits below the short source folder but not below the long target folder.
    std::wstring target = scratch / std::wstring(60, L't');
    const size_t longName = MAX_PATH - 1 - (source.size() + 1);
    const size_t room = MAX_PATH - 1 - (target.size() + 1);
    ASSERT_GT(longName, room);
    const std::wstring name = std::wstring(longName - 4, L'L') + L".txt";
    scratch.WriteFile(L"s\\" + name, "too long");
    ASSERT_EQ(ScratchDir::ReadFile(source + L"\\" + name), "too long");

    EXPECT_FALSE(CopyDirectoryTree(source.c_str(), target.c_str()));
    EXPECT_EQ(ScratchDir::ReadFile(target + L"\\short.txt"), "kept");
    // Nothing was written under a cut name either.
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((target + L"\\*").c_str(), &entry);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    int files = 0;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            ++files;
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    EXPECT_EQ(files, 1);
}

TEST(DirectoryTree, DeleteDirectoryTreeSkipsAnEntryWhosePathWouldNotFit) {
    ScratchDir scratch;
    const std::wstring root = scratch / L"d";
    ASSERT_TRUE(CreateDirectoryChain(root.c_str()));
    scratch.WriteFile(L"d\\short.txt", "gone");
    // Wine takes paths past MAX_PATH, so such an entry can exist below the folder.
    const std::wstring name = std::wstring(MAX_PATH - root.size(), L'L');
    const std::wstring overlong = root + L"\\" + name;
    ASSERT_GE(overlong.size(), static_cast<size_t>(MAX_PATH));
    scratch.WriteFile(L"d\\" + name, "left");
    ASSERT_TRUE(Exists(overlong));

    EXPECT_FALSE(DeleteDirectoryTree(root.c_str())); // the folder is not empty
    EXPECT_FALSE(Exists(root + L"\\short.txt"));
    EXPECT_TRUE(Exists(overlong));
    DeleteFileW(overlong.c_str());
}

} // namespace
