#include "service/CommandLine.h"
#include "service/WithoutWindow.h"

// The monitor without a window, as the program hands it over: it links no window system.
int main(int argc, char** argv) {
    const CommandLine commandLine(CommandLine::fromArgv(argc, argv));
    if (commandLine.exitCode())
        return commandLine.finish();
    return runWithoutWindow(argc, argv, commandLine);
}
