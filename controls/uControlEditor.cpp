#include "uControlEditor.h"

#include "vstgui/cframe.h"

ControlContext controlContext(const VSTGUI::CView* view) {
  if (!view) return {};
  auto* editor = dynamic_cast<IControlEditor*>(view->getEditor());
  if (!editor) return {};
  APlugin* plugin = editor->getPlugin();
  if (!plugin) return {};
  return {editor, plugin};
}
