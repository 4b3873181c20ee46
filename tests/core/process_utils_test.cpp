#include "core/process_utils.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/support/scratch_dir.h"

namespace {

// Built beside the test binaries under a name nothing else uses.
const wchar_t kTargetName[] = L"twcore-wait-target.exe";

std::wstring BinFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

class Child {
public:
    explicit Child(const std::wstring& exe, const std::wstring& arguments = L"") {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        // No standard handles: the child must not hold the test runner's output pipe.
        startup.dwFlags = STARTF_USESTDHANDLES;
        std::wstring command = L"\"" + exe + L"\" " + arguments;
        started_ = CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                                  nullptr, &startup, &info_);
    }
    ~Child() {
        if (!started_)
            return;
        if (running())
            TerminateProcess(info_.hProcess, 99);
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool started() const { return started_; }
    bool running() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
    bool EndsWithin(DWORD ms) const {
        return WaitForSingleObject(info_.hProcess, ms) == WAIT_OBJECT_0;
    }
    DWORD exitCode() const {
        DWORD code = 0;
        GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION info_{};
    bool started_ = false;
};

TEST(ProcessUtils, TerminatesEveryProcessOfThatNameOnly) {
    ScratchDir scratch;
    const std::wstring target = BinFolder() + L"\\" + kTargetName;
    const std::wstring other = scratch / L"twcore-other-target.exe";
    ASSERT_TRUE(CopyFileW(target.c_str(), other.c_str(), FALSE));

    Child first(target);
    Child second(target);
    Child bystander(other);
    ASSERT_TRUE(first.started() && second.started() && bystander.started());

    EXPECT_EQ(TerminateProcessByName(L"TWCORE-Wait-Target.EXE"), 0);
    ASSERT_TRUE(first.EndsWithin(10000));
    ASSERT_TRUE(second.EndsWithin(10000));
    EXPECT_EQ(first.exitCode(), 0u);
    EXPECT_EQ(second.exitCode(), 0u);
    EXPECT_TRUE(bystander.running());

    EXPECT_EQ(TerminateProcessByName(L"twcore-wait-target"), 0); // the name without ".exe"
    EXPECT_EQ(TerminateProcessByName(L""), 0);
    EXPECT_EQ(TerminateProcessByName(nullptr), 0);
    EXPECT_TRUE(bystander.running());
}

TEST(ProcessUtils, NeverEndsTheCallingProcess) {
    // A copy of its own name, so that no other test's process is in reach.
    ScratchDir scratch;
    const std::wstring self = scratch / L"twcore-self-ender.exe";
    ASSERT_TRUE(CopyFileW((BinFolder() + L"\\" + kTargetName).c_str(), self.c_str(), FALSE));
    Child child(self, L"end-self");
    ASSERT_TRUE(child.started());
    ASSERT_TRUE(child.EndsWithin(10000));
    EXPECT_EQ(child.exitCode(), 7u);
}

} // namespace
