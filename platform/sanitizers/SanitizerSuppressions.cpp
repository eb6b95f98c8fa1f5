// What the sanitizer flavours must not report: only what comes from the system libraries
// the stand-in layer brings into every program that draws. The build adds this file to
// each such program (the runtimes look the functions up in the program).

// ThreadSanitizer: Mesa's gallium driver (swrast_dri.so: llvmpipe, its rasteriser
// threads and fences) synchronises its threads with primitives of its own that the
// sanitizer cannot follow, so the pthread and memory calls made inside the library
// show up as races between its own threads. What Mesa itself calls is not followed;
// every access our code makes, on any thread, still is.
extern "C" const char* __tsan_default_suppressions()
{
    return "called_from_lib:swrast_dri.so\n";
}

// LeakSanitizer: fontconfig (libfontconfig.so) keeps blocks from parsing its
// configuration unreachable for the rest of the process, and SDL's session bus
// connection (libdbus-1.so, opened when video starts) keeps a buffer the same way;
// both libraries' own, left until the process ends.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n"
           "leak:libdbus-1.so\n";
}
