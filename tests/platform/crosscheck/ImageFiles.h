#pragma once

// The files a cross-check run leaves: its figures as text, its larger images as raw ARGB
// words (little-endian, top row first), named by the figures.
#include "Figures.h"

#include <string>

bool WriteTextFile(const std::string& path, const std::string& text);
bool ReadTextFile(const std::string& path, std::string& text);
bool WriteImageFile(const std::string& path, const Image& image);
// The image must have the given size: a file of any other length is refused.
bool ReadImageFile(const std::string& path, int width, int height, Image& image);

// Writes the image as raw ARGB words to imageDir/<key>.argb and adds the figure
// "<key> width height file".
void AddImage(FigureSheet& sheet, const std::string& key, const Image& image, const std::string& imageDir);

// The folders of the two runs being compared, where their images are.
struct ImageFolders {
    std::string reference;
    std::string other;
};
