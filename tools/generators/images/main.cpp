// Paints the intro's three pictures and writes them as DDS files with PNG
// previews: gen_images <Data folder>. Writes logo.dds, background.dds and
// title.dds into the folder and their previews into its preview/ subfolder,
// and the installed intro's icon as skelvane.png.
#include "ImageFiles.h"
#include "Pictures.h"

#include <cstdio>
#include <string>

namespace {

// Fonts from Debian's font packages (see scripts/install-deps.sh).
const char* const HEAVY_FONT = "/usr/share/fonts/opentype/league-spartan/LeagueSpartan-Black.otf";
const char* const DISPLAY_FONT = "/usr/share/fonts/opentype/bebas-neue/BebasNeue-Bold.otf";
const char* const PLAIN_FONT = "/usr/share/fonts/truetype/play/Play-Regular.ttf";
const char* const PLAIN_BOLD_FONT = "/usr/share/fonts/truetype/play/Play-Bold.ttf";

Rgb8Image Quantise(const Image& image, unsigned ditherSeed)
{
    Rgb8Image out;
    out.width = image.width;
    out.height = image.height;
    out.rgb = ToRgb8(image, ditherSeed);
    return out;
}

bool Save(const std::string& path, const std::vector<uint8_t>& bytes)
{
    if (bytes.empty() || !WriteFileBytes(path, bytes)) {
        std::fprintf(stderr, "gen_images: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

// DXT1 picture plus a preview of what the compressed blocks decode to.
bool SaveDxt1(const std::string& folder, const char* name, const Image& image, unsigned seed)
{
    const Rgb8Image pixels = Quantise(image, seed);
    const std::vector<uint8_t> dds = EncodeDxt1Dds(pixels);
    return Save(folder + "/" + name + ".dds", dds) &&
           Save(folder + "/preview/" + name + ".png",
                EncodePng(DecodeDxt1Blocks(dds, pixels.width, pixels.height)));
}

bool OpenFont(FontFace& face, const char* path)
{
    if (face.Open(path))
        return true;
    std::fprintf(stderr, "gen_images: cannot open font %s\n", path);
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--mockup")) {
        std::fprintf(stderr, "usage: gen_images <Data folder> [--mockup <main part sketch.png>]\n");
        return 2;
    }
    const std::string folder = argv[1];
    Fonts fonts;
    if (!OpenFont(fonts.heavy, HEAVY_FONT) || !OpenFont(fonts.display, DISPLAY_FONT) ||
        !OpenFont(fonts.plain, PLAIN_FONT) || !OpenFont(fonts.plainBold, PLAIN_BOLD_FONT))
        return 1;

    const Image background = PaintBackground();
    if (!SaveDxt1(folder, "background", background, 1u))
        return 1;

    const Image logo = PaintLogo(background, fonts);
    const Rgb8Image logoPixels = Quantise(logo, 2u);
    if (!Save(folder + "/logo.dds", EncodeX8R8G8B8Dds(logoPixels)) ||
        !Save(folder + "/preview/logo.png", EncodePng(logoPixels)))
        return 1;

    if (!SaveDxt1(folder, "title", PaintTitleCard(fonts), 3u))
        return 1;

    if (!Save(folder + "/skelvane.png", EncodePng(Quantise(PaintIcon(background, fonts), 5u))))
        return 1;

    // A rough sketch of the main part's framing (blurred backdrop under the
    // logo), for checking the pictures together; not an asset.
    if (argc == 4) {
        Image sketch = BlurredBackdrop(background);
        for (int y = 0; y < LOGO_HEIGHT; ++y)
            for (int x = 0; x < LOGO_WIDTH; ++x)
                sketch.At(LOGO_LEFT + x, LOGO_TOP + y) = logo.At(x, y);
        if (!Save(argv[3], EncodePng(Quantise(sketch, 4u))))
            return 1;
    }
    return 0;
}
