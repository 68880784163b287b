#include "vsthost.h"

#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vsthost {

namespace {

typedef AEffect* (*EntryProc)(audioMasterCallback);

// The instance being constructed: its record is not known yet while the plug-in's
// constructor already asks the host for its strings.
thread_local Plugin* loadingPlugin = nullptr;

Plugin* pluginOf(AEffect* effect) {
  if (effect && effect->user) return static_cast<Plugin*>(effect->user);
  return loadingPlugin;
}

void copyString(void* ptr, const std::string& text, size_t capacity) {
  if (!ptr) return;
  char* out = static_cast<char*>(ptr);
  size_t n = std::min(text.size(), capacity - 1);
  std::memcpy(out, text.data(), n);
  out[n] = 0;
}

void fillTimeInfo(HostState& h) {
  VstTimeInfo& t = h.timeInfo;
  std::memset(&t, 0, sizeof(t));
  t.samplePos = h.samplePos;
  t.sampleRate = h.sampleRate;
  t.tempo = h.tempo;
  t.ppqPos = h.samplePos / h.sampleRate * h.tempo / 60.0;
  t.barStartPos = std::floor(t.ppqPos / 4.0) * 4.0;
  t.timeSigNumerator = 4;
  t.timeSigDenominator = 4;
  t.flags = kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstTimeSigValid;
  if (h.playing) t.flags |= kVstTransportPlaying;
  if (h.transportChanged) t.flags |= kVstTransportChanged;
}

}  // namespace

intptr_t hostCallback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
  Plugin* plugin = pluginOf(effect);
  HostState* h = plugin ? &plugin->host() : nullptr;
  switch (opcode) {
    case kHostVersion:
      return 2400;
    case kHostAutomate:
      if (h) h->automation.push_back({index, opt});
      return 0;
    case kHostGetTime:
      if (!h) return 0;
      fillTimeInfo(*h);
      return reinterpret_cast<intptr_t>(&h->timeInfo);
    case kHostGetSampleRate:
      return h ? static_cast<intptr_t>(h->sampleRate) : 44100;
    case kHostGetBlockSize:
      return h ? h->blockSize : 512;
    case kHostGetCurrentProcessLevel:
      return 4;  // offline
    case kHostGetVendorString:
      copyString(ptr, h ? h->vendor : std::string("Kestrune Tools"), kVstMaxVendorStrLen);
      return 1;
    case kHostGetProductString:
      copyString(ptr, h ? h->product : std::string("g2host"), kVstMaxProductStrLen);
      return 1;
    case kHostGetVendorVersion:
      return 1000;
    case kHostGetLanguage:
      return 1;  // English
    case kHostCanDo: {
      if (!ptr) return 0;
      const char* text = static_cast<const char*>(ptr);
      for (const char* c : {"sendVstEvents", "sendVstMidiEvent", "sendVstTimeInfo", "supplyIdle"})
        if (std::strcmp(text, c) == 0) return 1;
      return 0;
    }
    case kHostBeginEdit:
      if (h) ++h->beginEdits;
      return 1;
    case kHostEndEdit:
      if (h) ++h->endEdits;
      return 1;
    case kHostUpdateDisplay:
    case kHostIoChanged:
      return 1;
    default:
      return 0;
  }
}

std::unique_ptr<Plugin> Plugin::load(const std::string& path, std::string* error) {
  auto fail = [&](const std::string& why) -> std::unique_ptr<Plugin> {
    if (error) *error = why;
    return nullptr;
  };
  // RTLD_NODELETE keeps the module and its libraries mapped until exit: some libraries (pixman,
  // loaded with cairo) allocate tables when loaded and never free them, which leak checkers would
  // otherwise report against an unloaded, unnamed module.
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (!module) {
    const char* why = dlerror();
    return fail(why ? why : "cannot load " + path);
  }
  auto entry = reinterpret_cast<EntryProc>(dlsym(module, "VSTPluginMain"));
  if (!entry) entry = reinterpret_cast<EntryProc>(dlsym(module, "main"));
  if (!entry) {
    dlclose(module);
    return fail(path + " has no VSTPluginMain or main entry");
  }
  std::unique_ptr<Plugin> plugin(new Plugin());
  plugin->module_ = module;
  loadingPlugin = plugin.get();
  AEffect* effect = entry(hostCallback);
  loadingPlugin = nullptr;
  if (!effect || effect->magic != kEffectMagic) return fail(path + " did not create a plug-in");
  effect->user = plugin.get();
  plugin->effect_ = effect;
  plugin->dispatch(kEffOpen);
  return plugin;
}

Plugin::~Plugin() {
  if (effect_) {
    if (running_) stop();
    effect_->dispatcher(effect_, kEffClose, 0, 0, nullptr, 0.0f);
    effect_ = nullptr;
  }
  if (module_) dlclose(module_);
}

intptr_t Plugin::dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
  return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

namespace {
// Generous buffers: plug-ins often write more than the nominal lengths.
constexpr size_t kTextBuffer = 256;
}  // namespace

#define G2_TEXT_QUERY(opcode, index)      \
  char text[kTextBuffer] = {};            \
  dispatch(opcode, index, 0, text, 0.0f); \
  text[kTextBuffer - 1] = 0;              \
  return std::string(text)

std::string Plugin::effectName() { G2_TEXT_QUERY(kEffGetEffectName, 0); }
std::string Plugin::vendorString() { G2_TEXT_QUERY(kEffGetVendorString, 0); }
std::string Plugin::productString() { G2_TEXT_QUERY(kEffGetProductString, 0); }
std::string Plugin::programName() { G2_TEXT_QUERY(kEffGetProgramName, 0); }
std::string Plugin::parameterName(int32_t index) { G2_TEXT_QUERY(kEffGetParamName, index); }
std::string Plugin::parameterDisplay(int32_t index) { G2_TEXT_QUERY(kEffGetParamDisplay, index); }
std::string Plugin::parameterLabel(int32_t index) { G2_TEXT_QUERY(kEffGetParamLabel, index); }

#undef G2_TEXT_QUERY

int32_t Plugin::vendorVersion() { return static_cast<int32_t>(dispatch(kEffGetVendorVersion)); }

float Plugin::getParameter(int32_t index) { return effect_->getParameter(effect_, index); }

void Plugin::setParameter(int32_t index, float value) { effect_->setParameter(effect_, index, value); }

void Plugin::setProgram(int32_t program) {
  dispatch(kEffBeginSetProgram);
  dispatch(kEffSetProgram, 0, program);
  dispatch(kEffEndSetProgram);
}

void Plugin::start(double sampleRate, int32_t blockSize, double tempo) {
  host_.sampleRate = sampleRate;
  host_.blockSize = blockSize;
  host_.tempo = tempo;
  host_.samplePos = 0.0;
  host_.transportChanged = true;
  dispatch(kEffSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
  dispatch(kEffSetBlockSize, 0, blockSize);
  dispatch(kEffMainsChanged, 0, 1);
  dispatch(kEffStartProcess);
  running_ = true;
}

void Plugin::stop() {
  dispatch(kEffStopProcess);
  dispatch(kEffMainsChanged, 0, 0);
  running_ = false;
}

void Plugin::process(float** inputs, float** outputs, int32_t n) {
  if ((effect_->flags & kEffFlagCanReplacing) && effect_->processReplacing) {
    effect_->processReplacing(effect_, inputs, outputs, n);
  } else if (effect_->process) {
    // The old accumulating call adds to what the outputs hold.
    for (int32_t c = 0; c < effect_->numOutputs; ++c) std::fill(outputs[c], outputs[c] + n, 0.0f);
    effect_->process(effect_, inputs, outputs, n);
  }
  host_.samplePos += n;
  host_.transportChanged = false;
}

void renderStereo(Plugin& plugin, const std::vector<float>& inL, const std::vector<float>& inR,
                  std::vector<float>& outL, std::vector<float>& outR, int32_t blockSize) {
  const size_t total = std::min(inL.size(), inR.size());
  outL.assign(total, 0.0f);
  outR.assign(total, 0.0f);
  const int32_t numIn = std::max(plugin.numInputs(), 0);
  const int32_t numOut = std::max(plugin.numOutputs(), 0);
  const size_t block = static_cast<size_t>(std::max(blockSize, 1));
  // At least two of each so that the copies below always have somewhere to go.
  std::vector<std::vector<float>> in(static_cast<size_t>(std::max(numIn, 2)), std::vector<float>(block));
  std::vector<std::vector<float>> out(static_cast<size_t>(std::max(numOut, 2)), std::vector<float>(block));
  std::vector<float*> inPtr, outPtr;
  for (auto& b : in) inPtr.push_back(b.data());
  for (auto& b : out) outPtr.push_back(b.data());

  for (size_t pos = 0; pos < total; pos += block) {
    const size_t n = std::min(block, total - pos);
    for (auto& b : in) std::fill(b.begin(), b.end(), 0.0f);
    std::copy_n(inL.begin() + static_cast<std::ptrdiff_t>(pos), n, in[0].begin());
    if (numIn >= 2) std::copy_n(inR.begin() + static_cast<std::ptrdiff_t>(pos), n, in[1].begin());
    for (auto& b : out) std::fill(b.begin(), b.end(), 0.0f);
    plugin.process(inPtr.data(), outPtr.data(), static_cast<int32_t>(n));
    std::copy_n(out[0].begin(), n, outL.begin() + static_cast<std::ptrdiff_t>(pos));
    std::copy_n(out[numOut >= 2 ? 1 : 0].begin(), n, outR.begin() + static_cast<std::ptrdiff_t>(pos));
  }
}

// ---- Demo signal ----

namespace {

// A fixed 32-bit generator so that the demo is the same on every machine.
struct DemoRandom {
  uint32_t state = 0x2545F491u;
  float next() {  // -1..1
    state = state * 1664525u + 1013904223u;
    return static_cast<float>(static_cast<int32_t>(state)) / 2147483648.0f;
  }
};

// One plucked string (Karplus-Strong): a noise burst circulating through a damped delay line.
void pluck(std::vector<float>& left, std::vector<float>& right, double sampleRate, size_t start,
           double frequency, double seconds, float gain, float pan, DemoRandom& random) {
  const size_t period = std::max<size_t>(2, static_cast<size_t>(std::lround(sampleRate / frequency)));
  std::vector<float> line(period);
  for (float& s : line) s = random.next();
  const size_t length = static_cast<size_t>(seconds * sampleRate);
  const float gainL = gain * (1.0f - pan), gainR = gain * (1.0f + pan);
  size_t i = 0;
  for (size_t k = 0; k < length && start + k < left.size(); ++k) {
    const size_t j = (i + 1) % period;
    const float s = line[i];
    line[i] = 0.996f * 0.5f * (line[i] + line[j]);
    i = j;
    left[start + k] += s * gainL;
    right[start + k] += s * gainR;
  }
}

void kick(std::vector<float>& left, std::vector<float>& right, double sampleRate, size_t start) {
  const size_t length = static_cast<size_t>(0.35 * sampleRate);
  double phase = 0.0;
  for (size_t k = 0; k < length && start + k < left.size(); ++k) {
    const double t = static_cast<double>(k) / sampleRate;
    const double frequency = 45.0 + 110.0 * std::exp(-t * 30.0);
    phase += 2.0 * M_PI * frequency / sampleRate;
    const float s = static_cast<float>(0.8 * std::sin(phase) * std::exp(-t * 9.0));
    left[start + k] += s;
    right[start + k] += s;
  }
}

void noiseHit(std::vector<float>& left, std::vector<float>& right, double sampleRate, size_t start,
              double seconds, double decay, float gain, float pan, bool bright, DemoRandom& random) {
  const size_t length = static_cast<size_t>(seconds * sampleRate);
  float previous = 0.0f;
  for (size_t k = 0; k < length && start + k < left.size(); ++k) {
    const double t = static_cast<double>(k) / sampleRate;
    const float white = random.next();
    // A first difference tilts the noise towards the top for the hi-hat.
    const float n = bright ? white - previous : white;
    previous = white;
    const float s = static_cast<float>(gain * n * std::exp(-t * decay));
    left[start + k] += s * (1.0f - pan);
    right[start + k] += s * (1.0f + pan);
  }
}

}  // namespace

void synthesiseDemo(double sampleRate, double seconds, std::vector<float>& left, std::vector<float>& right) {
  const size_t total = static_cast<size_t>(std::max(0.0, seconds) * sampleRate);
  left.assign(total, 0.0f);
  right.assign(total, 0.0f);
  if (total == 0) return;
  DemoRandom random;
  const double beat = 60.0 / 120.0;  // 120 beats per minute
  // Four chords, one bar each: E minor, C major, G major, D major (root position, low voicings).
  static const double chords[4][4] = {{82.41, 123.47, 164.81, 196.00},
                                      {130.81, 164.81, 196.00, 261.63},
                                      {98.00, 146.83, 196.00, 246.94},
                                      {146.83, 220.00, 293.66, 369.99}};
  const int beats = static_cast<int>(seconds / beat) + 1;
  for (int b = 0; b < beats; ++b) {
    const size_t at = static_cast<size_t>(b * beat * sampleRate);
    if (at >= total) break;
    const auto& chord = chords[(b / 4) % 4];
    // Strum on beats 1 and 3, a few milliseconds between strings.
    if (b % 2 == 0)
      for (int s = 0; s < 4; ++s)
        pluck(left, right, sampleRate, at + static_cast<size_t>(s * 0.012 * sampleRate), chord[s], 1.6, 0.22f,
              -0.3f + 0.2f * static_cast<float>(s), random);
    if (b % 4 == 0 || b % 4 == 2) kick(left, right, sampleRate, at);
    if (b % 4 == 1 || b % 4 == 3)
      noiseHit(left, right, sampleRate, at, 0.25, 18.0, 0.35f, 0.1f, false, random);
    for (int h = 0; h < 2; ++h)
      noiseHit(left, right, sampleRate, at + static_cast<size_t>(h * beat * 0.5 * sampleRate), 0.06, 60.0,
               0.12f, 0.4f, true, random);
  }
  for (size_t i = 0; i < total; ++i) {
    left[i] = std::clamp(left[i], -1.0f, 1.0f);
    right[i] = std::clamp(right[i], -1.0f, 1.0f);
  }
}

}  // namespace vsthost
