// The editor binding on X11: keys that come both from the window and from the host's key calls,
// event pumping between throttled idle passes, and the viewer tool on a real plug-in module.
#include <X11/keysym.h>
#include <cairo.h>

#include "support/childProcess.h"
#include "vst2/audioeffectx.h"
#include "x11TestEnv.h"

using namespace VSTGUI;
using namespace x11test;

namespace {

class KeyEditor : public AEffGUIEditor, public IKeyboardHook {
 public:
  explicit KeyEditor(AudioEffect* fx) : AEffGUIEditor(fx) { rect = ERect{0, 0, 100, 200}; }
  using AEffGUIEditor::onKeyDown;
  using AEffGUIEditor::onKeyUp;
  bool open(void* parent) override {
    AEffGUIEditor::open(parent);
    auto* f = new CFrame(CRect(0, 0, 200, 100), this);
    view = new RecordingView(CRect(0, 0, 200, 100), CColor(10, 200, 10));
    f->addView(view);
    if (!f->open(parent)) {
      f->forget();
      return false;
    }
    frame = f;
    f->registerKeyboardHook(this);
    return true;
  }
  int32_t onKeyDown(const VstKeyCode& key, CFrame*) override {
    downs.push_back(key.virt);
    return key.virt == 12 || key.virt == 14 ? 1 : -1;
  }
  int32_t onKeyUp(const VstKeyCode&, CFrame*) override { return -1; }
  std::vector<unsigned char> downs;
  RecordingView* view = nullptr;
};

class NoEffect : public AudioEffectX {
 public:
  NoEffect() : AudioEffectX(nullptr, 1, 1) {}
};

class X11Editor : public X11Fixture {
 protected:
  void SetUp() override {
    X11Fixture::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    editor = new KeyEditor(&effect);  // the effect owns and deletes it
    ASSERT_TRUE(editor->open(reinterpret_cast<void*>(static_cast<uintptr_t>(parent))));
  }
  void TearDown() override {
    if (editor) editor->close();
    X11Fixture::TearDown();
  }
  void focusEditor() {
    XSetInputFocus(user, x11(editor->getFrame())->getWindow(), RevertToParent, CurrentTime);
    XSync(user, False);
  }
  NoEffect effect;
  KeyEditor* editor = nullptr;
};

TEST_F(X11Editor, AKeyFromBothTheWindowAndTheHostIsHandledOnce) {
  focusEditor();
  key(XK_Up, true);
  ASSERT_TRUE(pumpUntil(nullptr, [&] {
    editor->idle();
    return !editor->downs.empty();
  }));
  VstKeyCode up{0, 12, 0};
  EXPECT_TRUE(editor->onKeyDown(up)) << "the window's copy was used, so the host must not act";
  EXPECT_EQ(editor->downs.size(), 1u);
  key(XK_Up, false);

  // The host first, then the window.
  VstKeyCode down{0, 14, 0};
  EXPECT_TRUE(editor->onKeyDown(down));
  EXPECT_EQ(editor->downs.size(), 2u);
  key(XK_Down, true);
  key(XK_Down, false);
  // A key after it shows when the window's events have been read: the Down's copy was dropped.
  key(XK_Left, true);
  key(XK_Left, false);
  ASSERT_TRUE(pumpUntil(nullptr, [&] {
    editor->idle();
    return editor->downs.size() >= 3;
  }));
  EXPECT_EQ(editor->downs, (std::vector<unsigned char>{12, 14, 11}));

  // Unused keys stay unused, whichever way they come.
  VstKeyCode x{'x', 0, 0};
  EXPECT_FALSE(editor->onKeyDown(x));
  EXPECT_FALSE(editor->onKeyUp(x));
}

TEST_F(X11Editor, PumpingEventsDeliversInputWithoutARedraw) {
  CFrame* frame = editor->getFrame();
  frame->idle();
  int rx = 0, ry = 0;
  frameToRoot(frame, 20, 30, rx, ry);
  moveTo(rx, ry);
  click(1);
  editor->view->setDirty();
  ASSERT_TRUE(pumpUntil(nullptr, [&] {
    editor->pumpEvents();
    return editor->view->events.size() >= 2;
  }));
  EXPECT_EQ(editor->view->events[0].kind, MouseRecord::kDown);
  EXPECT_TRUE(editor->view->isDirty()) << "pumping does not run the redraw";
  editor->idle();
  EXPECT_FALSE(editor->view->isDirty());
}

TEST_F(X11Editor, IdleCloseAndKeysWithoutAnOpenEditorDoNothing) {
  editor->close();
  editor->idle();
  editor->pumpEvents();
  editor->close();
  VstKeyCode up{0, 12, 0};
  EXPECT_FALSE(editor->onKeyDown(up));
  EXPECT_TRUE(X11::openFrames().empty());
  ASSERT_TRUE(editor->open(reinterpret_cast<void*>(static_cast<uintptr_t>(parent))));
  EXPECT_EQ(X11::openFrames().size(), 1u);
}

TEST(X11Viewer, SnapshotOfTheDemoEditorShowsItsControls) {
  testing_support::TempDir dir;
  const std::string png = dir.path() + "/demo.png";
  const testing_support::ChildResult r =
      testing_support::runChild({GRINDLE_BINARY_DIR "/tools/g2view", "--snapshot", png, "--settle", "200",
                                 GRINDLE_BINARY_DIR "/tools/g2demo.so"});
  ASSERT_EQ(r.exitCode, 0) << r.output;
  cairo_surface_t* image = cairo_image_surface_create_from_png(png.c_str());
  ASSERT_EQ(cairo_surface_status(image), CAIRO_STATUS_SUCCESS);
  EXPECT_EQ(cairo_image_surface_get_width(image), 360);
  EXPECT_EQ(cairo_image_surface_get_height(image), 180);
  auto pixel = [&](int x, int y) {
    const unsigned char* row =
        cairo_image_surface_get_data(image) + y * cairo_image_surface_get_stride(image);
    return reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFFu;
  };
  EXPECT_EQ(pixel(5, 5), 0x181A20u) << "background";
  EXPECT_EQ(pixel(100, 55), 0xE6781Eu) << "the drive bar at its default half";
  EXPECT_EQ(pixel(300, 55), 0x282830u) << "the bar's empty part";
  cairo_surface_destroy(image);

  // A module without an editor is refused with a message.
  const testing_support::ChildResult none = testing_support::runChild(
      {GRINDLE_BINARY_DIR "/tools/g2view", "--snapshot", png, "/nonexistent/module.so"});
  EXPECT_NE(none.exitCode, 0);
}

}  // namespace
