#include "EffectTokenCursor.h"

#include "EffectStateNames.h"

const EffectToken& EffectTokenCursor::Peek(size_t ahead) const
{
    const size_t i = m_pos + ahead;
    return i < m_tokens.size() ? m_tokens[i] : m_tokens.back();
}

const EffectToken& EffectTokenCursor::Next()
{
    const EffectToken& t = Peek();
    if (m_pos + 1 < m_tokens.size())
        ++m_pos;
    return t;
}

bool EffectTokenCursor::IsKeyword(const EffectToken& t, const char* word) const
{
    return t.kind == EffectTokenKind::Identifier && EqualsIgnoringCase(Text(t), word);
}

bool EffectTokenCursor::Fail(const EffectToken& at, const std::string& message)
{
    m_error = "(" + std::to_string(at.line) + "): error: " + message;
    return false;
}

std::string EffectTokenCursor::Describe(const EffectToken& t) const
{
    if (t.kind == EffectTokenKind::End)
        return "end of file";
    std::string text = Text(t);
    if (text.size() > 32)
        text = text.substr(0, 32) + "...";
    return "'" + text + "'";
}

bool EffectTokenCursor::Expect(char c)
{
    if (!IsPunct(Peek(), c))
        return Fail(Peek(), std::string("expected '") + c + "' but found " + Describe(Peek()));
    Next();
    return true;
}

bool EffectTokenCursor::ExpectIdentifier(std::string& text)
{
    if (Peek().kind != EffectTokenKind::Identifier)
        return Fail(Peek(), "expected a name but found " + Describe(Peek()));
    text = Text(Next());
    return true;
}

bool EffectTokenCursor::SkipBalanced(char open, char close)
{
    const EffectToken& start = Peek();
    int depth = 0;
    do {
        const EffectToken& t = Next();
        if (t.kind == EffectTokenKind::End)
            return Fail(start, std::string("no '") + close + "' matches this '" + open + "'");
        if (IsPunct(t, open))
            ++depth;
        else if (IsPunct(t, close))
            --depth;
    } while (depth > 0);
    return true;
}
