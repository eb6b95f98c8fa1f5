#include "AudioOutput.h"
#include "MixingDriver.h"

namespace {

const DWORD POLL_MS = 5;
const DWORD STOP_POLL_MS = 10;

}  // namespace

void StartMixing()
{
    Output.thread = CreateThread(NULL, 0, &MixingThread, NULL, 0, NULL);
    SetThreadPriority(Output.thread, THREAD_PRIORITY_TIME_CRITICAL);
}

void StopMixing()
{
    if (!Output.thread)
        return;
    while (!Output.threadDone)
        Sleep(STOP_POLL_MS);
    // threadDone is the thread's last word; wait for the return itself so no
    // thread of a finished play is left running, and give the handle back.
    WaitForSingleObject(Output.thread, INFINITE);
    CloseHandle(Output.thread);
    Output.thread = NULL;
}

DWORD WINAPI MixingThread(LPVOID)
{
    Output.threadDone = false;
    while (!Output.stopRequested) {
        ServiceAudioOutput();
        Sleep(POLL_MS);
    }
    Output.threadDone = true;
    return 0;
}
