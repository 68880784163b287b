// Show operations: which controls of the layout are in the frame and in each box, rebuilt as a
// whole when a setting they depend on changes.
#include "uEditor.h"
#include "vstgui/vstgui.h"

using namespace VSTGUI;

namespace {
// A box starts again from its background.
void resetBox(CViewContainer* box, CBitmap* background) {
  if (!box) return;
  box->removeAll(false);
  box->setBackground(background);
  box->invalid();
}
}  // namespace

void uEditor::showMainScreen() {
  if (!frame) return;
  frame->setBackground(mainBackground());
  for (CViewContainer* box : {distortBox, filterBox, compressorBox, widenerBox, bottomBox})
    if (box && !box->getParentView()) frame->addView(box);
  mainScreenShown = true;
  frame->invalid();
}

void uEditor::updatePath() {}

void uEditor::showDistort() { resetBox(distortBox, distortBoxBitmap(0, false)); }

void uEditor::showFilter() { resetBox(filterBox, bitmap(FILTER_BOX_BMP)); }

void uEditor::showCompressor() { resetBox(compressorBox, bitmap(COMPRESSOR_BOX_BMP)); }

void uEditor::showWidenChorus() { resetBox(widenerBox, bitmap(WIDENER_BOX_BMP)); }

void uEditor::showBottomScreen() { resetBox(bottomBox, bottomBitmap(bottomTab)); }

void uEditor::updateDistort(int) {}

void uEditor::resumeLayout() {}

void uEditor::updatePresetMenu() {}
