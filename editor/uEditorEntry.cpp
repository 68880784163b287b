// Part of the plug-in module itself: when the module loads, new plug-in instances get this
// editor, and frames open as X11 child windows of the host's window. Both are plain pointer
// stores, so loading stays cheap for hosts that only scan.
#include "plugin/uPlugin.h"
#include "uEditor.h"
#include "vstgui/x11frame.h"

namespace {

CreatedEditor makeEditor(APlugin& plugin) {
  auto* editor = new uEditor(&plugin);
  return {editor, editor};
}

[[maybe_unused]] const bool installed = [] {
  VSTGUI::X11::install();
  APlugin::editorFactory.store(&makeEditor, std::memory_order_release);
  return true;
}();

}  // namespace
