// A second start of the program finds the running one by its window class, hands over its
// command line and ends. The stand-in for the running program is a top-level window of the
// program's class, which other tests could find: this binary runs alone.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/init_instance.h"
#include "core/resource_module.h"
#include "resources/resource.h"

namespace {

struct Received {
    int count = 0;
    ULONG_PTR kind = 0;
    DWORD bytes = 0;
    std::vector<unsigned char> data;
};
Received g_received;

LRESULT CALLBACK FirstInstanceProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COPYDATA) {
        const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        ++g_received.count;
        g_received.kind = cds->dwData;
        g_received.bytes = cds->cbData;
        const auto* bytes = static_cast<const unsigned char*>(cds->lpData);
        g_received.data.assign(bytes, bytes + (bytes ? cds->cbData : 0));
        return TRUE;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

class SecondStartTest : public ::testing::Test {
protected:
    SecondStartTest() {
        g_received = Received{};
        wchar_t className[64];
        LoadResString(IDS_APP_CLASS, className, 64);
        WNDCLASSW wc{};
        wc.lpfnWndProc = FirstInstanceProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = className;
        RegisterClassW(&wc);
        window = CreateWindowExW(0, className, L"first", WS_OVERLAPPED, 0, 0, 200, 200, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    ~SecondStartTest() override { DestroyWindow(window); }

    static std::wstring ProgramPath() {
        wchar_t path[MAX_PATH];
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring folder = path;
        return folder.substr(0, folder.find_last_of(L'\\') + 1) + L"Tarn_Wick.exe";
    }

    // Starts the program with the arguments and serves this thread's window until it ends.
    DWORD RunSecond(const std::wstring& arguments) {
        std::wstring line = L"\"" + ProgramPath() + L"\"" + arguments;
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        si.dwFlags = STARTF_USESTDHANDLES; // never hold the test runner's output pipe
        PROCESS_INFORMATION pi{};
        if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                            &pi)) {
            ADD_FAILURE() << "cannot start the program: " << GetLastError();
            return 0xFFFFFFFF;
        }
        DWORD start = GetTickCount();
        while (GetTickCount() - start < 30000) {
            DWORD rc = MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, 100, QS_ALLINPUT);
            if (rc == WAIT_OBJECT_0)
                break;
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&msg);
        }
        DWORD code = 0xFFFFFFFF;
        if (WaitForSingleObject(pi.hProcess, 0) != WAIT_OBJECT_0)
            TerminateProcess(pi.hProcess, 1);
        else
            GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return code;
    }

    HWND window = nullptr;
};

TEST_F(SecondStartTest, HandsOverTheCommandLineAndEnds) {
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(0u, RunSecond(L" \\Tours\\Alps.tur"));
    ASSERT_EQ(1, g_received.count);
    EXPECT_EQ(kCommandLineData, g_received.kind);
    const std::wstring path = L"\\Tours\\Alps.tur";
    ASSERT_EQ((path.size() + 1) * sizeof(wchar_t), g_received.bytes) << "text with its zero";
    std::wstring got(reinterpret_cast<const wchar_t*>(g_received.data.data()), path.size() + 1);
    EXPECT_EQ(path + L'\0', got);
}

TEST_F(SecondStartTest, WithoutArgumentsSendsNoData) {
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(0u, RunSecond(L""));
    ASSERT_EQ(1, g_received.count);
    EXPECT_EQ(kCommandLineData, g_received.kind);
    EXPECT_EQ(0u, g_received.bytes);
}

} // namespace
