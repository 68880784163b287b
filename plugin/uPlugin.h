// The plug-in object: every setting, the parameter store and the host-facing operations.
// Large (several hundred kilobytes once complete): always allocate it on the heap.
#pragma once

#include <atomic>
#include <cstdint>

#include "audioeffectx.h"
#include "tags.h"
#include "uEditorLink.h"

inline constexpr const char* PRODUCT_NAME_STR = "Grindle2";
inline constexpr const char* VENDOR_STR = "Kestrune";
inline constexpr int32_t VENDOR_VERSION = 0x10000;
inline constexpr int32_t UNIQUE_ID = fourCharId('M', 'v', '3', 'k');

// One program as stored and as exchanged with the host: values in tag order, then the name.
struct ProgramChunk {
  float values[NUM_PARAMS];
  char name[32];
};
static_assert(sizeof(ProgramChunk) == 4128);

class APlugin : public AudioEffectX {
 public:
  explicit APlugin(audioMasterCallback audioMaster);
  ~APlugin() override;

  // ---- Host-facing operations ----
  void processReplacing(float** inputs, float** outputs, int32_t sampleFrames) override;
  void __processDeprecated(float** inputs, float** outputs, int32_t sampleFrames) override;
  bool getEffectName(char* name) override;
  bool getVendorString(char* text) override;
  bool getProductString(char* text) override;
  int32_t getVendorVersion() override;
  int32_t canDo(char* text) override;
  bool getInputProperties(int32_t index, VstPinProperties* properties) override;
  bool getOutputProperties(int32_t index, VstPinProperties* properties) override;
  intptr_t vendorSpecific(int32_t lArg, intptr_t lArg2, void* ptrArg, float floatArg) override;
  bool beginEdit(int32_t index) override;
  bool endEdit(int32_t index) override;

  // ---- Parameter store ----
  static bool isValidTag(int t) { return static_cast<unsigned>(t) < static_cast<unsigned>(NUM_PARAMS); }
  float getParameter(int32_t t) override;
  void setParameter(int32_t t, float v) override;

  bool getOnOff(int t);
  static bool getOnOff(float v) { return v >= 0.5f; }
  bool getRevOnOff(int t);
  static bool getRevOnOff(float v) { return v <= 0.5f; }
  void setOnOff(int t, bool on);
  void setOn(int t) { setOnOff(t, true); }
  void setOff(int t) { setOnOff(t, false); }
  void toggleOnOff(int t);

  int32_t getMenuNum(int t);
  float getMenuRange(int t);
  static int getSteppedValue(float v, float scale, int count);
  int getSteppedValue(int t, float scale, int count);
  int getSteppedValue(int t);
  void setSteppedValue(int t, int n);
  void setSteppedValue(int t, int n, float scale, int count);

  void copyParameter(int from, int to);
  void swapParameter(int a, int b);
  float getDefault(int t);
  void setToDefault(int t);
  // The value a knob shows as its modulation ring; on = the "ModDial" preference.
  float getDialMod(int t, bool on);
  bool getEditChanged() const { return editChanged.load(std::memory_order_relaxed); }
  int32_t getDestByTag(int t) { return isValidTag(t) ? destByTag[t] : -1; }
  bool isOnOffTag(int t) const { return isValidTag(t) && isOnOff[t]; }

  // True only while an editor is fully open (see setParameter's editor forward).
  bool isEditorOpen();

  // ---- Tables (indexed by tag) ----
  std::atomic<float> currentValues[NUM_PARAMS];
  float defaultValues[NUM_PARAMS];
  float editedValues[NUM_PARAMS];
  float originalValues[NUM_PARAMS];
  float lastValues[NUM_PARAMS];
  int32_t menuNum[NUM_PARAMS];
  float menuRange[NUM_PARAMS];
  bool isOnOff[NUM_PARAMS];
  int32_t destByTag[NUM_PARAMS];
  ProgramChunk programs;  // the one program's store (program 0)
  std::atomic<bool> editChanged{false};

  // ---- Editor link (set by the editor; tests install a fake) ----
  std::atomic<bool> editorOpening{false};
  std::atomic<bool> editorOpen{false};
  IEditorLink* editorLink = nullptr;

 protected:
  // Fills the tag tables from the tag map (defaults, steps, switches, destinations).
  void initTagTables();
  // Loads the built-in program named by the name tags of the program store into the current
  // values and the store. Does nothing until the built-in bank exists.
  void loadBuiltInFromNameTags();
  // The modulation currently applied to destination d; 0 until the modulator exists.
  float currentModulation(int d);
  // The store of the current program number.
  float* programValues() { return programs.values; }
};

AudioEffect* createEffectInstance(audioMasterCallback audioMaster);
