#include "FigureComparison.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

bool MatchesPattern(const std::string& key, const std::string& pattern)
{
    size_t k = 0, p = 0, star = std::string::npos, resume = 0;
    while (k < key.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = k;
        } else if (p < pattern.size() && pattern[p] == key[k]) {
            ++p;
            ++k;
        } else if (star != std::string::npos) {
            p = star + 1;
            k = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

namespace {

bool ParseNumber(const std::string& word, double& value)
{
    if (word.empty())
        return false;
    char* end = nullptr;
    value = std::strtod(word.c_str(), &end);
    return end && *end == '\0';
}

// Distance in representable floats, across zero too.
double UlpDistance(double a, double b)
{
    const float fa = static_cast<float>(a), fb = static_cast<float>(b);
    int32_t ia, ib;
    std::memcpy(&ia, &fa, sizeof ia);
    std::memcpy(&ib, &fb, sizeof ib);
    const int64_t la = ia < 0 ? -int64_t(ia & 0x7FFFFFFF) : int64_t(ia);
    const int64_t lb = ib < 0 ? -int64_t(ib & 0x7FFFFFFF) : int64_t(ib);
    return static_cast<double>(la > lb ? la - lb : lb - la);
}

// The difference of two words under a rule, or -1 when they cannot be compared that way.
double Deviation(const std::string& a, const std::string& b, Tolerance kind)
{
    if (a == b)
        return 0.0;
    double x, y;
    if (kind == Tolerance::Exact || !ParseNumber(a, x) || !ParseNumber(b, y))
        return -1.0;
    switch (kind) {
    case Tolerance::Ulps: return UlpDistance(x, y);
    case Tolerance::Relative: {
        const double scale = std::fmax(std::fabs(x), std::fabs(y));
        return scale > 0.0 ? std::fabs(x - y) / scale : 0.0;
    }
    default: return std::fabs(x - y);
    }
}

std::string Join(const std::vector<std::string>& words)
{
    std::string s;
    for (const std::string& w : words)
        s += (s.empty() ? "" : " ") + w;
    return s;
}

// The largest channel difference of two images named by "width height file" figures, or
// -1 when they cannot be read or differ in size; beyond counts the pixels past amount.
double ImageDeviation(const std::vector<std::string>& mine, const std::vector<std::string>& theirs,
                      const ImageFolders* folders, double amount, int& beyond, std::string& first)
{
    Image a, b;
    if (!folders || mine.size() != 3 || theirs.size() != 3 || mine[0] != theirs[0] || mine[1] != theirs[1])
        return -1.0;
    const int width = std::atoi(mine[0].c_str()), height = std::atoi(mine[1].c_str());
    if (!ReadImageFile(folders->reference + "/" + mine[2], width, height, a) ||
        !ReadImageFile(folders->other + "/" + theirs[2], width, height, b))
        return -1.0;
    int largest = 0;
    beyond = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) {
        int worst = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            const int d = std::abs(static_cast<int>((a.pixels[i] >> shift) & 0xFF) -
                                   static_cast<int>((b.pixels[i] >> shift) & 0xFF));
            worst = d > worst ? d : worst;
        }
        if (worst > amount && beyond++ == 0)
            first = "first at (" + std::to_string(i % width) + ", " + std::to_string(i / width) + ")";
        largest = worst > largest ? worst : largest;
    }
    return largest;
}

bool HasFailure(const std::vector<std::string>& words)
{
    return !words.empty() && words[0] == "FAILED";
}

}  // namespace

Comparison CompareFigures(const Figures& reference, const Figures& other, const std::vector<FigureRule>& rules,
                          const ImageFolders* folders)
{
    static const FigureRule EXACT = {"*", Tolerance::Exact, 0.0};
    Comparison result;
    for (const FigureRule& rule : rules)
        result.uses.push_back({&rule, 0, 0.0});

    for (const auto& figure : reference) {
        const std::string& key = figure.first;
        const std::vector<std::string>& mine = figure.second;
        const auto found = other.find(key);
        if (found == other.end()) {
            result.differences.push_back(key + ": only in the reference: " + Join(mine));
            continue;
        }
        const std::vector<std::string>& theirs = found->second;
        ++result.compared;
        if (HasFailure(mine) || HasFailure(theirs)) {
            result.differences.push_back(key + ": " + Join(mine) + " | " + Join(theirs));
            continue;
        }
        size_t index = rules.size();
        for (size_t i = 0; i < rules.size() && index == rules.size(); ++i)
            if (MatchesPattern(key, rules[i].pattern))
                index = i;
        const FigureRule& rule = index < rules.size() ? rules[index] : EXACT;
        RuleUse* use = index < rules.size() ? &result.uses[index] : nullptr;
        if (use)
            ++use->figures;
        std::vector<std::string>& differences = rule.known ? result.known : result.differences;
        if (rule.kind == Tolerance::Pixels) {
            int beyond = 0;
            std::string first;
            const double d = ImageDeviation(mine, theirs, folders, rule.amount, beyond, first);
            if (use && d > use->largest)
                use->largest = d;
            if (d < 0.0)
                differences.push_back(key + ": images cannot be compared: " + Join(mine) + " | " + Join(theirs));
            else if (beyond > rule.outliers)
                differences.push_back(key + ": " + std::to_string(beyond) + " pixels differ by more than " +
                                      std::to_string(static_cast<int>(rule.amount)) + " (largest " +
                                      std::to_string(static_cast<int>(d)) + ", " + first + ")");
            continue;
        }
        if (mine.size() != theirs.size()) {
            differences.push_back(key + ": " + std::to_string(mine.size()) + " values against " +
                                  std::to_string(theirs.size()) + ": " + Join(mine) + " | " + Join(theirs));
            continue;
        }
        double largest = 0.0;
        bool outside = false;
        for (size_t i = 0; i < mine.size(); ++i) {
            const double d = Deviation(mine[i], theirs[i], rule.kind);
            if (d < 0.0 || d > rule.amount)
                outside = true;
            if (d > largest)
                largest = d;
        }
        if (use && largest > use->largest)
            use->largest = largest;
        if (outside)
            differences.push_back(key + ": " + Join(mine) + " | " + Join(theirs));
    }
    for (const auto& figure : other)
        if (!reference.count(figure.first))
            result.differences.push_back(figure.first + ": only in the other run: " + Join(figure.second));
    return result;
}
