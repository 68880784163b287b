#include <gtest/gtest.h>

#include "platform/dialogPaths.h"
#include "support/expectValues.h"

using platform::filterExtensions;
using platform::forceExtension;
using platform::loadFolderOf;
using platform::saveFolderOf;
using Types = std::vector<std::string>;

TEST(DialogFilter, NamesTheTypesOfEachPatternAndNothingWithoutADot) {
  EXPECT_EQ(filterExtensions("*.ecs"), Types{"ecs"});
  EXPECT_EQ(filterExtensions("*.wsr"), Types{"wsr"});
  EXPECT_EQ(filterExtensions("*.a;*.b"), (Types{"a", "b"}));
  EXPECT_EQ(filterExtensions("*.a;*.b;*.c"), (Types{"a", "b", "c"}));
  EXPECT_EQ(filterExtensions("*.a;"), Types{"a"});
  // Without a semicolon the search goes on inside the type.
  EXPECT_EQ(filterExtensions("*.tar.gz"), (Types{"tar.gz", "gz"}));
  EXPECT_EQ(filterExtensions("x.a.b.c"), (Types{"a.b.c", "b.c", "c"}));
  EXPECT_EQ(filterExtensions("*.tar.gz;*.zip"), (Types{"tar.gz", "zip"}));
  // Empty types and filters without dots give nothing.
  EXPECT_TRUE(filterExtensions("").empty());
  EXPECT_TRUE(filterExtensions("*").empty());
  EXPECT_TRUE(filterExtensions("*.").empty());
  EXPECT_TRUE(filterExtensions(";;;").empty());
  EXPECT_TRUE(filterExtensions("*.;*.;").empty());
  EXPECT_EQ(filterExtensions("*.;*.b"), Types{"b"});
}

TEST(DialogForceExtension, ReplacesOrAppendsOnlyAFourCharacterExtension) {
  EXPECT_TEXTS(
      {forceExtension("/x/My.Preset", "Wave.wsr"), "/x/My.wsr"},
      {forceExtension("/x/a.b.txt", "Grindle2.ecs"), "/x/a.ecs"},
      {forceExtension("/x/a.ecs", "Grindle2.ecs"), "/x/a.ecs"}, {forceExtension("Name.txt", "Wave.wsr"), "Name.wsr"});
  // Dots in folder names are not the file's.
  EXPECT_EQ(forceExtension("/my.dir/sub.d/Name", "Wave.wsr"), "/my.dir/sub.d/Name.wsr");
  EXPECT_EQ(forceExtension("/my.dir/Name.x", "Wave.wsr"), "/my.dir/Name.wsr");
  // A name without a dot gets the extension appended.
  EXPECT_EQ(forceExtension("/x/Name", "Wave.wsr"), "/x/Name.wsr");
  EXPECT_EQ(forceExtension("Name", "Grindle2.ecs"), "Name.ecs");
  // Only a four-character extension (dot included) is forced.
  EXPECT_TEXTS(
      {forceExtension("/x/Name", "file.data"), "/x/Name"},
      {forceExtension("/x/My.Preset", "file.data"), "/x/My.Preset"},
      {forceExtension("/x/Name", "file.ab"), "/x/Name"}, {forceExtension("/x/Name", "noext"), "/x/Name"},
      {forceExtension("/x/Name", ""), "/x/Name"});
  // The extension runs from the default name's first dot.
  EXPECT_EQ(forceExtension("/x/Name", "a.b.c"), "/x/Name.b.c");
  EXPECT_EQ(forceExtension("/x/Name", "a.b.cd"), "/x/Name");
}

TEST(DialogFolders, LoadKeepsTheSlashSaveDropsItRootAndBareNamesStay) {
  EXPECT_TEXTS(
      {loadFolderOf("/Users/u/a.ecs"), "/Users/u/"}, {saveFolderOf("/x/My.wsr"), "/x"},
      {loadFolderOf("/a b/c'd/$(x).ecs"), "/a b/c'd/"}, {saveFolderOf("/a b/c'd/$(x).ecs"), "/a b/c'd"});
  // The root and bare names.
  EXPECT_TEXTS(
      {loadFolderOf("/a.ecs"), "/"}, {saveFolderOf("/a.ecs"), "/"}, {loadFolderOf("a.ecs"), "a.ecs"},
      {saveFolderOf("a.ecs"), "a.ecs"}, {loadFolderOf(""), ""}, {saveFolderOf(""), ""});
}
