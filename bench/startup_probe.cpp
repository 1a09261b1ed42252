// Measures, under Wine, how long programs take from process start until their wizard's current
// page is visible, alternating between them so that both see the same machine.
//   startup_probe ROUNDS PROGRAM...
// Each round starts every program once (after one unmeasured warm-up start each), waits for
// its page, cancels the wizard and waits for the process to end. Prints each program's
// median, fastest and slowest time, then each program's median as a ratio to the last one's.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

struct Search {
  DWORD processId;
  HWND page;
};

BOOL CALLBACK FindVisiblePage(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
  DWORD_PTR page = 0;
  if (SendMessageTimeoutW(window, PSM_GETCURRENTPAGEHWND, 0, 0, SMTO_ABORTIFHUNG, 5000, &page) &&
      page != 0 && IsWindowVisible(reinterpret_cast<HWND>(page))) {
    search->page = reinterpret_cast<HWND>(page);
    return FALSE;
  }
  return TRUE;
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Seconds from process start to a visible page, or a negative value when that never came.
double TimeToPage(const std::wstring& program) {
  std::wstring command = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    std::fwprintf(stderr, L"cannot start %ls (%lu)\n", program.c_str(), GetLastError());
    return -1;
  }
  CloseHandle(process.hThread);
  Search search{process.dwProcessId, nullptr};
  LARGE_INTEGER shown = start;
  for (int tries = 0; tries < 30000 && search.page == nullptr; ++tries) {
    EnumWindows(FindVisiblePage, reinterpret_cast<LPARAM>(&search));
    QueryPerformanceCounter(&shown);
    if (search.page == nullptr) Sleep(1);
  }
  if (search.page != nullptr)
    PostMessageW(GetParent(search.page), PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
  if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
  }
  CloseHandle(process.hProcess);
  return search.page == nullptr ? -1 : Seconds(start, shown);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: startup_probe ROUNDS PROGRAM...\n");
    return 2;
  }
  const int rounds = std::max(1, _wtoi(argv[1]));
  const std::vector<std::wstring> programs(argv + 2, argv + argc);
  std::vector<std::vector<double>> times(programs.size());
  for (const auto& program : programs) TimeToPage(program);
  for (int round = 0; round < rounds; ++round) {
    for (size_t i = 0; i < programs.size(); ++i) {
      const double seconds = TimeToPage(programs[i]);
      if (seconds < 0) return 1;
      times[i].push_back(seconds);
    }
  }
  std::vector<double> medians;
  for (size_t i = 0; i < programs.size(); ++i) {
    std::vector<double> sorted = times[i];
    std::sort(sorted.begin(), sorted.end());
    const size_t n = sorted.size();
    medians.push_back(n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2);
    std::wprintf(L"%-40ls median %7.1f ms  fastest %7.1f ms  slowest %7.1f ms  (%d starts)\n",
                 programs[i].substr(programs[i].find_last_of(L'\\') + 1).c_str(),
                 medians.back() * 1000, sorted.front() * 1000, sorted.back() * 1000,
                 static_cast<int>(n));
  }
  for (size_t i = 0; i + 1 < programs.size(); ++i) {
    std::wprintf(L"start-up ratio %ls / %ls: %.3f\n",
                 programs[i].substr(programs[i].find_last_of(L'\\') + 1).c_str(),
                 programs.back().substr(programs.back().find_last_of(L'\\') + 1).c_str(),
                 medians[i] / medians.back());
  }
  return 0;
}
