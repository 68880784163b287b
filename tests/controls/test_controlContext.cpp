#include <gtest/gtest.h>

#include <memory>

#include "controls/pluginControls.h"
#include "controls/uControlEditor.h"
#include "support/fakeControlEditor.h"
#include "support/vstguiTester.h"

using testing_support::FakeControlEditor;
using testing_support::FrameTester;

TEST(ControlContext, NeedsBothAnEditorAndItsPlugin) {
  auto plugin = std::make_unique<APlugin>(nullptr);
  auto* view = new VSTGUI::CView(VSTGUI::CRect(0, 0, 10, 10));
  EXPECT_FALSE(controlContext(nullptr));
  EXPECT_FALSE(controlContext(view));  // not attached to any frame

  FakeControlEditor noPlugin(nullptr);
  {
    FrameTester t(VSTGUI::CRect(0, 0, 100, 100), &noPlugin);
    t.frame()->addView(view);
    EXPECT_FALSE(controlContext(view));
    t.frame()->removeView(view, false);
  }
  FakeControlEditor editor(plugin.get());
  FrameTester t(VSTGUI::CRect(0, 0, 100, 100), &editor);
  t.frame()->addView(view);
  const ControlContext c = controlContext(view);
  EXPECT_EQ(c.editor, &editor);
  EXPECT_EQ(c.plugin, plugin.get());
}

TEST(ControlTables, FontsAndZoomIndexAreReadyBeforeAnyInitialiser) {
  static_assert(zoomIndex(-1) == 0 && zoomIndex(1) == 1 && zoomIndex(7) == 2);
  EXPECT_EQ(FONT_SIZE[0], VSTGUI::kNormalFontSmall);
  EXPECT_EQ(BIG_FONT_SIZE[2], VSTGUI::kNormalFontVeryBig);
}
