// The manual as a user gets it: installed with the bundle, and found by the loaded module beside
// itself, wherever the bundle was put.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/childProcess.h"
#include "tools/host/vsthost.h"

namespace fs = std::filesystem;
using testing_support::runChild;
using testing_support::TempDir;

namespace {

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The pictures the page shows, as written in it.
std::vector<std::string> picturesOf(const std::string& page) {
  std::vector<std::string> out;
  for (size_t at = page.find("src=\""); at != std::string::npos; at = page.find("src=\"", at + 1))
    out.push_back(page.substr(at + 5, page.find('"', at + 5) - at - 5));
  return out;
}

}  // namespace

TEST(BundleManual, InstallCopiesTheManualAndItsPicturesWithTheModule) {
  TempDir stage;
  const auto result = runChild({"cmake", "-E", "env", "DESTDIR=" + stage.path(), "cmake", "--install",
                                GRINDLE_BINARY_DIR, "--prefix", "/usr"},
                               true);
  ASSERT_EQ(result.exitCode, 0) << result.output;
  fs::path bundle;
  for (const auto& e : fs::recursive_directory_iterator(stage.path()))
    if (e.path().filename() == "Grindle2.so") bundle = e.path().parent_path();
  ASSERT_FALSE(bundle.empty()) << "no Grindle2.so installed under " << stage.path();
  const fs::path help = bundle / "Resources/Help";
  const std::string page = readFile(help / "Grindle2_Manual.html");
  ASSERT_NE(page.find("Grindle 2"), std::string::npos);
  const auto pictures = picturesOf(page);
  EXPECT_GE(pictures.size(), 5u);
  for (const std::string& p : pictures) EXPECT_TRUE(fs::is_regular_file(help / p)) << p;
  // And every picture installed is one the page shows.
  for (const auto& e : fs::directory_iterator(help / "pictures"))
    EXPECT_NE(std::find(pictures.begin(), pictures.end(), "pictures/" + e.path().filename().string()),
              pictures.end())
        << e.path().filename() << " is installed but not shown";
}

TEST(BundleManual, TheModuleRemembersTheManualBesideItselfWhereverItIs) {
  // A copy of the bundle somewhere else stands for a moved installation.
  TempDir moved;
  const fs::path built = fs::path(GRINDLE_SO_PATH).parent_path();
  fs::copy(built, fs::path(moved.path()) / "Grindle2", fs::copy_options::recursive);
  const fs::path so = fs::path(moved.path()) / "Grindle2/Grindle2.so";
  // Whatever an earlier load in this process stored is not this module's.
  const fs::path prefsFile = fs::path(std::getenv("XDG_CONFIG_HOME")) / "com.Qelm.Grindle2.json";
  fs::remove(prefsFile);
  std::string error;
  {
    auto plugin = vsthost::Plugin::load(so.string(), &error);
    ASSERT_TRUE(plugin) << error;
  }
  // The preferences of this test process (a private folder) now hold the module's own copy.
  const std::string prefs = readFile(prefsFile);
  const std::string manual =
      (fs::canonical(fs::path(moved.path())) / "Grindle2/Resources/Help/Grindle2_Manual.html").string();
  EXPECT_NE(prefs.find("\"HelpDir\": \"" + manual + "\""), std::string::npos) << prefs;
  EXPECT_TRUE(fs::is_regular_file(manual));
}
