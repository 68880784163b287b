// A click that brings a control back to the value last drawn still reaches the plug-in.
#include <gtest/gtest.h>

#include "controlTestKit.h"

using namespace controls_test;

TEST(ChangeReports, RockerCyclingBackBeforeARedrawEndsThePluginWhereTheButtonIs) {
  ControlRig rig;
  auto* r = rig.add(new TRockerButton(CRect(10, 10, 40, 20), &rig.listener, DISRUPT_LAZY_MODE_TAG,
                                      rig.knobStrip, 5, 4.99f));
  drawn(r);
  for (int click = 0; click < 5; ++click) rig.tester.click(20, 15);  // no idle pass between clicks
  EXPECT_EQ(r->frame(), 0);
  EXPECT_EQ(rig.plugin->getSteppedValue(DISRUPT_LAZY_MODE_TAG), 0);
}
