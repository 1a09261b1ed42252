// The process's own library search, narrowed before anything can load a library.
#pragma once

// Restricts the search for libraries loaded by name, by the program or by any library on its
// behalf, to the system folder (SetDefaultDllDirectories, looked up at run time), and takes
// the current folder out of the search. The program's own folder, a download folder, then
// supplies no library except through the import table, which names KnownDLLs only. Returns
// false on a system without SetDefaultDllDirectories (Windows 7 without its loader update),
// where the program's folder cannot be taken out of the search: the program must then end
// without showing anything, as any window may load a library by name.
bool RestrictDllSearchToSystemFolder();
