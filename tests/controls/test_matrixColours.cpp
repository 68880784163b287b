// The matrix rows' colours: the row being dragged stands out, a bypassed slot's source,
// destination and amounts are dimmed, and the dimming wins over the highlight.
#include "controlTestKit.h"

using namespace controls_test;

TEST(ModScreen, RowColoursShowTheDraggedRowAndBypassedSlots) {
  const CColor plain = LIGHT_TEXT_COLOR, selected = SELECTED_TEXT_COLOR, dimmed = LIGHT_TRANS_TEXT_COLOR;
  ControlRig rig;
  auto* screen =
      rig.add(new TModScreen(CRect(20, 20, 520, 180), nullptr, 0, false));  // five columns, 16 px rows
  rig.plugin->setOn(193);                                                   // slot 4 bypassed
  // The row dragged (none, 5, the bypassed 3) and the colour of each cell of rows 3 and 5.
  struct Case {
    int dragRow;
    CColor row3[5], row5[5];
  };
  for (const Case& c :
       {Case{-1, {plain, plain, dimmed, dimmed, dimmed}, {plain, plain, plain, plain, plain}},
        Case{5, {plain, plain, dimmed, dimmed, dimmed}, {selected, selected, selected, selected, selected}},
        Case{3, {selected, selected, dimmed, dimmed, dimmed}, {plain, plain, plain, plain, plain}}}) {
    const double y = 20 + 16 * c.dragRow + 8;
    if (c.dragRow >= 0) rig.tester.mouseDown(470, y);  // the amount column
    const std::vector<DrawOp> texts = drawn(screen, STRINGS);
    ASSERT_EQ(texts.size(), 50u);
    for (size_t j = 0; j < 5; ++j) {
      EXPECT_EQ(texts[3 * 5 + j].color, c.row3[j]) << c.dragRow << " column " << j;
      EXPECT_EQ(texts[5 * 5 + j].color, c.row5[j]) << c.dragRow << " column " << j;
      EXPECT_EQ(texts[7 * 5 + j].color, plain) << c.dragRow << " column " << j;
    }
    if (c.dragRow >= 0) rig.tester.mouseUp(470, y);
  }
  // Released, the row last pressed no longer stands out.
  EXPECT_EQ(drawn(screen, STRINGS)[3 * 5].color, plain);
}
