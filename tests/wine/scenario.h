// The Wine scenarios as data: each names the machine as it is set up, the faults made in the
// installer, what the user does on the port page and the outcome that must follow, and is run
// by one driver (wine_scenarios.cpp). A scenario of another shape (the detector, the package,
// the welcome page) gives its own run function instead.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/wine/ui_driver.h"

struct Arguments {
  std::wstring program, standin;
  std::wstring directory;  // the installer's current folder; the test's when empty
};

// What the machine has when the installer starts.
enum Machine : unsigned {
  kNothing = 0,
  kPrinter = 1,  // a supported printer on USB001
  kStandin = 2,  // the stand-in printer UI entry point in the system folder
};

struct Scenario {
  const wchar_t* name;
  void (*run)(const Arguments&) = nullptr;  // a scenario of its own shape; the rest unset
  unsigned machine = kNothing;              // Machine flags
  void (*setUp)(Arguments&) = nullptr;      // further set-up (folders, links, options)
  const wchar_t* faults = nullptr;          // made in the installer (fault_seam.h)
  // The user's actions on the port page, ending with the last press of Finish; none: Finish.
  void (*act)(Session&, const Arguments&) = nullptr;
  const wchar_t* outcome = nullptr;           // the last result box: kSucceeded or kFailed
  const wchar_t* port = nullptr;              // after a success, the port both commands name
  std::vector<const wchar_t*> reported = {};  // lines the fault seam's report must hold
};

using Scenarios = std::vector<Scenario>;
const Scenarios& WizardScenarios();    // scenarios_wizard.cpp
const Scenarios& FaultScenarios();     // scenarios_faults.cpp
const Scenarios& DetectorScenarios();  // scenarios_detector.cpp

extern const wchar_t kPrinterName[];
extern const wchar_t kShorterName[];  // a printer of the user's, named as the start of ours
extern const wchar_t kSucceeded[];
extern const wchar_t kFailed[];
extern const wchar_t kManualPrompt[];
extern const wchar_t kPathTooLong[];
std::wstring DetectedPrompt(const std::wstring& port);

std::wstring FolderOf(const std::wstring& program);
void MakeFolders(std::initializer_list<const wchar_t*> folders);
void PlaceStandin(const Arguments& args);
// The copies of the package in the Windows folder's Temp, and the names of those there now.
std::wstring StagingPrefix();
std::vector<std::wstring> StagedCopies();
// The ports the spooler lists.
std::vector<std::wstring> SpoolerPorts();
