#include "ResourceScript.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

namespace {

typedef std::map<std::string, int> NamedIds;

bool Unquote(const std::string& field, std::string& inside)
{
    if (field.size() < 3 || field.front() != '"' || field.back() != '"')
        return false;
    inside = field.substr(1, field.size() - 2);
    return true;
}

// The "#define <name> <number>" lines of a header the script includes.
bool ReadNamedIds(const std::string& headerPath, NamedIds& ids)
{
    std::ifstream header(headerPath);
    if (!header)
        return false;
    std::string line;
    while (std::getline(header, line)) {
        std::istringstream fields(line);
        std::string directive, name;
        int value;
        if (fields >> directive >> name >> value && directive == "#define")
            ids[name] = value;
    }
    return true;
}

bool IdOf(const std::string& field, const NamedIds& ids, int& id)
{
    const NamedIds::const_iterator named = ids.find(field);
    if (named != ids.end()) {
        id = named->second;
        return true;
    }
    if (field.empty() || field.size() > 5 || field.find_first_not_of("0123456789") != std::string::npos)
        return false;
    id = std::stoi(field);
    return true;
}

}  // namespace

bool ReadResourceScript(const std::string& scriptPath, std::vector<ScriptedResource>& resources)
{
    std::ifstream script(scriptPath);
    if (!script)
        return false;
    const std::string folder = scriptPath.substr(0, scriptPath.find_last_of('/') + 1);
    NamedIds ids;
    std::string line;
    while (std::getline(script, line)) {
        const size_t comment = line.find("//");
        if (comment != std::string::npos)
            line.erase(comment);
        std::istringstream fields(line);
        std::string first, quoted, file;
        if (!(fields >> first)) {
            if (line.find_first_not_of(" \t\r") != std::string::npos)
                return false;
            continue;
        }
        if (first == "#include") {
            if (!(fields >> quoted) || !Unquote(quoted, file) || !ReadNamedIds(folder + file, ids))
                return false;
            continue;
        }
        ScriptedResource resource;
        if (!(fields >> resource.type >> quoted) || !Unquote(quoted, file) || !IdOf(first, ids, resource.id))
            return false;
        resource.path = folder + file;
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
