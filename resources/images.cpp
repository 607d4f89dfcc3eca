#include "resources/images.h"

#include "arrange/dpi.h"
#include "resources/ids.h"

#include <cstring>

namespace {

constexpr int kPictureSize = 16;  // at 96 DPI
// The sizes each picture is rendered at, IDP_SIZE_STEP apart in resource ids.
constexpr int kRenderingSizes[] = {16, 20, 24, 32, 48};
constexpr int kRenderingCount = sizeof(kRenderingSizes) / sizeof(kRenderingSizes[0]);

// The loader's failures, in code page 932. They are caught below and never
// shown; they only name the step that failed when read in a debugger.
using Failure = const char*;
// リソースが見つからないっす。
constexpr Failure kNotFound = "\x83\x8A\x83\x5C\x81\x5B\x83\x58\x82\xAA\x8C\xA9\x82\xC2\x82\xA9"
                              "\x82\xE7\x82\xC8\x82\xA2\x82\xC1\x82\xB7\x81\x42";
// リソースのサイズが０っす。
constexpr Failure kEmpty = "\x83\x8A\x83\x5C\x81\x5B\x83\x58\x82\xCC\x83\x54\x83\x43\x83\x59"
                           "\x82\xAA\x82\x4F\x82\xC1\x82\xB7\x81\x42";
// リソースが読み込めなかったっす。
constexpr Failure kNotLoaded = "\x83\x8A\x83\x5C\x81\x5B\x83\x58\x82\xAA\x93\xC7\x82\xDD\x8D\x9E"
                               "\x82\xDF\x82\xC8\x82\xA9\x82\xC1\x82\xBD\x82\xC1\x82\xB7\x81\x42";
// ヒープにメモリが確保できなかったっす。
constexpr Failure kNoMemory = "\x83\x71\x81\x5B\x83\x76\x82\xC9\x83\x81\x83\x82\x83\x8A\x82\xAA"
                              "\x8A\x6D\x95\xDB\x82\xC5\x82\xAB\x82\xC8\x82\xA9\x82\xC1\x82\xBD"
                              "\x82\xC1\x82\xB7\x81\x42";
// メモリブロックが廃棄されてるかサイズが０っす。
constexpr Failure kNotLocked = "\x83\x81\x83\x82\x83\x8A\x83\x75\x83\x8D\x83\x62\x83\x4E\x82\xAA"
                               "\x94\x70\x8A\xFC\x82\xB3\x82\xEA\x82\xC4\x82\xE9\x82\xA9\x83\x54"
                               "\x83\x43\x83\x59\x82\xAA\x82\x4F\x82\xC1\x82\xB7\x81\x42";
// ストリームの作成に失敗しました。
constexpr Failure kNoStream = "\x83\x58\x83\x67\x83\x8A\x81\x5B\x83\x80\x82\xCC\x8D\xEC\x90\xAC"
                              "\x82\xC9\x8E\xB8\x94\x73\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81\x42";
// ストリームからBitmapを作成できなかったっす。
constexpr Failure kNoBitmap = "\x83\x58\x83\x67\x83\x8A\x81\x5B\x83\x80\x82\xA9\x82\xE7\x42\x69"
                              "\x74\x6D\x61\x70\x82\xF0\x8D\xEC\x90\xAC\x82\xC5\x82\xAB\x82\xC8"
                              "\x82\xA9\x82\xC1\x82\xBD\x82\xC1\x82\xB7\x81\x42";
constexpr Failure kGdiplusError = "GdiPlus GenericError";

// GDI+ may decode lazily from the stream it was given, long after the
// constructor returned. The copy owns its pixels, so the stream and its
// memory block can go as soon as the copy exists.
Gdiplus::Bitmap* pixelCopy(Gdiplus::Bitmap& source) {
    const UINT width = source.GetWidth();
    const UINT height = source.GetHeight();
    Gdiplus::Bitmap* copy = new Gdiplus::Bitmap(static_cast<INT>(width), static_cast<INT>(height),
                                                PixelFormat32bppARGB);
    if (!copy)
        return nullptr;
    if (copy->GetLastStatus() != Gdiplus::Ok) {
        delete copy;
        return nullptr;
    }
    Gdiplus::Rect area(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData from = {};
    Gdiplus::BitmapData to = {};
    bool copied = false;
    if (source.LockBits(&area, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &from) ==
        Gdiplus::Ok) {
        if (copy->LockBits(&area, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &to) ==
            Gdiplus::Ok) {
            for (UINT row = 0; row < height; ++row)
                std::memcpy(static_cast<BYTE*>(to.Scan0) + static_cast<INT_PTR>(row) * to.Stride,
                            static_cast<const BYTE*>(from.Scan0) +
                                static_cast<INT_PTR>(row) * from.Stride,
                            static_cast<size_t>(width) * 4);
            copy->UnlockBits(&to);
            copied = true;
        }
        source.UnlockBits(&from);
    }
    if (!copied) {
        delete copy;
        return nullptr;
    }
    // Same physical size as the original, so an unscaled draw covers the
    // same pixels.
    copy->SetResolution(source.GetHorizontalResolution(), source.GetVerticalResolution());
    return copy;
}

}  // namespace

Gdiplus::Bitmap* loadResourceImage(WORD id) {
    HGLOBAL block = nullptr;
    bool locked = false;
    Gdiplus::Bitmap* decoded = nullptr;
    try {
        const HMODULE module = GetModuleHandleW(nullptr);
        const HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
        if (!resource)
            throw kNotFound;
        const DWORD size = SizeofResource(module, resource);
        if (size == 0)
            throw kEmpty;
        const HGLOBAL loaded = LoadResource(module, resource);
        const void* bytes = loaded ? LockResource(loaded) : nullptr;
        if (!bytes)
            throw kNotLoaded;

        block = GlobalAlloc(GMEM_MOVEABLE, size);
        if (!block)
            throw kNoMemory;
        void* target = GlobalLock(block);
        if (!target)
            throw kNotLocked;
        locked = true;
        std::memcpy(target, bytes, size);

        IStream* stream = nullptr;
        // The block stays ours: the stream must not free it on release.
        if (FAILED(CreateStreamOnHGlobal(block, FALSE, &stream)) || !stream)
            throw kNoStream;
        decoded = new Gdiplus::Bitmap(stream);
        stream->Release();  // GDI+ keeps its own reference while it needs one
        if (!decoded)
            throw kNoBitmap;
        if (decoded->GetLastStatus() != Gdiplus::Ok)
            throw kGdiplusError;

        Gdiplus::Bitmap* result = pixelCopy(*decoded);
        if (!result)
            throw kGdiplusError;
        delete decoded;  // drops GDI+'s stream reference before the block goes
        GlobalUnlock(block);
        GlobalFree(block);
        return result;
    } catch (Failure) {
        delete decoded;
        if (locked)
            GlobalUnlock(block);
        if (block)
            GlobalFree(block);
        return nullptr;
    }
}

void paintResourceImage(HWND button, WORD id, unsigned dpi) {
    const int size = scaleToDpi(kPictureSize, usableDpi(dpi));
    // The rendering of that size, else the next larger one drawn smaller.
    int k = 0;
    while (k + 1 < kRenderingCount && kRenderingSizes[k] < size)
        ++k;
    Gdiplus::Bitmap* picture = loadResourceImage(static_cast<WORD>(id + k * IDP_SIZE_STEP));
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(button, &paint);
    {
        Gdiplus::Graphics graphics(dc);
        // Pixel for pixel at its own size; the drawing's own DPI never stretches it.
        graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        graphics.SetInterpolationMode(kRenderingSizes[k] == size
                                          ? Gdiplus::InterpolationModeNearestNeighbor
                                          : Gdiplus::InterpolationModeHighQualityBicubic);
        if (picture)
            graphics.DrawImage(picture, Gdiplus::Rect(0, 0, size, size));
    }
    EndPaint(button, &paint);
    delete picture;
}
