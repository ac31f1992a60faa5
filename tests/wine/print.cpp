// The programs' printf: only the conversions they use (see harness.h),
// rendered here because nothing else may render them (no C runtime, and
// Wine's formatters are unusable from arm64 PE code).
#include "harness.h"

namespace wt {
namespace {

// Where rendered text goes: a buffer that is either written to the standard
// output whenever it fills (`flush`, with \n as \r\n, as the C runtime's
// text mode wrote it) or cuts the text short at its end.
template <class Char> struct Sink {
    Char *buffer;
    size_t capacity;
    void (*flush)(const Char *text, size_t n);
    size_t used;

    void Store(Char c) {
        if (used == capacity) {
            if (!flush) return;
            flush(buffer, used);
            used = 0;
        }
        buffer[used++] = c;
    }
    void Put(Char c) {
        if (flush && c == '\n') Store('\r');
        Store(c);
    }
    void Repeat(Char c, size_t n) {
        for (; n > 0; --n) Put(c);
    }
};

void WriteOut(const char *text, size_t n) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, static_cast<DWORD>(n), &written, nullptr);
}

// Units of a string of `From` once in `Char` (UTF-16 as UTF-8, bytes widened),
// put into `out` unless it is null; returns how many.
template <class Char, class From> size_t Transcode(const From *text, Sink<Char> *out) {
    size_t n = 0;
    for (const From *c = text; *c; ++c) {
        unsigned long code = static_cast<unsigned long>(*c) & (sizeof(From) == 1 ? 0xFFu : 0xFFFFu);
        if constexpr (sizeof(Char) == 1 && sizeof(From) == 2) {
            if (code >= 0xD800 && code < 0xDC00 && c[1] >= 0xDC00 && c[1] < 0xE000) {
                code = 0x10000 + ((code - 0xD800) << 10) + (static_cast<unsigned long>(c[1]) - 0xDC00);
                ++c;
            }
            unsigned char bytes[4];
            size_t count = 0;
            if (code < 0x80) {
                bytes[count++] = static_cast<unsigned char>(code);
            } else if (code < 0x800) {
                bytes[count++] = static_cast<unsigned char>(0xC0 | code >> 6);
                bytes[count++] = static_cast<unsigned char>(0x80 | (code & 0x3F));
            } else if (code < 0x10000) {
                bytes[count++] = static_cast<unsigned char>(0xE0 | code >> 12);
                bytes[count++] = static_cast<unsigned char>(0x80 | (code >> 6 & 0x3F));
                bytes[count++] = static_cast<unsigned char>(0x80 | (code & 0x3F));
            } else {
                bytes[count++] = static_cast<unsigned char>(0xF0 | code >> 18);
                bytes[count++] = static_cast<unsigned char>(0x80 | (code >> 12 & 0x3F));
                bytes[count++] = static_cast<unsigned char>(0x80 | (code >> 6 & 0x3F));
                bytes[count++] = static_cast<unsigned char>(0x80 | (code & 0x3F));
            }
            if (out)
                for (size_t i = 0; i < count; ++i) out->Put(static_cast<Char>(bytes[i]));
            n += count;
        } else {
            if (out) out->Put(static_cast<Char>(code));
            ++n;
        }
    }
    return n;
}

struct Conversion {
    bool left;  // '-'
    bool plus;  // '+'
    bool zeros; // '0'
    size_t width;
};

template <class Char, class From> void PutText(Sink<Char> &out, const From *text, const Conversion &conversion) {
    static constexpr From kNull[] = {'(', 'n', 'u', 'l', 'l', ')', 0};
    if (!text) text = kNull;
    const size_t n = Transcode<Char>(text, static_cast<Sink<Char> *>(nullptr));
    const size_t pad = conversion.width > n ? conversion.width - n : 0;
    if (!conversion.left) out.Repeat(' ', pad);
    Transcode<Char>(text, &out);
    if (conversion.left) out.Repeat(' ', pad);
}

// Powers of ten from 10^19, the most an unsigned 64-bit value holds:
// decimal digits by subtraction, since 32-bit ARM would divide in a helper.
constexpr unsigned long long kPowersOfTen[] = {
    10000000000000000000ull,
    1000000000000000000ull,
    100000000000000000ull,
    10000000000000000ull,
    1000000000000000ull,
    100000000000000ull,
    10000000000000ull,
    1000000000000ull,
    100000000000ull,
    10000000000ull,
    1000000000ull,
    100000000ull,
    10000000ull,
    1000000ull,
    100000ull,
    10000ull,
    1000ull,
    100ull,
    10ull,
    1ull,
};

// `magnitude` in base 10 or 16 with `sign` ('-', '+' or 0) before it,
// padded to the width; `minDigits` zeros at least (for %p).
template <class Char>
void PutNumber(Sink<Char> &out, unsigned long long magnitude, bool hex, char sign, const Conversion &conversion,
               size_t minDigits) {
    char digits[24];
    size_t n = 0;
    if (hex) {
        for (int shift = 60; shift >= 0; shift -= 4) {
            const unsigned digit = static_cast<unsigned>(magnitude >> shift & 0xF);
            if (n == 0 && digit == 0 && shift > 0) continue;
            digits[n++] = "0123456789abcdef"[digit];
        }
    } else {
        for (unsigned long long power : kPowersOfTen) {
            char digit = '0';
            while (magnitude >= power) {
                magnitude -= power;
                ++digit;
            }
            if (n > 0 || digit != '0' || power == 1) digits[n++] = digit;
        }
    }
    const size_t leading = minDigits > n ? minDigits - n : 0;
    const size_t length = leading + n + (sign ? 1 : 0);
    const size_t pad = conversion.width > length ? conversion.width - length : 0;
    if (!conversion.left && !conversion.zeros) out.Repeat(' ', pad);
    if (sign) out.Put(static_cast<Char>(sign));
    if (!conversion.left && conversion.zeros) out.Repeat('0', pad);
    out.Repeat('0', leading);
    for (size_t i = 0; i < n; ++i) out.Put(static_cast<Char>(digits[i]));
    if (conversion.left) out.Repeat(' ', pad);
}

template <class Char> void Render(Sink<Char> &out, const Char *format, va_list args) {
    for (const Char *f = format; *f; ++f) {
        if (*f != '%') {
            out.Put(*f);
            continue;
        }
        const Char *start = f++;
        Conversion conversion = {};
        for (;; ++f) {
            if (*f == '-')
                conversion.left = true;
            else if (*f == '+')
                conversion.plus = true;
            else if (*f == '0')
                conversion.zeros = true;
            else
                break;
        }
        for (; *f >= '0' && *f <= '9'; ++f) conversion.width = conversion.width * 10 + static_cast<size_t>(*f - '0');
        int size = 0; // -1: h (only %hs), 1: l, 2: ll
        if (*f == 'h') {
            size = -1;
            ++f;
        } else if (*f == 'l') {
            size = 1;
            if (*++f == 'l') {
                size = 2;
                ++f;
            }
        }
        switch (*f) {
        case 'd': {
            const long long value = size == 2   ? va_arg(args, long long)
                                    : size == 1 ? va_arg(args, long)
                                                : va_arg(args, int);
            const unsigned long long magnitude =
                value < 0 ? 0 - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
            PutNumber(out, magnitude, false, value < 0 ? '-' : conversion.plus ? '+' : 0, conversion, 0);
            break;
        }
        case 'u':
        case 'x': {
            const unsigned long long value = size == 2   ? va_arg(args, unsigned long long)
                                             : size == 1 ? va_arg(args, unsigned long)
                                                         : va_arg(args, unsigned);
            PutNumber(out, value, *f == 'x', 0, conversion, 0);
            break;
        }
        case 'p':
            PutNumber(out, reinterpret_cast<ULONG_PTR>(va_arg(args, void *)), true, 0, conversion, 2 * sizeof(void *));
            break;
        case 'c': {
            const Char text[2] = {static_cast<Char>(va_arg(args, int)), 0};
            PutText(out, text, conversion);
            break;
        }
        case 's':
            if (size == -1 || (size == 0 && sizeof(Char) == 1))
                PutText(out, va_arg(args, const char *), conversion);
            else
                PutText(out, va_arg(args, const wchar_t *), conversion);
            break;
        case '%': out.Put('%'); break;
        default: // not one of ours: shown as written, so that the mistake shows
            for (const Char *c = start; c <= f && *c; ++c) out.Put(*c);
            if (!*f) return;
        }
    }
}

template <class Char> void FormatInto(Char *out, size_t size, const Char *format, va_list args) {
    if (size == 0) return;
    Sink<Char> sink = {out, size - 1, nullptr, 0};
    Render(sink, format, args);
    out[sink.used] = 0;
}

} // namespace

void Print(const char *format, ...) {
    char buffer[512];
    Sink<char> out = {buffer, sizeof buffer, WriteOut, 0};
    va_list args;
    va_start(args, format);
    Render(out, format, args);
    va_end(args);
    if (out.used) WriteOut(buffer, out.used);
}

void FormatV(char *out, size_t size, const char *format, va_list args) { FormatInto(out, size, format, args); }

void Format(char *out, size_t size, const char *format, ...) {
    va_list args;
    va_start(args, format);
    FormatInto(out, size, format, args);
    va_end(args);
}

void Format(wchar_t *out, size_t size, const wchar_t *format, ...) {
    va_list args;
    va_start(args, format);
    FormatInto(out, size, format, args);
    va_end(args);
}

} // namespace wt
