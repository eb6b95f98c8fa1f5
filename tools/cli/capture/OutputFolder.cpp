#include "OutputFolder.h"

#include <filesystem>
#include <system_error>

bool MakeOutputFolder(const std::string& path)
{
    if (path.empty())
        return false;
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::u8path(path), error);
    return std::filesystem::is_directory(std::filesystem::u8path(path), error);
}
