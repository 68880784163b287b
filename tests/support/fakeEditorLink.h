// An editor stand-in that records what the plug-in object tells it.
#pragma once

#include <utility>
#include <vector>

#include "plugin/uEditorLink.h"

namespace testing_support {

struct FakeEditorLink : IEditorLink {
  bool open = true;
  bool wheelAnswer = false;
  std::vector<std::pair<int, float>> parameters;
  std::vector<int> editTags;
  std::vector<float> wheels;
  std::vector<int> distortTypes;
  int paths = 0;
  int resumes = 0;
  int vuCalls = 0;

  bool isOpen() override { return open; }
  void setParameter(int tag, float value) override { parameters.emplace_back(tag, value); }
  void setVU(float, float, float, float) override { ++vuCalls; }
  void resume() override { ++resumes; }
  void setEditTag(int tag) override { editTags.push_back(tag); }
  bool onWheel(float distance) override {
    wheels.push_back(distance);
    return wheelAnswer;
  }
  void updatePath() override { ++paths; }
  void updateDistort(int type) override { distortTypes.push_back(type); }
};

}  // namespace testing_support
