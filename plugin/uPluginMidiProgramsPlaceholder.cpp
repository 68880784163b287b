// PLACEHOLDER: stands in for the built-in program loader until it is merged; it only records
// which program a MIDI program change asked for. Delete this file then.
#include "uPlugin.h"

void APlugin::setDemoProgram(int n) {
  if (n >= 0 && n < 50) curDemoProgram.store(n, std::memory_order_relaxed);
}
