// Platform services of the plug-in: the per-user preferences (free functions on the
// process's default store), the background writer of controller bindings and the small
// string and path helpers.
#pragma once

#include <string>

#include "prefsStore.h"
#include "prefsWriter.h"
#include "stringHelpers.h"

// The application domain: the preference file is "<config folder>/com.Qelm.Grindle2.json".
inline constexpr char PREF_PATH_STRING[32] = "com.Qelm.Grindle2";

// Every preference key the plug-in uses, with its kind and default. The folder keys'
// defaults lie under the data folder (defaultDataFolder()), their `folderTail` appended, or,
// for the manual, which ships inside the bundle, under the module's resources
// (moduleResourceFolder()); the controller map uses the keys "0".."127" (integers, default 0)
// besides these.
enum class PrefKind { String, Int, YesNo };
struct PrefKeyInfo {
  const char* key;
  PrefKind kind;
  int defaultValue;        // Int: the value; YesNo: 1 on, 0 off; String: unused
  const char* folderTail;  // String: the default relative to the data folder
  bool inBundle = false;   // String: relative to the module's resources instead
};
inline constexpr PrefKeyInfo PREF_KEYS[] = {
    {"HelpDir", PrefKind::String, 0, "Help/Grindle2_Manual.html", true},
    {"ECSDir", PrefKind::String, 0, "ECS/"},
    {"WaveShaperDir", PrefKind::String, 0, "WaveShapers/"},
    {"Midi Channel", PrefKind::Int, 0, nullptr},
    {"MidiCapture", PrefKind::YesNo, 1, nullptr},
    {"MidiPreset", PrefKind::YesNo, 1, nullptr},
    {"MidiBank", PrefKind::YesNo, 1, nullptr},
    {"Key", PrefKind::YesNo, 1, nullptr},
    {"ToolTip", PrefKind::YesNo, 1, nullptr},
    {"ModDial", PrefKind::YesNo, 1, nullptr},
    {"Big100", PrefKind::YesNo, 0, nullptr},
    {"Big150", PrefKind::YesNo, 0, nullptr},
    {"Big200", PrefKind::YesNo, 0, nullptr},
};
inline constexpr int NUM_MIDI_CC_PREFS = 128;
// Every caller reads strings into buffers of this size.
inline constexpr int PREF_STRING_LEN = 127;

// The table row of a key, or nullptr.
const PrefKeyInfo* findPrefKey(const std::string& key) noexcept;

// Locations, from the environment at the time of the call (XDG base directories):
// ${XDG_CONFIG_HOME:-$HOME/.config}/com.Qelm.Grindle2.json,
// <first folder of ${XDG_CONFIG_DIRS:-/etc/xdg}>/com.Qelm.Grindle2.json (read only),
// ${XDG_DATA_HOME:-$HOME/.local/share}/Kestrune/Grindle2/ (with the trailing '/').
// Relative values are ignored, as the XDG rules ask. "" when no home folder is known.
std::string prefsUserFilePath();
std::string prefsMachineFilePath();
std::string defaultDataFolder();
// The default of "HelpDir", "ECSDir" or "WaveShaperDir"; "" for any other key.
std::string defaultFolderPref(const std::string& key);

// The resources of the loaded module: "<folder of the .so>/Resources/" (with the trailing
// '/'), found through the dynamic linker, so that they move with the bundle. In a program
// that links the platform code itself (the tests), the program's folder stands for the .so's.
// "" when the linker cannot say.
std::string moduleResourceFolder();
// Points moduleResourceFolder() at another folder ("" goes back to the module's own), as the
// toolkit's bitmap folder can be: for tests, which are no bundle. Not for use while other
// threads ask for the folder.
void setModuleResourceFolder(const std::string& folder);
// The manual shipped in the bundle: the default of "HelpDir".
inline std::string bundledManualPath() { return defaultFolderPref("HelpDir"); }
// Whether path names a regular file this process can open for reading (never blocks).
bool isReadableFile(const std::string& path);
// Makes sure a dialog's start folder exists: a missing folder that is the default of
// "ECSDir" or "WaveShaperDir" is created (with its parents). Returns whether it exists now.
bool ensureDefaultFolder(const std::string& folder);

// The store behind the free functions. It follows the environment: each call re-derives
// the two file names and re-targets the store when they changed (tests move XDG_* around).
TPrefsStore& defaultPrefsStore() noexcept;

// Strings: the user's value, else a machine-wide value (copied to the user once), else "".
// Cut to len - 1 bytes; the buffer form is always terminated.
void loadStringFromPrefs(std::string key, char* buffer, int len);
void loadStringFromPrefs(std::string key, std::string& out, int len);
void saveStringToPrefs(const std::string& key, const std::string& value);
void saveStringToPrefs(const std::string& key, const char* value);
// Integers: 0 when missing or not an integer.
int loadIntFromPrefs(const std::string& key);
void saveIntToPrefs(const std::string& key, int value);
// Yes/no: exactly "Y" on, exactly "N" off, anything else `defaultOn`.
bool getRegisterIsOn(const std::string& key, bool defaultOn);
void setRegisterIsOn(const std::string& key, bool on);
// The controller map: the tag bound to controller cc (0..127), 0 = none.
int getMidiCC(int cc);
void setMidiCC(int cc, int tag);
// A folder key: the stored path (not cut), or, when empty, defaultFolderPref(key), which is
// then written back.
std::string loadFolderFromPrefs(const std::string& key);
