// Settings changed while the engine runs must end where a fresh start with the final settings is:
// every value the engine keeps between ticks (slot amounts, matrix rows, latched stage settings,
// the path and type steps, the smoothers, the modules' coefficients) has to follow each change.
//
// Instance A takes a seeded random list of changes between blocks of a steady test signal;
// instance B is made afresh, handed A's final values at once, and fed the same samples from the
// start, so that the two counters (and with them the ticks) agree. What keeps state the two
// cannot share is either left out of the final settings or restarted in both at the same sample:
//   - the noise sources, the Low-Fi noise, the sample-and-hold wave and the LFO hum draw from
//     per-instance random sequences: no final row reads them, no final type or wave uses them;
//   - free-running LFOs and the lazy oscillator carry their phase from the past: the final LFOs
//     run in Host mode and restart at a transport start both see; lazy mode ends off;
//   - the ring, FM and phase types and the widener and chorus carry oscillator phases that
//     nothing restarts: the final type is none of them and the widener ends off;
//   - the LFO and Disrupt smoothing destinations glide for seconds and the cabinet's poles sit
//     close to the unit circle (an old history never dies out): no final slot reaches the
//     former, and the final type is not the cabinet;
//   - a narrow equaliser band low down amplifies the rounding of its recursion thousands of
//     times, and two instances round differently: the final bands are at least 0.3 wide and
//     high.
// After the restart both settle, and then the outputs must agree to within the rounding that
// different glide histories leave (a kept setting that missed a change differs by far more).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/engineTestUtil.h"
#include "plugin/uPlugin.h"

using engine_test::makePlugin;
using testing_support::FakeHost;

namespace {

constexpr int32_t PLAYING = kVstTempoValid | kVstTransportPlaying;

// The steady signal both instances hear: sample n of the main pair and the side pair.
void signalAt(int64_t n, float* in4) {
  const double t = static_cast<double>(n) / 44100.0;
  in4[0] =
      static_cast<float>(0.45 * std::sin(2.0 * M_PI * 220.0 * t) + 0.15 * std::sin(2.0 * M_PI * 1375.0 * t));
  in4[1] = static_cast<float>(0.4 * std::sin(2.0 * M_PI * 330.0 * t + 1.0) +
                              0.1 * std::sin(2.0 * M_PI * 2750.0 * t));
  in4[2] = in4[3] = static_cast<float>(0.3 * std::sin(2.0 * M_PI * 97.0 * t));
}

// One instance and the number of samples it has been given.
struct Runner {
  std::unique_ptr<APlugin> p = makePlugin();
  int64_t at = 0;

  // n samples of the signal, in blocks of at most `block`; the outputs are appended when asked.
  void run(int64_t n, int block = 256, std::vector<float>* out = nullptr) {
    std::vector<float> ch[4], o[2];
    for (auto& c : ch) c.resize(static_cast<size_t>(block));
    for (auto& c : o) c.resize(static_cast<size_t>(block));
    while (n > 0) {
      const int m = static_cast<int>(std::min<int64_t>(n, block));
      for (int i = 0; i < m; ++i) {
        float s[4];
        signalAt(at + i, s);
        for (int c = 0; c < 4; ++c) ch[c][static_cast<size_t>(i)] = s[c];
      }
      float* ins[4] = {ch[0].data(), ch[1].data(), ch[2].data(), ch[3].data()};
      float* outs[2] = {o[0].data(), o[1].data()};
      p->processReplacing(ins, outs, m);
      if (out)
        for (int i = 0; i < m; ++i) {
          out->push_back(o[0][static_cast<size_t>(i)]);
          out->push_back(o[1][static_cast<size_t>(i)]);
        }
      at += m;
      n -= m;
    }
  }
};

// The changes as the failure message lists them.
struct Log {
  std::string text;
  void add(int64_t at, const char* fmt, int a, double b = 0.0) {
    char line[96];
    std::snprintf(line, sizeof line, fmt, a, b);
    text += "  @" + std::to_string(at) + " " + line + "\n";
  }
};

struct Changer {
  APlugin& p;
  std::mt19937& rng;
  Log& log;
  int64_t at = 0;

  float uniform() { return std::uniform_real_distribution<float>(0.0f, 1.0f)(rng); }
  int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
  void set(int tag, float v) {
    p.setParameter(tag, v);
    log.add(at, "tag %d = %.6f", tag, p.getParameter(tag));
  }
  void step(int tag, int n) {
    p.setSteppedValue(tag, n);
    log.add(at, "tag %d = step %.0f", tag, p.getSteppedValue(tag));
  }
  void stepAny(int tag) { step(tag, below(p.menuNum[tag])); }
  void toggle(int tag) { set(tag, p.getOnOff(tag) ? 0.0f : 1.0f); }

  // Sources two instances agree on, centred and not, and destinations every type and path hears.
  static constexpr int SOURCES[] = {SRC_OFFSET,   SRC_INPUT, SRC_SIDE,     SRC_DISRUPT,
                                    SRC_FOLLOWER, SRC_LFO_1, SRC_LFO_1 + 3};
  static constexpr int DESTS[] = {DEST_VOLUME,     DEST_VOLUME,  DEST_MIX,         DEST_PAN,
                                  DEST_PAN,        DEST_WET_PAN, DEST_DIST_1,      DEST_DIST_1 + 1,
                                  DEST_DIST_1 + 2, DEST_LP_FREQ, DEST_COMP_VOLUME, DEST_POST_EQ_GAIN_1};
  int source() { return SOURCES[below(std::size(SOURCES))]; }
  int dest() {
    return below(6) == 0 ? below(p.menuNum[MOD_SLOT_DEST_TAGS[0]]) : DESTS[below(std::size(DESTS))];
  }

  // One change of a kind picked at random: `late` keeps to modes and switches (and slot
  // settings), so that they stand alone at the end; programs come only early.
  void change(bool late, bool early) {
    static constexpr int SWITCHES[] = {DC_FILTER_TAG, PRE_EQ_ON_TAG, POST_EQ_ON_TAG, OLD_EQ_TAG,
                                       GATE_ON_TAG,   COMP_ON_TAG,   COMP_MODE_TAG,  HP_ON_TAG,
                                       HP_TYPE_TAG,   HP_ZD_TAG,     LP_ON_TAG,      LP_TYPE_TAG,
                                       LP_ZD_TAG,     BYPASS_TAG,    WIDENER_ON_TAG, CHORUS_MODE_TAG};
    static constexpr int KNOBS[] = {VOLUME_TAG,
                                    MIX_TAG,
                                    6,
                                    7,
                                    8,
                                    9,
                                    10,
                                    11,
                                    12,
                                    13,
                                    15,
                                    17,
                                    19,
                                    21,
                                    23,
                                    26,
                                    28,
                                    30,
                                    33,
                                    35,
                                    37,
                                    39,
                                    GATE_THRESHOLD_TAG,
                                    HP_FREQ_TAG,
                                    HP_Q_TAG,
                                    LP_FREQ_TAG,
                                    LP_Q_TAG,
                                    COMP_THRESHOLD_TAG,
                                    COMP_RATIO_TAG,
                                    COMP_VOLUME_TAG,
                                    OLD_EQ_LOW_TAG,
                                    OLD_EQ_LOW_TAG + 3,
                                    WIDENER_AMOUNT_TAG,
                                    CHORUS_MIX_TAG,
                                    DISRUPT_AMOUNT_TAG};
    // Late: the matrix's mode, slot switches, single fields of a row, amounts, module switches and
    // the follower's knobs, each of which a kept setting could miss.
    static constexpr int LATE_KINDS[] = {0, 0, 1, 1, 1, 3, 3, 3, 3, 4, 2, 15};
    const int kind = late ? LATE_KINDS[below(std::size(LATE_KINDS))] : below(15);
    const int row = below(NUM_MOD_SLOTS), j = below(NUM_DISRUPT_SLOTS), f = below(3), i = below(4);
    switch (kind) {
      case 0:  // the matrix's mode for every row
        toggle(MOD_ADVANCED_TAG);
        break;
      case 1:  // a slot's switch: matrix row, Disrupt or follower output
        toggle(f == 0 ? MOD_SLOT_BY_TAGS[row] : f == 1 ? DISRUPT_ON_TAGS[j] : FOLLOWER_BYPASS_1_TAG + f);
        break;
      case 2:
        toggle(SWITCHES[below(std::size(SWITCHES))]);
        break;
      case 3: {  // a row's source, offset or thresholds
        const int field = below(4);
        if (field == 0)
          step(MOD_SLOT_SRC_TAGS[row], source());
        else
          set(MOD_SLOT_ROW_TAGS[row][3 + field], uniform());
        break;
      }
      case 4: {  // a slot's amount
        const int tag = f == 0   ? MOD_SLOT_AMT_TAGS[row]
                        : f == 1 ? DISRUPT_SLOT_AMT_1_TAG + j
                                 : FOLLOWER_AMT_1_TAG + i % 3;
        set(tag, uniform());
        break;
      }
      case 5:
      case 6: {  // a whole matrix row, routed and switched on
        step(MOD_SLOT_SRC_TAGS[row], source());
        step(MOD_SLOT_DEST_TAGS[row], dest());
        for (int k = 3; k < 7; ++k) set(MOD_SLOT_ROW_TAGS[row][k], uniform());
        set(MOD_SLOT_BY_TAGS[row], 0.0f);
        break;
      }
      case 7: {  // a Disrupt slot and the Disrupt amount, or a follower output
        if (f < 2) {
          step(DISRUPT_DEST_TAGS[j], dest());
          set(DISRUPT_SLOT_AMT_1_TAG + j, uniform());
          set(DISRUPT_ON_TAGS[j], 1.0f);
          set(DISRUPT_AMOUNT_TAG, uniform());
        } else {
          step(FOLLOWER_DEST_1_TAG + i % 3, dest());
          set(FOLLOWER_AMT_1_TAG + i % 3, uniform());
          set(FOLLOWER_BYPASS_1_TAG + i % 3, 0.0f);
          set(FOLLOWER_ATTACK_TAG, uniform());
        }
        break;
      }
      case 8:
        set(KNOBS[below(std::size(KNOBS))], uniform());
        break;
      case 9:
        stepAny(below(2) ? DISTORT_TYPE_TAG : MODULE_PATH_TAG);
        break;
      case 10: {  // an LFO: mode, wave, destination, amount, speed or sync
        const int tags[6] = {LFO_MODE_TAGS[i], LFO_WAVE_TAGS[i],  LFO_DEST_TAGS[i],
                             LFO_AMT_TAGS[i],  LFO_SPEED_TAGS[i], LFO_SYNC_TAGS[i]};
        const int field = below(6);
        if (field == 2)
          step(tags[field], dest());
        else if (field < 2)
          stepAny(tags[field]);
        else
          set(tags[field], uniform());
        break;
      }
      case 11: {  // the follower's tap, modulation source and knobs
        if (f == 0) stepAny(FOLLOWER_SOURCE_TAG);
        if (f == 1) stepAny(FOLLOWER_MOD_SRC_1_TAG + i % 3);
        if (f == 2) set(FOLLOWER_THRESHOLD_TAG + below(12), uniform());
        break;
      }
      case 12: {  // a module switched on with a knob of its own
        const int pair[][2] = {{COMP_ON_TAG, COMP_VOLUME_TAG},
                               {OLD_EQ_TAG, OLD_EQ_LOW_TAG + i},
                               {LP_ON_TAG, LP_Q_TAG},
                               {GATE_ON_TAG, GATE_THRESHOLD_TAG}};
        set(pair[i][0], 1.0f);
        if (i == 1) set(POST_EQ_ON_TAG, 1.0f);
        set(pair[i][1], uniform());
        break;
      }
      case 13: {  // Disrupt's quantiser, spring and lazy oscillator (these two only early)
        if (f == 0 || !early) stepAny(DISRUPT_QUANT_TAG);
        if (f == 1 && early) stepAny(DISRUPT_SPRING_TAG);
        if (f == 2 && early) toggle(DISRUPT_LAZY_ON_TAG);
        break;
      }
      case 15:  // a follower knob
        set(FOLLOWER_THRESHOLD_TAG + below(6), uniform());
        break;
      default: {  // a built-in program, or another knob
        if (!early) {
          set(KNOBS[below(std::size(KNOBS))], uniform());
          break;
        }
        const int n = below(NUM_DEMO_PROGRAMS);
        p.setDemoProgram(n);
        log.add(at, "program %d", n);
        break;
      }
    }
  }

  // The final settings kept to what two instances can share (see the top of the file).
  void confine() {
    auto replaceSource = [&](int tag) {
      const int s = p.getSteppedValue(tag);
      const bool random = s == SRC_NOISE || s == SRC_UNI_NOISE;
      const bool loop = s >= SRC_STAGE_FIRST && s <= SRC_OUTPUT;
      const bool lazy = s >= SRC_LAZY && s <= SRC_LAZY_SIGN;
      const bool lfo = s >= SRC_LFO_1 && s < SRC_LFO_1 + 8;
      if (random || lazy || (lfo && tag >= FOLLOWER_MOD_SRC_1_TAG && tag < FOLLOWER_MOD_SRC_1_TAG + 3))
        step(tag, SRC_OFFSET);
      if (loop) step(tag, SRC_INPUT);
    };
    auto replaceDest = [&](int tag) {
      const int d = p.getSteppedValue(tag);
      if (d == DEST_DISRUPT_SMOOTH || (d >= DEST_LFO_SMOOTH_1 && d < DEST_LFO_SMOOTH_1 + 4)) step(tag, 0);
    };
    for (int s = 0; s < NUM_MOD_SLOTS; ++s) {
      replaceSource(MOD_SLOT_SRC_TAGS[s]);
      replaceDest(MOD_SLOT_DEST_TAGS[s]);
    }
    for (int j = 0; j < 3; ++j) {
      replaceSource(FOLLOWER_MOD_SRC_1_TAG + j);
      replaceDest(FOLLOWER_DEST_1_TAG + j);
    }
    for (int j = 0; j < NUM_DISRUPT_SLOTS; ++j) replaceDest(DISRUPT_DEST_TAGS[j]);
    for (int i = 0; i < 4; ++i) {
      replaceDest(LFO_DEST_TAGS[i]);
      if (p.getSteppedValue(LFO_MODE_TAGS[i]) == LFO_MODE_FREE) step(LFO_MODE_TAGS[i], LFO_MODE_HOST);
      if (p.getSteppedValue(LFO_WAVE_TAGS[i]) == TLfo::WAVE_SAMPLE_AND_HOLD)
        step(LFO_WAVE_TAGS[i], TLfo::WAVE_SINE);
      if (p.getParameter(LFO_HUM_TAGS[i]) != 0.0f) set(LFO_HUM_TAGS[i], 0.0f);
    }
    const int type = p.getSteppedValue(DISTORT_TYPE_TAG);
    for (int phased : {dsp::DIST_LOW_FI, dsp::DIST_2B_LOW_FI, dsp::DIST_FM, dsp::DIST_PM, dsp::DIST_RING,
                       dsp::DIST_2B_RING, dsp::DIST_CABINET})
      if (type == phased) step(DISTORT_TYPE_TAG, dsp::DIST_OVERDRIVE);
    for (int k = 0; k < 8; ++k) {
      if (p.getParameter(EQ_FREQ_TAGS[k]) < 0.3f) set(EQ_FREQ_TAGS[k], 0.3f);
      if (p.getParameter(EQ_BW_TAGS[k]) < 0.3f) set(EQ_BW_TAGS[k], 0.3f);
    }
    if (p.getSteppedValue(FOLLOWER_SOURCE_TAG) > 1) step(FOLLOWER_SOURCE_TAG, 0);
    for (int t : {GATE_HOLD_TAG, GATE_RELEASE_TAG, COMP_ATTACK_TAG, COMP_RELEASE_TAG})
      if (p.getParameter(t) > 0.5f) set(t, 0.5f);
    if (p.getOnOff(WIDENER_ON_TAG)) set(WIDENER_ON_TAG, 0.0f);
    if (p.getOnOff(BYPASS_TAG)) set(BYPASS_TAG, 0.0f);
    if (p.getSteppedValue(DISRUPT_SPRING_TAG) != 0) step(DISRUPT_SPRING_TAG, 0);
    if (p.getOnOff(DISRUPT_LAZY_ON_TAG)) set(DISRUPT_LAZY_ON_TAG, 0.0f);
  }
};

struct Outcome {
  double maxDiff = 0.0;
  int64_t worstAt = -1;
  double rmsDiff = 0.0, rms = 0.0;  // of the difference and of B
};

// Runs one seeded change list; outputs of the two instances over the compared window.
Outcome compareAfterChanges(uint32_t seed, int changes, std::string& list) {
  FakeHost host;
  host.timeInfo.tempo = 120.0;
  host.timeInfo.sampleRate = 44100.0;
  host.timeInfo.flags = PLAYING;
  std::mt19937 rng(seed);
  Log log;
  Runner a;
  Changer changer{*a.p, rng, log};
  auto runA = [&](int64_t n) {
    a.run(n, 1 + changer.below(256));
    changer.at = a.at;
  };
  runA(600);
  for (int k = 0; k < changes; ++k) {
    changer.change(k >= changes - 10, k < changes / 4);
    runA(changer.below(4) == 0 ? 0 : changer.below(700));
  }
  changer.confine();
  runA(2000);
  list = log.text;

  Runner b;
  for (int t = 0; t < NUM_PARAMS; ++t)
    if (t != LOAD_PROGRAM_TAG) b.p->setParameter(t, a.p->getParameter(t));
  b.run(a.at);

  // The shared restart: the transport stops for a routing period and starts again.
  host.timeInfo.flags = kVstTempoValid;
  a.run(256);
  b.run(256);
  host.timeInfo.flags = PLAYING;
  a.run(24576);
  b.run(24576);
  std::vector<float> outA, outB;
  a.run(4096, 256, &outA);
  b.run(4096, 256, &outB);
  Outcome o;
  for (size_t i = 0; i < outA.size(); ++i) {
    const double d = std::fabs(static_cast<double>(outA[i]) - outB[i]);
    o.rmsDiff += d * d;
    o.rms += static_cast<double>(outB[i]) * outB[i];
    if (d > o.maxDiff) {
      o.maxDiff = d;
      o.worstAt = static_cast<int64_t>(i / 2);
    }
  }
  o.rmsDiff = std::sqrt(o.rmsDiff / static_cast<double>(outA.size()));
  o.rms = std::sqrt(o.rms / static_cast<double>(outA.size()));
  return o;
}

}  // namespace

TEST(MidStream, ChangesWhileRunningEndWhereAFreshStartDoes) {
  // Glide histories and rounding leave differences of a few parts in 10^5; near a clipped zero
  // crossing a heavy drive lifts single samples to 10^-3, so the measure is the RMS difference.
  for (uint32_t seed = 1; seed <= 16; ++seed) {
    std::string list;
    const Outcome o = compareAfterChanges(seed, 48, list);
    EXPECT_LE(o.rmsDiff, 1e-4 + 5e-4 * o.rms)
        << "seed " << seed << ": RMS difference " << o.rmsDiff << " (output " << o.rms << "), largest "
        << o.maxDiff << " at sample " << o.worstAt << " of the window; the changes:\n"
        << list;
  }
}
