#pragma once

// The parts of the cross-check, each adding its figures to the sheet. Images too large to
// print go to raw ARGB files in imageDir, the sheet naming them.
#include "CrossCheckDevice.h"
#include "Figures.h"
#include "ImageFiles.h"

#include <string>

// A DDS resource at the file's own size, one level, no filter: the decoding alone.
HRESULT LoadUnscaledTexture(CrossCheckDevice& device, WORD id, D3DXIMAGE_INFO* info, IDirect3DTexture9** texture);
// Counts and shape measures of a mesh of positions (and normals); normal sums are left
// out where they depend on how a builder shares vertices.
void AddMeshMeasures(ID3DXMesh* mesh, FigureSheet& sheet, const std::string& key, bool withNormalSum);

void AddTextureFigures(CrossCheckDevice& device, FigureSheet& sheet, const std::string& imageDir);
void AddMeshFigures(CrossCheckDevice& device, FigureSheet& sheet);
void AddTextMeshFigures(CrossCheckDevice& device, FigureSheet& sheet);
void AddDeviceFigures(CrossCheckDevice& device, FigureSheet& sheet, const std::string& imageDir);
void AddMatrixFigures(FigureSheet& sheet);

// The family and style of the font file that stands behind the font selected into dc.
bool SelectedFontName(HDC dc, std::string& family, std::string& style);
