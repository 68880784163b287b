// The plug-in's own folders: the ECS and wave-shaper dialogs make their default folder when it
// is missing and start in it; the manual's default lies in the bundle beside the module.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "dialogTestSupport.h"
#include "platform/dialogs.h"
#include "platform/platform.h"
#include "plugin/uPlugin.h"
#include "prefsTestEnv.h"

namespace fs = std::filesystem;

namespace {

// Whether the dialog's command line names folder as where it starts.
bool startsIn(const std::vector<std::string>& argv, const std::string& folder) {
  return std::any_of(argv.begin(), argv.end(),
                     [&](const std::string& a) { return a.find(folder) != std::string::npos; });
}

}  // namespace

TEST(DefaultFolders, DialogsMakeTheirDefaultFolderAndStartThere) {
  using Dialog = std::function<void(const std::string& folder)>;
  std::string folderOut, pathOut;
  const Dialog load = [&](const std::string& f) {
    fileSelectLoadDir("Load", f, "*.ecs", folderOut, pathOut);
  };
  const Dialog save = [&](const std::string& f) {
    fileSelectSaveDir("Save", f, "Wave.wsr", folderOut, pathOut);
  };
  struct Row {
    const char* key;
    const Dialog* dialog;
  };
  for (const Row& row : {Row{"ECSDir", &load}, Row{"ECSDir", &save}, Row{"WaveShaperDir", &load},
                         Row{"WaveShaperDir", &save}}) {
    SCOPED_TRACE(row.key);
    prefstest::TempXdg env;
    dialogtest::ScriptedBackend backend(platform::DialogTool::zenity);
    dialogtest::ScopedBackend scoped(&backend);
    const std::string folder = loadFolderFromPrefs(row.key);
    ASSERT_EQ(folder.rfind(env.data + "/Kestrune/Grindle2/", 0), 0u) << folder;
    ASSERT_FALSE(fs::exists(folder));
    (*row.dialog)(folder);
    EXPECT_TRUE(fs::is_directory(folder));
    ASSERT_EQ(backend.calls.size(), 1u);
    EXPECT_TRUE(startsIn(backend.calls[0], folder));
    // A second time finds it there and keeps what it holds.
    dialogtest::writeFile(folder + "kept.txt", "x");
    (*row.dialog)(folder);
    EXPECT_EQ(dialogtest::readFile(folder + "kept.txt"), "x");
  }
}

TEST(DefaultFolders, OnlyThePlugInsOwnDefaultsAreMade) {
  prefstest::TempXdg env;
  dialogtest::ScriptedBackend backend(platform::DialogTool::zenity);
  dialogtest::ScopedBackend scoped(&backend);
  std::string folderOut, pathOut;
  // A folder the user chose once and that is gone, a file in the folder's place, a relative name.
  const std::string gone = env.root + "/gone/sub/";
  dialogtest::writeFile(env.data + "/plain", "x");
  // Relative names are looked at from a folder of the test's own.
  const fs::path cwd = fs::current_path();
  fs::current_path(env.root);
  for (const std::string& folder : {gone, env.data + "/plain/", std::string("relative/"), std::string()}) {
    fileSelectLoadDir("Load", folder, "*.ecs", folderOut, pathOut);
    EXPECT_FALSE(fs::is_directory(folder)) << folder;
  }
  fs::current_path(cwd);
  EXPECT_FALSE(ensureDefaultFolder(gone));
  EXPECT_FALSE(fs::exists(env.root + "/gone"));
}

TEST(DefaultFolders, ThePlugInsEcsDialogsStartInTheMadeFolder) {
  prefstest::TempXdg env;
  dialogtest::ScriptedBackend backend(platform::DialogTool::zenity);
  dialogtest::ScopedBackend scoped(&backend);
  APlugin plugin(nullptr);
  ASSERT_FALSE(fs::exists(plugin.ecsDir));
  plugin.loadECS();
  EXPECT_TRUE(fs::is_directory(plugin.ecsDir));
  fs::remove_all(plugin.ecsDir);
  plugin.saveECS();
  EXPECT_TRUE(fs::is_directory(plugin.ecsDir));
  ASSERT_EQ(backend.calls.size(), 2u);
  for (const auto& argv : backend.calls) EXPECT_TRUE(startsIn(argv, plugin.ecsDir));
}

TEST(DefaultFolders, TheManualDefaultsToTheBundleBesideTheModule) {
  prefstest::TempXdg env;
  // The module here is the test program itself.
  const std::string beside = fs::canonical("/proc/self/exe").parent_path().string() + "/Resources/";
  EXPECT_EQ(moduleResourceFolder(), beside);
  EXPECT_EQ(bundledManualPath(), beside + "Help/Grindle2_Manual.html");
  EXPECT_EQ(loadFolderFromPrefs("HelpDir"), bundledManualPath());
  // Only a readable regular file counts as a manual.
  dialogtest::writeFile(env.root + "/m.html", "<html>");
  EXPECT_TRUE(isReadableFile(env.root + "/m.html"));
  for (const std::string& no : {env.root, env.root + "/none.html", std::string()})
    EXPECT_FALSE(isReadableFile(no)) << no;
}
