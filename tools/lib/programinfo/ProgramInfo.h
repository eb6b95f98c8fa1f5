#pragma once

// What every program says about itself: its version line, and its answers to
// the two options they all take, --version and --help.

#include <cstdio>
#include <string>

// "NAME VERSION", followed by " (commit HASH)" when built from a git checkout.
std::string VersionLine(const char* name);

// Writes the program's usage and the line for --help and --version that ends
// every usage; the text ends with a newline.
void PrintUsage(const char* usage, FILE* out);

// When one of the arguments is --version or --help (or -h), prints the version line or
// the usage to out and returns true: the program then exits with status 0
// without looking at its other arguments.
bool AnswerVersionOrHelp(int argc, const char* const* argv, const char* name, const char* usage, FILE* out);
