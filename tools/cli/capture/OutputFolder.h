#pragma once

#include <string>

// Makes the folder the frames go to, with any missing parents. True when it is a
// folder afterwards (it may have been there already).
bool MakeOutputFolder(const std::string& path);
