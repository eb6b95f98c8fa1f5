#include "FontMatch.h"
#include "GdiObjects.h"

#include <windows.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

LOGFONTA Request(const char* face, int weight)
{
    LOGFONTA lf = {};
    lf.lfHeight = 256;
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return lf;
}

struct FaceFacts {
    std::string family;
    int weightClass = 0;
    int widthClass = 0;
    bool scalable = false;
};

FaceFacts ReadFace(const FontFile& file)
{
    FaceFacts facts;
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0)
        return facts;
    FT_Face face = nullptr;
    if (FT_New_Face(library, file.path.c_str(), file.faceIndex, &face) == 0) {
        facts.family = face->family_name ? face->family_name : "";
        facts.scalable = FT_IS_SCALABLE(face);
        if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2))) {
            facts.weightClass = os2->usWeightClass;
            facts.widthClass = os2->usWidthClass;
        }
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return facts;
}

}  // namespace

TEST(GdiFont, ContextsAndFontsFollowGdiRules)
{
    HDC dc = CreateCompatibleDC(NULL);
    ASSERT_NE(dc, nullptr);
    HFONT font = CreateFontA(256, 0, 0, 0, 900, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, "Impact");
    ASSERT_NE(font, nullptr);

    // A fresh context holds the stock raster font, which has no outlines to take.
    EXPECT_FALSE(GetSelectedFont(dc, nullptr, nullptr));
    HGDIOBJ previous = SelectObject(dc, font);
    EXPECT_EQ(previous, GetStockObject(SYSTEM_FONT));
    EXPECT_TRUE(GetSelectedFont(dc, nullptr, nullptr));
    EXPECT_EQ(SelectObject(dc, font), static_cast<HGDIOBJ>(font)) << "selecting again returns it";

    LOGFONTA selected = {};
    ASSERT_TRUE(GetSelectedFont(dc, &selected, nullptr));
    EXPECT_EQ(selected.lfHeight, 256);
    EXPECT_EQ(selected.lfWeight, 900);
    EXPECT_STREQ(selected.lfFaceName, "Impact");

    EXPECT_FALSE(DeleteObject(font)) << "a font in use stays";
    EXPECT_EQ(SelectObject(dc, previous), static_cast<HGDIOBJ>(font));
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_FALSE(DeleteObject(font)) << "a deleted font is gone";
    EXPECT_EQ(SelectObject(dc, font), nullptr) << "a dead font cannot be selected";
    EXPECT_TRUE(DeleteObject(GetStockObject(SYSTEM_FONT))) << "stock objects ignore deletion";
    EXPECT_NE(GetStockObject(SYSTEM_FONT), nullptr);

    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_FALSE(GetSelectedFont(dc, nullptr, nullptr)) << "a dead context is refused";
    EXPECT_EQ(CreateCompatibleDC(dc), nullptr) << "no context compatible with a dead one";
    EXPECT_EQ(CreateFontIndirectA(nullptr), nullptr);
}

TEST(GdiFont, MissingImpactFallsBackToTheSameHeavyCondensedFace)
{
    FontFile first;
    ASSERT_TRUE(FindFontFile(Request("Impact", 900), &first));
    const FaceFacts facts = ReadFace(first);
    ASSERT_TRUE(facts.scalable);
    if (facts.family == "Impact")
        GTEST_SKIP() << "Impact itself is installed here";
    EXPECT_GE(facts.weightClass, 700) << facts.family << " is not a heavy face";
    EXPECT_GT(facts.widthClass, 0);
    EXPECT_LT(facts.widthClass, 5) << facts.family << " is not condensed";

    // The same answer every time, for new requests and for fonts made by GDI calls.
    for (int i = 0; i < 3; ++i) {
        FontFile again;
        ASSERT_TRUE(FindFontFile(Request("IMPACT", 900), &again));
        EXPECT_EQ(again.path, first.path);
        EXPECT_EQ(again.faceIndex, first.faceIndex);
    }
    HDC dc = CreateCompatibleDC(NULL);
    HFONT font = CreateFontA(256, 0, 0, 0, 900, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, "Impact");
    SelectObject(dc, font);
    FontFile viaGdi;
    ASSERT_TRUE(GetSelectedFont(dc, nullptr, &viaGdi));
    EXPECT_EQ(viaGdi.path, first.path);
    DeleteDC(dc);
    DeleteObject(font);

    // A normal weight asks for the stand-in's regular face, still condensed.
    FontFile regular;
    ASSERT_TRUE(FindFontFile(Request("Impact", FW_NORMAL), &regular));
    const FaceFacts regularFacts = ReadFace(regular);
    EXPECT_EQ(regularFacts.family, facts.family);
    EXPECT_LT(regularFacts.weightClass, 700);
    EXPECT_LT(regularFacts.widthClass, 5);
}

TEST(GdiFont, InstalledFacesAreFoundByName)
{
    FontFile file;
    ASSERT_TRUE(FindFontFile(Request("DejaVu Sans", FW_BOLD), &file));
    const FaceFacts facts = ReadFace(file);
    EXPECT_EQ(facts.family, "DejaVu Sans");
    EXPECT_GE(facts.weightClass, 700);

    // An unknown face still gives an outline font: the system's sans face.
    FontFile unknown;
    ASSERT_TRUE(FindFontFile(Request("No Such Face At All", FW_NORMAL), &unknown));
    EXPECT_TRUE(ReadFace(unknown).scalable);
}
