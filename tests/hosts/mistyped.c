/* Each call below gives a player's handle what is not one, and each line
 * must draw a diagnostic from every compiler of check-hosts, as C and as
 * C++: a window handle, then a number. */
#include <flatplay/flatplay.h>

HRESULT PlayIn(HWND window) {
    return PlayerPlay(window) /* mistyped: a window handle */
           + PlayerPlay(5);   /* mistyped: a number */
}
