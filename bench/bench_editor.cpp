// Costs of the editor object at 100 % and 200 %: open with the first paint and close (first in
// the process and warm), the idle pass with nothing to do and with a thread moving tags and
// meters, the audio thread's notification, and the memory an editor holds closed and open; the
// main screen's full paint and the rebuilds of a type, tab or path change with their redraw.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "../tests/support/xdgSandbox.h"
#include "controls/pluginControls.h"
#include "editor/uEditor.h"
#include "platform/platform.h"
#include "plugin/uPlugin.h"
#include "vstgui/vstgui.h"

using namespace VSTGUI;

namespace {

CreatedEditor makeEditor(APlugin& plugin) {
  auto* editor = new uEditor(&plugin);
  return {editor, editor};
}

// The build's artwork: <build>/Grindle2/Resources beside <build>/bench.
void useBuildArtwork() {
  static const bool done = [] {
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe");
    CBitmap::setResourceFolder((exe.parent_path().parent_path() / "Grindle2" / "Resources").string());
    return true;
  }();
  (void)done;
}

// The clock the idle passes see, moved by hand so that every pass runs.
struct BenchClock {
  BenchClock() { Ticks::setSource(&read, this); }
  ~BenchClock() { Ticks::setSource(nullptr, nullptr); }
  static uint64_t read(void* self) { return static_cast<BenchClock*>(self)->now; }
  uint64_t now = 1000;
};

struct Instance {
  explicit Instance(int mode) {
    useBuildArtwork();
    saveStringToPrefs("Big150", mode == 1 ? "Y" : "N");
    saveStringToPrefs("Big200", mode == 2 ? "Y" : "N");
    APlugin::editorFactory.store(&makeEditor);
    plugin = std::make_unique<APlugin>(nullptr);
    editor = dynamic_cast<uEditor*>(plugin->getEditor());
  }
  std::unique_ptr<APlugin> plugin;
  uEditor* editor = nullptr;
};

int modeOf(const benchmark::State& state) { return static_cast<int>(state.range(0)); }

void openPaintClose(uEditor& editor) {
  editor.open(nullptr);
  editor.getFrame()->idle();
  editor.close();
}

void BM_EditorOpenPaintCloseFirst(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    Instance fresh(modeOf(state));
    state.ResumeTiming();
    openPaintClose(*fresh.editor);
  }
}
BENCHMARK(BM_EditorOpenPaintCloseFirst)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_EditorOpenPaintCloseWarm(benchmark::State& state) {
  Instance in(modeOf(state));
  openPaintClose(*in.editor);
  for (auto _ : state) openPaintClose(*in.editor);
}
BENCHMARK(BM_EditorOpenPaintCloseWarm)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);

// Knobs carrying the first n tags and the four level meters, shown in the frame.
void addControls(uEditor& editor, int n) {
  for (int i = 0; i < n; ++i) {
    const int x = 30 + (i % 17) * 60, y = 20 + (i / 17) * 70;  // side by side, none overlapping
    TKnob* knob = nullptr;
    editor.createKnob(knob, i + 1, x, y, 0, "Knob", 16, 0, 0, 0, 0, 0, 0);
    if (knob) editor.getFrame()->addView(knob);
  }
  for (int i = 0; i < 4; ++i) {
    editor.vuMeters[static_cast<size_t>(i)] =
        editor.own(new TVu(CRect(584 + 7 * i, 30, 590 + 7 * i, 90), &editor));
    editor.getFrame()->addView(editor.vuMeters[static_cast<size_t>(i)]);
  }
}

void BM_EditorIdleUnchanged(benchmark::State& state) {
  Instance in(modeOf(state));
  BenchClock clock;
  in.editor->open(nullptr);
  addControls(*in.editor, 150);
  in.editor->idle();
  for (auto _ : state) {
    clock.now += IDLE_INTERVAL_MS;
    in.editor->idle();
  }
  in.editor->close();
}
BENCHMARK(BM_EditorIdleUnchanged)->Arg(0)->Arg(2)->Unit(benchmark::kMicrosecond);

// Another thread (here: the same one, between passes) moves tags and meters; the pass applies
// them and redraws what moved.
void BM_EditorIdleMovedTags(benchmark::State& state) {
  Instance in(0);
  BenchClock clock;
  in.editor->open(nullptr);
  addControls(*in.editor, 150);
  in.editor->idle();
  const int n = static_cast<int>(state.range(0));
  float v = 0.0f;
  for (auto _ : state) {
    v = v > 0.9f ? 0.0f : v + 0.01f;
    for (int t = 1; t <= n; ++t) in.plugin->setParameter(t, v);
    in.editor->setVU(v, v, v, v);
    clock.now += IDLE_INTERVAL_MS;
    in.editor->idle();
  }
  in.editor->close();
}
BENCHMARK(BM_EditorIdleMovedTags)->Arg(8)->Arg(64)->Unit(benchmark::kMicrosecond);

// The audio thread's side: one notification, and the 1024 of a program load.
void BM_EditorNotifyOne(benchmark::State& state) {
  Instance in(0);
  in.editor->open(nullptr);
  int tag = 0;
  for (auto _ : state) {
    in.editor->setParameter(tag, 0.5f);
    tag = (tag + 1) & 1023;
  }
  in.editor->close();
}
BENCHMARK(BM_EditorNotifyOne);

void BM_EditorNotifyLoad(benchmark::State& state) {
  Instance in(0);
  in.editor->open(nullptr);
  for (auto _ : state)
    for (int t = 0; t < NUM_PARAMS; ++t) in.editor->setParameter(t, 0.5f);
  in.editor->close();
}
BENCHMARK(BM_EditorNotifyLoad)->Unit(benchmark::kMicrosecond);

// Heap held by an editor: closed (as built inside the plug-in) and open; counters in bytes.
void BM_EditorMemory(benchmark::State& state) {
  Instance in(modeOf(state));
  for (auto _ : state) {
    const size_t base = mallinfo2().uordblks;
    in.editor->open(nullptr);
    in.editor->getFrame()->idle();
    const size_t open = mallinfo2().uordblks;
    Instance second(modeOf(state));
    const size_t beforeSecond = mallinfo2().uordblks;
    second.editor->open(nullptr);
    second.editor->getFrame()->idle();
    const size_t secondOpen = mallinfo2().uordblks;
    second.editor->close();
    in.editor->close();
    state.counters["closed_object"] = static_cast<double>(sizeof(uEditor));
    state.counters["open_heap"] = static_cast<double>(open - base);
    state.counters["second_open_heap"] = static_cast<double>(secondOpen - beforeSecond);
  }
}
BENCHMARK(BM_EditorMemory)->Arg(0)->Arg(2)->Iterations(1)->Unit(benchmark::kMillisecond);

// The main screen with every box filled, as the first idle pass leaves it.
void showAll(uEditor& editor) {
  editor.showMainScreen();
  editor.showDistort();
  editor.showFilter();
  editor.showCompressor();
  editor.showWidenChorus();
  editor.showBottomScreen();
  editor.getFrame()->idle();
}

// The main screen filled, then per iteration `change` (given the iteration number) and the
// redraw it causes.
template <typename Change>
void timeChange(benchmark::State& state, Change&& change) {
  Instance in(modeOf(state));
  in.editor->open(nullptr);
  showAll(*in.editor);
  int i = 0;
  for (auto _ : state) {
    change(in, ++i);
    in.editor->getFrame()->idle();
  }
  in.editor->close();
}

void BM_EditorMainScreenPaint(benchmark::State& state) {
  timeChange(state, [](Instance& in, int) { in.editor->getFrame()->invalid(); });
}
BENCHMARK(BM_EditorMainScreenPaint)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);

// A type change: the knob memory, the distortion box rebuilt.
void BM_EditorTypeChange(benchmark::State& state) {
  timeChange(state, [](Instance& in, int i) {
    in.editor->updateDistort(i & 1 ? 3 : 31);
    in.editor->showDistort();
  });
}
BENCHMARK(BM_EditorTypeChange)->Arg(0)->Arg(2)->Unit(benchmark::kMicrosecond);

// Arguments: screen mode, then the tab to show again (-1: each tab in turn).
void BM_EditorTabChange(benchmark::State& state) {
  const auto tab = static_cast<int>(state.range(1));
  timeChange(state, [tab](Instance& in, int i) {
    in.editor->setBottomTab(tab < 0 ? i & 3 : tab);
    in.editor->showBottomScreen();
  });
}
BENCHMARK(BM_EditorTabChange)
    ->Args({0, -1})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({0, 2})
    ->Args({0, 3})
    ->Args({2, -1})
    ->Unit(benchmark::kMicrosecond);

void BM_EditorPathChange(benchmark::State& state) {
  timeChange(state, [](Instance& in, int i) {
    in.plugin->setSteppedValue(MODULE_PATH_TAG, i % NUM_MODULE_PATHS);
    in.editor->updatePath();
  });
}
BENCHMARK(BM_EditorPathChange)->Arg(0)->Arg(2)->Unit(benchmark::kMicrosecond);

}  // namespace
