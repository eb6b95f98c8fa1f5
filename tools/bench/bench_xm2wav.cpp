// Whole-process cost of xm2wav renders, one build against another: every
// module is rendered by each build in turn, the output removed before each
// run, and the median processor time (user + system) and the largest peak
// memory of each build are printed side by side.
//
//     bench_xm2wav [--runs N] [--seconds S] OLD_XM2WAV NEW_XM2WAV MODULE.xm...
//
// tools/bench/bench_xm2wav.sh builds an earlier commit's xm2wav and runs this.

#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Cost {
    double processorMs = 0.0;  // user + system
    long peakKb = 0;
    bool ok = false;
};

double Milliseconds(const timeval& time)
{
    return time.tv_sec * 1000.0 + time.tv_usec / 1000.0;
}

// One run of the program, its output (and its messages) going nowhere.
Cost RunOnce(const std::vector<std::string>& command)
{
    Cost cost;
    std::vector<char*> argv;
    for (const std::string& arg : command)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return cost;
    int status = 0;
    rusage usage = {};
    if (wait4(child, &status, 0, &usage) != child)
        return cost;
    // Only the sum is exact: the kernel splits it into user and system time
    // by sampling.
    cost.processorMs = Milliseconds(usage.ru_utime) + Milliseconds(usage.ru_stime);
    cost.peakKb = usage.ru_maxrss;
    cost.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return cost;
}

// The run with the median processor time, with the largest peak of all runs.
Cost Median(std::vector<Cost> runs)
{
    long peak = 0;
    for (const Cost& run : runs)
        peak = std::max(peak, run.peakKb);
    std::sort(runs.begin(), runs.end(), [](const Cost& a, const Cost& b) { return a.processorMs < b.processorMs; });
    Cost median = runs[runs.size() / 2];
    median.peakKb = peak;
    return median;
}

int Usage()
{
    std::fprintf(stderr, "usage: bench_xm2wav [--runs N] [--seconds S] OLD_XM2WAV NEW_XM2WAV MODULE.xm...\n");
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    int runs = 21;
    std::string seconds = "30";
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
            runs = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc)
            seconds = argv[++i];
        else
            args.push_back(argv[i]);
    }
    if (args.size() < 3 || runs < 1)
        return Usage();
    const std::string builds[2] = {args[0], args[1]};
    const std::string output = "/tmp/bench_xm2wav_" + std::to_string(getpid()) + ".wav";

    std::printf("%s s renders, median of %d runs; processor time = user + system\n", seconds.c_str(), runs);
    std::printf("%-28s %-5s %14s %12s\n", "module", "build", "processor", "peak memory");
    int status = 0;
    for (size_t m = 2; m < args.size(); ++m) {
        std::vector<Cost> costs[2];
        for (int run = 0; run < runs; ++run)
            for (int b = 0; b < 2; ++b) {
                std::remove(output.c_str());
                costs[b].push_back(RunOnce({builds[b], args[m], output, "--seconds", seconds}));
            }
        std::remove(output.c_str());
        Cost median[2];
        for (int b = 0; b < 2; ++b) {
            median[b] = Median(costs[b]);
            const bool allOk = std::all_of(costs[b].begin(), costs[b].end(), [](const Cost& c) { return c.ok; });
            if (!allOk)
                status = 1;
            const std::string name = args[m].substr(args[m].find_last_of('/') + 1);
            std::printf("%-28s %-5s %11.1f ms %9ld KB%s\n", b == 0 ? name.c_str() : "", b == 0 ? "old" : "new",
                        median[b].processorMs, median[b].peakKb, allOk ? "" : "  (a run failed)");
        }
        std::printf("%-28s %-5s %11.2fx less processor time\n", "", "",
                    median[1].processorMs > 0.0 ? median[0].processorMs / median[1].processorMs : 0.0);
    }
    return status;
}
