#include "TerminationSignals.h"

#include <signal.h>

namespace {

volatile sig_atomic_t s_requested = 0;

void OnTerminationSignal(int)
{
    s_requested = 1;
}

void Catch(int signalNumber)
{
    struct sigaction previous = {};
    if (sigaction(signalNumber, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN)
        return;
    struct sigaction action = {};
    action.sa_handler = &OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    // The default action is back after the first signal: a second Ctrl-C while the
    // program shuts down ends it at once.
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    sigaction(signalNumber, &action, nullptr);
}

}  // namespace

void CatchTerminationSignals()
{
    s_requested = 0;
    Catch(SIGINT);
    Catch(SIGTERM);
}

bool TakeTerminationRequest()
{
    if (!s_requested)
        return false;
    s_requested = 0;
    return true;
}
