#include "MixingDriver.h"

// Without threads the host runs ServiceAudioOutput itself, from its frame loop and
// a timer; there is nothing to start, and after StopPlayback's stop request and
// wait no step is running.

void StartMixing() {}

void StopMixing() {}
