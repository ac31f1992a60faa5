#include "dll/wince_loader.h"

namespace {

uint32_t Word(const uint8_t *p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
uint16_t Half(const uint8_t *p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// The optional header of a PE32 image, or null.
const uint8_t *OptionalHeader(const uint8_t *file, size_t size) {
    if (size < 0x40 || file[0] != 'M' || file[1] != 'Z') return nullptr;
    const uint32_t pe = Word(file + 0x3C);
    if (pe > size - 24 - 96 || Word(file + pe) != 0x4550) return nullptr;
    const uint8_t *coff = file + pe + 4;
    // ARM (ARMv4) or ARMv4I (Thumb-capable), a DLL, PE32, Windows CE GUI.
    const uint16_t machine = Half(coff);
    if ((machine != 0x1C0 && machine != 0x1C2) || !(Half(coff + 18) & 0x2000)) return nullptr;
    const uint8_t *optional = coff + 20;
    return Half(optional) == 0x10B && Half(optional + 68) == 9 ? optional : nullptr;
}

// Data directory `index`: its RVA and size.
uint32_t Directory(const uint8_t *optional, int index, uint32_t *size) {
    *size = Word(optional + 96 + 8 * index + 4);
    return Word(optional + 96 + 8 * index);
}

} // namespace

bool WinceSameName(const char *a, const char *b, bool ignoreCase) {
    for (;; ++a, ++b) {
        char x = *a, y = *b;
        if (ignoreCase && x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
        if (ignoreCase && y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
        if (x != y) return false;
        if (!x) return true;
    }
}

uint32_t WinceImageSize(const uint8_t *file, size_t size) {
    const uint8_t *optional = OptionalHeader(file, size);
    return optional ? Word(optional + 56) : 0;
}

const char *WinceLoad(const uint8_t *file, size_t size, uint8_t *base, void *(*resolve)(const char *, const char *),
                      WinceDll *dll) {
    const uint8_t *optional = OptionalHeader(file, size);
    if (!optional) return "not a Windows CE ARM DLL";
    const uint8_t *coff = optional - 20;
    const uint32_t imageSize = Word(optional + 56), headers = Word(optional + 60);
    for (uint32_t i = 0; i < imageSize; ++i) base[i] = 0;
    for (uint32_t i = 0; i < headers && i < size; ++i) base[i] = file[i];
    // Sections: their raw data at their RVAs, the rest of each zero.
    const uint8_t *section = optional + Half(coff + 16);
    for (int s = 0; s < Half(coff + 2); ++s, section += 40) {
        const uint32_t rva = Word(section + 12), raw = Word(section + 16), at = Word(section + 20);
        if (at + raw > size || rva + raw > imageSize) return "a section beyond the file or the image";
        for (uint32_t i = 0; i < raw; ++i) base[rva + i] = file[at + i];
    }
    dll->base = base;
    dll->preferredBase = Word(optional + 28);
    dll->entry = base + Word(optional + 16);

    // Base relocations: blocks of a page RVA, a size and 16-bit entries,
    // type in the top four bits. ARMv4 code has only whole words (HIGHLOW).
    const uint32_t delta = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(base)) - dll->preferredBase;
    uint32_t relocSize;
    const uint32_t relocRva = Directory(optional, 5, &relocSize);
    for (uint32_t at = relocRva; at < relocRva + relocSize;) {
        const uint32_t page = Word(base + at), blockSize = Word(base + at + 4);
        if (blockSize < 8) return "a base relocation block of no size";
        for (uint32_t entry = at + 8; entry < at + blockSize; entry += 2) {
            const uint16_t value = Half(base + entry);
            if (value >> 12 == 0) continue; // padding
            if (value >> 12 != 3) return "a base relocation other than HIGHLOW";
            uint8_t *word = base + page + (value & 0xFFF);
            const uint32_t moved = Word(word) + delta;
            for (int b = 0; b < 4; ++b) word[b] = static_cast<uint8_t>(moved >> 8 * b);
            ++dll->relocations;
        }
        at += blockSize;
    }

    // Imports by name: each descriptor's lookup table names what goes into
    // its address slots.
    uint32_t importSize;
    for (uint32_t at = Directory(optional, 1, &importSize); Word(base + at + 12); at += 20) {
        const char *module = reinterpret_cast<const char *>(base + Word(base + at + 12));
        const uint32_t lookup = Word(base + at) ? Word(base + at) : Word(base + at + 16);
        for (uint32_t i = 0;; i += 4) {
            const uint32_t thunk = Word(base + lookup + i);
            if (!thunk) break;
            if (thunk & 0x80000000) return "an import by ordinal";
            const char *name = reinterpret_cast<const char *>(base + thunk + 2);
            void *address = resolve(module, name);
            if (!address) {
                dll->missing = name;
                return "an import the resolver does not know";
            }
            uint8_t *slot = base + Word(base + at + 16) + i;
            const auto value = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(address));
            for (int b = 0; b < 4; ++b) slot[b] = static_cast<uint8_t>(value >> 8 * b);
            ++dll->imports;
        }
    }
    return nullptr;
}

void *WinceExport(const WinceDll &dll, const char *name) {
    const uint8_t *base = dll.base;
    const uint8_t *optional = base + Word(base + 0x3C) + 24;
    uint32_t size;
    const uint32_t exports = Directory(optional, 0, &size);
    const uint32_t count = Word(base + exports + 24), functions = Word(base + exports + 28);
    const uint32_t names = Word(base + exports + 32), ordinals = Word(base + exports + 36);
    for (uint32_t i = 0; i < count; ++i)
        if (WinceSameName(reinterpret_cast<const char *>(base + Word(base + names + 4 * i)), name))
            return const_cast<uint8_t *>(base) + Word(base + functions + 4 * Half(base + ordinals + 2 * i));
    return nullptr;
}

void *WinceExport(const WinceDll &dll, uint32_t ordinal) {
    uint8_t *base = dll.base;
    uint32_t size;
    const uint32_t exports = Directory(base + Word(base + 0x3C) + 24, 0, &size);
    const uint32_t index = ordinal - Word(base + exports + 16); // less the ordinal base
    return index < Word(base + exports + 20) ? base + Word(base + Word(base + exports + 28) + 4 * index) : nullptr;
}
