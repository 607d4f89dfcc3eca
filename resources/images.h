// The PNG pictures of compactButton and helpButton, stored as resources of
// type "PNG" in the program's own module.
#pragma once

#include <windows.h>
#include <objidl.h>  // IStream, which WIN32_LEAN_AND_MEAN leaves out

#include <algorithm>
// The SDK's GDI+ headers call min and max unqualified.
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

// A new bitmap owned by the caller, or nullptr when the resource is missing,
// empty or no image. Never throws, never shows anything. The bitmap holds its
// own pixels: it does not read from the resource or a stream afterwards.
Gdiplus::Bitmap* loadResourceImage(WORD id);

// The whole WM_PAINT of an image button: BeginPaint, the picture at the
// client origin (nothing when it cannot be loaded), EndPaint. Leaves the
// rest of the button unpainted. GDI+ must be running. The picture covers
// 16 × 16 pixels at 96 DPI and as many more as `dpi` asks, drawn from the
// rendering made for that size (`id` is the 16-pixel one's).
void paintResourceImage(HWND button, WORD id, unsigned dpi = 96);
