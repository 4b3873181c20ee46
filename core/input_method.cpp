#include "core/input_method.h"

#include "core/reg_text.h"
#include "platform/proc_address.h"
#include "platform/ui_seam.h"

#include <cstdio>
#include <string>

const GUID kKeypadInputMethod = {
    0x14D2E69D, 0x4408, 0x4753, {0xBC, 0x23, 0x15, 0x03, 0x51, 0x82, 0x37, 0x25}};

namespace {

const char kRegistration[] =
    "[HKEY_CLASSES_ROOT\\CLSID\\{14D2E69D-4408-4753-BC23-150351823725}]\r\n"
    "@=\"TK Keypad\"\r\n"
    "\"KBMode\"=dword:00000005\r\n"
    "[HKEY_CLASSES_ROOT\\CLSID\\{14D2E69D-4408-4753-BC23-150351823725}\\DefaultIcon]\r\n"
    "@=\"%lsTKIM.dll,0\"\r\n"
    "[HKEY_CLASSES_ROOT\\CLSID\\{14D2E69D-4408-4753-BC23-150351823725}\\InprocServer32]\r\n"
    "@=\"%lsTKIM.dll\"\r\n"
    "[HKEY_CLASSES_ROOT\\CLSID\\{14D2E69D-4408-4753-BC23-150351823725}\\IsSIPInputMethod]\r\n"
    "@=\"1\"\r\n";

using SipFn = BOOL (*)(CLSID*);

class Library {
public:
    explicit Library(const wchar_t* name) : module_(LoadLibraryW(name)) {}
    ~Library() {
        if (module_)
            FreeLibrary(module_);
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    HMODULE get() const { return module_; }

private:
    HMODULE module_;
};

} // namespace

void RegisterKeypadInputMethod(const std::wstring& programFolder) {
    // The text is 8-bit: the folder goes in in the system's code page.
    std::string folder;
    int n =
        WideCharToMultiByte(CP_ACP, 0, programFolder.c_str(),
                            static_cast<int>(programFolder.size()), nullptr, 0, nullptr, nullptr);
    if (n > 0) {
        folder.resize(static_cast<size_t>(n));
        WideCharToMultiByte(CP_ACP, 0, programFolder.c_str(),
                            static_cast<int>(programFolder.size()), &folder[0], n, nullptr,
                            nullptr);
    }
    std::string text = kRegistration;
    for (size_t at = text.find("%ls"); at != std::string::npos;
         at = text.find("%ls", at + folder.size()))
        text.replace(at, 3, folder);
    RegTextParser(text.data(), text.size());
}

void SelectKeypadInputMethod(std::optional<GUID>* previous, const GUID* id) {
    if (!id)
        return;
    Library coredll(L"coredll.dll");
    if (!coredll.get()) {
        wchar_t text[64];
        swprintf(text, 64, L"error 0x%X", static_cast<unsigned>(GetLastError()));
        UiMessageBox(nullptr, text, L"Error", MB_OK);
        return;
    }
    auto set = reinterpret_cast<SipFn>(
        reinterpret_cast<void*>(GetProcAddressW(coredll.get(), L"SipSetCurrentIM")));
    auto get = reinterpret_cast<SipFn>(
        reinterpret_cast<void*>(GetProcAddressW(coredll.get(), L"SipGetCurrentIM")));
    if (!set || !get)
        return;
    if (previous && !previous->has_value()) {
        GUID current{};
        if (get(&current)) // an unread identifier must never be restored at exit
            *previous = current;
    }
    GUID wanted = *id;
    set(&wanted);
}
