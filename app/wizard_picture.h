// The wizard picture of a page (bitmap 129 in its SS_BITMAP static control), fitted to the frame
// that the template's dialog units give it. At 96 dpi the frame is the bitmap's own size and
// the picture is shown as it is; at any other scaling the page shows a copy stretched with the
// platform's halftone filter, which it owns, as it then owns the bitmap that the control loaded.
#pragma once

#include "platform/unique_handle.h"
#include "platform/win32.h"

class CWizardPicture {
 public:
  // From the page's OnInitDialog. A picture that cannot be scaled stays as it is.
  void Fit(HWND page);

 private:
  // Both outlive the page's window: the control shows the copy until it is destroyed.
  UniqueGdiObject m_scaled;
  UniqueGdiObject m_loaded;
};
