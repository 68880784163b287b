# Breaks of the single-band distortion types (0..30) and the frame around them: knob laws made
# linear or given the wrong constant, two knobs swapped, a rate left unscaled, a raw knob read where
# the smoothed one belongs. The reference sweeps of tests/dsp/test_distortRefSingle.cpp catch them.
BREAKS = [
    # Squared, cubed and fourth-power knob laws made flatter
    ("dsp/uDistortShapers.h", "explicit Cross1Rule(float k3) noexcept : t(0.2f * k3 * k3) {}",
     "explicit Cross1Rule(float k3) noexcept : t(0.2f * k3) {}"),
    ("dsp/uDistortShapers.h", "g(std::exp2(8.0f * k3)), A(k4 * k4) {}", "g(std::exp2(8.0f * k3)), A(k4) {}"),
    ("dsp/uDistortShapers.h", "const float A = 0.99f * k4 * k4 * k4;", "const float A = 0.99f * k4 * k4;"),
    ("dsp/uDistortShapers.h", "noise(noiseKnob * noiseKnob * noiseKnob * noiseKnob)", "noise(noiseKnob * noiseKnob)"),
    ("dsp/uDistortShapers.h", "q(std::exp2(17.0f - 16.0f * std::sqrt(bits)))", "q(std::exp2(17.0f - 16.0f * bits))"),
    ("dsp/uDistortShapers.h", "e(k4 * k4 * k4 * (1.0f - s))", "e(k4 * (1.0f - s))"),
    ("dsp/uDistortShapers.h", "w(0.92f * k3 * k3 * k3 + 0.05f), t(k4) {}", "w(0.92f * k3 + 0.05f), t(k4) {}"),
    ("dsp/uDistortShapers.h", "f(1.0f - 0.99f * std::pow(k3, 0.25f))", "f(1.0f - 0.99f * std::pow(k3, 0.5f))"),
    # The Low-Fi hold period no longer follows the sample rate
    ("dsp/uDistortShapers.h", "period(units::holdSamples(rate) * sampleRate / 44100.0f),", "period(units::holdSamples(rate)),"),
    # Wrong constants
    ("dsp/uDistortShapers.h", "f(std::exp2(8.0f * k3 - 4.0f)), d(k4) {}", "f(std::exp2(8.0f * k3 - 3.0f)), d(k4) {}"),
    ("dsp/uDistortShapers.h", "th(std::exp2((35.0f * k3 - 40.0f) / 6.0f))", "th(std::exp2((35.0f * k3 - 40.0f) / 5.0f))"),
    ("dsp/uDistortShapers.h", "explicit OverdriveRule(float k3) noexcept : g(std::exp2(6.0f * k3) - 1.0f) {}",
     "explicit OverdriveRule(float k3) noexcept : g(std::exp2(5.0f * k3) - 1.0f) {}"),
    ("dsp/uDistortShapers.h", "explicit ValveRule(float k3) noexcept : g(std::exp2(5.0f * k3) - 0.99f) {}",
     "explicit ValveRule(float k3) noexcept : g(std::exp2(5.0f * k3) - 0.9f) {}"),
    ("dsp/uDistortShapers.h", "const float p = 0.95f * k3;", "const float p = 0.9f * k3;"),
    ("dsp/uDistortShapers.h", "explicit RectifyRule(float k3) noexcept : r(1.0f - 2.0f * k3) {}",
     "explicit RectifyRule(float k3) noexcept : r(1.0f - k3) {}"),
    ("dsp/uDistortShapers.h", "lim(2.0f * B / (B / (0.5f * w) + 1.0f))", "lim(2.0f * B / (B / w + 1.0f))"),
    ("dsp/uDistortShapers.h", "g(std::exp2(4.0f * k3) - 1.0f), depth(k4) {}", "g(std::exp2(4.0f * k3)), depth(k4) {}"),
    ("dsp/uDistortShapers.h", "m(saturatingInt(k4 * s))", "m(saturatingInt(k4 * 65536.0f))"),
    # Two knobs or two values swapped
    ("dsp/uDistortShapers.h", "gs(std::exp2(4.0f * k3 - 1.0f)), ge(std::exp2(4.0f * k4 - 1.0f))",
     "gs(std::exp2(4.0f * k4 - 1.0f)), ge(std::exp2(4.0f * k3 - 1.0f))"),
    ("dsp/uDistortShapers.h", "A(1.0f - k3), B(1.0f - k4) {}", "A(1.0f - k4), B(1.0f - k3) {}"),
    ("dsp/uDistortShapers.h", "const float c = x < 0.0f ? cn : cp;", "const float c = x < 0.0f ? cp : cn;"),
    ("dsp/uDistortShapers.h", "gn(std::exp2(4.0f * k4) - 1.0f), r(1.0f - 2.0f * k5)",
     "gn(std::exp2(4.0f * k3) - 1.0f), r(1.0f - 2.0f * k5)"),
    ("dsp/uDistortShapers.h", "up(clampf(2.0f - 2.0f * k5, 0.0f, 1.0f)),\n        down(clampf(2.0f * k5, 0.0f, 1.0f))",
     "up(clampf(2.0f * k5, 0.0f, 1.0f)),\n        down(clampf(2.0f - 2.0f * k5, 0.0f, 1.0f))"),
    ("dsp/uDistort.cpp", "mixed(kept<AndRule>(0, k[2], k[3]), k[4]);", "mixed(kept<AndRule>(0, k[3], k[2]), k[4]);"),
    ("dsp/uDistort.cpp", "mixedDc(kept<Clipper1Rule>(0, k[2], k[3], k[5]), k[4]);",
     "mixedDc(kept<Clipper1Rule>(0, k[2], k[3], k[4]), k[5]);"),
    ("dsp/uDistort.cpp", "const Clipper2Clip& clip = kept<Clipper2Clip>(0, k[3], k[4]);",
     "const Clipper2Clip& clip = kept<Clipper2Clip>(0, k[4], k[3]);"),
    ("dsp/uDistort.cpp", "runFilter(lowPassStage, k[5], 0.0f, v, force);\n      runFilter(highPassStage, k[6], 0.0f, v, force);",
     "runFilter(lowPassStage, k[6], 0.0f, v, force);\n      runFilter(highPassStage, k[5], 0.0f, v, force);"),
    ("dsp/uDistort.cpp", "runFilter(tubeToneFilter, k[5], k[6], v, force);", "runFilter(tubeToneFilter, k[6], k[5], v, force);"),
    ("dsp/uDistort.cpp", "runFilter(squarifyFilter, k[4], 0.0f, q, force);", "runFilter(squarifyFilter, k[3], 0.0f, q, force);"),
    ("dsp/uDistort.cpp", "mixed(kept<Octave3Rule>(0, k[2], k[3]), k[4]);", "mixed(kept<Octave3Rule>(0, k[3], k[2]), k[4]);"),
    ("dsp/uDistort.cpp", "wet(kept<PeakRemoveRule>(0, k[2], k[3], k[4], k[5], k[6]));",
     "wet(kept<PeakRemoveRule>(0, k[2], k[3], k[5], k[4], k[6]));"),
    ("dsp/uDistort.cpp", "mixed(TransientBoostRule(k[2], k[3]), k[4]);", "mixed(TransientBoostRule(k[2], k[4]), k[3]);"),
    ("dsp/uDistort.cpp", "const float b = kept<Boost>(2, k[6]).value;", "const float b = kept<Boost>(2, k[5]).value;"),
    # The boost of Cross Type 2 left off the dry part; Hard Distort obeying the DC switch
    ("dsp/uDistort.cpp", "y[i] = mix(x[i], dcBlock(rule(x[i]), dcState[i & 1], dcC, dcK, dc), k[4]) * b;",
     "y[i] = mix(x[i], dcBlock(rule(x[i]), dcState[i & 1], dcC, dcK, dc) * b, k[4]);"),
    ("dsp/uDistort.cpp", "y[i] = dcBlock(rule(x[i]), dcState[i & 1], dcC, dcK, true);",
     "y[i] = dcBlock(rule(x[i]), dcState[i & 1], dcC, dcK, dc);"),
    # Raw knobs where the smoothed ones belong
    ("dsp/uDistort.cpp", "tables->driveGain[tableIndex(k[0])]", "tables->driveGain[tableIndex(raw[0])]"),
    ("dsp/uDistort.cpp", "const float n = k[1];", "const float n = raw[1];"),
    ("dsp/uDistort.cpp", "mixed(kept<AtanRule>(0, k[2]), k[3]);", "mixed(kept<AtanRule>(0, raw[2]), k[3]);"),
    # The blocker's corner at the host rate instead of the doubled one; a slower smoothing
    ("dsp/uDistort.cpp", "dcCoefficient = 30.0f / doubleRate;", "dcCoefficient = 30.0f / sampleRate;"),
    ("dsp/uDistort.cpp", "constexpr float KNOB_SMOOTHING = 0.9f;", "constexpr float KNOB_SMOOTHING = 0.8f;"),
    # A rule kept although its knobs moved
    ("dsp/uDistort.cpp", "for (std::size_t i = 0; i < sizeof...(Knobs); ++i) same = same && key[i] == s.key[i];", ""),
    # The distortion screen: the redraw signature and the drawn curve over the type's knobs 3..8
    ("plugin/uEngineDisplays.cpp", "for (int j = 2; j < 8; ++j) s += tagValue", "for (int j = 2; j < 7; ++j) s += tagValue"),
    ("plugin/uEngineDisplays.cpp", "s += tagValue(DISTORT_KNOB_1_TAG + j) + modulator.getMod(DEST_DIST_1 + j);",
     "s += tagValue(DISTORT_KNOB_1_TAG + j);"),
    ("plugin/uEngineDisplays.cpp", "for (int j = 2; j < 8; ++j)\n    k[j] = clamp01", "for (int j = 2; j < 7; ++j)\n    k[j] = clamp01"),
    ("plugin/uEngineDisplays.cpp", "k[j] = clamp01(tagValue(DISTORT_KNOB_1_TAG + j) + modulator.getMod(DEST_DIST_1 + j));",
     "k[j] = clamp01(tagValue(DISTORT_KNOB_1_TAG + j));"),
]
