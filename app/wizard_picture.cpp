#include "app/wizard_picture.h"

#include "res/resource.h"

namespace {

// Keeps an object selected into a DC for the scope, so that the DC lets go of it before either
// is deleted.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(::SelectObject(dc, object)) {}
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;
  ~Selection() { ::SelectObject(m_dc, m_previous); }

 private:
  HDC m_dc;
  HGDIOBJ m_previous;
};

HWND FindPicture(HWND page) {
  for (HWND child = ::GetWindow(page, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    if ((::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP) return child;
  }
  return nullptr;
}

// A 24-bit copy of the bitmap at the given size, stretched with the halftone filter.
HBITMAP Stretch(HBITMAP source, const BITMAP& size, int width, int height) {
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof(format.bmiHeader);
  format.bmiHeader.biWidth = width;
  format.bmiHeader.biHeight = height;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 24;
  format.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueGdiObject target(::CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
  const UniqueMemoryDc from(::CreateCompatibleDC(nullptr));
  const UniqueMemoryDc to(::CreateCompatibleDC(nullptr));
  if (!target.IsValid() || !from.IsValid() || !to.IsValid()) return nullptr;
  bool stretched = false;
  {
    const Selection reading(from.Get(), source);
    const Selection writing(to.Get(), target.Get());
    // HALFTONE needs the brush origin set after the mode.
    stretched = ::SetStretchBltMode(to.Get(), HALFTONE) != 0 &&
                ::SetBrushOrgEx(to.Get(), 0, 0, nullptr) != FALSE &&
                ::StretchBlt(to.Get(), 0, 0, width, height, from.Get(), 0, 0, size.bmWidth,
                             size.bmHeight, SRCCOPY) != FALSE;
  }
  return stretched ? static_cast<HBITMAP>(target.Release()) : nullptr;
}

}  // namespace

void CWizardPicture::Fit(HWND page) {
  const HWND control = FindPicture(page);
  RECT frame{0, 0, WIZARD_PICTURE_WIDTH, WIZARD_PICTURE_HEIGHT};
  if (control == nullptr || !::MapDialogRect(page, &frame)) return;
  const auto loaded =
      reinterpret_cast<HBITMAP>(::SendMessageW(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
  BITMAP size{};
  if (loaded == nullptr || ::GetObjectW(loaded, sizeof(size), &size) == 0) return;
  if (size.bmWidth == frame.right && size.bmHeight == frame.bottom) return;
  m_scaled.Reset(Stretch(loaded, size, frame.right, frame.bottom));
  if (!m_scaled.IsValid()) return;
  // The control takes the copy's size and hands back the bitmap it loaded.
  m_loaded.Reset(reinterpret_cast<HGDIOBJ>(::SendMessageW(
      control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_scaled.Get()))));
}
