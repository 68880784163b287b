// What the plug-in object needs from its editor. The editor implements it; tests use a fake.
//
// Threads. Some of these calls come from the host's audio thread, in the middle of a block:
//  - isOpen: asked before each of the calls below (several times a block at most);
//  - setParameter: every parameter a MIDI controller moves, every value of a program loaded by
//    a MIDI program change, a host's automation when the host sends it from its audio thread,
//    and the Disrupt amount every 1024 samples (which the engine moves by itself);
//  - setVU: the four meter levels every 2048 samples;
//  - resume: after a MIDI program change has loaded a program.
// On those paths an implementation may only store values in atomics and set flags that its
// idle pass (GUI thread) reads and applies: it must never block, wait for a lock, allocate,
// do I/O or call into a view or the GUI toolkit (views belong to the GUI thread). The same calls
// also come from the GUI thread (the editor's own changes, a program chosen in its menus), and
// must then behave the same way.
// setEditTag comes from the host's begin/end-edit calls (any thread, same rules); onWheel from
// the host's GUI thread.
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
