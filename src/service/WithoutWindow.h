#pragma once

class CommandLine;

// The program's modes without a window (headless, the one-shot check, the history's export, the
// page list's export and import), run in this process under a QCoreApplication of their own.
int runWithoutWindow(int argc, char** argv, const CommandLine& commandLine);

// The same modes, run by the helper program that links no window system: a monitor left running
// on a server then carries none of the window's libraries. The settings file is named for it, so
// that it runs on the one this program chose, whatever the helper would find on its own. Runs
// them here when the helper cannot be started.
int handOverWithoutWindow(int argc, char** argv, const CommandLine& commandLine);

// The helper program's name as built, and as installed beside the program.
inline constexpr const char* WithoutWindowProgram = "korvane-service";
inline constexpr const char* InstalledWithoutWindowProgram = "korvane-headless";
