#include "platform/virtual_copy.h"

#include <map>
#include <mutex>
#include <set>

namespace {

struct Block {
    HANDLE section;
    DWORD size;
};

std::mutex g_lock;
std::map<uint32_t, Block> g_blocks; // by kernel address
std::set<void*> g_views;            // windows bound by VirtualCopy

} // namespace

SimulatedRegisters::SimulatedRegisters(uint32_t kernelAddress, DWORD size)
    : address_(kernelAddress), size_(size) {
    section_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, nullptr);
    if (section_)
        view_ =
            static_cast<volatile uint32_t*>(MapViewOfFile(section_, FILE_MAP_WRITE, 0, 0, size));
    std::lock_guard<std::mutex> hold(g_lock);
    g_blocks[address_] = Block{section_, size_};
}

SimulatedRegisters::~SimulatedRegisters() {
    {
        std::lock_guard<std::mutex> hold(g_lock);
        g_blocks.erase(address_);
    }
    if (view_)
        UnmapViewOfFile(const_cast<uint32_t*>(view_));
    if (section_)
        CloseHandle(section_); // windows still bound keep the section alive
}

uint32_t SimulatedRegisters::Read(size_t byteOffset) const {
    return byteOffset + 4 <= size_ && view_ ? view_[byteOffset / 4] : 0;
}

void SimulatedRegisters::Write(size_t byteOffset, uint32_t value) {
    if (byteOffset + 4 <= size_ && view_)
        view_[byteOffset / 4] = value;
}

void* CeVirtualAlloc(DWORD size) {
    return VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS);
}

BOOL VirtualCopy(void* dest, void* src, DWORD size, DWORD protect) {
    (void)protect;
    const uint32_t address = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(src));
    std::lock_guard<std::mutex> hold(g_lock);
    auto it = g_blocks.find(address);
    if (!dest || it == g_blocks.end() || !it->second.section || size > it->second.size) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // The reservation is given up and the register section mapped in its place, so that the
    // caller's pointer reaches the registers.
    if (!VirtualFree(dest, 0, MEM_RELEASE))
        return FALSE;
    void* view = MapViewOfFileEx(it->second.section, FILE_MAP_WRITE, 0, 0, size, dest);
    if (view != dest) {
        if (view)
            UnmapViewOfFile(view);
        VirtualAlloc(dest, size, MEM_RESERVE, PAGE_NOACCESS); // hand the range back
        SetLastError(ERROR_INVALID_ADDRESS);
        return FALSE;
    }
    g_views.insert(view);
    return TRUE;
}

BOOL CeVirtualFree(void* address) {
    if (!address)
        return FALSE;
    {
        std::lock_guard<std::mutex> hold(g_lock);
        if (g_views.erase(address))
            return UnmapViewOfFile(address);
    }
    return VirtualFree(address, 0, MEM_RELEASE);
}
