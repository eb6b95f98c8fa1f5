#include "ResourceScript.h"

#include <cstdio>
#include <fstream>
#include <sstream>

bool ReadResourceScript(const std::string& scriptPath, std::vector<ScriptedResource>& resources)
{
    std::ifstream script(scriptPath);
    if (!script)
        return false;
    const std::string folder = scriptPath.substr(0, scriptPath.find_last_of('/') + 1);
    std::string line;
    while (std::getline(script, line)) {
        const size_t comment = line.find("//");
        if (comment != std::string::npos)
            line.erase(comment);
        std::istringstream fields(line);
        ScriptedResource resource;
        std::string quotedName;
        if (!(fields >> resource.id)) {
            if (line.find_first_not_of(" \t\r") != std::string::npos)
                return false;
            continue;
        }
        if (!(fields >> resource.type >> quotedName) || quotedName.size() < 3 || quotedName.front() != '"' ||
            quotedName.back() != '"')
            return false;
        resource.path = folder + quotedName.substr(1, quotedName.size() - 2);
        resources.push_back(resource);
    }
    return true;
}

bool ReadWholeFile(const std::string& path, std::vector<unsigned char>& bytes)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return true;
}
