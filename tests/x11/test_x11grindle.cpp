// The plug-in module's own editor in X11 windows, driven the way a host drives it: the rect
// before open, a mapped child of that size at each screen size, idle at 60 Hz, repeated
// open and close, a parent destroyed first, a bad parent, two instances, the viewer's snapshot,
// the settings screen and back, a knob's tool-tip.
#include "x11TestEnv.h"
// After gtest (x11TestEnv.h): Xlib's macros would break its headers.
#include <X11/Xutil.h>
#include <cairo.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <utility>

#include "platform/platform.h"
#include "support/childProcess.h"
#include "support/xdgSandbox.h"
#include "tools/host/vsthost.h"

using namespace x11test;

namespace {

struct SizeRow {
  const char* big150;
  const char* big200;
  int width, height;
};
constexpr SizeRow kSizes[] = {{"N", "N", 1100, 712}, {"Y", "N", 1650, 1068}, {"N", "Y", 2200, 1424}};

void setSize(const SizeRow& row) {
  saveStringToPrefs("Big150", row.big150);
  saveStringToPrefs("Big200", row.big200);
}

void* windowArg(Window w) { return reinterpret_cast<void*>(static_cast<uintptr_t>(w)); }

class X11Grindle : public X11Fixture {
 protected:
  void SetUp() override {
    X11Fixture::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    setSize(kSizes[0]);
  }
  void TearDown() override {
    plugins.clear();
    setSize(kSizes[0]);
    X11Fixture::TearDown();
  }
  vsthost::Plugin& load() {
    std::string error;
    plugins.push_back(vsthost::Plugin::load(GRINDLE_SO_PATH, &error));
    EXPECT_NE(plugins.back(), nullptr) << error;
    return *plugins.back();
  }
  static ERect rectOf(vsthost::Plugin& p) {
    ERect* r = nullptr;
    p.dispatch(kEffEditGetRect, 0, 0, &r);
    return r ? *r : ERect{};
  }
  // Our child windows of w: (window, attributes).
  std::vector<std::pair<Window, XWindowAttributes>> childrenOf(Window w) {
    std::vector<std::pair<Window, XWindowAttributes>> out;
    Window root = None, up = None;
    Window* kids = nullptr;
    unsigned int n = 0;
    XSync(user, False);
    if (!XQueryTree(user, w, &root, &up, &kids, &n)) return out;
    for (unsigned int i = 0; i < n; ++i) {
      XWindowAttributes a{};
      if (XGetWindowAttributes(user, kids[i], &a)) out.emplace_back(kids[i], a);
    }
    if (kids) XFree(kids);
    return out;
  }
  // Idle passes as a host gives them until pred holds or timeoutMs passed.
  bool idleUntil(vsthost::Plugin& p, const std::function<bool()>& pred, int timeoutMs = 3000) {
    for (int t = 0; t < timeoutMs; t += 16) {
      p.dispatch(kEffEditIdle);
      XSync(user, False);
      if (pred()) return true;
      sleepMs(16);
    }
    return false;
  }
  void idleFor(vsthost::Plugin& p, int ms) { idleUntil(p, [] { return false; }, ms); }
  // Opens the editor at 100 % in a new host window; returns its child window and the child's
  // root position.
  Window openEditor(vsthost::Plugin& p, int& rootX, int& rootY) {
    const Window host = makeParent(0, 0, 1100, 712);
    if (p.dispatch(kEffEditOpen, 0, 0, windowArg(host)) != 1) return None;
    std::vector<std::pair<Window, XWindowAttributes>> kids;
    const bool shown = idleUntil(p, [&] {
      kids = childrenOf(host);
      return kids.size() == 1 && kids[0].second.map_state == IsViewable;
    });
    if (!shown) return None;
    Window child = None;
    XTranslateCoordinates(user, kids[0].first, DefaultRootWindow(user), 0, 0, &rootX, &rootY, &child);
    return kids[0].first;
  }
  std::vector<std::unique_ptr<vsthost::Plugin>> plugins;
};

// Share of pixels that differ between two same-sized images.
double differingShare(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  if (a.size() != b.size() || a.empty()) return 1.0;
  size_t n = 0;
  for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
  return static_cast<double>(n) / static_cast<double>(a.size());
}

}  // namespace

TEST_F(X11Grindle, EachSizeOpensAMappedChildOfTheRectsSize) {
  for (const SizeRow& row : kSizes) {
    setSize(row);
    vsthost::Plugin& p = load();
    const ERect r = rectOf(p);
    EXPECT_EQ(r.right - r.left, row.width);
    EXPECT_EQ(r.bottom - r.top, row.height);
    const Window host = makeParent(0, 0, row.width, row.height);
    ASSERT_EQ(p.dispatch(kEffEditOpen, 0, 0, windowArg(host)), 1);
    idleFor(p, 200);
    const auto kids = childrenOf(host);
    ASSERT_EQ(kids.size(), 1u);
    EXPECT_EQ(kids[0].second.width, row.width);
    EXPECT_EQ(kids[0].second.height, row.height);
    EXPECT_EQ(kids[0].second.map_state, IsViewable);
    p.dispatch(kEffEditClose);
    EXPECT_TRUE(childrenOf(host).empty());
    XDestroyWindow(user, host);
    plugins.clear();
  }
}

TEST_F(X11Grindle, FiftyCyclesAndAParentDestroyedFirst) {
  vsthost::Plugin& p = load();
  const Window host = makeParent(0, 0, 1100, 712);
  for (int i = 0; i < 50; ++i) {
    ASSERT_EQ(p.dispatch(kEffEditOpen, 0, 0, windowArg(host)), 1);
    p.dispatch(kEffEditIdle);
    p.dispatch(kEffEditClose);
  }
  EXPECT_TRUE(childrenOf(host).empty());
  ASSERT_EQ(p.dispatch(kEffEditOpen, 0, 0, windowArg(host)), 1);
  idleFor(p, 50);
  XDestroyWindow(user, host);
  XSync(user, False);
  idleFor(p, 100);  // the editor notices and leaves the dead window alone
  p.dispatch(kEffEditClose);
  p.dispatch(kEffEditIdle);
  ASSERT_EQ(p.dispatch(kEffEditOpen, 0, 0, windowArg(makeParent(0, 0, 1100, 712))), 1);
  p.dispatch(kEffEditClose);
}

TEST_F(X11Grindle, ABadParentFailsTheOpenAndLoadsStillApply) {
  vsthost::Plugin& p = load();
  EXPECT_EQ(p.dispatch(kEffEditOpen, 0, 0, windowArg(0x7ffffff0)), 0);
  p.dispatch(kEffEditIdle);
  p.dispatch(kEffEditClose);
  const float before = p.getParameter(1);
  p.setParameter(1, before > 0.5f ? 0.1f : 0.9f);
  EXPECT_NE(p.getParameter(1), before);
  const Window host = makeParent(0, 0, 1100, 712);
  EXPECT_EQ(p.dispatch(kEffEditOpen, 0, 0, windowArg(host)), 1);
  p.dispatch(kEffEditClose);
}

TEST_F(X11Grindle, TwoInstancesOneClosedTheOtherStillDraws) {
  vsthost::Plugin& a = load();
  vsthost::Plugin& b = load();
  const Window hostA = makeParent(0, 0, 1100, 712);
  const Window hostB = makeParent(1200, 0, 1100, 712);
  ASSERT_EQ(a.dispatch(kEffEditOpen, 0, 0, windowArg(hostA)), 1);
  ASSERT_EQ(b.dispatch(kEffEditOpen, 0, 0, windowArg(hostB)), 1);
  idleFor(a, 50);
  a.dispatch(kEffEditClose);
  XClearWindow(user, hostB);  // what b shows must come from b's own repaint
  idleFor(b, 200);
  const auto kids = childrenOf(hostB);
  ASSERT_EQ(kids.size(), 1u);
  const std::vector<uint32_t> pixels = windowPixels(kids[0].first, 1100, 712);
  ASSERT_FALSE(pixels.empty());
  EXPECT_NE(pixels[1100 * 356 + 550], 0xFFFFFFu) << "the parent's white shows through";
  b.dispatch(kEffEditClose);
}

TEST_F(X11Grindle, ViewerSnapshotHasTheRectsSize) {
  for (const SizeRow& row : kSizes) {
    setSize(row);
    testing_support::TempDir dir;
    const std::string png = dir.path() + "/editor.png";
    const testing_support::ChildResult r = testing_support::runChild(
        {GRINDLE_BINARY_DIR "/tools/g2view", "--snapshot", png, "--settle", "100", GRINDLE_SO_PATH});
    ASSERT_EQ(r.exitCode, 0) << r.output;
    cairo_surface_t* image = cairo_image_surface_create_from_png(png.c_str());
    ASSERT_EQ(cairo_surface_status(image), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(cairo_image_surface_get_width(image), row.width);
    EXPECT_EQ(cairo_image_surface_get_height(image), row.height);
    cairo_surface_destroy(image);
  }
}

TEST_F(X11Grindle, SettingsAreaShowsTheBackScreenAndAClickThereReturns) {
  vsthost::Plugin& p = load();
  int rx = 0, ry = 0;
  const Window editor = openEditor(p, rx, ry);
  ASSERT_NE(editor, None);
  // The sections above the tabs: the disrupt slider's handle below them animates on its own.
  const auto upper = [&] { return windowPixels(editor, 1100, 440); };
  moveTo(rx + 50, ry + 650);  // off every control: no hover state in the picture
  std::vector<uint32_t> front;
  ASSERT_TRUE(idleUntil(p, [&] {  // drawn: not one colour, and two passes show the same picture
    std::vector<uint32_t> now = upper();
    const bool settled =
        std::adjacent_find(now.begin(), now.end(), std::not_equal_to<>()) != now.end() && now == front;
    front = std::move(now);
    return settled;
  }));

  moveTo(rx + 880, ry + 60);  // the settings area of the header
  click(1);
  ASSERT_TRUE(idleUntil(p, [&] { return differingShare(upper(), front) > 0.3; }))
      << "the back screen is not shown";

  moveTo(rx + 50, ry + 650);  // off the options: the whole back screen returns
  click(1);
  std::vector<uint32_t> now;
  EXPECT_TRUE(idleUntil(p, [&] { return (now = upper()) == front; }))
      << differingShare(now, front) << " of the main screen differs";
  p.dispatch(kEffEditClose);
}

TEST_F(X11Grindle, AKnobShowsItsToolTipAfterTheDelay) {
  vsthost::Plugin& p = load();
  int rx = 0, ry = 0;
  ASSERT_NE(openEditor(p, rx, ry), None);
  const auto tips = [&] { return windowsOfType("_NET_WM_WINDOW_TYPE_TOOLTIP"); };
  moveTo(rx + 50, ry + 650);
  idleFor(p, 300);
  EXPECT_TRUE(tips().empty()) << "a tip without a control under the pointer";

  moveTo(rx + 650, ry + 45);  // the header's volume knob
  p.dispatch(kEffEditIdle);
  EXPECT_TRUE(tips().empty()) << "not before the delay";
  ASSERT_TRUE(idleUntil(p, [&] { return !tips().empty(); }));
  XWindowAttributes a{};
  ASSERT_TRUE(XGetWindowAttributes(user, tips().front(), &a));
  EXPECT_GT(a.y, ry + 45) << "below the pointer";
  EXPECT_GT(a.width, 20);

  moveTo(rx + 50, ry + 650);
  EXPECT_TRUE(idleUntil(p, [&] { return tips().empty(); }));
  p.dispatch(kEffEditClose);
  XSync(user, False);
  EXPECT_TRUE(tips().empty());
}
