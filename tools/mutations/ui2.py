# Menus by their effect, the wave-shaper screen's modes, knob strips, the meter art's steps and
# the pop-up menu's press-drag-release. (file, exact original text, replacement), as in
# tools/mutation_check.py.
BREAKS = [
    # EQ menu: an entry that does a neighbour's work or acts on the wrong EQ
    ("editor/uEditorCommandMenu.cpp", 'if (title == "Clear EQ" || title == "Clear Both EQ")\n    for',
     'if (title == "Clear EQ")\n    for'),
    ("editor/uEditorCommandMenu.cpp", "plugin->copyParameter(own[i], other[i]);",
     "plugin->copyParameter(other[i], own[i]);"),
    ("editor/uEditorCommandMenu.cpp", "plugin->setParameter(own[i], eqClipboard[static_cast<size_t>(i)]);",
     "plugin->setParameter(other[i], eqClipboard[static_cast<size_t>(i)]);"),
    ("editor/uEditorCommandMenu.cpp", 'if (title != "Undo") setEQUndo();', "setEQUndo();"),
    # Parameter menu: a title bound to another command
    ("editor/uEditorCommandMenu.cpp", '{ValueCommand::Mid, "Set to Mid"}', '{ValueCommand::Maximum, "Set to Mid"}'),
    ("editor/uEditorCommandMenu.cpp", '{ValueCommand::Unlatch, "Unlatch MIDI"},',
     '{ValueCommand::ClearMidi, "Unlatch MIDI"},'),
    # Settings menu: an entry that writes another setting
    ("editor/uEditorCommandMenu.cpp", 'if (title == stateTitle("MIDI Bank", true)) setRegisterIsOn("MidiBank", false);',
     'if (title == stateTitle("MIDI Bank", true)) setRegisterIsOn("MidiPreset", false);'),
    ("editor/uEditorCommandMenu.cpp", 'if (title == stateTitle("Computer Keyboard", true)) setKeyboardOn(false);',
     'if (title == stateTitle("Computer Keyboard", true)) toolTipsOn = false;'),
    # Wave-shaper menu
    ("editor/uEditorWaveShaperMenu.cpp", '{"Clear Both WaveShapers", 0, 1}', '{"Clear Both WaveShapers", 1, 1}'),
    ("editor/uEditorWaveShaperMenu.cpp", 'if (title == "Zero WaveShaper 2" || title == "Zero Both WaveShapers")',
     'if (title == "Zero WaveShaper 2")'),
    ("editor/uEditorWaveShaperMenu.cpp", 'if (title == "Copy WaveShaper 1 to 2") waveshaper::copyCurve(one, two);',
     'if (title == "Copy WaveShaper 1 to 2") waveshaper::copyCurve(two, one);'),
    ("editor/uEditorWaveShaperMenu.cpp", 'if (title == "Smooth") waveshaper::smoothCurve(current);',
     'if (title == "Smooth") waveshaper::normalizeCurve(current);'),
    ("editor/uEditorWaveShaperMenu.cpp", "waveshaper::scaleCurve(current, waveshaper::REDUCE_FACTOR);",
     "waveshaper::scaleCurve(current, waveshaper::BOOST_FACTOR);"),
    # The wave-shaper screen's two modes
    ("controls/waveShaperScreen.cpp", "const int b = independent ? std::max(r, centre) : iH;",
     "const int b = std::max(r, centre);"),
    ("controls/waveShaperScreen.cpp", "const int offset = independent ? 0 : 128;", "const int offset = 0;"),
    ("controls/waveShaperScreen.cpp", "const float level = independent ? g : 2.0f * g - 1.0f;",
     "const float level = 2.0f * g - 1.0f;"),
    ("controls/waveShaperScreen.cpp", "const float M = independent ? 255.0f : 127.9999f;", "const float M = 255.0f;"),
    # Knob strips: the ring of each style, and the fourth and later type knobs
    ("editor/uEditorFactories.cpp", "static constexpr int RING_OF_STYLE[4] = {1, 2, 4, 5};",
     "static constexpr int RING_OF_STYLE[4] = {1, 2, 5, 4};"),
    ("editor/uEditorCreateControls.cpp", "(FX_DIAL_IS_CENTERED[type][slot] != 0) == (centred != 0);",
     "(FX_DIAL_IS_CENTERED[type][std::min(slot, size_t{2})] != 0) == (centred != 0);"),
    # The compressor meter's steps
    ("resources/artBitmaps.cpp", "const double litPx = std::round(usablePx * step / 46.0);",
     "const double litPx = std::round(usablePx * step / 47.0);"),
    ("resources/artBitmaps.cpp", "const double litPx = std::round(usablePx * step / 46.0);",
     "const double litPx = std::round(usablePx * (step + step / 23) / 48.0);"),
    # Press-drag-release: a release on a heading must not choose it
    ("vstgui/x11menu.cpp", "if (item && item->isSelectable()) {\n        choice", "if (item) {\n        choice"),
]
