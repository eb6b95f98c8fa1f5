#pragma once
// Whether a stream goes to a terminal: the tools draw live progress lines there and
// plain lines (or none) on a pipe or a file.

#include <cstdio>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

inline bool IsTerminal(FILE* stream)
{
#if defined(_WIN32)
    return _isatty(_fileno(stream)) != 0;
#else
    return isatty(fileno(stream)) != 0;
#endif
}
