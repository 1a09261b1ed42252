// Where the stand-in printer UI entry point records the command lines it receives: one
// UTF-16LE line per command, in the throwaway prefix, for the test programs to read back.
#pragma once

#define STANDIN_LOG_PATH L"C:\\standin-commands.txt"
