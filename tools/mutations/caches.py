# Breaks of the values the engine and the modules keep between ticks and calls: a field dropped
# from the key that says "unchanged", or a refresh skipped. Caught by the mid-stream comparison
# of tests/sound (and by whatever else notices first).
BREAKS = [
    # The matrix row's key: the basic/advanced mode, the row's switch, its offset and upper threshold.
    ("plugin/uEngineMod.cpp", "(advanced ? 4u : 0u) | (off ? 2u : 0u) | 1u};", "(off ? 2u : 0u) | 1u};"),
    ("plugin/uEngineMod.cpp", "(advanced ? 4u : 0u) | (off ? 2u : 0u) | 1u};", "(advanced ? 4u : 0u) | 1u};"),
    ("plugin/uEngineMod.cpp", "std::bit_cast<uint32_t>(amount), std::bit_cast<uint32_t>(offset),",
     "std::bit_cast<uint32_t>(amount), std::bit_cast<uint32_t>(amount),"),
    ("plugin/uEngineMod.cpp", "std::bit_cast<uint32_t>(lower), std::bit_cast<uint32_t>(upper),",
     "std::bit_cast<uint32_t>(lower), std::bit_cast<uint32_t>(lower),"),
    # A new source changes a row's offset: the row must be set again.
    ("plugin/uEngineMod.cpp", "if (modulator.getSrcForSlot(SLOT_MOD[s]) != rowSource[s]) matrixRowKey[s][4] = 0;", ""),
    # The LFO, follower and Disrupt slots' key: the slot's switch.
    ("plugin/uEngineMod.cpp", "<< 2) | (off ? 2u : 0u) | 1u;", "<< 2) | 1u;"),
    # The follower's coefficients follow their knobs.
    ("plugin/uEngineMod.cpp", "if (in[0] != followerInputs[0]) followerAttack",
     "if (followerInputs[0] != followerInputs[0]) followerAttack"),
    # The path and type steps and the volume's gain, worked out again when their values move.
    ("plugin/uEngineProcess.cpp", "if (pathValue != lastPathValue) {", "if (lastPathValue < 0.0f) {"),
    ("plugin/uEngineProcess.cpp", "if (typeValue != lastTypeValue) {", "if (lastTypeValue < 0.0f) {"),
    ("plugin/uEngineProcess.cpp", "if (v != lastVolumeValue) {", "if (lastVolumeValue < 0.0f) {"),
    # Settled smoothers wake up when their knobs move.
    ("plugin/uEngineProcess.cpp", "if (knobSmoothersSettled && TParamView::sameRuns(run, settledKnobRuns)) return;",
     "if (knobSmoothersSettled) return;"),
    # The filter: a new type recomputes its coefficients; a new resonance alone is noticed.
    ("dsp/uFilter.cpp", "    clearStates();\n    fresh = true;\n  }\n  type = t;", "    clearStates();\n  }\n  type = t;"),
    ("dsp/uFilter.cpp", "freq != lastFreqIn || resoIn != lastResoIn) {", "freq != lastFreqIn) {"),
    # The equaliser: a band's gain.
    ("dsp/uEQ.cpp", "(laneAbs(loadLanes(freq) - loadLanes(lastFreq)) > CHANGE) |\n                     (laneAbs(loadLanes(gain) - loadLanes(lastGain)) > CHANGE) |",
     "(laneAbs(loadLanes(freq) - loadLanes(lastFreq)) > CHANGE) |"),
    # The distortion's kept settings belong to one type.
    ("dsp/uDistort.cpp", "bool same = s.type == currentType;", "bool same = true;"),
]
