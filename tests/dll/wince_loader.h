// A loader for the Windows CE DLL's own bytes in an ARM Linux process: it
// maps the PE image at a base of the caller's choosing, applies its base
// relocations, binds its imports by name through the caller's resolver and
// finds its exports. No C library: the freestanding ARMv4 program uses it
// too (wince_freestanding.cpp).
#pragma once

#include <stddef.h>
#include <stdint.h>

struct WinceDll {
    uint8_t *base = nullptr;
    uint32_t preferredBase = 0;
    uint32_t relocations = 0; // HIGHLOW words moved by base - preferredBase
    uint32_t imports = 0;
    void *entry = nullptr;         // DllMain
    const char *missing = nullptr; // the import the resolver did not know
};

// The bytes the image takes once mapped, or 0 if `file` is not a PE DLL
// for Windows CE on ARM (machine 0x1C0, subsystem 9).
uint32_t WinceImageSize(const uint8_t *file, size_t size);

// Lays out `file` at `base` (WinceImageSize bytes, writable and
// executable), relocates it and fills its import slots with
// resolve(dll, name). Null on success, else what failed.
const char *WinceLoad(const uint8_t *file, size_t size, uint8_t *base,
                      void *(*resolve)(const char *dll, const char *name), WinceDll *dll);

// The address of an export by name, or null.
void *WinceExport(const WinceDll &dll, const char *name);
// ... or by ordinal.
void *WinceExport(const WinceDll &dll, uint32_t ordinal);

// Equal C strings, ASCII case ignored (CE compares module names so).
bool WinceSameName(const char *a, const char *b, bool ignoreCase = false);
