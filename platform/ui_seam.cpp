#include "platform/ui_seam.h"

#include <mutex>

namespace {

std::mutex g_responderLock;
UiResponder g_responder;

bool Respond(const UiRequest& request, INT_PTR* answer) {
    UiResponder responder;
    {
        std::lock_guard<std::mutex> hold(g_responderLock);
        responder = g_responder;
    }
    if (!responder)
        return false;
    *answer = responder(request);
    return true;
}

int ResourceIdOf(const wchar_t* name) {
    return IS_INTRESOURCE(name) ? static_cast<int>(reinterpret_cast<ULONG_PTR>(name)) : 0;
}

} // namespace

UiResponder SetUiResponder(UiResponder responder) {
    std::lock_guard<std::mutex> hold(g_responderLock);
    UiResponder previous = std::move(g_responder);
    g_responder = std::move(responder);
    return previous;
}

int UiMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT flags) {
    UiRequest request{UiKind::MessageBox, owner, text ? text : L"", caption ? caption : L"",
                      flags, 0};
    INT_PTR answer = 0;
    if (Respond(request, &answer))
        return static_cast<int>(answer);
    return MessageBoxW(owner, text, caption, flags);
}

INT_PTR UiDialogBox(HINSTANCE instance, const wchar_t* templateName, HWND owner, DLGPROC proc,
                    LPARAM param) {
    UiRequest request{UiKind::Dialog, owner, L"", L"", 0, ResourceIdOf(templateName)};
    INT_PTR answer = 0;
    if (Respond(request, &answer))
        return answer;
    return DialogBoxParamW(instance, templateName, owner, proc, param);
}

INT_PTR UiPropertySheet(PROPSHEETHEADERW* header) {
    UiRequest request{UiKind::PropertySheet, header ? header->hwndParent : nullptr, L"",
                      (header && !IS_INTRESOURCE(header->pszCaption)) ? header->pszCaption : L"",
                      0, 0};
    INT_PTR answer = 0;
    if (Respond(request, &answer))
        return answer;
    return PropertySheetW(header);
}
