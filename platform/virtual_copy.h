// Device registers, Windows CE style: a window is reserved with CeVirtualAlloc and bound with
// VirtualCopy to the kernel's static (uncached) mapping of the registers. A desktop has no such
// registers: the layer binds only addresses at which a SimulatedRegisters block exists, and
// fails for every other address, as a device without that chip would.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

// Reserves an address range of `size` bytes (no access yet); nullptr on failure.
void* CeVirtualAlloc(DWORD size);
// Binds the reserved range at `dest` to the registers at kernel address `src`. `protect` is a
// PAGE_* value; PAGE_NOCACHE is accepted and ignored. FALSE (and dest stays reserved) when no
// registers exist at that address.
BOOL VirtualCopy(void* dest, void* src, DWORD size, DWORD protect);
// Releases a reserved or bound range.
BOOL CeVirtualFree(void* address);

// A block of 32-bit registers at a kernel address, alive while the object lives. Every window
// bound to it sees the same words.
class SimulatedRegisters {
public:
    SimulatedRegisters(uint32_t kernelAddress, DWORD size);
    ~SimulatedRegisters();
    SimulatedRegisters(const SimulatedRegisters&) = delete;
    SimulatedRegisters& operator=(const SimulatedRegisters&) = delete;

    uint32_t Read(size_t byteOffset) const;
    void Write(size_t byteOffset, uint32_t value);
    uint32_t address() const { return address_; }

private:
    uint32_t address_;
    DWORD size_;
    HANDLE section_ = nullptr;
    volatile uint32_t* view_ = nullptr;
};
