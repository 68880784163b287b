// The text rules of the file dialogs: which file types a filter names, the extension a save
// dialog forces, and the folder kept after a load or a save.
#pragma once

#include <string>
#include <vector>

namespace platform {

// File types of a filter such as "*.ecs" or "*.a;*.b" ("ecs"; "a", "b"). Each type is the
// text after a '.' up to the next ';' or the end; empty ones are skipped. After a ';' the
// search for the next '.' goes on from there, otherwise from the start of the type just read
// (so "*.tar.gz" names "tar.gz" and then "gz").
std::vector<std::string> filterExtensions(const std::string& filter);

// The chosen save path with the default name's extension forced onto it, when the default
// name has one of exactly 4 characters with its dot (".ecs"): a file name without a '.'
// gets it appended, otherwise everything from the file name's first '.' is replaced by it
// ("a.b.txt" becomes "a.ecs"). Any other default name leaves the path as it is.
std::string forceExtension(const std::string& path, const std::string& defaultName);

// Folder of a loaded file, keeping its trailing '/' ("/home/u/a.ecs" gives "/home/u/");
// a path without '/' is its own folder.
std::string loadFolderOf(const std::string& path);

// Folder of a saved file, without the trailing '/' ("/x/My.wsr" gives "/x"); a file in the
// root folder gives "/", and a path without '/' is its own folder.
std::string saveFolderOf(const std::string& path);

}  // namespace platform
