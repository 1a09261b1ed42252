#include "framework/object.h"

namespace {

// The window property that holds the object. Properties are the platform's own per-window
// store, so no table of ours has to follow the windows' lifetimes.
const wchar_t kObjectProperty[] = L"Velmora.Framework.Object";

}  // namespace

CObject* CObject::FromHandle(HWND hWnd) {
  return hWnd == nullptr ? nullptr : static_cast<CObject*>(::GetPropW(hWnd, kObjectProperty));
}

void CObject::Attach(HWND hWnd) { ::SetPropW(hWnd, kObjectProperty, this); }

void CObject::Detach(HWND hWnd) { ::RemovePropW(hWnd, kObjectProperty); }
