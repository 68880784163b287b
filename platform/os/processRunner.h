// Runs a helper program (the desktop's dialog tools) as a child process and waits for it
// without freezing the caller: the child is polled, and a pump hook keeps the editor's
// window events flowing while a dialog is open. Never a shell: every element of the
// argument vector reaches the program as exactly one argument.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace platform {

struct ProcessResult {
  bool started = false;          // false: not found in PATH, or the spawn failed
  bool exited = false;           // true: it ended normally and exitCode holds its status
  int exitCode = -1;             // 0..255 when exited
  int termSignal = 0;            // the signal that ended it, when it did not exit normally
  bool outputTruncated = false;  // it wrote more than we keep (see kMaxProcessOutput)
  std::string output;            // everything it wrote to its standard output
  std::string errorOutput;       // what it wrote to its standard error (the first kMaxProcessOutput bytes)
};

// Output beyond this many bytes is read and discarded, so a runaway child cannot exhaust memory.
inline constexpr std::size_t kMaxProcessOutput = 1u << 20;

// How often, in milliseconds, the waiting caller checks the child and calls the pump hook.
inline constexpr int kPumpIntervalMs = 15;

// Starts argv[0] (looked up in PATH unless it holds a '/'), with standard input from /dev/null,
// standard output captured, standard error passed on to ours as it comes and also kept (so
// that a caller can tell why a program failed), and the parent's environment minus
// LD_LIBRARY_PATH and LD_PRELOAD (a host's bundled libraries break the desktop's tools).
// Returns once the child has ended. Call it on the GUI thread only.
ProcessResult runProcess(const std::vector<std::string>& argv);

// Starts argv[0] (found in PATH as runProcess finds it, with the same environment) and returns
// at once without waiting: standard input and output are /dev/null, standard error is
// inherited, and the child runs in a session of its own (a terminal's Ctrl-C for the host does
// not reach it). True when the child started. Children that have ended are reaped by later
// calls and by reapDetachedChildren, never by a thread of ours: the module may be unloaded
// while the child still runs. Call it on the GUI thread.
bool startDetached(const std::vector<std::string>& argv);

// Reaps the detached children that have ended (without waiting for the others) and returns
// how many are still running. The editor's idle pass calls it.
int reapDetachedChildren();

// Absolute path of the executable `name` found in PATH ("" when there is none). Empty and
// relative PATH entries are skipped: a dialog must never run a program from the host's
// working folder. A name holding a '/' is checked as it is. An unset PATH searches
// /usr/local/bin, /usr/bin and /bin.
std::string findExecutable(const std::string& name);

// Test programs confine what may be started to their own stand-ins: an executable the filter
// refuses counts as not there (runProcess and startDetached start nothing). Returns the
// previous filter; null allows every program.
using ProgramFilter = bool (*)(const std::string& path);
ProgramFilter setProgramFilter(ProgramFilter filter);

// The environment a child receives: `env` (a NULL-terminated "NAME=value" array such as
// environ) without LD_LIBRARY_PATH and LD_PRELOAD.
std::vector<std::string> childEnvironment(const char* const* env);

// Called about every kPumpIntervalMs while a child runs, so the toolkit can keep its windows
// drawn and answering. An empty function removes the hook. While the hook runs, a nested
// runProcess waits without calling it again.
using ModalPumpHook = std::function<void()>;
void setModalPumpHook(ModalPumpHook hook);

// True while runProcess waits for a child: the toolkit ignores clicks and keys meanwhile so
// that no second dialog or edit starts under the open one.
bool isModalChildRunning();

}  // namespace platform
