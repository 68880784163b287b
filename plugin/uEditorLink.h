// What the plug-in object needs from its editor. The editor implements it; tests use a fake.
#pragma once

struct IEditorLink {
  virtual ~IEditorLink() = default;
  virtual bool isOpen() = 0;
  virtual void setParameter(int tag, float value) = 0;
  virtual void setVU(float inL, float inR, float outL, float outR) = 0;
  virtual void resume() = 0;
  virtual void setEditTag(int tag) = 0;
  virtual bool onWheel(float distance) = 0;
  // GUI thread only: re-lay the module boxes for the stored path; select distortion type
  // `type` (the editor limits it to the valid types).
  virtual void updatePath() = 0;
  virtual void updateDistort(int type) = 0;
};
