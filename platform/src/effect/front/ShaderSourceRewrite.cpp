#include "ShaderSourceRewrite.h"

#include <algorithm>

void ShaderSourceRewrite::Replace(size_t begin, size_t end, std::string replacement)
{
    m_edits.push_back({begin, end, std::move(replacement)});
}

std::string ShaderSourceRewrite::Apply(const std::string& source)
{
    // Outer edits first, so that the edits nested inside them are dropped.
    std::sort(m_edits.begin(), m_edits.end(), [](const TextEdit& a, const TextEdit& b) {
        return a.begin != b.begin ? a.begin < b.begin : a.end > b.end;
    });
    std::string out;
    out.reserve(source.size());
    size_t at = 0;
    for (const TextEdit& e : m_edits) {
        if (e.begin < at)
            continue;  // inside an edit already made
        out.append(source, at, e.begin - at);
        out += e.replacement;
        for (size_t i = e.begin; i < e.end; ++i)
            if (source[i] == '\n')
                out += '\n';
        at = e.end;
    }
    out.append(source, at, std::string::npos);
    return out;
}
