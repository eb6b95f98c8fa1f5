#pragma once

#include <string>
#include <vector>

enum class EffectTokenKind { Identifier, Number, String, Punctuation, Directive, End };

struct EffectToken {
    EffectTokenKind kind = EffectTokenKind::End;
    size_t begin = 0;  // byte range in the source
    size_t end = 0;
    int line = 1;
};

// Splits effect source into tokens, skipping white space and comments. Preprocessor lines
// become one Directive token each. False, with a message, on an unterminated comment or
// string or a zero byte in the text.
bool TokenizeEffect(const std::string& source, std::vector<EffectToken>& tokens, std::string& error);
