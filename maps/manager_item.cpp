#include "maps/manager_item.h"

#include "core/directory_tree.h"

#include <cwchar>
#include <string>

namespace {

// Copies src into a field of `chars` characters, cutting it so the terminator always fits.
void CopyBounded(wchar_t* dst, size_t chars, const wchar_t* src) {
    if (chars == 0)
        return;
    size_t n = src ? wcsnlen(src, chars - 1) : 0;
    wmemcpy(dst, src ? src : L"", n);
    dst[n] = L'\0';
}

size_t LastSeparator(const std::wstring& path, bool slashToo) {
    return path.find_last_of(slashToo ? L"\\/" : L"\\");
}

// The path cut at its last backslash or slash; unchanged without one.
std::wstring DirectoryPart(const std::wstring& path) {
    size_t at = LastSeparator(path, true);
    return at == std::wstring::npos ? path : path.substr(0, at);
}

std::wstring FileNamePart(const std::wstring& path) {
    size_t at = LastSeparator(path, false);
    return at == std::wstring::npos ? path : path.substr(at + 1);
}

} // namespace

ManagerItem::ManagerItem()
    : users{nullptr, nullptr}, flags(0), rerenderPermitted(1), opened(0), reserved(0),
      previous(nullptr), next(nullptr), visible(0), storedVisible(0) {}

ManagerItem::~ManagerItem() = default;

void ManagerItem::SetVisible(uint8_t value, bool alsoStored) {
    visible = value;
    if (alsoStored)
        storedVisible = value;
}

int32_t ManagerItem::GetScale() {
    return nativeScale;
}

void ManagerItem::SetName(const wchar_t* text) {
    CopyBounded(name, kItemNameChars, text);
}

void ManagerItem::SetPath(const wchar_t* text) {
    CopyBounded(path, kItemPathChars, text);
}

void ManagerItem::SetDateText(const wchar_t* text) {
    CopyBounded(dateText, kItemDateChars, text);
}

void ManagerItem::AddUser(HDC, View* user) {
    if (users[0] == user || users[1] == user)
        return;
    if (!users[0])
        users[0] = user;
    else if (!users[1])
        users[1] = user;
}

bool ManagerItem::RemoveUser(View* user) {
    if (user) {
        if (users[0] == user)
            users[0] = nullptr;
        else if (users[1] == user)
            users[1] = nullptr;
    }
    return !IsInUse();
}

void ManagerItem::ClearUsers() {
    users[0] = users[1] = nullptr;
}

bool ManagerItem::HasUser(View* user) {
    return users[0] == user || users[1] == user;
}

bool ManagerItem::IsInUse() {
    return users[0] || users[1];
}

bool ManagerItem::RenameFile(const wchar_t* oldBase, const wchar_t* newBase) {
    if (!oldBase || !newBase)
        return false;
    const std::wstring current(path, wcsnlen(path, kItemPathChars));
    size_t common = 0;
    while (common < current.size() && oldBase[common] && current[common] == oldBase[common])
        ++common;
    const std::wstring relative = current.substr(common);
    // A relative part without a separator is a bare file name: it has no folder of its own.
    std::wstring relativeFolder;
    if (LastSeparator(relative, true) != std::wstring::npos)
        relativeFolder = DirectoryPart(relative);
    // The folder names never run together (\Card\New + er\a must not give \Card\Newer\a).
    if (!relativeFolder.empty() && relativeFolder[0] != L'\\' && relativeFolder[0] != L'/')
        relativeFolder.insert(0, 1, L'\\');
    const std::wstring folder = DirectoryPart(newBase) + relativeFolder + L"\\";
    const std::wstring target = folder + FileNamePart(current);
    if (target.size() >= kItemPathChars)
        return false;
    CreateDirectoryChain(folder.c_str());
    if (!MoveFileW(current.c_str(), target.c_str()))
        return false;
    SetPath(target.c_str());
    return true;
}

int32_t ManagerItem::ScaleOffset(int32_t) {
    return -1;
}

bool ManagerItem::IsChart() {
    return false;
}

double ManagerItem::IsInView(View*, const ViewPosition*, int32_t, int) {
    return 0.0;
}

bool FormatItemFolderLabel(const ManagerItem* item, wchar_t* out, size_t chars, bool mark) {
    if (!out || chars == 0)
        return false;
    std::wstring label = L"|";
    if (item) {
        const bool catalogueTileMap =
            (item->flags & kItemFlagTileServer) && !(item->flags & kItemFlagFromFolder);
        if (!catalogueTileMap)
            label +=
                DirectoryPart(std::wstring(item->path, wcsnlen(item->path, kItemPathChars))) + L"|";
        if (mark)
            label += L"*";
        label.append(item->name, wcsnlen(item->name, kItemNameChars));
    }
    for (wchar_t& c : label)
        if (c == L'\\')
            c = L'|';
    CopyBounded(out, chars, label.c_str());
    return label.size() < chars;
}
