#pragma once

#include <string>
#include <vector>

// A small reader for DirectX text (.x) files, enough to check the cube: every
// data object with its type, optional name, its numbers in order (separators
// dropped) and its nested objects.
struct XObject {
    std::string type;
    std::string name;
    std::vector<double> numbers;
    std::vector<XObject> children;

    const XObject* Child(const std::string& childType) const;
};

// False when the header is not "xof 0303txt 0032" or the braces do not
// match; objects holds the top-level objects.
bool ParseXFileText(const std::string& text, std::vector<XObject>& objects);
