#pragma once

#include <string>

// FileCallbacks that read a module from a file on disk, for the command-line
// tools. Every open is independent; the name is the file's path.
void* FileInputOpen(const char* name);
void FileInputClose(void* handle);
int FileInputRead(void* destination, int byteCount, void* handle);
void FileInputSeek(void* handle, int offset, int origin);  // origin (low byte) 0 start, 1 current, 2 end
int FileInputTell(void* handle);

// Registers the five with the player.
void UseFileInput();

// The module name an XM file carries in its header (bytes 17..36), with trailing
// blanks and zeros removed; empty when the file is too short to hold one.
std::string ReadXmModuleName(const char* path);
