#pragma once

// The shader text the HLSL compiler is given: the effect source with the parts only
// the effect framework reads (techniques, annotations, register bindings, initial
// values, texture and sampler-state declarations) cut out or replaced. The cuts keep
// their line breaks, so the compiler's line numbers are those of the effect file.

#include <cstddef>
#include <string>
#include <vector>

class ShaderSourceRewrite {
public:
    // Replaces the source's bytes [begin, end); a cut nested in another is dropped.
    void Replace(size_t begin, size_t end, std::string replacement = std::string());
    // The source with every cut made.
    std::string Apply(const std::string& source);

private:
    struct TextEdit {
        size_t begin;
        size_t end;
        std::string replacement;
    };
    std::vector<TextEdit> m_edits;
};
