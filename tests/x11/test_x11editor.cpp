// Editors on X11: the binding (keys that come both from the window and from the host's key
// calls, event pumping between throttled idle passes) and the plug-in module's own editor driven
// the way a host drives it.
#include <X11/keysym.h>

#include <memory>

#include "platform/platform.h"
#include "support/xdgSandbox.h"
#include "tools/host/vsthost.h"
#include "vst2/audioeffectx.h"
#include "x11TestEnv.h"

using namespace VSTGUI;
using namespace x11test;

namespace {

class KeyEditor : public AEffGUIEditor, public IKeyboardHook {
 public:
  explicit KeyEditor(AudioEffect* fx) : AEffGUIEditor(fx) { rect = ERect{0, 0, 100, 200}; }
  using AEffGUIEditor::onKeyDown;
  bool open(void* parent) override {
    AEffGUIEditor::open(parent);
    auto* f = new CFrame(CRect(0, 0, 200, 100), this);
    f->addView(view = new RecordingView(CRect(0, 0, 200, 100), CColor(10, 200, 10)));
    if (!f->open(parent)) {
      f->forget();
      return false;
    }
    frame = f;
    f->registerKeyboardHook(this);
    return true;
  }
  // Uses the Up and Down keys.
  int32_t onKeyDown(const VstKeyCode& key, CFrame*) override {
    downs.push_back(key.character ? key.character : key.virt);
    return key.virt == 12 || key.virt == 14 ? 1 : -1;
  }
  int32_t onKeyUp(const VstKeyCode&, CFrame*) override { return -1; }
  std::vector<int> downs;
  RecordingView* view = nullptr;
};

class X11Editor : public X11Fixture {
 protected:
  void SetUp() override {
    X11Fixture::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    editor = new KeyEditor(&effect);  // the effect owns and deletes it
    ASSERT_TRUE(editor->open(windowArg(parent)));
  }
  void TearDown() override {
    if (editor) editor->close();
    X11Fixture::TearDown();
  }
  bool idleUntil(const std::function<bool()>& pred) {
    return pumpUntil(nullptr, [&] {
      editor->idle();
      return pred();
    });
  }
  AudioEffectX effect{nullptr, 1, 1};
  KeyEditor* editor = nullptr;
};

TEST_F(X11Editor, AKeyFromBothTheWindowAndTheHostIsHandledOnceAndUnusedOnesGoToTheHost) {
  XSetInputFocus(user, x11(editor->getFrame())->getWindow(), RevertToParent, CurrentTime);
  XSelectInput(user, parent, KeyPressMask | StructureNotifyMask);
  fakeKey(user, XK_Up, true);
  ASSERT_TRUE(idleUntil([&] { return !editor->downs.empty(); }));
  VstKeyCode up{0, 12, 0}, down{0, 14, 0}, x{'x', 0, 0};
  EXPECT_TRUE(editor->onKeyDown(up)) << "the window's copy was used, so the host must not act";
  fakeKey(user, XK_Up, false);
  // The host first, then the window: the window's copy is dropped.
  EXPECT_TRUE(editor->onKeyDown(down));
  for (KeySym k : {XK_Down, XK_Left, XK_q}) fakeTap(user, k);
  // The unused key is handed to the host's window.
  XEvent forwarded{};
  bool seen = false;
  EXPECT_TRUE(idleUntil([&] {
    while (XCheckTypedWindowEvent(user, parent, KeyPress, &forwarded))
      seen = seen || forwarded.xkey.send_event;
    return seen;
  }));
  EXPECT_EQ(editor->downs, (std::vector<int>{12, 14, 11, 'q'}));
  EXPECT_FALSE(editor->onKeyDown(x)) << "unused keys stay unused, whichever way they come";
}

TEST_F(X11Editor, PumpingEventsDeliversInputWithoutARedrawAndNothingWorksWhenClosed) {
  CFrame* f = editor->getFrame();
  f->idle();
  pointAt(f, 20, 30);
  fakeClick(user, 1);
  editor->view->setDirty();
  ASSERT_TRUE(pumpUntil(nullptr, [&] {
    editor->pumpEvents();
    return editor->view->log == "d2@20,30 u2@20,30";
  })) << editor->view->log;
  EXPECT_TRUE(editor->view->isDirty()) << "pumping does not run the redraw";
  editor->idle();
  EXPECT_FALSE(editor->view->isDirty());

  editor->close();
  editor->idle();
  editor->pumpEvents();
  editor->close();
  VstKeyCode up{0, 12, 0};
  EXPECT_FALSE(editor->onKeyDown(up));
  EXPECT_TRUE(X11::openFrames().empty());
  ASSERT_TRUE(editor->open(windowArg(parent)));
  EXPECT_EQ(X11::openFrames().size(), 1u);
}

class X11Grindle : public X11Fixture {
 protected:
  void TearDown() override {
    plugins.clear();
    X11Fixture::TearDown();
  }
  vsthost::Plugin& load() {
    std::string error;
    plugins.push_back(vsthost::Plugin::load(GRINDLE_SO_PATH, &error));
    EXPECT_NE(plugins.back(), nullptr) << error;
    return *plugins.back();
  }
  // Opens the editor in a new host window and idles it until it shows one mapped child of the
  // given size; that child.
  Window openShown(vsthost::Plugin& p, int x, int width, int height) {
    const Window host = makeParent(x, 0, width, height);
    if (p.dispatch(kEffEditOpen, 0, 0, windowArg(host)) != 1) return None;
    std::vector<Window> kids;
    const bool shown = pumpUntil(nullptr, [&] {
      p.dispatch(kEffEditIdle);
      kids = childrenOf(host);
      XWindowAttributes a{};
      return kids.size() == 1 && XGetWindowAttributes(user, kids[0], &a) && a.map_state == IsViewable &&
             a.width == width && a.height == height;
    });
    return shown ? kids[0] : None;
  }
  std::vector<std::unique_ptr<vsthost::Plugin>> plugins;
};

TEST_F(X11Grindle, WithTheComputerKeyboardOnAClickTakesTheFocusAndTheDownKeyStepsTheProgram) {
  for (const bool keyboardOn : {true, false}) {
    SCOPED_TRACE(keyboardOn ? "Computer Keyboard on" : "off");
    setRegisterIsOn("Key", keyboardOn);  // read when the instance is made
    vsthost::Plugin& p = load();
    const Window editor = openShown(p, 0, 1100, 712);
    ASSERT_NE(editor, None);
    Window host = None;
    childrenOf(editor, &host);
    // Like a GTK host, the host keeps the focus on a window of its own beside the editor's.
    const Window hostFocus = XCreateSimpleWindow(user, host, 0, 0, 1, 1, 0, 0, 0);
    XMapWindow(user, hostFocus);
    XSetInputFocus(user, hostFocus, RevertToParent, CurrentTime);
    const auto focus = [&] {
      Window w = None;
      int revert = 0;
      XGetInputFocus(user, &w, &revert);
      return w;
    };
    // Idles until done holds (or, when nothing is to happen, for a while).
    const auto settle = [&](const std::function<bool()>& done) {
      if (keyboardOn) return pumpUntil(nullptr, [&] { return p.dispatch(kEffEditIdle), done(); });
      for (int i = 0; i < 30; ++i) XSync(user, False), p.dispatch(kEffEditIdle), sleepMs(5);
      return done();
    };
    const std::string before = p.programName();
    fakeMove(user, 4, 4);  // the background, away from every control
    fakeClick(user, 1);
    EXPECT_EQ(settle([&] { return focus() == editor; }), keyboardOn);
    sleepMs(350);  // program steps are at least 333 ms apart, counted from the editor's opening
    fakeTap(user, XK_Down);
    EXPECT_EQ(settle([&] { return p.programName() != before; }), keyboardOn);
    p.dispatch(kEffEditClose);
    XSync(user, False);
    EXPECT_EQ(focus(), hostFocus);
    XDestroyWindow(user, host);
  }
  setRegisterIsOn("Key", true);
}

TEST_F(X11Grindle, OfTwoInstancesOneClosesOneLosesItsParentAndBothOpenAgain) {
  vsthost::Plugin& a = load();
  vsthost::Plugin& b = load();
  ASSERT_NE(openShown(a, 0, 1100, 712), None);
  const Window editorB = openShown(b, 1200, 1100, 712);
  ASSERT_NE(editorB, None);
  a.dispatch(kEffEditClose);
  // b painted over and exposed: what it shows now must come from its own repaint.
  GC gc = XCreateGC(user, editorB, 0, nullptr);
  XSetForeground(user, gc, WhitePixel(user, DefaultScreen(user)));
  XFillRectangle(user, editorB, gc, 0, 0, 1100, 712);
  XFreeGC(user, gc);
  const auto centre = [&] { return windowPixels(editorB, 1100, 712)[1100 * 356 + 550]; };
  ASSERT_EQ(centre(), 0xFFFFFFu);
  XEvent expose{};
  expose.xexpose = XExposeEvent{Expose, 0, True, user, editorB, 0, 0, 1100, 712, 0};
  XSendEvent(user, editorB, False, ExposureMask, &expose);
  EXPECT_TRUE(pumpUntil(nullptr, [&] {
    b.dispatch(kEffEditIdle);
    return centre() != 0xFFFFFFu;
  }));

  // b's host window goes first; the editor leaves the dead window alone.
  Window hostB = None;
  childrenOf(editorB, &hostB);
  XDestroyWindow(user, hostB);
  XSync(user, False);
  for (int i = 0; i < 10; ++i) b.dispatch(kEffEditIdle);
  b.dispatch(kEffEditClose);
  b.dispatch(kEffEditIdle);
  EXPECT_EQ(b.dispatch(kEffEditOpen, 0, 0, windowArg(0x7ffffff0)), 0) << "a parent that does not exist";
  b.dispatch(kEffEditClose);
  EXPECT_NE(openShown(b, 0, 1100, 712), None);
  EXPECT_NE(openShown(a, 1200, 1100, 712), None);
  a.dispatch(kEffEditClose);
  b.dispatch(kEffEditClose);
}

}  // namespace
