# Breaks of the modules' limits and timings: the filter's cut-off range at each rate, the chorus's
# and widener's read points against their phases, the gate's hold, the compressor's look-ahead.
# Caught by tests/dsp/test_moduleEdges.cpp (and by whatever else notices first).
BREAKS = [
    # Filter: the lowest cut-off, the highest, the working rate below 1000 Hz, the split's floor.
    ("dsp/uFilter.cpp", "minCut = 10.0f * invRate2;", "minCut = 30.0f * invRate2;"),
    ("dsp/uFilter.cpp", "constexpr float MAX_CUT = 0.2f;", "constexpr float MAX_CUT = 0.25f;"),
    ("dsp/uFilter.cpp", "2.0f * sampleRate : 88200.0f;", "2.0f * sampleRate : 96000.0f;"),
    ("dsp/uFilter.cpp", "const float floor = 50.0f * invRate2;", "const float floor = 40.0f * invRate2;"),
    # Chorus: each channel on its own voice, the second frame a step on, two steps a call.
    ("dsp/uWidener.cpp", "{sine[f1 >> 8], sine[f2 >> 8], sine[s1 >> 8], sine[s2 >> 8]}",
     "{sine[f2 >> 8], sine[f1 >> 8], sine[s1 >> 8], sine[s2 >> 8]}"),
    ("dsp/uWidener.cpp", "{sine[f1 >> 8], sine[f2 >> 8], sine[s1 >> 8], sine[s2 >> 8]}",
     "{sine[f1 >> 8], sine[f2 >> 8], sine[f1 >> 8], sine[f2 >> 8]}"),
    ("dsp/uWidener.cpp", "{sine[f1 >> 8], sine[f2 >> 8], sine[s1 >> 8], sine[s2 >> 8]}",
     "{sine[f1 >> 8], sine[f2 >> 8], sine[s2 >> 8], sine[s1 >> 8]}"),
    # Widener: the second sample a step on, the phase two steps a call.
    ("dsp/uWidener.cpp", "const float tri2 = std::fabs(2.0f * p1 - 1.0f);", "const float tri2 = std::fabs(2.0f * p - 1.0f);"),
    ("dsp/uWidener.cpp", "widenPhase = frac01(p1 + inc);", "widenPhase = p1;"),
    # Gate: a full hold after every attack; the hold runs down while the signal stays.
    ("dsp/uNoiseGate.cpp", "        holdCounter = 1000.0;\n        state = kHold;", "        state = kHold;"),
    ("dsp/uNoiseGate.cpp", "      holdCounter -= holdStep;", "      if (env < threshold) holdCounter -= holdStep;"),
    # Compressor: the detector hears the present input; the delay is 128 sub-samples.
    ("dsp/uCompressor.cpp", "const StereoLanes rectified = laneAbs(x);", "const StereoLanes rectified = laneAbs(delayed[sub]);"),
    ("dsp/uCompressor.cpp", "delayed[sub] = ring[pos];\n    ring[pos] = x;", "ring[pos] = x;\n    delayed[sub] = ring[pos];"),
]
