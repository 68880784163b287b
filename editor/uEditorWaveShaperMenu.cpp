// The wave-shaper menu: commands on the two curves (tags 250..761) with one undo step and a
// clipboard of both curves, the ".wsr" preset files, and the generated curves the screen
// overlays. The curve work itself is in waveShaper.h; here the parameters are read, handed to
// it and written back.
#include <string>

#include "platform/dialogs.h"
#include "plugin/uPlugin.h"
#include "uEditor.h"
#include "vstgui/vstgui.h"
#include "waveShaper.h"

using namespace VSTGUI;

namespace {

// Both curves in tag order: shaper 1's points, then shaper 2's.
constexpr int FIRST_POINT_TAG = WAVESHAPER_START_TAG[0];
constexpr int NUM_CURVE_POINTS = 2 * WAVESHAPER_POINTS;
using Points = std::array<float, NUM_CURVE_POINTS>;
constexpr const char* PRESET_FILE_PROBLEM = "Problem with WaveShaper Preset File";

void readPoints(APlugin& plugin, Points& points) {
  for (int i = 0; i < NUM_CURVE_POINTS; ++i)
    points[static_cast<size_t>(i)] = plugin.getParameter(FIRST_POINT_TAG + i);
}

// Plain stores (the host is not told); only the points that change are written.
void writePoints(APlugin& plugin, const Points& points) {
  for (int i = 0; i < NUM_CURVE_POINTS; ++i) {
    const float v = points[static_cast<size_t>(i)];
    if (plugin.getParameter(FIRST_POINT_TAG + i) != v) plugin.setParameter(FIRST_POINT_TAG + i, v);
  }
}

waveshaper::Curve curveOf(Points& points, int ws) {
  return waveshaper::Curve(points.data() + static_cast<size_t>(ws) * WAVESHAPER_POINTS, WAVESHAPER_POINTS);
}

}  // namespace

void uEditor::setWaveShaperUndo() {
  if (!plugin) return;
  // The screens take this snapshot before every edit they store without automation.
  requestHostReread();
  readPoints(*plugin, waveShaperUndoBuffer);
  waveShaperUndoValid = true;
}

void uEditor::showWaveShaperMenu(const CPoint&, int ws) {
  if (!frame || !plugin || ws < 0 || ws > 1) return;
  COptionMenu* menu = newPopup(COMMAND_MENU_HALF);
  for (const char* title : {"-GWaveShaper Commands",
                            "-",
                            "Clear WaveShaper 1",
                            "Clear WaveShaper 2",
                            "Clear Both WaveShapers",
                            "-",
                            "Zero WaveShaper 1",
                            "Zero WaveShaper 2",
                            "Zero Both WaveShapers",
                            "-",
                            "Copy WaveShaper 1 to 2",
                            "Copy WaveShaper 2 to 1",
                            "Copy WaveShapers",
                            "Paste WaveShapers",
                            "Swap",
                            "-",
                            "Reverse",
                            "Mirror",
                            "Smooth",
                            "Normalize",
                            "Boost",
                            "Reduce",
                            "-",
                            "Load",
                            "Save",
                            "-",
                            "Undo"})
    menu->addEntry(title);
  const MenuPick pick = runPopup(menu);
  // Every command but Undo can be undone, even a dismissed menu's: Undo then keeps the curves.
  if (pick.title != "Undo") setWaveShaperUndo();
  runWaveShaperCommand(pick.title, ws);

  frame->invalid();
  doIdleStuff();
  resumeNow();
}

void uEditor::runWaveShaperCommand(const std::string& title, int ws) {
  if (title == "Undo") {
    if (waveShaperUndoValid) writePoints(*plugin, waveShaperUndoBuffer);
    return;
  }
  if (title == "Load") return loadWaveShaperPreset();
  if (title == "Save") return saveWaveShaperPreset();
  if (title == "Copy WaveShapers") {
    readPoints(*plugin, waveShaperClipboard);
    waveShaperClipboardValid = true;
    return;
  }
  if (title == "Paste WaveShapers") {
    if (waveShaperClipboardValid) writePoints(*plugin, waveShaperClipboard);
    return;
  }
  const struct {
    const char* title;
    int first, last;  // shapers
  } clears[] = {{"Clear WaveShaper 1", 0, 0}, {"Clear WaveShaper 2", 1, 1}, {"Clear Both WaveShapers", 0, 1}};
  for (const auto& c : clears) {
    if (title != c.title) continue;
    for (int t = FIRST_POINT_TAG + c.first * WAVESHAPER_POINTS;
         t < FIRST_POINT_TAG + (c.last + 1) * WAVESHAPER_POINTS; ++t)
      plugin->setToDefault(t);
    return;
  }

  Points points;
  readPoints(*plugin, points);
  const waveshaper::Curve one = curveOf(points, 0), two = curveOf(points, 1), current = curveOf(points, ws);
  if (title == "Zero WaveShaper 1" || title == "Zero Both WaveShapers") waveshaper::zeroCurve(one);
  if (title == "Zero WaveShaper 2" || title == "Zero Both WaveShapers") waveshaper::zeroCurve(two);
  if (title == "Copy WaveShaper 1 to 2") waveshaper::copyCurve(one, two);
  if (title == "Copy WaveShaper 2 to 1") waveshaper::copyCurve(two, one);
  if (title == "Swap") waveshaper::swapCurves(one, two);
  if (title == "Reverse") waveshaper::reverseCurve(current, plugin->getWaveShaperPolarMode());
  if (title == "Mirror") waveshaper::mirrorCurve(current);
  if (title == "Smooth") waveshaper::smoothCurve(current);
  if (title == "Normalize") waveshaper::normalizeCurve(current);
  if (title == "Boost") waveshaper::scaleCurve(current, waveshaper::BOOST_FACTOR);
  if (title == "Reduce") waveshaper::scaleCurve(current, waveshaper::REDUCE_FACTOR);
  writePoints(*plugin, points);
}

void uEditor::loadWaveShaperPreset() {
  std::string folder, path;
  if (!fileSelectLoadDir("Load WaveShaper Preset", plugin->waveShaperDir, "*.wsr", folder, path)) return;
  // The whole file is checked before anything is applied: a broken one changes nothing.
  waveshaper::Preset preset;
  if (!waveshaper::loadWaveShaperFile(path, preset)) {
    messageBox(PRESET_FILE_PROBLEM, 2);
    return;
  }
  plugin->setParameter(WAVESHAPER_POLAR_TAG, preset.polar);
  writePoints(*plugin, preset.points);
}

void uEditor::saveWaveShaperPreset() {
  std::string folder, path;
  if (!fileSelectSaveDir("Save WaveShaper Preset", plugin->waveShaperDir, "Wave.wsr", folder, path)) return;
  waveshaper::Preset preset;
  preset.polar = plugin->getParameter(WAVESHAPER_POLAR_TAG);
  readPoints(*plugin, preset.points);
  if (!waveshaper::saveWaveShaperFile(path, preset)) messageBox(PRESET_FILE_PROBLEM, 2);
}
