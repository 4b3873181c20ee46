#include "tests/support/scratch_dir.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

void RemoveTree(const std::wstring& dir) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring full = dir + L"\\" + name;
            SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                DeleteFileW(full.c_str());
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryW(dir.c_str());
}

std::wstring Widen(const std::string& s) {
    std::wstring w;
    for (char c : s)
        w += (c == '/' ? L'_' : static_cast<wchar_t>(static_cast<unsigned char>(c)));
    return w;
}

} // namespace

ScratchDir::ScratchDir() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::wstring name = info ? Widen(info->test_suite_name()) + L"." + Widen(info->name()) : L"t";
    static int counter = 0;
    path_ = std::wstring(temp) + L"tw-" + name + L"-" + std::to_wstring(GetCurrentProcessId()) +
            L"-" + std::to_wstring(++counter);
    RemoveTree(path_);
    CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchDir::~ScratchDir() { RemoveTree(path_); }

std::wstring ScratchDir::WriteFile(const std::wstring& name, const std::string& bytes) const {
    std::wstring full = *this / name;
    HANDLE h = CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE) << "cannot create scratch file";
    if (h != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(h);
    }
    return full;
}

std::string ScratchDir::ReadFile(const std::wstring& path) {
    std::string out;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return out;
    char buf[65536];
    DWORD got = 0;
    while (::ReadFile(h, buf, sizeof(buf), &got, nullptr) && got > 0)
        out.append(buf, got);
    CloseHandle(h);
    return out;
}
