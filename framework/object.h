// The root of the framework's window objects (sheets and pages). It gives them run-time class
// information, through the language's own (dynamic_cast), and a way back from a window
// handle to the object that runs that window: a page asks for its parent window's object
// and casts it to the sheet class to find the sheet that holds it.
#pragma once

#include "platform/win32.h"

class CObject {
 public:
  CObject(const CObject&) = delete;
  CObject& operator=(const CObject&) = delete;
  virtual ~CObject() = default;

  // The framework object that runs hWnd, or nullptr for a window that is not one of ours.
  static CObject* FromHandle(HWND hWnd);

 protected:
  CObject() = default;
  // Registers this object as the one that runs hWnd, until Detach with the same window.
  void Attach(HWND hWnd);
  static void Detach(HWND hWnd);
};
