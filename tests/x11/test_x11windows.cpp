// The frame's window and its tool-tips as the X server sees them, through the life of an editor:
// opened, covered, closed fifty times, its parent destroyed, several at once, a dialog's wait.
#include <cairo.h>
#include <dirent.h>

#include "platform/os/processRunner.h"
#include "x11TestEnv.h"

using namespace VSTGUI;
using namespace x11test;

namespace {

int openDescriptors() {
  int n = 0;
  if (DIR* d = opendir("/proc/self/fd")) {
    while (readdir(d)) ++n;
    closedir(d);
  }
  return n;
}

using X11Windows = X11Fixture;

TEST_F(X11Windows, WindowIsAnEmbeddableChildShowingExactlyTheFrameImage) {
  ASSERT_TRUE(openMain());
  const Window w = x11(frame)->getWindow();
  Window up = None;
  childrenOf(w, &up);
  EXPECT_EQ(up, parent) << "a direct child of the host's window";
  const Atom xembed = XInternAtom(user, "_XEMBED_INFO", False);
  Atom type = None;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  ASSERT_EQ(XGetWindowProperty(user, w, xembed, 0, 2, False, xembed, &type, &format, &items, &after, &data),
            Success);
  ASSERT_EQ(items, 2u);
  EXPECT_EQ(reinterpret_cast<long*>(data)[1] & 1, 1) << "mapped flag";
  XFree(data);

  // Some text so the comparison is not of flat colours only.
  auto* label = new COptionMenu(CRect(140, 30, 300, 60), nullptr, 1);
  label->addEntry("Grindle 2.0 -42 dB");
  label->setCurrent(0);
  label->setFontColor(CColor(255, 255, 0));
  frame->addView(label);
  frame->idle();
  cairo_surface_t* surface = frame->getImage();
  cairo_surface_flush(surface);
  std::vector<uint32_t> image;
  for (int y = 0; y < kHeight; ++y) {
    const unsigned char* row =
        cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface);
    for (int x = 0; x < kWidth; ++x) image.push_back(reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFFu);
  }
  EXPECT_EQ(windowPixels(w, kWidth, kHeight), image);

  // Exposure after being covered repaints the same pixels without a redraw.
  XDestroyWindow(user, makeParent(50, 40, 100, 100));
  EXPECT_NE(windowPixels(w, kWidth, kHeight), image) << "the cover left its mark";
  EXPECT_TRUE(pumpUntil(frame, [&] { return windowPixels(w, kWidth, kHeight) == image; }));
  EXPECT_TRUE(frame->getInvalidRegions().empty());
}

TEST_F(X11Windows, ToolTipWindowShowsBelowThePointerAndGoesWhenThePointerLeavesOrTheEditorCloses) {
  ASSERT_TRUE(openMain());
  frame->enableTooltips(true, 150);
  view->setTooltipText("Drive: 3.5 dB");
  const auto tips = [&] { return windowsOfType("_NET_WM_WINDOW_TYPE_TOOLTIP"); };
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(settleAt(frame, 60, 60 + round));
    EXPECT_TRUE(tips().empty()) << "not before the delay";
    ASSERT_TRUE(
        pumpUntil(frame, [&] { return tips() == std::vector<Window>{x11(frame)->getTooltipWindow()}; }));
    XWindowAttributes a{};
    XGetWindowAttributes(user, tips().front(), &a);
    EXPECT_GT(a.y, rootOf(frame, 60, 60).y) << "below the pointer";
    EXPECT_GT(a.width, 40);
    if (round == 0) {
      pointAt(frame, 1200, 1000);  // out of the editor's window altogether
      EXPECT_TRUE(pumpUntil(frame, [&] { return tips().empty(); }));
    }
  }
  frame->close();
  frame = nullptr;
  EXPECT_TRUE(tips().empty()) << "closed with the editor";
}

TEST_F(X11Windows, ToolTipShowsItsTextFromItsFirstFrameAndAfterEveryExposure) {
  ASSERT_TRUE(openMain());
  X11::X11Frame* platform = x11(frame);
  // Each text replaces the last in the shown tip; the second one keeps the size of the first.
  for (const char* text : {"Drive: 3.5 dB", "Drive: 4.5 dB", "Output Volume: -12.25 dB", "Two\nlines"}) {
    SCOPED_TRACE(text);
    platform->showTooltip(CRect(20, 20, 120, 100), text);
    const Window tip = platform->getTooltipWindow();
    ASSERT_NE(tip, None);
    XWindowAttributes a{};
    ASSERT_TRUE(XGetWindowAttributes(user, tip, &a));
    const auto pixels = [&] { return windowPixels(tip, a.width, a.height); };
    // No idle pass yet: what the server shows now is the first frame.
    const std::vector<uint32_t> first = pixels();
    ASSERT_EQ(first.size(), static_cast<size_t>(a.width * a.height));
    int ink = 0;
    for (int y = 2; y < a.height - 2; ++y)
      for (int x = 2; x < a.width - 2; ++x) {
        const uint32_t p = first[static_cast<size_t>(y * a.width + x)];
        ink += ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) < 3 * 128;
      }
    EXPECT_EQ(first[static_cast<size_t>(a.width + 1)], 0xFFFFE1u) << "the tip's paper";
    EXPECT_GT(ink, 20) << "its text";
    EXPECT_LT(ink, a.width * a.height / 3);
    // The server alone (a clear from another client) shows the same: the text is the background.
    XClearArea(user, tip, 0, 0, 0, 0, False);
    EXPECT_EQ(pixels(), first);
    // Painted over and exposed: the tip answers the Expose.
    GC gc = XCreateGC(user, tip, 0, nullptr);
    XFillRectangle(user, tip, gc, 0, 0, static_cast<unsigned>(a.width), static_cast<unsigned>(a.height));
    XFreeGC(user, gc);
    ASSERT_NE(pixels(), first);
    XEvent expose{};
    expose.xexpose = XExposeEvent{Expose, 0, True, user, tip, 0, 0, a.width, a.height, 0};
    XSendEvent(user, tip, False, ExposureMask, &expose);
    EXPECT_TRUE(pumpUntil(frame, [&] { return pixels() == first; }));
  }
}

TEST_F(X11Windows, FiftyOpenCloseCyclesLeaveNothingBehindAndBadOpensFailCleanly) {
  // The first cycle loads what stays loaded for the process (fonts, extension data).
  ASSERT_TRUE(openMain());
  frame->close();
  frame = nullptr;
  const int descriptors = openDescriptors();
  for (int i = 0; i < 50; ++i) {
    CFrame* f = openFrame(parent, &view);
    ASSERT_NE(f, nullptr) << "cycle " << i;
    f->enableTooltips(true, 0);
    view->setTooltipText("tip");
    f->idle();
    f->close();
  }
  EXPECT_EQ(openDescriptors(), descriptors);
  EXPECT_TRUE(childrenOf(parent).empty());

  auto* f = new CFrame(CRect(0, 0, 50, 50), nullptr);
  EXPECT_FALSE(f->open(nullptr));
  EXPECT_FALSE(f->open(windowArg(parent + 0x1234567))) << "an id that names no window";
  const std::string display = getenv("DISPLAY");
  setenv("DISPLAY", ":65000", 1);
  EXPECT_FALSE(f->open(windowArg(parent)));
  setenv("DISPLAY", display.c_str(), 1);
  EXPECT_TRUE(X11::openFrames().empty());
  EXPECT_TRUE(f->open(windowArg(parent)));
  f->close();
}

TEST_F(X11Windows, ParentDestroyedBeforeCloseIsSurvivedWithOrWithoutAnIdleBetween) {
  for (const bool idleBetween : {true, false}) {
    if (parent == None) parent = makeParent(40, 30, kWidth, kHeight);
    ASSERT_TRUE(openMain());
    x11(frame)->showTooltip(CRect(0, 0, 10, 10), "tip");
    XDestroyWindow(user, parent);
    parent = None;
    XSync(user, False);
    if (idleBetween) {  // the host's usual order: its window goes, idle runs, then close
      ASSERT_TRUE(pumpUntil(frame, [&] { return !x11(frame)->isWindowAlive(); }));
      frame->invalid();
      frame->idle();
    }
    frame->close();
    frame = nullptr;
    EXPECT_TRUE(X11::openFrames().empty());
  }
}

TEST_F(X11Windows, SeveralEditorsAtOnceEachGetTheirOwnInput) {
  RecordingView* second = nullptr;
  const Window other = makeParent(kWidth + 100, 30, kWidth, kHeight);
  ASSERT_TRUE(openMain());
  CFrame* frame2 = openFrame(other, &second);
  ASSERT_NE(frame2, nullptr);
  EXPECT_EQ(X11::openFrames().size(), 2u);
  pointAt(frame2, 30, 40);
  fakeClick(user, 1);
  EXPECT_TRUE(pumpUntil(frame2, [&] {
    frame->idle();
    return second->log == "d2@30,40 u2@30,40";
  })) << second->log;
  EXPECT_EQ(view->log, "");
  frame2->close();
  EXPECT_EQ(X11::openFrames().size(), 1u);
}

TEST_F(X11Windows, DialogWaitKeepsTheEditorRedrawnAndIgnoresClicks) {
  ASSERT_TRUE(openMain());
  const Window w = x11(frame)->getWindow();
  EXPECT_TRUE(
      pumpUntil(frame, [&] { return windowPixels(w, kWidth, kHeight)[50 * kWidth + 50] == 0xC82828u; }));
  view->colour = CColor(0, 255, 0);
  view->setDirty();
  pointAt(frame, 50, 50);
  fakeClick(user, 1);
  // A child that runs for a while: the wait pumps the editor, which redraws the view.
  ASSERT_TRUE(platform::runProcess({"sleep", "0.3"}).started);
  EXPECT_EQ(windowPixels(w, kWidth, kHeight)[50 * kWidth + 50], 0x00FF00u);
  EXPECT_EQ(view->log, "") << "clicks during a dialog are not delivered";
}

}  // namespace
