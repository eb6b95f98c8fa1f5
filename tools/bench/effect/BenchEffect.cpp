// bench_effect: the time to compile one effect, front-end, glslang and SPIRV-Cross apart and
// with the GL link, cold (a source the device has not seen) and cached (the same source
// again). Needs a display: run it under xvfb-run on a machine without one.
#include "DeviceWindow.h"
#include "TestEffects.h"
#include "effect/front/EffectCompiler.h"

#include <d3dx9.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

double Milliseconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

void Report(const char* what, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    double sum = 0;
    for (double t : times)
        sum += t;
    std::printf("%-44s median %7.2f ms   min %7.2f ms   mean %7.2f ms   (%zu runs)\n", what, times[times.size() / 2],
                times.front(), sum / times.size(), times.size());
}

}  // namespace

int main()
{
    const int RUNS = 15;
    const struct {
        const char* name;
        const char* source;
    } effects[] = {{"scene effect (3 vs/ps pairs + copy)", SCENE_EFFECT},
                   {"post-process effect (one ps)", DOWN_FILTER_EFFECT}};

    for (const auto& e : effects) {
        std::vector<double> times;
        for (int i = 0; i < RUNS; ++i) {
            const std::string source = std::string(e.source) + "// run " + std::to_string(i) + "\n";
            const auto start = std::chrono::steady_clock::now();
            CompiledEffectSource compiled;
            std::string messages;
            if (!CompileEffectSource(source, {}, compiled, messages)) {
                std::fprintf(stderr, "%s\n", messages.c_str());
                return 1;
            }
            times.push_back(Milliseconds(start));
        }
        Report((std::string(e.name) + ", front-end to GLSL").c_str(), times);
    }

    DeviceWindow host;
    if (!host.Open(1024, 768)) {
        std::fprintf(stderr, "bench_effect: no window (is there a display?)\n");
        return 1;
    }
    // A fresh device per run, so that no GL program is cached from an earlier run.
    for (const auto& e : effects) {
        std::vector<double> cold, cached;
        for (int i = 0; i < RUNS / 2; ++i) {
            IDirect3DDevice9* device = host.CreateDevice(1024, 768);
            if (!device) {
                std::fprintf(stderr, "bench_effect: no device\n");
                return 1;
            }
            for (std::vector<double>* times : {&cold, &cached}) {
                ID3DXEffect* effect = nullptr;
                const auto start = std::chrono::steady_clock::now();
                if (FAILED(D3DXCreateEffect(device, e.source, static_cast<UINT>(std::strlen(e.source)), nullptr,
                                            nullptr, 0x900, nullptr, &effect, nullptr))) {
                    std::fprintf(stderr, "bench_effect: %s does not compile\n", e.name);
                    return 1;
                }
                times->push_back(Milliseconds(start));
                effect->Release();
            }
            device->Release();
        }
        Report((std::string(e.name) + ", D3DXCreateEffect cold").c_str(), cold);
        Report((std::string(e.name) + ", D3DXCreateEffect cached").c_str(), cached);
    }
    return 0;
}
