#pragma once

// Compares the figures of two runs under per-figure tolerances.
#include "Figures.h"
#include "ImageFiles.h"

#include <string>
#include <vector>

enum class Tolerance {
    Exact,     // the same words
    Absolute,  // numbers within amount of each other
    Relative,  // numbers within amount times the larger magnitude
    Ulps,      // floats at most amount representable steps apart
    Pixels,    // images ("width height file"): every channel of every pixel within amount
};

struct FigureRule {
    std::string pattern;  // '*' stands for any run of characters
    Tolerance kind;
    double amount;
    // A difference that is understood and accepted: reported with its size, never failing.
    bool known = false;
    // Pixels: how many pixels may lie beyond amount.
    int outliers = 0;
};

bool MatchesPattern(const std::string& key, const std::string& pattern);

struct RuleUse {
    const FigureRule* rule = nullptr;
    int figures = 0;
    double largest = 0.0;  // largest difference seen (ulps for Ulps rules)
};

struct Comparison {
    std::vector<std::string> differences;  // one line each, naming the figure and both values
    std::vector<std::string> known;        // differences under known rules, the same way
    std::vector<RuleUse> uses;             // per rule, in the rules' order
    int compared = 0;
};

// Every figure of the reference is looked up in other under the first rule that matches
// its key (figures no rule matches are compared exactly); figures only one side has, a
// different number of values and any FAILED step are differences. Images are read from the
// folders; without them an image figure is a difference.
Comparison CompareFigures(const Figures& reference, const Figures& other, const std::vector<FigureRule>& rules,
                          const ImageFolders* folders = nullptr);

// The rules of the cross-check between the Linux stand-in and the Windows build.
const std::vector<FigureRule>& CrossCheckRules();
