// An X server for tests and snapshot tools: a private Xvfb on a display number the server picks
// itself, stopped when the program ends; the one DISPLAY names only when Xvfb cannot run.
#pragma once

#include <string>

namespace testing_support {

// Makes sure DISPLAY names a reachable X server (starting Xvfb once per process).
// Returns false with the reason when no server can be had. Call before any other thread runs.
bool ensureXServer(std::string* why = nullptr);

// Starts Xvfb with `Xvfb -displayfd N -screen 0 1280x1024x24 -nolisten tcp -noreset` and returns its
// display name (":N") and process id, or "" when it could not start within timeoutMs.
std::string startXvfb(int& pid, int timeoutMs = 10000, std::string* why = nullptr);
// Ends a server started by startXvfb and waits for it.
void stopXvfb(int pid);

}  // namespace testing_support
