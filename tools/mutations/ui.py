# What the user reads and meets: parameter texts, the MIDI tables, the editor's boxes, pages,
# idle pass and menus, the graph screens and pop-ups, and the offline host's file reading.
# (file, exact original text, replacement), as in tools/mutation_check.py.
BREAKS = [
    # MIDI: unlearning over the whole controller range, the LFO trigger table
    ("plugin/uPluginMidi.cpp", "for (int cc = 0; cc < NUM_MIDI_CC; ++cc)\n    if (getMidiCCTag(cc) == tag)",
     "for (int cc = 1; cc < NUM_MIDI_CC; ++cc)\n    if (getMidiCCTag(cc) == tag)"),
    ("plugin/uPluginMidi.cpp", "for (int cc = 0; cc < NUM_MIDI_CC; ++cc)\n    if (getMidiCCTag(cc) == tag)",
     "for (int cc = 0; cc < NUM_MIDI_CC - 1; ++cc)\n    if (getMidiCCTag(cc) == tag)"),
    ("plugin/uMidiTables.h", "TRIGGER_NONE, 1, TRIGGER_PITCH_BEND, 2, 4, 11,", "TRIGGER_NONE, 1, TRIGGER_PITCH_BEND, 2, 4, 7,"),
    ("plugin/uMidiTables.h", "84, 85, 86, 87, 88, 89, 90};", "84, 85, 86, 87, 88, 89, 91};"),
    # Texts: one law per tag group and per distortion knob
    ("plugin/uParamText.cpp", "{65, 65, Format::Mix},", "{65, 65, Format::Percent},"),
    ("plugin/uParamText.cpp", "{67, 67, Format::Percent},", "{67, 67, Format::Bipolar},"),
    ("plugin/uParamText.cpp", "{36, 4, KnobFormat::Samples}", "{36, 4, KnobFormat::Bits}"),
    ("plugin/uParamText.cpp", "{28, 3, KnobFormat::Bipolar}", "{28, 3, KnobFormat::Percent}"),
    ("plugin/uParamText.cpp", "return getFloatStr(units::BOOST_DB.unitOf(v), 1) + \" dB\";",
     "return getFloatStr(units::BOOST_DB.unitOf(v) - 10.0f * v, 1) + \" dB\";"),
    ("plugin/uParamText.cpp", "return getFloatStr(50.0f * v, 1) + \" ms\";", "return getFloatStr(40.0f * v, 1) + \" ms\";"),
    ("plugin/uParamText.cpp", "return rowOf(AMP_MODEL_STR, v, 5.99f);", "return rowOf(AMP_MODEL_STR, v, 4.99f);"),
    # Editor: box backgrounds, the old EQ, the LFO page, the idle pass and resume, the matrix menu
    ("editor/uEditor.cpp", "return k < 3 ? bitmap(base, k) : bitmap(base + k - 2);",
     "return k < 3 ? bitmap(base, k) : bitmap(base + k - 3);"),
    ("editor/uEditorShowControls.cpp", "return plugin && plugin->getOnOff(OLD_EQ_TAG) && selectedEQ == 1;",
     "return plugin && plugin->getOnOff(OLD_EQ_TAG);"),
    ("editor/uEditorCreateControls.cpp", "shownWhen(oldEQSwitch, [this] { return selectedEQ == 1; })",
     "shownWhen(oldEQSwitch, [this] { return true; })"),
    ("editor/uEditorCreateControls.cpp", "[this, l, k] { return plugin->getLFOMode(l) == k; }",
     "[this, l, k] { return plugin->getLFOMode(0) == k; }"),
    ("editor/uEditor.cpp", "if (e.control && !e.noResync) e.control->setValue(plugin->getParameter(tag));",
     "if (e.control && !e.noResync && std::fabs(e.control->getValue() - plugin->getParameter(tag)) > 1e-4f)\n"
     "          e.control->setValue(plugin->getParameter(tag));"),
    ("editor/uEditor.cpp", "if (std::fabs(e.control->getValue() - v) > 1e-5f) e.control->setValue(v);",
     "if (std::fabs(e.control->getValue() - v) > 1e-4f) e.control->setValue(v);"),
    ("editor/uEditorCommandMenu.cpp", "plugin->setOnOff(MOD_SLOT_BY_TAGS[s], title == \"Bypass All\");",
     "plugin->setOnOff(MOD_SLOT_BY_TAGS[s], true);"),
    ("editor/uEditorCommandMenu.cpp", "if (title == \"UnBypass Slot\") plugin->setOff(MOD_SLOT_BY_TAGS[s]);",
     "if (title == \"UnBypass All\") plugin->setOff(MOD_SLOT_BY_TAGS[s]);"),
    ("editor/uEditorCommandMenu.cpp", "if (title == \"Reset Slot Amount\") resetAmounts(s);",
     "if (title == \"Reset Slot Amount\") resetAmounts(0);"),
    # Controls: the follower plot's orientation, the matrix source menu's groups
    ("controls/followerScreen.cpp", "points.emplace_back(size.left + x, size.bottom - 1 - toInt(v * plotHeight));",
     "points.emplace_back(size.left + x, size.top + toInt(v * plotHeight));"),
    ("controls/modScreen.cpp", "addGroup(SRC_HEADER_STR[0], 1, 31);", "addGroup(SRC_HEADER_STR[0], 1, 30);"),
    ("controls/modScreen.cpp", "addGroup(SRC_HEADER_STR[1], 32, NUM_MOD_SOURCES - 1);",
     "addGroup(SRC_HEADER_STR[1], 32, NUM_MOD_SOURCES - 2);"),
    # The EQ screen's curve law
    ("controls/eqScreen.cpp", "const double Q = std::exp2(4.0 - 10.0 * values.width);",
     "const double Q = std::exp2(4.0 - 9.0 * values.width);"),
    ("controls/eqScreen.cpp", "const double A = std::pow(10.0, q.gainDB / 40.0);",
     "const double A = std::pow(10.0, q.gainDB / 20.0);"),
    ("controls/eqScreen.cpp", "r = 0.5 * std::log10(N / D);", "r = 0.4 * std::log10(N / D);"),
    # The offline host: a stereo file's right channel and its rate
    ("tools/host/g2host.cpp", "right[i] = frames[i * ch + (ch > 1 ? 1 : 0)];", "right[i] = frames[i * ch];"),
    ("tools/host/g2host.cpp", "    rate = fileRate;\n", "\n"),
]
