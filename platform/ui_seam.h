// The one seam for modal user interface: message boxes, modal dialogs and property sheets.
// By default the real box or dialog is shown; tests install a responder that answers instead,
// so that no test ever blocks on a modal window.
#pragma once
#include <windows.h>
#include <prsht.h>
#include <functional>
#include <string>

enum class UiKind { MessageBox, Dialog, PropertySheet };

struct UiRequest {
    UiKind kind;
    HWND owner;
    std::wstring text;    // message text; empty for dialogs
    std::wstring caption; // caption; the sheet's caption for property sheets
    UINT flags;           // MB_* flags of a message box
    int resourceId;       // dialog template id, 0 when given by name or for boxes
};

// Returns the answer the modal call would have returned (IDOK, IDYES, a dialog's EndDialog value).
using UiResponder = std::function<INT_PTR(const UiRequest&)>;

// Installs a responder (empty restores the real windows); returns the previous one.
UiResponder SetUiResponder(UiResponder responder);

int UiMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT flags);
INT_PTR UiDialogBox(HINSTANCE instance, const wchar_t* templateName, HWND owner, DLGPROC proc,
                    LPARAM param);
INT_PTR UiPropertySheet(PROPSHEETHEADERW* header);
