// Writes the chunk harness's seeds into the folder named on the command line: each built-in
// program's chunk as a host saved it, behind the byte that picks the host kind and chunk kind.
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "plugin/uPlugin.h"
#include "support/xdgSandbox.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  auto plugin = std::make_unique<APlugin>(nullptr);
  for (int program : {0, 3, 17, 49}) {
    plugin->setDemoProgram(program);
    plugin->setParameter(1, 0.3f);  // an edit, as saved sessions hold
    void* data = nullptr;
    const int32_t size = plugin->getChunk(&data, false);
    if (size <= 0 || !data) return 1;
    for (const unsigned char selector : {0x00, 0x01, 0x02, 0x03, 0x04, 0x10, 0x14}) {
      const std::string name =
          std::string(argv[1]) + "/program" + std::to_string(program) + "-" + std::to_string(selector);
      std::ofstream out(name, std::ios::binary | std::ios::trunc);
      out.put(static_cast<char>(selector));
      out.write(static_cast<const char*>(data), size);
      if (!out) return 1;
    }
  }
  return 0;
}
