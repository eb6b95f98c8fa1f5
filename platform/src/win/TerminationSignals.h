#pragma once

// Inside the stand-in layer: Ctrl-C (SIGINT) and kill (SIGTERM) ask the windows to
// close. Windows asks a GUI program to end the same way (taskkill without /F sends
// WM_CLOSE to its windows), so the program leaves through its own shutdown.

// Catches both signals from now on, and forgets a request not yet taken. A signal
// the process ignores (started as a background job) stays ignored.
void CatchTerminationSignals();

// True once after one or more of the signals arrived.
bool TakeTerminationRequest();
