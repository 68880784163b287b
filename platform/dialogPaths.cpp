#include "dialogPaths.h"

namespace platform {

std::vector<std::string> filterExtensions(const std::string& filter) {
  std::vector<std::string> out;
  std::size_t from = 0;
  for (;;) {
    const std::size_t dot = filter.find('.', from);
    if (dot == std::string::npos) break;
    const std::size_t start = dot + 1;
    const std::size_t semicolon = filter.find(';', start);
    const std::size_t end = semicolon == std::string::npos ? filter.size() : semicolon;
    if (end > start) out.push_back(filter.substr(start, end - start));
    from = semicolon == std::string::npos ? start : semicolon;
  }
  return out;
}

std::string forceExtension(const std::string& path, const std::string& defaultName) {
  const std::size_t defaultDot = defaultName.find('.');
  if (defaultDot == std::string::npos || defaultName.size() - defaultDot != 4) return path;
  const std::string extension = defaultName.substr(defaultDot);
  const std::size_t slash = path.rfind('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const std::size_t nameDot = path.find('.', nameStart);
  if (nameDot == std::string::npos) return path + extension;
  return path.substr(0, nameDot) + extension;
}

std::string loadFolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return path;
  return path.substr(0, slash + 1);
}

std::string saveFolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return path;
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace platform
