// The one include for the platform API. Windows builds get the real headers. Native builds
// compile only the pure logic, on plain data, for its unit tests and fuzzers: they get the
// platform's scalar types and the few codes that logic compares, with the platform's values.
#pragma once

#ifdef _WIN32
#include <windows.h>

#include <setupapi.h>
#include <wincrypt.h>
#include <winspool.h>
#else
#include <cstdint>

#define WINAPI
#define TEXT(s) u##s

using BYTE = std::uint8_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using WCHAR = char16_t;
using LPVOID = void*;

constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_MULTI_SZ = 7;

constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_SHARING_VIOLATION = 32;
constexpr DWORD ERROR_NO_ASSOCIATION = 1155;
constexpr DWORD ERROR_DDE_FAIL = 1156;
constexpr DWORD ERROR_DLL_NOT_FOUND = 1157;
constexpr DWORD ERROR_CANCELLED = 1223;
#endif
