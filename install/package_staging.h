// The driver package as the printer UI reads it: a copy made from the package beside the
// program, checked against the digests the build took, in a folder that no unelevated program
// can change. The package beside the program lies in a folder any program of the user can
// write, where a junction could show the check one package and the printer UI another; the
// copy is hashed as it is written, so what is checked is what is installed.
#pragma once

#include <cstddef>
#include <utility>

#include "install/install_settings.h"
#include "platform/unique_handle.h"
#include "platform/win32.h"

class StagedPackage {
 public:
  StagedPackage() = default;
  StagedPackage(const StagedPackage&) = delete;
  StagedPackage& operator=(const StagedPackage&) = delete;
  // Removes the copy; while the command that reads it still runs, the platform removes it at
  // the next restart instead.
  ~StagedPackage();

  // Copies each file of the package below directory (ending with a backslash) into a new
  // folder of an unpredictable name in the Windows folder's Temp, which only SYSTEM and
  // Administrators can change, hashing the bytes as they are written. Returns 1 with the copy
  // in place; 0 with nothing left behind when a file is missing, held open for writing,
  // unreadable or different, when the copy cannot be made, or while an earlier copy's command
  // still runs.
  int Stage(const WCHAR* directory);

  // The copy's INF, for the install command.
  const WCHAR* InfPath() const { return m_inf; }

  // The command that reads the copy: the copy stays until it has ended.
  void KeepFor(UniqueKernelHandle reader) { m_reader = std::move(reader); }

  // Removes the copy unless its command still runs. True when nothing is staged any more.
  bool Remove();

 private:
  bool CreateFolder(HCRYPTPROV provider);
  bool CopyChecked(HCRYPTPROV provider, const WCHAR* directory, std::size_t index);
  bool StagedPath(std::size_t index, WCHAR (&path)[kPathWidth]) const;
  // Deletes what was staged now, or, with now false or where that fails, at the next restart;
  // nothing is staged then.
  void Discard(bool now);

  WCHAR m_folder[kPathWidth] = {};  // empty when nothing is staged
  WCHAR m_inf[kPathWidth] = {};
  std::size_t m_created = 0;  // files created in the folder, in package order
  UniqueKernelHandle m_reader;
};
