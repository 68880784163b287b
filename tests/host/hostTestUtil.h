// What the host-facing tests share: the offline host tool and whole-file reads.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

namespace hosttest {

inline const std::string kHostTool = std::string(GRINDLE_BINARY_DIR) + "/tools/g2host";

inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace hosttest
