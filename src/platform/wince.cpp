// What Windows CE's own platform lacks of the calls the library makes.
#include "platform/platform.h"

// CE finds top-level windows only (FindWindowW): here the parent's
// children are walked and each one's text compared with `name`. The class
// is not compared; the library gives none. GetWindowTextW asks a window of
// this process for its text (WM_GETTEXT), which changes nothing.
extern "C" HWND WINAPI FindWindowExW(HWND parent, HWND after, LPCWSTR, LPCWSTR name) {
    WCHAR text[48];
    for (HWND child = after ? GetWindow(after, GW_HWNDNEXT) : GetWindow(parent, GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const int length = GetWindowTextW(child, text, 48);
        int same = 0;
        while (same < length && name[same] == text[same]) ++same;
        if (same == length && !name[same]) return child;
    }
    return nullptr;
}
