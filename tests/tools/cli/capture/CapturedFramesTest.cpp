#include "CaptureOptions.h"
#include "DemoTimeline.h"
#include "FrameExpectations.h"
#include "PngFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <map>
#include <string>
#include <vector>

// The real intro captured by skelvane-capture under the test display, frame by
// frame at 16 ms, against expectations worked out here: the images from the
// resource files, the timeline replayed, the cubes and the text projected through
// the camera.
namespace {

const int FRAME_MS = 16;
const int WIDTH = 1024;
const int HEIGHT = 768;
#if defined(SKV_CAPTURE_SHORT_SPAN)
// The sanitizer flavours stop a little after the white fade: the main part costs many
// times a title-card frame there, and the frames the cubes are compared at lie far on.
const double TIMES[] = {0.5, 5.0, 9.5, 10.2, 10.5, 11.0, 12.5, 14.0};
#else
const double TIMES[] = {0.5, 5.0, 9.5, 10.2, 10.5, 11.0, 12.5, 14.0, 29.0, 31.0};
#endif

struct Frame {
    TestImage image;
    TimelineState state;
};

std::map<double, Frame> s_frames;
std::string s_failure;

bool HasDisplay()
{
    return std::getenv("DISPLAY") != nullptr;
}

std::string JoinTimes()
{
    std::string list;
    for (double t : TIMES) {
        if (!list.empty())
            list += ',';
        char text[32];
        std::snprintf(text, sizeof text, "%g", t);
        list += text;
    }
    return list;
}

class CapturedFrames : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!HasDisplay())
            return;
        char folder[] = "/tmp/skv_capture_XXXXXX";
        if (!mkdtemp(folder)) {
            s_failure = "no temporary folder";
            return;
        }
        // A folder that is not there yet: the tool makes it.
        const std::string frames = std::string(folder) + "/frames";
        const std::string command = std::string(SKV_CAPTURE_PATH) + " --at " + JoinTimes() + " --out " + frames +
                                    " --frame-ms " + std::to_string(FRAME_MS) + " 2>&1";
        FILE* pipe = popen(command.c_str(), "r");
        std::string output;
        char buffer[256];
        while (pipe && std::fgets(buffer, sizeof buffer, pipe))
            output += buffer;
        const int status = pipe ? pclose(pipe) : -1;
        if (status != 0) {
            s_failure = "skelvane-capture failed (" + std::to_string(status) + "): " + output;
            return;
        }
        for (double t : TIMES) {
            Frame frame;
            const std::string path = frames + "/" + FrameFileName(t);
            if (!ReadPng(path, frame.image.argb, frame.image.width, frame.image.height)) {
                s_failure = "no readable " + path;
                return;
            }
            std::remove(path.c_str());
            frame.state = TimelineAtCapture(t, FRAME_MS);
            s_frames[t] = frame;
        }
        rmdir(frames.c_str());
        rmdir(folder);
    }

    void SetUp() override
    {
        if (!HasDisplay())
            GTEST_SKIP() << "needs an X display (the test command runs Xvfb)";
        ASSERT_TRUE(s_failure.empty()) << s_failure;
    }

    static const Frame& At(double t) { return s_frames.at(t); }
};

double Luminance(uint32_t c)
{
    return 0.299 * Red(c) + 0.587 * Green(c) + 0.114 * Blue(c);
}

double MeanLuminance(const TestImage& image)
{
    double sum = 0.0;
    for (uint32_t c : image.argb)
        sum += Luminance(c);
    return sum / static_cast<double>(image.argb.size());
}

int ChannelDifference(uint32_t a, uint32_t b)
{
    return std::max({std::abs(Red(a) - Red(b)), std::abs(Green(a) - Green(b)), std::abs(Blue(a) - Blue(b))});
}

// The mean channel difference between the frame's rectangle at (x, y) and an image
// the size of the rectangle.
double MeanDifference(const TestImage& frame, int x, int y, const TestImage& image)
{
    double sum = 0.0;
    for (int j = 0; j < image.height; ++j)
        for (int i = 0; i < image.width; ++i) {
            const uint32_t a = frame.At(x + i, y + j), b = image.At(i, j);
            sum += std::abs(Red(a) - Red(b)) + std::abs(Green(a) - Green(b)) + std::abs(Blue(a) - Blue(b));
        }
    return sum / (3.0 * image.width * image.height);
}

// The same as MeanDifference, on the means of 8 x 8 blocks.
double MeanBlockDifference(const TestImage& frame, int x, int y, const TestImage& image)
{
    const int B = 8;
    double sum = 0.0;
    int blocks = 0;
    for (int by = 0; by + B <= image.height; by += B)
        for (int bx = 0; bx + B <= image.width; bx += B) {
            double d[3] = {0.0, 0.0, 0.0};
            for (int j = 0; j < B; ++j)
                for (int i = 0; i < B; ++i) {
                    const uint32_t a = frame.At(x + bx + i, y + by + j), b = image.At(bx + i, by + j);
                    d[0] += Red(a) - Red(b);
                    d[1] += Green(a) - Green(b);
                    d[2] += Blue(a) - Blue(b);
                }
            sum += (std::fabs(d[0]) + std::fabs(d[1]) + std::fabs(d[2])) / (3.0 * B * B);
            ++blocks;
        }
    return sum / blocks;
}

// White over c with alpha a (0 ... 255), as source-alpha blending does it.
int WhiteOver(int c, int a)
{
    return static_cast<int>(std::lround(255.0 * a / 255.0 + c * (255.0 - a) / 255.0));
}

TestImage LoadIntroImage(int id)
{
    TestImage image;
    const std::string path = IntroResourceFile(id);
    EXPECT_FALSE(path.empty()) << "resource " << id;
    EXPECT_TRUE(DecodeDdsFile(path, image)) << path;
    return image;
}

}  // namespace

TEST_F(CapturedFrames, AreFramesOfTheScreen)
{
    for (double t : TIMES) {
        EXPECT_EQ(At(t).image.width, WIDTH) << t;
        EXPECT_EQ(At(t).image.height, HEIGHT) << t;
    }
}

TEST_F(CapturedFrames, TitleCardAtFiveSecondsShowsTheTitleImage)
{
    const TestImage title = LoadIntroImage(126);
    ASSERT_EQ(title.width, WIDTH);
    ASSERT_EQ(title.height, HEIGHT);
    const TestImage& frame = At(5.0).image;
    const double error = MeanDifference(frame, 0, 0, title);
    // The image is resampled to a power-of-two texture and back, which softens edges.
    EXPECT_LT(error, 3.0);
    // Anything else is far off: the same image a few pixels away, or white.
    TestImage shifted = title;
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < WIDTH; ++x)
            shifted.argb[y * WIDTH + x] = title.At(std::min(x + 6, WIDTH - 1), std::min(y + 6, HEIGHT - 1));
    EXPECT_GT(MeanDifference(frame, 0, 0, shifted), 2.0 * error);
    EXPECT_LT(MeanLuminance(frame), 240.0) << "not a white screen";
}

TEST_F(CapturedFrames, TitleCardFadesInAndOutOverWhite)
{
    const TestImage& full = At(5.0).image;
    for (double t : {0.5, 9.5}) {
        const Frame& frame = At(t);
        ASSERT_LT(frame.state.demoTime, TITLE_CARD_SECONDS);
        const int alpha = static_cast<int>(TitleCardColor(frame.state.demoTime) >> 24);
        ASSERT_GT(alpha, 100);
        ASSERT_LT(alpha, 160);
        int worst = 0;
        for (size_t i = 0; i < full.argb.size(); ++i) {
            // The title at this alpha over the white clear: white over the title at 255 - alpha.
            const uint32_t c = full.argb[i], got = frame.image.argb[i];
            worst = std::max({worst, std::abs(Red(got) - WhiteOver(Red(c), 255 - alpha)),
                              std::abs(Green(got) - WhiteOver(Green(c), 255 - alpha)),
                              std::abs(Blue(got) - WhiteOver(Blue(c), 255 - alpha))});
        }
        EXPECT_LE(worst, 2) << "at " << t << " s, title alpha " << alpha;
    }
}

TEST_F(CapturedFrames, LogoRectangleShowsTheLogo)
{
    const TestImage logo = LoadIntroImage(101);
    ASSERT_EQ(logo.width, LOGO_W);
    ASSERT_EQ(logo.height, LOGO_H);
    const TestImage& frame = At(14.0).image;
    ASSERT_EQ(At(14.0).state.fadeLevel, 255);
    // The logo reaches the screen through a power-of-two texture and its mip levels,
    // which soften its fine detail: compared block by block it is the same picture.
    const double error = MeanBlockDifference(frame, LOGO_X, LOGO_Y, logo);
    // Half a pixel either way is within it: 586 texels go to 1024 and come back.
    EXPECT_LT(error, 4.0);
    // It is there and nowhere near: a block off in any direction is much worse.
    for (int dx : {-8, 0, 8})
        for (int dy : {-8, 0, 8})
            if (dx || dy) {
                EXPECT_GT(MeanBlockDifference(frame, LOGO_X + dx, LOGO_Y + dy, logo), 2.5 * error) << dx << ", " << dy;
            }
}

TEST_F(CapturedFrames, WhiteFadeCoversTheMainPartStepByStep)
{
    // Over the logo, where nothing moves: white at 255 - fade level over the logo
    // of a frame after the fade.
    const TestImage& after = At(14.0).image;
    for (double t : {10.2, 10.5, 11.0}) {
        const Frame& frame = At(t);
        const int overlay = 255 - frame.state.fadeLevel;
        ASSERT_GT(overlay, 0) << t;
        int worst = 0;
        for (int y = LOGO_Y; y < LOGO_Y + LOGO_H; ++y)
            for (int x = LOGO_X; x < LOGO_X + LOGO_W; ++x) {
                const uint32_t c = after.At(x, y), got = frame.image.At(x, y);
                worst = std::max({worst, std::abs(Red(got) - WhiteOver(Red(c), overlay)),
                                  std::abs(Green(got) - WhiteOver(Green(c), overlay)),
                                  std::abs(Blue(got) - WhiteOver(Blue(c), overlay))});
            }
        EXPECT_LE(worst, 2) << "at " << t << " s, fade level " << frame.state.fadeLevel;
    }
    EXPECT_EQ(At(12.5).state.fadeLevel, 255);
}

TEST_F(CapturedFrames, FramesDuringTheWhiteFadeAreBrighterThanAfterIt)
{
    const double during[] = {MeanLuminance(At(10.2).image), MeanLuminance(At(10.5).image),
                             MeanLuminance(At(11.0).image)};
    const double after = std::max(MeanLuminance(At(12.5).image), MeanLuminance(At(14.0).image));
    EXPECT_GT(during[0], during[1]);
    EXPECT_GT(during[1], during[2]);
    EXPECT_GT(during[2], after + 5.0);
    EXPECT_GT(during[0], 200.0) << "the first frames are nearly white";
}

namespace {

// A set of frame pixels, as a mask.
struct Mask {
    std::vector<unsigned char> on = std::vector<unsigned char>(WIDTH * HEIGHT, 0);

    bool At(int x, int y) const { return on[y * WIDTH + x] != 0; }
    void Disc(float cx, float cy, float radius)
    {
        const int x0 = std::max(0, static_cast<int>(cx - radius)),
                  x1 = std::min(WIDTH - 1, static_cast<int>(cx + radius));
        const int y0 = std::max(0, static_cast<int>(cy - radius)),
                  y1 = std::min(HEIGHT - 1, static_cast<int>(cy + radius));
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                if ((x + 0.5f - cx) * (x + 0.5f - cx) + (y + 0.5f - cy) * (y + 0.5f - cy) <= radius * radius)
                    on[y * WIDTH + x] = 1;
    }
    void Add(const Mask& other)
    {
        for (size_t i = 0; i < on.size(); ++i)
            on[i] |= other.on[i];
    }
};

const float CUBE_HALF_SIDE = 27.7f / 2.0f;
// How far the post-processing spreads a pixel: the blurred image reaches some 50
// pixels around anything drawn (a 4 x 4 reduction, two 13-tap blurs each way).
const float BLUR_REACH = 56.0f;

struct CubeOnScreen {
    float x = 0.0f, y = 0.0f;
    float outer = 0.0f;                     // radius of the bounding sphere, in pixels
    float inner = 0.0f;                     // radius of the inscribed sphere: always covered by the cube
    float nearest = 0.0f, farthest = 0.0f;  // view depths of the sphere's front and back
    bool visible = false;
};

CubeOnScreen PlaceCube(int instance, const TimelineState& state)
{
    CubeOnScreen c;
    const CMatrix m = CubeInstanceTransform(instance, state.cubes);
    const float scale = CubeInstanceScale(instance, state.cubes.ramp);
    const CVector3 centre(m.m[3][0], m.m[3][1], m.m[3][2]);
    float depth = 0.0f;
    if (scale <= 0.0f || !ProjectToFrame(centre, c.x, c.y, &depth))
        return c;
    const float outerWorld = CUBE_HALF_SIDE * scale * std::sqrt(3.0f);
    float ex = 0.0f, ey = 0.0f;
    ProjectToFrame(centre + CVector3(1.0f, 0.0f, 0.0f), ex, ey);
    const float pixelsPerUnit = ex - c.x;
    // The sphere's silhouette is a little larger than its projected radius seen
    // off-centre; the margins below are generous.
    c.outer = outerWorld * pixelsPerUnit * depth / std::max(depth - outerWorld, 1.0f);
    c.inner = CUBE_HALF_SIDE * scale * pixelsPerUnit * 0.9f;
    c.nearest = depth - outerWorld;
    c.farthest = depth + outerWorld;
    c.visible = c.nearest > 1.0f;
    return c;
}

// Everything a cube can cover, widened by `reach`: points over its faces, placed by
// its transform and projected.
void AddCubeSurface(Mask& mask, int instance, const TimelineState& state, float reach)
{
    const CMatrix m = CubeInstanceTransform(instance, state.cubes);
    if (CubeInstanceScale(instance, state.cubes.ramp) <= 0.0f)
        return;
    const int STEPS = 12;
    for (int axis = 0; axis < 3; ++axis)
        for (float side : {-CUBE_HALF_SIDE, CUBE_HALF_SIDE})
            for (int u = 0; u <= STEPS; ++u)
                for (int v = 0; v <= STEPS; ++v) {
                    const float a = CUBE_HALF_SIDE * (2.0f * u / STEPS - 1.0f);
                    const float b = CUBE_HALF_SIDE * (2.0f * v / STEPS - 1.0f);
                    const CVector3 model = axis == 0   ? CVector3(side, a, b)
                                           : axis == 1 ? CVector3(a, side, b)
                                                       : CVector3(a, b, side);
                    float x = 0.0f, y = 0.0f;
                    if (ProjectToFrame(m.TransformPoint(model), x, y))
                        mask.Disc(x, y, reach);
                }
}

// Where the laid-out line of text can be drawn: the band the text shader bends
// the line into, from a glyph's descent to its ascent and through its extrusion.
Mask TextBand(float reach)
{
    Mask band;
    for (float lx = -40.0f; lx <= 296.0f; lx += 1.0f)
        for (float ly = -6.0f; ly <= 24.0f; ly += 2.0f)
            for (float lz = 92.0f; lz <= 108.0f; lz += 8.0f) {
                float x = 0.0f, y = 0.0f;
                if (ProjectToFrame(BendTextPoint(CVector3(lx, ly, lz)), x, y))
                    band.Disc(x, y, reach);
            }
    return band;
}

bool IsTextColour(uint32_t c)
{
    // The text effect's orange-brown: ambient plus diffuse, no blue at all.
    return Blue(c) <= 2 && Red(c) >= 100 && Red(c) > Green(c) + 50;
}

}  // namespace

TEST_F(CapturedFrames, CubesAndTextChangeOnlyWhereTheirTransformsPutThem)
{
    const double T1 = 29.0, T2 = 31.0;
    if (!s_frames.count(T1) || !s_frames.count(T2))
        GTEST_SKIP() << "this flavour captures only the first " << TIMES[std::size(TIMES) - 1] << " s";
    Mask moving = TextBand(BLUR_REACH);
    std::vector<CubeOnScreen> cubes[2];
    for (int f = 0; f < 2; ++f)
        for (int i = 0; i < CUBE_INSTANCE_COUNT; ++i) {
            cubes[f].push_back(PlaceCube(i, At(f ? T2 : T1).state));
            AddCubeSurface(moving, i, At(f ? T2 : T1).state, BLUR_REACH);
        }
    const TestImage& a = At(T1).image;
    const TestImage& b = At(T2).image;

    // Everywhere else the two frames are the same picture. Left out: the logo, the
    // uncovered first row and column, and the right and bottom edges, where the
    // blur reads what earlier frames left beyond the reduced image.
    long still = 0, changed = 0;
    for (int y = 1; y < HEIGHT - 64; ++y)
        for (int x = 1; x < WIDTH - 64; ++x) {
            if (moving.At(x, y) || (x >= LOGO_X && x < LOGO_X + LOGO_W && y >= LOGO_Y && y < LOGO_Y + LOGO_H))
                continue;
            ++still;
            if (ChannelDifference(a.At(x, y), b.At(x, y)) > 3)
                ++changed;
        }
    ASSERT_GT(still, 50000) << "a good part of the screen is still";
    EXPECT_LT(changed, still / 1000) << changed << " of " << still << " pixels changed away from cubes and text";

    // Where a cube is, its pixels differ from the other frame's, unless a cube or
    // the text is there too.
    int checked = 0;
    for (int f = 0; f < 2; ++f)
        for (int i = 0; i < CUBE_INSTANCE_COUNT; ++i) {
            const CubeOnScreen& c = cubes[f][i];
            if (!c.visible || c.inner < 20.0f || c.x < 0 || c.y < 0 || c.x >= WIDTH || c.y >= HEIGHT)
                continue;
            Mask others = TextBand(8.0f);
            for (int g = 0; g < 2; ++g)
                for (int j = 0; j < CUBE_INSTANCE_COUNT; ++j)
                    if (g != f || j != i)
                        AddCubeSurface(others, j, At(g ? T2 : T1).state, 8.0f);
            long inside = 0, different = 0, grey = 0;
            const TestImage& own = f ? b : a;
            const TestImage& other = f ? a : b;
            Mask core;
            core.Disc(c.x, c.y, c.inner);
            for (int y = 0; y < HEIGHT; ++y)
                for (int x = 0; x < WIDTH; ++x) {
                    if (!core.At(x, y) || others.At(x, y) ||
                        (x >= LOGO_X && x < LOGO_X + LOGO_W && y >= LOGO_Y && y < LOGO_Y + LOGO_H))
                        continue;
                    ++inside;
                    if (ChannelDifference(own.At(x, y), other.At(x, y)) > 12)
                        ++different;
                    const uint32_t p = own.At(x, y);
                    if (std::max({Red(p), Green(p), Blue(p)}) - std::min({Red(p), Green(p), Blue(p)}) <= 2)
                        ++grey;
                }
            if (inside < 200)
                continue;
            ++checked;
            EXPECT_GT(different, inside * 8 / 10) << "cube " << i << " at " << (f ? T2 : T1) << " s";
            // Near cubes stay sharp through the depth of field: the lit grey of the
            // scene effect, equal in red, green and blue.
            if (c.farthest < 0.5f * 199.9f) {
                EXPECT_GT(grey, inside * 9 / 10) << "cube " << i << " at " << (f ? T2 : T1) << " s is grey";
            }
        }
    EXPECT_GE(checked, 2) << "at least two cubes stand clear of the others";

    // The text: its orange lies inside the band and fills a good part of it.
    const Mask band = TextBand(8.0f);
    for (const TestImage* frame : {&a, &b}) {
        long inBand = 0, textInBand = 0, textOutside = 0;
        for (int y = 0; y < HEIGHT; ++y)
            for (int x = 0; x < WIDTH; ++x) {
                const bool text = IsTextColour(frame->At(x, y));
                if (band.At(x, y)) {
                    ++inBand;
                    textInBand += text;
                } else {
                    textOutside += text;
                }
            }
        EXPECT_GT(textInBand, inBand / 20) << "letters along the arch";
        EXPECT_LT(textOutside, 50) << "no text colour off the arch";
    }
}
