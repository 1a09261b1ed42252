// A byte buffer from the process heap for the size-probe pattern: allocated at exactly the
// size the platform asked for, released when it goes out of scope. An allocation that fails
// leaves the buffer empty instead of throwing, so callers report the failure as theirs.
#pragma once

#include "platform/win32.h"

class LocalBuffer {
 public:
  explicit LocalBuffer(SIZE_T bytes)
      : data_(static_cast<BYTE*>(LocalAlloc(LPTR, bytes))), size_(data_ ? bytes : 0) {}
  LocalBuffer(const LocalBuffer&) = delete;
  LocalBuffer& operator=(const LocalBuffer&) = delete;
  ~LocalBuffer() {
    if (data_ != nullptr) LocalFree(data_);
  }

  bool IsValid() const { return data_ != nullptr; }
  BYTE* Data() const { return data_; }
  SIZE_T Size() const { return size_; }

 private:
  BYTE* data_;
  SIZE_T size_;
};
