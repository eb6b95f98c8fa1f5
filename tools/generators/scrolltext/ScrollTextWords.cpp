#include "ScrollTextWords.h"

std::vector<std::string> ScrollTextParagraphs()
{
    return {
        "Hello and welcome to SKELVANE!   Lean back and let the cubes tumble: what you see and "
        "hear comes out of one small executable, with its own XM player, its own software mixer "
        "and a soundtrack that was written as a program.",

        "A little story first. This intro began as a wish for a tiny demo that plays its own "
        "music, shows some solid 3D and runs on two systems from one set of sources. Five helpers "
        "and an integrator set out together, each on a branch of their own, and met again on main.",

        "How it was made...   The tune started life as a C++ generator. Every instrument is "
        "synthesised from scratch: the kick is a sine that sweeps down in pitch, the snare and the "
        "hats are shaped noise, the bass is a filtered saw, the pads are detuned saws with "
        "ping-pong loops, and the leads sing with vibrato. The notes were typed in as code, "
        "pattern by pattern, and written out as a real FastTracker 2 module: 10 channels, speed 6, "
        "176 BPM, linear frequencies, envelopes, arpeggios and slides. The player reads it back, "
        "ticks through the rows and mixes 44100 frames a second into a 2 second ring that a "
        "little thread keeps filling. Not one note was recorded!",

        "About the tune: a quiet intro of pads and arpeggios sets the scene, the drums kick in, "
        "the bass walks under a chord progression, and a lead sings the melody, echoed a few rows "
        "later on another channel. When "
        "the body has played through, a B0A command jumps back to position 10, so the song loops "
        "for as long as you care to listen, without ever playing the intro again.",

        "The player had to be faithful and tough at the same time. Its loader has been fed more "
        "than two hundred modules from public test suites, plus a fuzzer full of broken ones, "
        "and it refuses bad input with a plain no instead of a crash. The mixer interpolates "
        "every voice, ramps each volume change over 128 frames so nothing clicks, and alternates "
        "two voices per channel so that an old note can fade out while the new one starts. "
        "AddressSanitizer and ThreadSanitizer watched every step of it.",

        "The pictures are made the same way: gradients, noise and shapes, lettering cut out with "
        "FreeType, then packed to DXT1 by libsquish. The cube is a box with softened edges, built "
        "from six curved patches of triangles, and the letters you are reading are extruded from "
        "a font outline, one solid glyph mesh per character, bent into an arch by a vertex shader. "
        "Behind them the picture goes through a chain of passes: reduce, blur twice each way, "
        "enlarge, and blend by depth so far things go soft.",

        "On Windows it all runs on Win32, winmm and Direct3D 9. On Linux a stand-in layer plays "
        "the same part with SDL2 and OpenGL 4.5, while glslang and SPIRV-Cross turn the HLSL "
        "effects into GLSL. The same sources, the same pixels, the same tune.",

        "Greetings fly out to everyone who keeps the scene alive: to all the coders who still "
        "count cycles, to the trackers who know what E6x and B0A mean, to the pixel artists and "
        "the font makers, to the party organisers and their sleepless crews, to the archivists who "
        "keep old modules playable, and to you, dear viewer, for reading this far!   A special "
        "hello to the crew who built this thing in parallel: the player, the shell, the GL layer, "
        "the mesh and text, and the content folks.",

        "Credits to the tools: GCC and mingw-w64, CMake and Ninja, Wine, Xvfb and Mesa, "
        "GoogleTest, SDL2, FreeType and fontconfig, libsquish, libpng, SoX, glslang and "
        "SPIRV-Cross, and the fonts League Spartan, Bebas Neue and Play. Thank you, free software "
        "people {you rock}!",

        "Some numbers for the curious: 7 cubes, 96 glyphs, 10 channels, 26 song positions, "
        "1 fade from white... and 0 bytes read from disk. Cost of making it: about \2430.00 and a "
        "lot of coffee.   That is all for now. Press Escape to leave, or just stay and let the "
        "text wrap around...   See you at the next party!",
    };
}
