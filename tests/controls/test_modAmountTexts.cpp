// The matrix screen's amount column: a percentage of -100..100 for most destinations, a factor
// of 1/16..16 (shown in percent) for the LFO speeds 86..89 and the chorus speed 67.
#include <string>

#include "controlTestKit.h"

using namespace controls_test;

TEST(ModScreen, AmountTextsByDestinationKind) {
  struct Column {
    float amount;
    const char* linear;       // int(200 a) - 100, truncated before subtracting
    const char* exponential;  // int(2^((2a - 1) 4) x 100)
  };
  const Column columns[] = {{0.0f, "-100 %", "6 %"}, {0.0025f, "-100 %", "6 %"}, {0.1234f, "-76 %", "12 %"},
                            {0.3f, "-40 %", "32 %"}, {0.5f, "0 %", "100 %"},     {0.625f, "25 %", "200 %"},
                            {0.8f, "60 %", "527 %"}, {1.0f, "100 %", "1600 %"}};
  const struct {
    int dest;
    bool exponential;
  } dests[] = {{66, false}, {67, true}, {68, false}, {85, false}, {86, true},
               {87, true},  {88, true}, {89, true},  {90, false}};
  ControlRig rig;
  auto* screen = rig.add(new TModScreen(CRect(0, 0, 500, 160), nullptr, 0, true));
  for (int row : {0, 4, 9}) {
    for (const auto& d : dests) {
      rig.plugin->setDestForModSlot(row, d.dest);
      for (const Column& c : columns) {
        rig.plugin->setParameter(MOD_SLOT_AMT_TAGS[row], c.amount);
        EXPECT_EQ(screen->cellText(*rig.plugin, row, 4, 0), d.exponential ? c.exponential : c.linear)
            << "row " << row << " destination " << d.dest << " amount " << c.amount;
      }
    }
  }
}
