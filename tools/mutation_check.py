#!/usr/bin/env python3
"""Mutation check: does the test suite notice small breaks in the product code?

Each break below replaces one exact piece of text in one source file (a constant, a comparison,
a sign, an off-by-one, a dropped statement). For every break the script applies it, rebuilds
incrementally in its own build folder, runs the test executables of that layer until one
fails, and puts the file back. A break no test notices is reported as a survivor; a break
whose text is no longer found exactly once is reported as stale (the code moved on: update
the list), one that does not compile as unbuildable.

    mutation_check.py [--source DIR] [--build DIR] [--jobs N] [--only SUBSTRING] [--area NAME] [--list]

Run it on a tree nobody edits meanwhile (e.g. a `git archive` copy); the file is restored
even when the run is interrupted.
"""
import argparse
import os
import signal
import subprocess
import sys
import time

# (file, exact original text, replacement); further lists by area in tools/mutations/*.py
BREAKS = [
    # dsp/: the modules
    ("dsp/uFilter.cpp", "if (fc > maxCut) fc = maxCut;\n  const float rr", "const float rr"),
    ("dsp/uTableFormulas.h", "0.5 * std::pow(2.0, -5.0 * tableX(i))", "0.5 * std::pow(2.0, -4.0 * tableX(i))"),
    ("dsp/uFilter.cpp", "dz = 1.0f / (g * g + 2.0f * R * g + 1.0f);", "dz = 1.0f / (g * g + 2.0f * R * g - 1.0f);"),
    ("dsp/uFilter.cpp", "return (T == kOnePoleLow ? y : x - y) * 10.0f;", "return (T == kOnePoleLow ? y : y - x) * 10.0f;"),
    ("dsp/unitLaws.h", "std::pow(2.0, static_cast<double>(FREQUENCY_OCTAVES) * v)", "std::pow(2.0, 9.0 * v)"),
    ("dsp/uCompressor.cpp", "thresholdDb = units::THRESHOLD_DB.unitOf(t);", "thresholdDb = units::LEVEL_DB.unitOf(t);"),
    ("dsp/uCompressor.cpp", "(1.0f - r) * units::RATIO_OCTAVES", "(1.0f - r) * 6.0f"),
    ("dsp/uCompressor.cpp", "units::LEVEL_DB.unitOf(v) / 20.0f", "units::GAIN_DB.unitOf(v) / 20.0f"),
    ("dsp/uCompressor.cpp", "const auto above = levels > thresholdLin;", "const auto above = levels < thresholdLin;"),
    ("dsp/uCompressor.cpp", "pos = (pos + 1) & (LOOKAHEAD - 1);", "pos = (pos + 2) & (LOOKAHEAD - 1);"),
    ("dsp/uNoiseGate.cpp", "units::THRESHOLD_DB.unitOf(t) / 20.0", "units::THRESHOLD_DB.unitOf(t) / 10.0"),
    ("dsp/uNoiseGate.cpp", "holdSamples = std::pow(2.0, static_cast<double>(units::TIME_OCTAVES) * h)",
     "holdSamples = std::pow(2.0, 12.0 * h)"),
    ("dsp/uNoiseGate.cpp", "if (holdCounter < 0.0 && env < threshold) state = kRelease;",
     "if (holdCounter < 0.0) state = kRelease;"),
    ("dsp/uNoiseGate.cpp", "if (sum > 256.0f) sum = 256.0f;", ""),
    ("dsp/uNoiseGate.cpp", "c = static_cast<float>(c * gain);", "c = static_cast<float>(c * g0);"),
    ("dsp/uNoiseGate.cpp", "return levelSum >= 0.01f && gain >= 0.00001;", "return levelSum >= 0.01f || gain >= 0.00001;"),
    ("dsp/uWidener.cpp", "+ 2.0f * x1 - 0.5f * x2;", "+ 2.0f * x1 + 0.5f * x2;"),
    ("dsp/uWidener.cpp", "* 12.0f * sampleRate / 44100.0f + 1.0f;", "* 12.0f * sampleRate / 48000.0f + 1.0f;"),
    ("dsp/uWidener.cpp", "writePos = wp + 2u;", "writePos = wp + 1u;"),
    ("dsp/uWidener.cpp", "const float depth = clamp01(width) * 0.99f;", "const float depth = clamp01(width) * 0.9f;"),
    ("dsp/uWidener.cpp", "saturatingInt(rate * 2.08f)", "saturatingInt(rate * 2.0f)"),
    ("dsp/uTableFormulas.h", "units::GAIN_DB.unitOf(tableX(i)) / 40.0", "units::GAIN_DB.unitOf(tableX(i)) / 20.0"),
    ("dsp/uEQ.cpp", "if (f > 0.3f) f = 0.3f;", "if (f > 0.4f) f = 0.4f;"),
    ("dsp/uEQ.cpp", "const float b1 = DENORMAL - 2.0f * c * n;", "const float b1 = DENORMAL + 2.0f * c * n;"),
    ("dsp/uTableFormulas.h", "std::pow(2.0, 4.0 - 10.0 * tableX(i))", "std::pow(2.0, 4.0 - 9.0 * tableX(i))"),
    ("dsp/uDelay.cpp", "samplesPerMs = rate / 1000.0;", "samplesPerMs = rate / 100.0;"),
    ("dsp/uDelay.cpp", "int idx = saturatingInt(v * 14.99f);", "int idx = saturatingInt(v * 13.99f);"),
    ("dsp/uDelay.cpp", "const double ratio = len[shorter] / (len[1 - shorter] + 1.0);",
     "const double ratio = len[shorter] / (len[1 - shorter] + 2.0);"),
    ("dsp/uDelay.cpp", "feedback[shorter] = static_cast<double>(sign(static_cast<float>(fb))) * mag;",
     "feedback[shorter] = mag;"),
    ("dsp/uDelay.cpp", "filterOn = !(low > 0.999f && high < 0.0001f);", "filterOn = !(low > 0.999f || high < 0.0001f);"),
    ("dsp/uLfo.cpp", "sym = std::min(v, 1.0f) * 0.998f + 0.001f;", "sym = std::min(v, 1.0f) * 0.998f + 0.002f;"),
    ("dsp/uLfo.cpp", "std::exp2(-16.0f * std::min(s, 1.0f))", "std::exp2(-15.0f * std::min(s, 1.0f))"),
    ("dsp/uLfo.cpp", "return 1.0f - 2.0f * std::fabs(1.0f - 2.0f * c);", "return 1.0f - 2.0f * std::fabs(1.0f - 2.1f * c);"),
    ("dsp/uLfo.cpp", "return c < 0.5f ? -1.0f : 1.0f;", "return c < 0.5f ? 1.0f : -1.0f;"),
    ("dsp/uLfo.cpp", "std::min(static_cast<int>(y + 1.0f), CURVE_SIZE - 1)", "std::min(static_cast<int>(y), CURVE_SIZE - 1)"),
    ("dsp/uLfo.cpp", "holdValue = 2.0f * rng.next() - 1.0f;", "holdValue = rng.next();"),
    ("dsp/uModulator.cpp", "offsetTerm[slot] = 2.0f * offset - 1.0f;", "offsetTerm[slot] = 2.0f * offset;"),
    ("dsp/uModulator.cpp", "upperBipolar[slot] = 2.0f * upper - 1.0f;", "upperBipolar[slot] = upper;"),
    ("dsp/uModulator.cpp", "if (hi <= lo || !(x >= lo)) continue;", "if (hi <= lo) continue;"),
    ("dsp/uModulator.cpp", "amount[slot] = std::clamp(amt, -1.0f, 1.0f);", "amount[slot] = std::clamp(amt, 0.0f, 1.0f);"),
    ("dsp/uTableFormulas.h", "return 2.0f * distortX(i) * 3.1415925f;", "return 2.0f * distortX(i) * 3.0f;"),
    ("dsp/uTableFormulas.h", "const float exponent = units::GAIN_DB.unitOf(x) / 20.0f;",
     "const float exponent = units::GAIN_DB.unitOf(x) / 40.0f;"),
    ("dsp/uDistort.cpp", "AMP_COEFFICIENT_TABLE[256 + k]", "AMP_COEFFICIENT_TABLE[255 + k]"),
    ("dsp/uDistort.cpp", "lowGain = clampf(2.0f - 2.0f * k[7], 0.0f, 1.0f);", "lowGain = clampf(2.0f - 2.0f * k[7], 0.0f, 2.0f);"),
    ("dsp/uDistort.cpp", "laneAbs((first + second) / 2.0f)", "laneAbs((first - second) / 2.0f)"),
    ("dsp/uDistort.cpp", "return laneMin(laneMax(v, splatLanes(-INPUT_LIMIT)), splatLanes(INPUT_LIMIT));", "return v;"),
    # platform/: strings, paths, preferences, processes, dialogs
    ("platform/stringHelpers.cpp", "if (c < 0x20 || c >= 0x80) break;", "if (c < 0x20 || c > 0x80) break;"),
    ("platform/stringHelpers.cpp", "if (isLowerAscii(c)) *p = static_cast<char>(c - 'a' + 'A');", ""),
    ("platform/stringHelpers.cpp", "c == '+' || c == '-' || c == '.';", "c == '+' || c == '-';"),
    ("platform/stringHelpers.cpp", "if (path.size() > 1 && path.back() == '/') path.pop_back();",
     "if (path.size() > 0 && path.back() == '/') path.pop_back();"),
    ("platform/dialogPaths.cpp", "if (end > start) out.push_back", "if (end >= start) out.push_back"),
    ("platform/dialogPaths.cpp", "return path.substr(0, slash + 1);", "return path.substr(0, slash);"),
    ("platform/prefs.cpp", "if (n > 0 && p[0] == '/') {", "if (n > 0) {"),
    ("platform/prefsStore.cpp", "if (c >= 0xC2 && c <= 0xDF) {", "if (c >= 0xC0 && c <= 0xDF) {"),
    ("platform/prefsStore.cpp", "if (len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) return false;",
     "if (len == 3 && cp < 0x800) return false;"),
    ("platform/prefsStore.cpp", "if (c >= 'a' && c <= 'z') return c - 'a' + 26;", "if (c >= 'a' && c <= 'z') return c - 'a' + 25;"),
    ("platform/prefsStore.cpp", "for (; i + 3 <= bytes.size(); i += 3) {", "for (; i + 3 < bytes.size(); i += 3) {"),
    ("platform/os/processRunner.cpp", "if (keep < static_cast<std::size_t>(n)) truncated = true;", ""),
    ("platform/os/dialogBackend.cpp", "if (c <= ' ' || c == 0x7F", "if (c < ' ' || c == 0x7F"),
    ("platform/os/dialogBackend.cpp", "if (path[0] == '-') return \"./\" + path;", ""),
    ("platform/os/dialogBackend.cpp", "if (toolMajorVersion < 4) cmd.emplace_back(\"--confirm-overwrite\");", ""),
    # plugin/: parameter texts, MIDI, programs
    ("dsp/unitLaws.h", "LEVEL_DB{40.0f, -30.0f}", "LEVEL_DB{40.0f, -29.0f}"),
    ("dsp/unitLaws.h", "THRESHOLD_DB{40.0f, -40.0f}", "THRESHOLD_DB{40.0f, -39.0f}"),
    ("dsp/unitLaws.h", "return (x - offset) / slope;", "return (x + offset) / slope;"),
    ("dsp/unitLaws.h", "std::log2(hz / LOWEST_HZ) / FREQUENCY_OCTAVES", "std::log2(hz / LOWEST_HZ) / 9.0f"),
    ("plugin/uStepRule.h", "if (n >= count) return count - 1;", "if (n > count) return count - 1;"),
    ("plugin/uStepRule.h", "saturatingInt(v * scale + 0.1f)", "saturatingInt(static_cast<double>(v * scale) + 0.1)"),
    ("plugin/uStepRule.h", "saturatingInt(v * scale + 0.1f)", "saturatingInt(v * scale + 0.15f)"),
    ("plugin/uStepRule.h", "return (n + 0.1f) / scale;", "return (n + 0.2f) / scale;"),
    ("plugin/uParamText.cpp", "case Format::Bipolar:\n      return percentStr(units::BIPOLAR_PERCENT.unitOf(v));",
     "case Format::Bipolar:\n      return percentStr(units::BIPOLAR_PERCENT.unitOf(v) + 1.0f);"),
    ("plugin/uParamText.cpp", "return intStr(truncInt(units::BOOST_DB.unitOf(v))) + \" dB\";",
     "return intStr(truncInt(units::BOOST_DB.unitOf(v) + 1.0f)) + \" dB\";"),
    ("plugin/uParamText.cpp", "getFloatStr(16.0f - 16.0f * v, 1)", "getFloatStr(16.0f - 16.0f * v, 2)"),
    ("dsp/unitLaws.h", "std::exp2(10.0f * v + 6.0f)", "std::exp2(10.0f * v + 5.0f)"),
    ("plugin/uParamText.cpp", "bool isOn(float v) { return v >= 0.5f; }", "bool isOn(float v) { return v > 0.5f; }"),
    ("plugin/uPluginMidi.cpp", "return static_cast<float>(v) / 127.0f;", "return static_cast<float>(v) / 128.0f;"),
    ("plugin/uPluginMidi.cpp", "n >= 0 && n <= 17 ? n - 1 : -1", "n >= 0 && n <= 16 ? n - 1 : -1"),
    ("plugin/uEngineProcess.cpp", "if (record.deltaFrames < 0) record.deltaFrames = 0;", ""),
    ("plugin/uPluginMidi.cpp", "if (channel != -1 && (byte0 & 0x0F) != channel) return;",
     "if (channel != -1 && (byte0 & 0x0F) == channel) return;"),
    ("plugin/uPluginMidi.cpp", "static_cast<float>(data1 - 57) / 12.0f", "static_cast<float>(data1 - 60) / 12.0f"),
    ("plugin/uPluginMidi.cpp", "if (getMidiPresetOn()) setDemoProgram(data1);", "setDemoProgram(data1);"),
    ("plugin/uPluginPrograms.cpp", "loadRelaxed(programs.values[t]) >= 0.5f ? 1.0f : 0.0f",
     "loadRelaxed(programs.values[t]) >= 0.4f ? 1.0f : 0.0f"),
    ("plugin/uPluginPrograms.cpp", "if (n < 0 || n >= NUM_DEMO_PROGRAMS) return;", "if (n < 0) return;"),
    ("plugin/uPluginPresetsBanks.cpp", "disruptOn(0),\n       disruptDest(0, DEST_DIST_4), disruptAmount(0, 0.4f)",
     "\n       disruptDest(0, DEST_DIST_4), disruptAmount(0, 0.4f)"),
    ("plugin/uPluginPresetsBanks.cpp", "{type(16), path(22),", "{type(0), path(22),"),
    ("plugin/uPluginPrograms.cpp", "if (!data || byteSize < kChunkSize) return 0;", "if (!data) return 0;"),
    # vst2/: the record, the dispatchers, the host calls and the formatters
    ("vst2/audioeffect.cpp", "if (value < numPrograms) setProgram", "if (value <= numPrograms) setProgram"),
    ("vst2/audioeffect.cpp", "return getChunk(static_cast<void**>(ptr), index != 0);",
     "return getChunk(static_cast<void**>(ptr), index == 0);"),
    ("vst2/audioeffect.cpp", "    case kEffGetChunk:\n    case kEffSetChunk:\n      if (!ptr) return 0;",
     "    case kEffGetChunk:\n      if (!ptr) return 0;\n      break;\n    case kEffSetChunk:"),
    ("vst2/audioeffect.cpp", "    delete object;\n    return 1;", "    return 1;"),
    ("vst2/audioeffect.cpp", "if (maxLen < 0) maxLen = 0;", ""),
    ("vst2/audioeffect.cpp", "return callHost(kHostPinConnectedOld, input, 0) == 0;",
     "return callHost(kHostPinConnectedOld, input, 0) != 0;"),
    ("vst2/audioeffectx.cpp", "if (opt >= 255.0f) return 255;", ""),
    ("vst2/audioeffectx.cpp", "opcode == kEffEditKeyDown ? editor->onKeyDown(key)", "opcode == kEffEditKeyUp ? editor->onKeyDown(key)"),
    ("vst2/audioeffectx.cpp", "getProgramNameIndexed(static_cast<int32_t>(value), index,",
     "getProgramNameIndexed(index, static_cast<int32_t>(value),"),
    ("vst2/audioeffectx.cpp", "if ((cEffect.flags & kEffFlagIsSynth) || canDo(receive) == 1)",
     "if (cEffect.flags & kEffFlagIsSynth)"),
    ("vst2/audioeffectx.cpp", "if (answer) sampleRate = static_cast<float>(answer);",
     "sampleRate = static_cast<float>(answer);"),
    ("vst2/vstplugmain.cpp", "if (audioMaster(nullptr, kHostVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;", ""),
    # plugin/: the VST object (host identity, chunks, programs, pins)
    ("plugin/uPluginPrefs.cpp", "flags.kore = beginsWith(p, \"KORE\");", "flags.kore = std::strcmp(p, \"KORE\") == 0;"),
    ("plugin/uPluginPrefs.cpp", "  upperCase(v);\n", ""),
    ("plugin/uPluginPrograms.cpp", "if (host.maschine) return ChunkHost::Maschine;\n  if (host.propellerhead) return ChunkHost::Propellerhead;",
     "if (host.propellerhead) return ChunkHost::Propellerhead;\n  if (host.maschine) return ChunkHost::Maschine;"),
    ("plugin/uPluginPrograms.cpp", "case APlugin::ChunkHost::Veldra:\n      return isPreset ? nullptr : &bank;",
     "case APlugin::ChunkHost::Veldra:\n      return isPreset ? &program : &bank;"),
    ("plugin/uPluginPrograms.cpp", "storeRelaxed(programs.values[t], dsp::clamp01(buffer->values[t]));",
     "storeRelaxed(programs.values[t], buffer->values[t]);"),
    ("plugin/uPluginPrograms.cpp", "if (program != 0) return;\n  loadProgram(false);", "loadProgram(false);"),
    ("plugin/uPluginPrograms.cpp", "if (keepStoredValues) editChanged = edited;", ""),
    ("plugin/uPlugin.cpp", "if (index < 0 || index > 3 || !properties) return false;",
     "if (index < 0 || index > 4 || !properties) return false;"),
    ("plugin/uPluginParameters.cpp", "if (isOnOff[t]) x = x >= 0.5f ? 1.0f : 0.0f;", "if (isOnOff[t]) x = x > 0.5f ? 1.0f : 0.0f;"),
    # vstgui/: the toolkit
    ("vstgui/ccontrol.cpp", "oldValue = value != -1.f ? -1.f : 0.f;", "oldValue = -1.f;"),
    ("vstgui/ccontrol.cpp", "if (--editing != 0) return;", "if (--editing > 1) return;"),
    ("vstgui/ccontrol.cpp", "if (value != before || isDirty()) valueChanged();", "if (isDirty()) valueChanged();"),
    ("vstgui/cview.cpp", "|| inSize < it->second.size() ||", "|| inSize <= it->second.size() ||"),
    ("vstgui/cview.cpp", "strnlen(it->second.data(), it->second.size())", "it->second.size()"),
    ("vstgui/x11keys.cpp", "if (sym >= XK_F1 && sym <= XK_F12)", "if (sym >= XK_F1 && sym < XK_F12)"),
    ("vstgui/x11keys.cpp", "x - lastX <= kDoubleClickDistance && lastX - x <= kDoubleClickDistance &&",
     "x - lastX <= kDoubleClickDistance &&"),
    ("vstgui/x11keys.cpp", "next = (next + 1) % kEntries;", "next = next % kEntries;"),
    ("vstgui/coptionmenu.cpp", "if (currentIndex >= getNbEntries()) currentIndex = getNbEntries() - 1;", ""),
    ("vstgui/coptionmenu.cpp", "for (int32_t i = 0; i < currentIndex && i < getNbEntries(); ++i)",
     "for (int32_t i = 0; i <= currentIndex && i < getNbEntries(); ++i)"),
    ("vstgui/cviewcontainer.cpp", "if (!child->isVisible() || !child->getMouseableArea().pointInside(where)) continue;",
     "if (!child->getMouseableArea().pointInside(where)) continue;"),
    ("vstgui/cknob.cpp", "static_cast<double>(h) * (subPixmaps - 1);", "static_cast<double>(h) * subPixmaps;"),
    ("vstgui/cknob.cpp", "static_cast<float>(dragStart.y - where.y) * perPixel", "static_cast<float>(where.y - dragStart.y) * perPixel"),
    ("vstgui/x11menu.cpp", "i = ((i + step) % n + n) % n;", "i = (i + step) % n;"),
    ("vstgui/x11menu.cpp", "if (forward >= lo && forward + size <= hi) return forward;",
     "if (forward >= lo && forward + size < hi) return forward;"),
    ("vstgui/x11menu.cpp", "if (backEnd - size >= lo && backEnd <= hi) return backEnd - size;", ""),
    ("vstgui/x11menu.cpp", "m.getWidth() * m.getHeight() < held->getWidth() * held->getHeight()", "false"),
    # controls/: the plug-in's controls and graph screens
    ("controls/pluginControls.cpp", "static_cast<float>(firstPoint.y - where.y), dragStep",
     "static_cast<float>(where.y - firstPoint.y), dragStep"),
    ("controls/pluginControls.cpp", "    setValue(defaultValue);\n    valueChangedFrom(before);\n    endEdit();",
     "    valueChangedFrom(before);\n    endEdit();"),
    ("controls/pluginControls.cpp", "if (buttons & kShift) step /= 20.f;", "if (buttons & kShift) step /= 10.f;"),
    ("controls/pluginControls.cpp", "if (valueSize <= 0 || text != fittedValue) {", "if (valueSize <= 0) {"),
    ("controls/pluginControls.cpp", "centredWidthInside(valueRect(), size), 1.0);", "centredWidthInside(valueRect(), size));"),
    ("controls/pluginControls.cpp", "    setValue(defaultValue);\n    valueChangedFrom(before);\n    finishGesture",
     "    finishGesture"),
    ("controls/pluginControls.cpp", "if (x < deltaButtonWidth) {", "if (x <= deltaButtonWidth) {"),
    ("controls/pluginControls.cpp", "const CCoord y = value >= 0.5f ?", "const CCoord y = value > 0.5f ?"),
    ("controls/pluginControls.cpp", "v = v >= 0.f ? std::min(v, 1.f) : 0.f;", "v = v >= 0.f ? v : 0.f;"),
    ("controls/screenHelpers.h", "return v >= 0.0f ? (v <= 1.0f ? v : 1.0f) : 0.0f;", "return v >= 0.0f ? v : 0.0f;"),
    ("controls/waveShaperScreen.cpp", "return clampTo(toInt(x - size.left), 0, toInt(plotWidth));",
     "return toInt(x - size.left);"),
    ("controls/lfoScreen.cpp", "const int tag = gestureTag >= 0 ? gestureTag : LFO_SHAPE_TAGS[static_cast<size_t>(lfoIndex)];\n  c.plugin",
     "const int tag = LFO_SHAPE_TAGS[static_cast<size_t>(lfoIndex)];\n  c.plugin"),
    ("controls/lfoScreen.cpp", "drops tag 9999.\n  beginGesture(tag);", "drops tag 9999.\n  beginGesture(NO_PARAM_TAG);"),
    ("controls/followerScreen.cpp", "if (s >= FOLLOWER_SOURCES) s = 0;", "if (s > FOLLOWER_SOURCES) s = 0;"),
    # editor/: layout, routing, the idle pass, command menus, wave-shaper curves
    ("include/layoutPlaces.h", "{86, 178, 16, 4, 2, 8, 2},", "{40, 178, 16, 4, 2, 8, 2},"),
    ("editor/uEditorCreateControls.cpp", "{&filterKnobs[3], LP_Q_TAG, FILTER_KNOB_PLACES[3]",
     "{&filterKnobs[3], LP_FREQ_TAG, FILTER_KNOB_PLACES[3]"),
    ("editor/uEditorCreateControls.cpp", "(centred ? TYPE_KNOB_CENTRED_PLACES : TYPE_KNOB_PLACES)[",
     "TYPE_KNOB_PLACES["),
    ("editor/uEditorControls.cpp", "{LFO_WAVE_TAGS[0], LFO_WAVE_TAGS[3], MenuAction::Step, true},",
     "{LFO_WAVE_TAGS[0], LFO_WAVE_TAGS[3], MenuAction::Step, false},"),
    ("editor/uEditorControls.cpp", "if (std::abs(value - 0.5f) > 0.01f)", "if (std::abs(value - 0.5f) > 0.001f)"),
    ("editor/uEditorCreateControls.cpp", "      if (l != lfoPage) return;\n", ""),
    ("editor/uEditorCreateControls.cpp", "      if (!e.pressed()) return;\n      for (int p = 0; p < WAVESHAPER_POINTS; ++p)",
     "      for (int p = 0; p < WAVESHAPER_POINTS; ++p)"),
    ("editor/uEditor.h", "BoxPass bottomPass{&uEditor::bottomBox, kBottomScreenRefresh,", "BoxPass bottomPass{&uEditor::bottomBox, 0,"),
    ("editor/uEditor.cpp", "return v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f;", "return v > 0.0f ? v : 0.0f;"),
    ("editor/uEditorCommandMenu.cpp", "case ValueCommand::Increase:\n          plugin->changeDelta(tag, 1);",
     "case ValueCommand::Increase:\n          plugin->changeDelta(tag, -1);"),
    ("editor/uEditorCommandMenu.cpp",
     "plugin->setToDefault(MOD_SLOT_AMT_TAGS[i]);\n        plugin->setOff(MOD_SLOT_BY_TAGS[i]);",
     "plugin->setToDefault(MOD_SLOT_AMT_TAGS[i]);"),
    ("editor/uEditorCommandMenu.cpp", "plugin->swapParameter(own[i], other[i]);",
     "plugin->copyParameter(own[i], other[i]);"),
    ("editor/waveShaper.cpp", "static_cast<float>(point) / 256.0f", "static_cast<float>(point) / 255.0f"),
    ("editor/waveShaper.cpp", "for (std::size_t k = 1; k + 1 < c.size(); ++k) m = std::max",
     "for (std::size_t k = 0; k < c.size(); ++k) m = std::max"),
    ("editor/waveShaper.cpp", "if (token.empty() || readDecimal(token, v) != token.size()) return false;",
     "if (token.empty() || readDecimal(token, v) == 0) return false;"),
    # resources/: the artwork painted round the layout's rectangles at every size
    ("resources/artBitmaps.cpp", "seatsFor(s, {&TYPE_KNOB_PLACES[i], &TYPE_KNOB_CENTRED_PLACES[i]});",
     "seatsFor(s, {&TYPE_KNOB_PLACES[i]});"),
    ("resources/artBitmaps.cpp", "const double z = s.z(), side = 40;", "const double z = s.z(), side = 36;"),
    ("resources/artBitmaps.cpp", "if (r.id == b.bitmap) return placeRect(b, mode,",
     "if (r.id == b.bitmap) return placeRect(BitmapPlace{b.x, b.y, b.bitmap}, mode,"),
    ("resources/artBitmaps.cpp", "labelBy(s, \"Wave\", LFO_WAVE_MENU_PLACE, Side::left, 6);",
     "labelBy(s, \"Wave\", LFO_WAVE_MENU_PLACE, Side::left, 1);"),
    ("resources/artBitmaps.cpp", "labelBy(s, \"Pre-EQ\", EQ_VIEW_BUTTON_PLACES[0], Side::left);",
     "labelBy(s, \"Pre-EQ\", PRE_EQ_SWITCH_PLACE, Side::left);"),
    ("resources/artBitmaps.cpp", "labelBy(s, \"ECS\", ECS_MENU_PLACE, Side::on);", ""),
    # editor/ and controls/: what the user meets in the editor (menus, notifications, the idle
    # pass's displays, hints, the matrix colours, the slider's handle)
    ("editor/uEditorCommandMenu.cpp", "if (title == \"Swap Slot With Next\" && slot < NUM_MOD_SLOTS - 1)",
     "if (title == \"Swap Slot With Next\" && slot < NUM_MOD_SLOTS - 2)"),
    ("editor/uEditorCommandMenu.cpp", "if (title == \"Swap Slot With Previous\" && slot > 0)",
     "if (title == \"Swap Slot With Previous\" && slot > 1)"),
    ("editor/uEditorCommandMenu.cpp", "for (int i = 0; i < 12; ++i) plugin->setToDefault(other[i]);",
     "for (int i = 0; i < 12; ++i) plugin->setToDefault(own[i]);"),
    ("editor/uEditorCommandMenu.cpp", "for (int i = 0; i < 12; ++i) plugin->copyParameter(own[i], other[i]);",
     "for (int i = 0; i < 12; ++i) plugin->swapParameter(own[i], other[i]);"),
    ("editor/uEditorCommandMenu.cpp", "          plugin->setNumValue(tag);\n", ""),
    ("editor/uEditorCommandMenu.cpp", "for (int d = DEST_SUB_MENU_START[g]; d < DEST_SUB_MENU_START[g + 1]; ++d)",
     "for (int d = DEST_SUB_MENU_START[g]; d < DEST_SUB_MENU_START[g + 1] - 1; ++d)"),
    ("editor/uEditorShowControls.cpp", "if (static_cast<int>(t) >= DISTORT_GROUP_START[WAVESHAPER_GROUP]) {",
     "if (static_cast<int>(t) > DISTORT_GROUP_START[WAVESHAPER_GROUP]) {"),
    ("editor/uEditor.cpp", "{MODULE_PATH_TAG, MODULE_PATH_TAG, kPathRefresh | kNoControlUpdate},",
     "{MODULE_PATH_TAG, MODULE_PATH_TAG, kPathRefresh},"),
    ("editor/uEditor.cpp", "{LFO_SYNC_TAGS[0], LFO_SYNC_TAGS[3], kBottomScreenRefresh},",
     "{LFO_SYNC_TAGS[0], LFO_SYNC_TAGS[2], kBottomScreenRefresh},"),
    ("editor/uEditor.cpp", "{DISRUPT_QUANT_TAG, DISRUPT_LAZY_MODE_TAG, kDistortRefresh",
     "{DISRUPT_SPRING_TAG, DISRUPT_LAZY_MODE_TAG, kDistortRefresh"),
    ("editor/uEditor.cpp", "{FOLLOWER_MOD_SRC_1_TAG, LFO_TRIGGER_TAGS[3], kDistortRefresh",
     "{FOLLOWER_MOD_SRC_1_TAG, LFO_TRIGGER_TAGS[2], kDistortRefresh"),
    ("editor/uEditor.cpp", "{CHORUS_MODE_TAG, CHORUS_MODE_TAG, kWidenerRefresh},",
     "{CHORUS_MODE_TAG, CHORUS_MODE_TAG, kDistortRefresh},"),
    ("editor/uEditor.cpp", "{MOD_ADVANCED_TAG, MOD_ADVANCED_TAG, kBottomScreenRefresh},", ""),
    ("editor/uEditor.cpp", "{WAVESHAPER_DISTORT_1_TAGS[0], WAVESHAPER_DISTORT_2_TAGS[0], kWaveShaperRefresh},",
     "{WAVESHAPER_DISTORT_1_TAGS[0], WAVESHAPER_DISTORT_2_TAGS[0], kBottomScreenRefresh},"),
    ("editor/uEditor.cpp", "  pathRefresh |= (f & kPathRefresh) != 0;\n", ""),
    ("editor/uEditorRefresh.cpp", "knob->setMod(plugin->getDialMod(knob->getTag(), modDial));",
     "knob->setMod(plugin->getParameter(knob->getTag()));"),
    ("editor/uEditorRefresh.cpp", "    default:\n      refreshRings(bottomBox);\n", "    default:\n"),
    ("editor/uEditorRefresh.cpp", "const int step = static_cast<int>(level * COMPRESSOR_STEPS);",
     "const int step = static_cast<int>(level);"),
    ("editor/uEditorRefresh.cpp", "widenerDisplay->setValue(std::clamp(amount * 1.1f, 0.0f, 1.0f));",
     "widenerDisplay->setValue(std::clamp(amount, 0.0f, 1.0f));"),
    ("editor/uEditorRefresh.cpp", "plugin->getOnOff(CHORUS_MODE_TAG) ? CHORUS_MIX_TAG : WIDENER_AMOUNT_TAG",
     "plugin->getOnOff(CHORUS_MODE_TAG) ? WIDENER_AMOUNT_TAG : CHORUS_MIX_TAG"),
    ("editor/uEditorRefresh.cpp", "getNoiseGateTriggered() ? 1.0f : 0.0f", "getNoiseGateTriggered() ? 0.0f : 1.0f"),
    ("editor/uEditorRefresh.cpp", "disruptSlider->setMod(plugin->getModDisruptAmount(),",
     "disruptSlider->setMod(2.0f * plugin->getParameter(DISRUPT_AMOUNT_TAG) - 1.0f,"),
    ("editor/uEditorRefresh.cpp", "const bool typeKnob = d >= DISTORT_KNOB_DEST && d <",
     "const bool typeKnob = d > DISTORT_KNOB_DEST && d <"),
    ("editor/uEditorRefresh.cpp", "followerScreen->update(static_cast<int>(lastIdleTicks / 125));",
     "followerScreen->update(static_cast<int>(lastIdleTicks / 100));"),
    ("editor/uEditorRefresh.cpp", "      distortScreen->reset();\n", ""),
    ("editor/uEditorRefresh.cpp", "distortScreen->update(static_cast<int>(lastIdleTicks / 150));",
     "distortScreen->update(static_cast<int>(lastIdleTicks / 100));"),
    ("editor/uEditorRefresh.cpp", "lfoScreen->update(static_cast<int>(lastIdleTicks / 100));",
     "lfoScreen->update(static_cast<int>(lastIdleTicks / 125));"),
    ("editor/uEditorCreateControls.cpp", "\"Select 24 dB HighPass Filter\"", "\"Select 12 dB HighPass Filter\""),
    ("editor/uEditorCreateControls.cpp", "std::string(LFO_MODE_STR[k]) + \" Mode\"", "std::string(LFO_MODE_STR[k])"),
    ("editor/uEditorCreateControls.cpp", "\"Right Click for Menu, Ctrl/Double Click - Default, Scroll for Distort Mode\"",
     "\"Right Click for Menu, Ctrl/Double Click - Default, Scroll for Distort\""),
    ("editor/uEditorWaveShaperMenu.cpp", "if (title == \"Smooth\") waveshaper::smoothCurve(current);",
     "if (title == \"Smooth\") waveshaper::smoothCurve(one);"),
    ("editor/uEditorWaveShaperMenu.cpp", "waveshaper::scaleCurve(current, waveshaper::REDUCE_FACTOR);",
     "waveshaper::scaleCurve(current, waveshaper::BOOST_FACTOR);"),
    ("editor/uEditorWaveShaperMenu.cpp", "waveshaper::copyCurve(one, two);", "waveshaper::copyCurve(two, one);"),
    ("editor/uEditorWaveShaperMenu.cpp", "{\"Clear Both WaveShapers\", 0, 1}", "{\"Clear Both WaveShapers\", 1, 1}"),
    ("controls/modScreen.cpp", "if (j >= 2 && bypassed) colour", "if (j >= 1 && bypassed) colour"),
    ("controls/modScreen.cpp", "if (dragging && r == activeRow) colour", "if (r == activeRow) colour"),
    ("controls/modScreen.cpp",
     "      if (dragging && r == activeRow) colour = SELECTED_TEXT_COLOR;\n      if (j >= 2 && bypassed) colour = LIGHT_TRANS_TEXT_COLOR;",
     "      if (j >= 2 && bypassed) colour = LIGHT_TRANS_TEXT_COLOR;\n      if (dragging && r == activeRow) colour = SELECTED_TEXT_COLOR;"),
    ("controls/eqScreen.cpp", "c.plugin->setParameter(tagOf(EQ_FREQ_TAGS, band), static_cast<float>(u));",
     "c.plugin->setParameterAutomated(tagOf(EQ_FREQ_TAGS, band), static_cast<float>(u));"),
    ("controls/pluginControls.cpp", "animFrame = (animFrame + 2) % SLIDER_HANDLE_FRAMES;",
     "animFrame = (animFrame + 2) % (SLIDER_HANDLE_FRAMES + 1);"),
    # The generated wave-shaper curves: one constant or sign of each shaping mode
    ("editor/waveShaper.cpp", "const float B = 0.998f * b + 0.01f;", "const float B = 0.998f * b + 0.02f;"),
    ("editor/waveShaper.cpp", "m = b + (1.0f - b) * (ax - 0.666f) / 0.334f;", "m = b + (1.0f - b) * (ax - 0.666f) / 0.333f;"),
    ("editor/waveShaper.cpp", "const float k = pow2(10.0f * a + 6.0f);", "const float k = pow2(10.0f * a + 5.0f);"),
    ("editor/waveShaper.cpp", "useOr ? (p | q) : (p & q)", "useOr ? (p ^ q) : (p & q)"),
    ("editor/waveShaper.cpp", "pow2(5.0f * c) - 0.99f;\n      return std::atan", "pow2(5.0f * c) - 0.9f;\n      return std::atan"),
    ("editor/waveShaper.cpp", "const float k = pow2(5.0f * a);\n      const float q", "const float k = pow2(4.0f * a);\n      const float q"),
    ("editor/waveShaper.cpp", "(pow2(5.0f * a) - 1.0f) * PI", "(pow2(5.0f * a) - 0.5f) * PI"),
    ("editor/waveShaper.cpp", "const float kb = pow2(4.0f * b - 1.0f);", "const float kb = pow2(4.0f * b - 2.0f);"),
    ("editor/waveShaper.cpp", "const float v = ax - 0.9f * a;", "const float v = ax - 0.8f * a;"),
    ("editor/waveShaper.cpp", "const float lo = polar ? -0.95f * pow2(-8.0f * (1.0f - a)) : 0.0f;",
     "const float lo = polar ? -0.95f * pow2(-7.0f * (1.0f - a)) : 0.0f;"),
    ("editor/waveShaper.cpp", "const float g = 1.0f - 0.89f * a;", "const float g = 1.0f - 0.9f * a;"),
    ("editor/waveShaper.cpp", "const float h = 0.5f * a;", "const float h = 0.4f * a;"),
    ("editor/waveShaper.cpp", "(truncToInt(ax * k) & 1) != 0 ? x : 0.0f", "(truncToInt(ax * k) & 1) == 0 ? x : 0.0f"),
    ("editor/waveShaper.cpp", "pow2((35.0f * a - 40.0f) / 6.0f)", "pow2((35.0f * a - 40.0f) / 5.0f)"),
    ("editor/waveShaper.cpp", "const float k = 0.99f * b * b * b;", "const float k = 0.9f * b * b * b;"),
    ("editor/waveShaper.cpp", "x / pow2(-6.0f * c)", "x / pow2(-5.0f * c)"),
    ("editor/waveShaper.cpp", "(1.0f - b) * x - b * tri", "(1.0f - b) * x + b * tri"),
    ("editor/waveShaper.cpp", "float v = ax * pow2(4.0f * a);", "float v = ax * pow2(3.0f * a);"),
    ("editor/waveShaper.cpp", "const float v = ax * pow2(5.0f * a);", "const float v = ax * pow2(4.0f * a);"),
    ("editor/waveShaper.cpp", "const float k = pow2(6.0f * c) - 1.0f;", "const float k = pow2(5.0f * c) - 1.0f;"),
    ("editor/waveShaper.cpp", "const float d = (1.0f - c) * b * b * b;", "const float d = (1.0f - c) * b * b;"),
    ("editor/waveShaper.cpp", "const float p = 0.999f * c;", "const float p = 0.99f * c;"),
    ("editor/waveShaper.cpp", "const float e = pow2(8.0f * a - 4.0f);", "const float e = pow2(8.0f * a - 3.0f);"),
    ("editor/waveShaper.cpp", "const float k = pow2(4.0f * c) - 1.0f;", "const float k = pow2(3.0f * c) - 1.0f;"),
    ("editor/waveShaper.cpp", "frac(101.0f - pow2(4.0f * b)", "frac(100.5f - pow2(4.0f * b)"),
    ("editor/waveShaper.cpp", "(3.0f * ax - x * x) / 2.0f", "(3.0f * ax - x * x) / 3.0f"),
    ("editor/waveShaper.cpp", "return c * q + (1.0f - c) * x;", "return c * q + (1.0f - c) * ax;"),
    ("editor/waveShaper.cpp", "return s * b * (1.0f - (ax - b) / k);", "return s * b * (1.0f - (ax - k) / k);"),
    ("editor/waveShaper.cpp", "2.0f * b / (b / (0.5f * k) + 1.0f)", "2.0f * b / (b / (0.6f * k) + 1.0f)"),
    ("editor/waveShaper.cpp", "const float k = pow2(5.0f * c) - 0.99f;\n      return x * (k + ax)",
     "const float k = pow2(5.0f * c) - 0.9f;\n      return x * (k + ax)"),
    ("editor/waveShaper.cpp", "return polar && !(x > 0.0f) ? b : a;", "return polar ? b : a;"),
    # The matrix screen's amount texts
    ("controls/modScreen.cpp", "(dest >= DEST_LFO_SPEED_1 && dest <= DEST_LFO_SPEED_4) || dest == DEST_LAZY_SPEED",
     "(dest >= DEST_LFO_SPEED_1 && dest < DEST_LFO_SPEED_4) || dest == DEST_LAZY_SPEED"),
    ("controls/modScreen.cpp", "(dest >= DEST_LFO_SPEED_1 && dest <= DEST_LFO_SPEED_4) || dest == DEST_LAZY_SPEED",
     "(dest > DEST_LFO_SPEED_1 && dest <= DEST_LFO_SPEED_4) || dest == DEST_LAZY_SPEED"),
    ("controls/modScreen.cpp", "(dest >= DEST_LFO_SPEED_1 && dest <= DEST_LFO_SPEED_4) || dest == DEST_LAZY_SPEED",
     "(dest >= DEST_LFO_SPEED_1 - 1 && dest <= DEST_LFO_SPEED_4 + 1) || dest == DEST_LAZY_SPEED"),
    ("controls/modScreen.cpp", "toInt(law.slope * value) + toInt(law.offset)", "toInt(law.slope * value + law.offset)"),
    # The engine's wave-shaper LFO waves and the distortion screen's test waves
    ("plugin/uEngineMod.cpp", "storeRelaxed(lfoCurve[i], wave == TLfo::WAVE_SHAPER_2 ? 1 : 0);",
     "storeRelaxed(lfoCurve[i], 0);"),
    ("plugin/uEngineMod.cpp", "lfo[i].update(waveShaperCurves[lfoCurve[i]])", "lfo[i].update(waveShaperCurves[0])"),
    ("plugin/uEngineDisplays.cpp", "waveShaperCurves[loadRelaxed(lfoCurve[l]) ? 1 : 0]", "waveShaperCurves[0]"),
    ("plugin/uEngineDisplays.cpp", "return std::sin(f * 6.2831855f);", "return std::sin(f * 6.2831855f + 0.1f);"),
    ("plugin/uEngineDisplays.cpp", "return 1.0f - 2.0f * std::fabs(1.0f - 2.0f * f);", "return 1.0f - 2.0f * std::fabs(1.0f - f);"),
    ("plugin/uEngineDisplays.cpp", "    case 3:\n      return 1.0f - 2.0f * f;", "    case 3:\n      return 1.0f - f;"),
    ("plugin/uEngineDisplays.cpp", "f > 0.5f ? 1.0f : (f < 0.5f ? -1.0f : 0.0f)", "f > 0.5f ? 1.0f : -1.0f"),
    ("plugin/uEngineDisplays.cpp", "    default:\n      return f;", "    default:\n      return 2.0f * f - 1.0f;"),
    # The compressor's time laws
    ("dsp/uCompressor.cpp", "std::pow(2.0f, units::ATTACK_OCTAVES * clamp01(v)) * rate2", "std::pow(2.0f, 7.0f * clamp01(v)) * rate2"),
    ("dsp/uCompressor.cpp", "std::pow(2.0f, units::TIME_OCTAVES * clamp01(v)) * rate2",
     "std::pow(2.0f, 12.0f * clamp01(v)) * rate2"),
    ("dsp/uCompressor.cpp", "const StereoLanes k = pk > en ? attackL : releaseL;", "const StereoLanes k = releaseL;"),
    ("dsp/uCompressor.cpp", "gn = t * keep + gn * attackL;", "gn = t * (1.0f - release) + gn * releaseL;"),
    # Stepping the module path past its last entry
    ("plugin/uPluginParameters.cpp", "  if (n > count - 1) n = count - 1;\n  setParameterAutomated", "  setParameterAutomated"),
    # The filter's resonance range. Dropping the 0.9995 cap altogether changes nothing: the
    # resonance reaching it is already at most 0.95 (NaN reads 0).
    ("dsp/uFilter.cpp", "reso = 0.95f * clamp01(resoIn);", "reso = clamp01(resoIn);"),
    ("dsp/uFilter.cpp", "reso = 0.95f * clamp01(resoIn);", "reso = 0.9f * clamp01(resoIn);"),
    ("dsp/uFilter.cpp", "const float rr = reso < 0.9995f ? reso : 0.9995f;", "const float rr = reso < 0.9f ? reso : 0.9f;"),
    # The offline host: --set after the program is in place
    ("tools/host/g2host.cpp", "    if (presentsOneProgram(plugin)) runSilentBlock(plugin, 1);\n", ""),
]



def more_breaks(folder):
    """Breaks kept beside this script in tools/mutations/*.py, one list per area (BREAKS = [...]),
    by the list's name."""
    found = {}
    if os.path.isdir(folder):
        for name in sorted(n for n in os.listdir(folder) if n.endswith(".py")):
            scope = {}
            with open(os.path.join(folder, name), encoding="utf-8") as f:
                exec(compile(f.read(), name, "exec"), scope)
            found[name[:-3]] = scope["BREAKS"]
    return found


AREAS = more_breaks(os.path.join(os.path.dirname(os.path.abspath(__file__)), "mutations"))

# The test executables that may notice a break in each folder, cheapest first.
TESTS_OF = {
    "dsp/": ["test_dsp", "test_engine", "test_sound"],
    "platform/os/": ["test_platform"],
    "platform/": ["test_platform", "test_plugin", "test_midi"],
    "plugin/": ["test_plugin", "test_midi", "test_vst2", "test_engine", "test_sound", "test_host"],
    "vst2/": ["test_vst2", "test_plugin", "test_host", "test_engine"],
    "vstgui/": ["test_vstgui", "test_controls", "test_x11"],
    "controls/": ["test_controls", "test_editor"],
    "editor/": ["test_editor", "test_x11"],
    "include/": ["test_resources", "test_editor", "test_controls"],
    "resources/": ["test_resources"],
    "tools/host/": ["test_host"],
}
TEST_TIMEOUT = 300


def tests_for(path, available):
    folder = max((f for f in TESTS_OF if path.startswith(f)), key=len)
    return [t for t in TESTS_OF[folder] if t in available]


def run(cmd, cwd, timeout=None):
    # errors="replace": a failing test may print bytes that are not UTF-8.
    return subprocess.run(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                          errors="replace", timeout=timeout, start_new_session=True)


# The tools some tests run (the offline host, the viewer and the toolkit's demo module).
TOOLS = ["g2host", "g2view", "g2demo"]


def build(build_dir, targets, jobs):
    cmd = ["cmake", "--build", build_dir, "-j", str(jobs), "--target", *targets, *TOOLS]
    return run(cmd, cwd=build_dir).returncode == 0


def caught_by(build_dir, tests):
    for test in tests:
        exe = os.path.join(build_dir, "tests", test)
        try:
            result = run([exe, "--gtest_brief=1", "--gtest_fail_fast"], cwd=build_dir, timeout=TEST_TIMEOUT)
        except subprocess.TimeoutExpired:
            return test + " (timed out)"
        if result.returncode != 0:
            return test
    return None


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--source", default=os.path.dirname(here))
    ap.add_argument("--build", default=None, help="build folder (default: SOURCE/build-mutation)")
    ap.add_argument("--jobs", type=int, default=4)
    ap.add_argument("--only", default="", help="run only the breaks whose file contains this text")
    ap.add_argument("--first", type=int, default=1, help="start at this break (1-based), to resume a run")
    ap.add_argument("--list", action="store_true", help="check that every break applies, build nothing")
    ap.add_argument("--area", default=None, help="run only the list tools/mutations/AREA.py")
    args = ap.parse_args()
    source = os.path.abspath(args.source)
    build_dir = os.path.abspath(args.build or os.path.join(source, "build-mutation"))
    chosen = AREAS[args.area] if args.area else BREAKS + [b for area in AREAS.values() for b in area]
    breaks = [b for b in chosen[args.first - 1:] if args.only in b[0]]

    stale = []
    for i, (path, original, _) in enumerate(breaks):
        with open(os.path.join(source, path), encoding="utf-8") as f:
            if f.read().count(original) != 1:
                stale.append(i)
    if args.list:
        for i in stale:
            print(f"stale: {breaks[i][0]}: {breaks[i][1]!r}")
        print(f"{len(breaks)} breaks, {len(stale)} stale")
        return 1 if stale else 0

    # One test executable per folder of tests/ that holds sources.
    all_tests = sorted(t for t in {t for ts in TESTS_OF.values() for t in ts}
                       if os.path.isdir(os.path.join(source, "tests", t[5:]))
                       and any(n.endswith(".cpp") for n in os.listdir(os.path.join(source, "tests", t[5:]))))
    if not os.path.exists(os.path.join(build_dir, "CMakeCache.txt")):
        subprocess.run(["cmake", "-S", source, "-B", build_dir, "-DCMAKE_BUILD_TYPE=Release", "-DGRINDLE_BENCH=OFF"],
                       check=True, stdout=subprocess.DEVNULL)
    if not build(build_dir, all_tests, args.jobs):
        print("the unbroken tree does not build")
        return 2
    available = {t for t in all_tests if os.path.exists(os.path.join(build_dir, "tests", t))}
    clean = [t for t in sorted(available) if caught_by(build_dir, [t])]
    if clean:
        print("the unbroken tree fails:", ", ".join(clean))
        return 2

    survivors, unbuildable, caught = [], [], 0
    restore = {}

    def put_back(*_):
        for p, text in restore.items():
            with open(p, "w", encoding="utf-8") as f:
                f.write(text)
        restore.clear()

    signal.signal(signal.SIGTERM, lambda *a: (put_back(), sys.exit(3)))
    started = time.time()
    try:
        for i, (path, original, replacement) in enumerate(breaks):
            label = f"[{i + 1}/{len(breaks)}] {path}: {original!r} -> {replacement!r}"
            if i in stale:
                print("stale      ", label, flush=True)
                continue
            full = os.path.join(source, path)
            with open(full, encoding="utf-8") as f:
                text = f.read()
            restore[full] = text
            with open(full, "w", encoding="utf-8") as f:
                f.write(text.replace(original, replacement, 1))
            tests = tests_for(path, available)
            try:
                if not build(build_dir, tests, args.jobs):
                    unbuildable.append(label)
                    print("unbuildable", label, flush=True)
                    continue
                by = caught_by(build_dir, tests)
            finally:
                put_back()
            if by:
                caught += 1
                print(f"caught      {label}  by {by}", flush=True)
            else:
                survivors.append(label)
                print("SURVIVED   ", label, flush=True)
    finally:
        put_back()
        build(build_dir, all_tests, args.jobs)

    tried = caught + len(survivors)
    print(f"\n{len(breaks)} breaks: {caught} caught, {len(survivors)} survived, {len(stale)} stale, "
          f"{len(unbuildable)} unbuildable; catch rate {100.0 * caught / max(tried, 1):.1f} % "
          f"({time.time() - started:.0f} s)")
    for s in survivors:
        print("  survivor:", s)
    return 0


if __name__ == "__main__":
    sys.exit(main())
