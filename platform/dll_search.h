// The process's own library search, narrowed before anything can load a library.
#pragma once

// Restricts the search for libraries loaded by name, by the program or by any library on its
// behalf, to the system folder where the platform offers that (SetDefaultDllDirectories,
// looked up at run time so that systems without it still start), and takes the current
// folder out of the search everywhere. The program's own folder, a download folder, then
// supplies no library except through the import table, which names KnownDLLs only.
void RestrictDllSearchToSystemFolder();
