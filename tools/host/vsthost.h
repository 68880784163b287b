// A small offline VST 2.4 host: loads any plug-in module the way a host does, answers its
// callback (version, time info, strings, automation) and runs it block by block.
// Used by the g2host tool and by the tests.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vst2/aeffect.h"

namespace vsthost {

struct AutomationEvent {
  int32_t index;
  float value;
};

// What the host reports to the plug-in and what it heard from it.
struct HostState {
  double sampleRate = 44100.0;
  int32_t blockSize = 512;
  double tempo = 120.0;
  bool playing = true;
  double samplePos = 0.0;  // position of the current block
  bool transportChanged = true;
  VstTimeInfo timeInfo{};
  std::vector<AutomationEvent> automation;
  int beginEdits = 0;
  int endEdits = 0;
  std::string vendor = "Kestrune Tools";
  std::string product = "g2host";
};

// The host callback every loaded plug-in gets.
intptr_t hostCallback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);

class Plugin {
 public:
  // Loads the module at path and creates one instance (VSTPluginMain, or else main).
  // Returns null and sets error on failure.
  static std::unique_ptr<Plugin> load(const std::string& path, std::string* error);
  ~Plugin();  // closes the instance, then unloads the module

  Plugin(const Plugin&) = delete;
  Plugin& operator=(const Plugin&) = delete;

  AEffect* effect() const { return effect_; }
  HostState& host() { return host_; }
  intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                    float opt = 0.0f);

  std::string effectName();
  std::string vendorString();
  std::string productString();
  std::string programName();
  std::string parameterName(int32_t index);
  std::string parameterDisplay(int32_t index);
  std::string parameterLabel(int32_t index);
  int32_t vendorVersion();
  int32_t numInputs() const { return effect_->numInputs; }
  int32_t numOutputs() const { return effect_->numOutputs; }
  int32_t numParams() const { return effect_->numParams; }
  int32_t numPrograms() const { return effect_->numPrograms; }

  float getParameter(int32_t index);
  void setParameter(int32_t index, float value);
  void setProgram(int32_t program);

  // Sets rate and block size and switches the plug-in on; stop() switches it off.
  void start(double sampleRate, int32_t blockSize, double tempo);
  void stop();
  // Runs one block of at most the block size; inputs and outputs as the plug-in counts them.
  // Advances the transport by n samples.
  void process(float** inputs, float** outputs, int32_t n);

 private:
  Plugin() = default;
  void* module_ = nullptr;
  AEffect* effect_ = nullptr;
  HostState host_;
  bool running_ = false;
};

// Renders interleaved-free planar stereo audio through the plug-in: left and right in,
// stereo out (a mono plug-in output feeds both sides). Inputs beyond the first two are silent;
// a plug-in with one input gets the left channel.
void renderStereo(Plugin& plugin, const std::vector<float>& inL, const std::vector<float>& inR,
                  std::vector<float>& outL, std::vector<float>& outR, int32_t blockSize);

// The built-in demo: plucked-string chords and drum hits, stereo, always the same samples
// for a given rate and length.
void synthesiseDemo(double sampleRate, double seconds, std::vector<float>& left, std::vector<float>& right);

}  // namespace vsthost
