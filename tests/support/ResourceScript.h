#pragma once

#include <string>
#include <vector>

// A resource script read the simple way the tests need: one "<id> <type> "<file>""
// per line, the id a number or a name an included header (#include "<header>")
// defines (#define <name> <number>); // comments and blank lines skipped.
struct ScriptedResource {
    int id;
    std::string type;  // as written
    std::string path;  // the script's folder joined with the file name
};

// False when the script cannot be read or has a line of another form.
bool ReadResourceScript(const std::string& scriptPath, std::vector<ScriptedResource>& resources);
// The whole file; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::vector<unsigned char>& bytes);
