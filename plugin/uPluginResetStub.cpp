// Placeholders until the audio engine and the MIDI code arrive: they supply both functions
// (the engine re-initialises the signal chain after a program load; the engine and the MIDI
// code align their working values with the loaded program). Remove this file then.
#include "uPlugin.h"

void APlugin::resetEverything() {}

void APlugin::alignToLoadedProgram() {}
