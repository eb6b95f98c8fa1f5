#pragma once

// A reading position in an effect's tokens, with the checks every part of the effect
// parser makes on them, and the first error met, with its line.

#include "EffectLexer.h"

#include <string>
#include <vector>

class EffectTokenCursor {
public:
    explicit EffectTokenCursor(const std::string& source) : m_source(source) {}

    // Splits the source into tokens; false, with the lexer's error, when it cannot.
    bool Tokenize() { return TokenizeEffect(m_source, m_tokens, m_error); }

    // The token `ahead` places on; past the end, the end token.
    const EffectToken& Peek(size_t ahead = 0) const;
    // The current token, moving past it (never past the end token).
    const EffectToken& Next();
    std::string Text(const EffectToken& t) const { return m_source.substr(t.begin, t.end - t.begin); }
    bool IsPunct(const EffectToken& t, char c) const
    {
        return t.kind == EffectTokenKind::Punctuation && m_source[t.begin] == c;
    }
    bool IsWord(const EffectToken& t, const char* word) const
    {
        return t.kind == EffectTokenKind::Identifier && Text(t) == word;
    }
    // A word of the effect language, which ignores case.
    bool IsKeyword(const EffectToken& t, const char* word) const;

    // Records the error at the token's line; always false.
    bool Fail(const EffectToken& at, const std::string& message);
    // The token as an error message quotes it.
    std::string Describe(const EffectToken& t) const;
    bool Expect(char c);
    bool ExpectIdentifier(std::string& text);
    // At an opening bracket: moves past its matching closing bracket.
    bool SkipBalanced(char open, char close);

    const std::string& Error() const { return m_error; }

protected:
    const std::string& m_source;
    std::vector<EffectToken> m_tokens;
    size_t m_pos = 0;
    std::string m_error;
};
