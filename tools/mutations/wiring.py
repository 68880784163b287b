# Engine wiring: which tag, band, destination or source each part of the engine reads.
P = "plugin/uEngineProcess.cpp"
M = "plugin/uEngineMod.cpp"
D = "plugin/uEngineDisplays.cpp"
BREAKS = [
    # The pre-EQ reads the next band's gain.
    (P, "eqGains[e][k] = modulated(EQ_GAIN_TAGS[i], gainDest[e] + k);",
     "eqGains[e][k] = modulated(EQ_GAIN_TAGS[4 * e + ((k + 1) & 3)], gainDest[e] + k);"),
    # Band widths read the frequency tags.
    (P, "eqWidths[e][k] = modulated(EQ_BW_TAGS[i], widthDest[e] + k);",
     "eqWidths[e][k] = modulated(EQ_FREQ_TAGS[i], widthDest[e] + k);"),
    # The post-EQ's gains take the pre-EQ's destinations.
    (P, "const int gainDest[2] = {DEST_PRE_EQ_GAIN_1, DEST_POST_EQ_GAIN_1};",
     "const int gainDest[2] = {DEST_PRE_EQ_GAIN_1, DEST_PRE_EQ_GAIN_1};"),
    # The old EQ's gains add the post-EQ's frequency destinations.
    (P, "g[j] = limit01(smoothedOldEqGains[j] + mod(DEST_POST_EQ_GAIN_1 + j));",
     "g[j] = limit01(smoothedOldEqGains[j] + mod(DEST_POST_EQ_FREQ_1 + j));"),
    # The side-chain source carries the main input.
    (P, "modulator.setSrcVal(SRC_SIDE, (sideL + sideR) * 0.5f);",
     "modulator.setSrcVal(SRC_SIDE, (mainL + mainR) * 0.5f);"),
    # The high-pass reads the low-pass's zero-delay switch.
    (P, "                         getOnOff(HP_ZD_TAG));", "                         getOnOff(LP_ZD_TAG));"),
    # The low-pass ignores its slope switch.
    (P, "lowPassFilter.setType(getOnOff(LP_TYPE_TAG) ? dsp::TFilter::kLow24",
     "lowPassFilter.setType(getOnOff(HP_TYPE_TAG) ? dsp::TFilter::kLow24"),
    # The high-pass Q adds the low-pass Q's modulation.
    (P, "modulated(HP_Q_TAG, DEST_HP_Q)", "modulated(HP_Q_TAG, DEST_LP_Q)"),
    # The gate's hold and release swap destinations.
    (P, "modulated(GATE_HOLD_TAG, DEST_GATE_HOLD), modulated(GATE_RELEASE_TAG, DEST_GATE_RELEASE)",
     "modulated(GATE_HOLD_TAG, DEST_GATE_RELEASE), modulated(GATE_RELEASE_TAG, DEST_GATE_HOLD)"),
    # The compressor's attack and release tags swap.
    (P, "modulated(COMP_ATTACK_TAG, DEST_COMP_ATTACK), modulated(COMP_RELEASE_TAG, DEST_COMP_RELEASE)",
     "modulated(COMP_RELEASE_TAG, DEST_COMP_ATTACK), modulated(COMP_ATTACK_TAG, DEST_COMP_RELEASE)"),
    # The compressor mode switch is dropped.
    (P, "limit01(smoothedCompVolume + mod(DEST_COMP_VOLUME)), getOnOff(COMP_MODE_TAG));",
     "limit01(smoothedCompVolume + mod(DEST_COMP_VOLUME)), true);"),
    # The widener's width adds the amount's modulation.
    (P, "limit01(smoothedWidenValues[1] + mod(DEST_WIDENER_WIDTH))",
     "limit01(smoothedWidenValues[1] + mod(DEST_WIDENER_AMOUNT))"),
    # The chorus width reads its knob.
    (P, "limit01(CHORUS_WIDTH + mod(DEST_CHORUS_WIDTH))", "modulated(CHORUS_WIDTH_TAG, DEST_CHORUS_WIDTH)"),
    # Wet and dry pan swap.
    (P, "const float pan = mod(DEST_PAN), wetPan = mod(DEST_WET_PAN), dryPan = mod(DEST_DRY_PAN);",
     "const float pan = mod(DEST_PAN), wetPan = mod(DEST_DRY_PAN), dryPan = mod(DEST_WET_PAN);"),
    # A Free LFO is not started when its mode is set.
    (M, "    if (m == LFO_MODE_FREE) lfo[i].start();\n", ""),
    # The LFOs get no humanize.
    (M, "    lfo[i].setHum(tagValue(LFO_HUM_TAGS[i]));\n", ""),
    # Every LFO takes the first one's humanize.
    (M, "lfo[i].setHum(tagValue(LFO_HUM_TAGS[i]));", "lfo[i].setHum(tagValue(LFO_HUM_TAGS[0]));"),
    # The LFO shape adds the speed's modulation.
    (M, "l.setSym(tagValue(LFO_SHAPE_TAGS[i]) + mod(DEST_LFO_SHAPE_1 + i));",
     "l.setSym(tagValue(LFO_SHAPE_TAGS[i]) + mod(DEST_LFO_SPEED_1 + i));"),
    # The follower's attack and decay inputs swap.
    (M, "const float in[6] = {tagValue(FOLLOWER_ATTACK_TAG) + mod(DEST_FOLLOWER_ATTACK),",
     "const float in[6] = {tagValue(FOLLOWER_DECAY_TAG) + mod(DEST_FOLLOWER_ATTACK),"),
    (M, "                       tagValue(FOLLOWER_DECAY_TAG) + mod(DEST_FOLLOWER_DECAY),",
     "                       tagValue(FOLLOWER_ATTACK_TAG) + mod(DEST_FOLLOWER_DECAY),"),
    # The follower's output amounts are read unipolar.
    (M, "(2.0f * tagValue(FOLLOWER_AMT_1_TAG + j) - 1.0f) + mod(DEST_FOLLOWER_AMT_1 + j) +",
     "tagValue(FOLLOWER_AMT_1_TAG + j) + mod(DEST_FOLLOWER_AMT_1 + j) +"),
    # The follower's threshold and boost destinations swap.
    (M, "modulated(FOLLOWER_THRESHOLD_TAG, DEST_FOLLOWER_THRESHOLD),",
     "modulated(FOLLOWER_THRESHOLD_TAG, DEST_FOLLOWER_BOOST),"),
    # Each Disrupt slot takes the first slot's destination.
    (M, "modulator.setDestForSlot(TModulator::SLOT_FIRST_DISRUPT + j, params.step(DISRUPT_DEST_TAGS[j]));",
     "modulator.setDestForSlot(TModulator::SLOT_FIRST_DISRUPT + j, params.step(DISRUPT_DEST_TAGS[0]));"),
    # The Disrupt slot amounts add the next slot's modulation.
    (M, "2.0f * tagValue(DISRUPT_SLOT_AMT_1_TAG + j) - 1.0f + mod(DEST_DISRUPT_1 + j),",
     "2.0f * tagValue(DISRUPT_SLOT_AMT_1_TAG + j) - 1.0f + mod(DEST_DISRUPT_1 + (j + 1) % 7),"),
    # The matrix rows' amounts add the wrong row's modulation.
    (M, "2.0f * tagValue(MOD_SLOT_AMT_TAGS[s]) - 1.0f + mod(DEST_MOD_AMT_1 + s), advanced,",
     "2.0f * tagValue(MOD_SLOT_AMT_TAGS[s]) - 1.0f + mod(DEST_MOD_AMT_1 + (s ^ 1)), advanced,"),
    # The matrix thresholds swap.
    (M, "tagValue(MOD_SLOT_OFFSET_TAGS[s]), tagValue(MOD_SLOT_LOWER_THRESH_TAGS[s]),",
     "tagValue(MOD_SLOT_OFFSET_TAGS[s]), tagValue(MOD_SLOT_UPPER_THRESH_TAGS[s]),"),
    # The LFO amounts read their knob unipolar.
    (M, "2.0f * tagValue(LFO_AMT_TAGS[i]) - 1.0f + mod(DEST_LFO_AMT_1 + i), false);",
     "tagValue(LFO_AMT_TAGS[i]) + mod(DEST_LFO_AMT_1 + i), false);"),
    # Lazy mode ignores the speed's modulation.
    (M, "speedMultiplier(mod(DEST_LAZY_SPEED)));", "speedMultiplier(mod(DEST_LAZY_PHASE)));"),
    # The distortion display's sum starts at Dist2.
    (D, "for (int j = 2; j < 8; ++j) s += tagValue(DISTORT_KNOB_1_TAG + j) + modulator.getMod(DEST_DIST_1 + j);",
     "for (int j = 1; j < 8; ++j) s += tagValue(DISTORT_KNOB_1_TAG + j) + modulator.getMod(DEST_DIST_1 + j);"),
    # The distortion display's sum leaves out the knobs' modulation.
    (D, "s += tagValue(DISTORT_KNOB_1_TAG + j) + modulator.getMod(DEST_DIST_1 + j);",
     "s += tagValue(DISTORT_KNOB_1_TAG + j);"),
    # The display draws Dist3 without its modulation.
    (D, "k[j] = clamp01(tagValue(DISTORT_KNOB_1_TAG + j) + modulator.getMod(DEST_DIST_1 + j));",
     "k[j] = clamp01(tagValue(DISTORT_KNOB_1_TAG + j) + modulator.getMod(DEST_DIST_1 + j - (j == 2)));"),
]
