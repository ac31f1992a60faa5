// The video renderers' class identifiers, from their published values, for
// video_test's probe of which one a graph took. The graph's own identifiers
// are the DLL's (src/platform/guids.cpp), compiled in beside this.
#define STRSAFE_NO_DEPRECATE
#include <windows.h>
#include <dshow.h>

extern "C" {
const CLSID CLSID_VideoRenderer = {0x70E102B0, 0x5556, 0x11CE, {0x97, 0xC0, 0x00, 0xAA, 0x00, 0x55, 0x59, 0x5A}};
const CLSID CLSID_VideoMixingRenderer = {0xB87BEB7B, 0x8D29, 0x423F, {0xAE, 0x4D, 0x65, 0x82, 0xC1, 0x01, 0x75, 0xAC}};
const CLSID CLSID_VideoMixingRenderer9 = {0x51B4ABF3, 0x748F, 0x4E3B, {0xA2, 0x76, 0xC8, 0x28, 0x33, 0x0E, 0x92, 0x6A}};
}
