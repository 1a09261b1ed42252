// Screenshots for the run command: what the screen shows inside a rectangle, saved as PNG.
#pragma once

#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

#include <string>

// What the screen shows inside a rectangle, in a bitmap of its own.
struct ScreenImage {
  HBITMAP bitmap = nullptr;
  ScreenImage() = default;
  ScreenImage(const ScreenImage&) = delete;
  ScreenImage& operator=(const ScreenImage&) = delete;
  ~ScreenImage() {
    if (bitmap != nullptr) DeleteObject(bitmap);
  }
};

inline void CaptureScreen(const RECT& rect, ScreenImage& image) {
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  image.bitmap = CreateCompatibleBitmap(screen, rect.right - rect.left, rect.bottom - rect.top);
  HGDIOBJ previous = SelectObject(memory, image.bitmap);
  BitBlt(memory, 0, 0, rect.right - rect.left, rect.bottom - rect.top, screen, rect.left, rect.top,
         SRCCOPY);
  SelectObject(memory, previous);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

inline bool SavePng(HBITMAP bitmap, const std::wstring& path) {
  // The platform's PNG encoder.
  const CLSID png = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return false;
  bool saved = false;
  {
    Gdiplus::Bitmap image(bitmap, nullptr);
    saved = image.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
  }
  Gdiplus::GdiplusShutdown(token);
  return saved;
}
