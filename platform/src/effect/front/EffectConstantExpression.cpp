#include "EffectConstantExpression.h"

#include "EffectTypeNames.h"

#include <cstdlib>
#include <cstring>

namespace {

// Constant expressions nest no deeper than this; deeper input is refused, not recursed into.
const int MAX_EXPRESSION_DEPTH = 64;

bool ParseSum(EffectTokenCursor& tokens, float& value, int depth);

bool ParseNumberToken(EffectTokenCursor& tokens, const EffectToken& t, float& value)
{
    std::string text = tokens.Text(t);
    char* end = nullptr;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        value = static_cast<float>(std::strtoul(text.c_str() + 2, &end, 16));
    } else {
        value = std::strtof(text.c_str(), &end);
    }
    while (end && *end && std::strchr("fFhHlLuU", *end))
        ++end;
    if (!end || *end != '\0')
        return tokens.Fail(t, "invalid number " + tokens.Describe(t));
    return true;
}

bool ParseUnary(EffectTokenCursor& tokens, float& value, int depth)
{
    if (depth > MAX_EXPRESSION_DEPTH)
        return tokens.Fail(tokens.Peek(), "expression nested too deeply");
    const EffectToken& t = tokens.Peek();
    if (tokens.IsPunct(t, '-') || tokens.IsPunct(t, '+')) {
        const bool negate = tokens.IsPunct(tokens.Next(), '-');
        if (!ParseUnary(tokens, value, depth + 1))
            return false;
        if (negate)
            value = -value;
        return true;
    }
    if (tokens.IsPunct(t, '(')) {
        tokens.Next();
        return ParseSum(tokens, value, depth + 1) && tokens.Expect(')');
    }
    if (t.kind == EffectTokenKind::Number) {
        tokens.Next();
        return ParseNumberToken(tokens, t, value);
    }
    if (tokens.IsKeyword(t, "true") || tokens.IsKeyword(t, "false")) {
        value = tokens.IsKeyword(tokens.Next(), "true") ? 1.0f : 0.0f;
        return true;
    }
    return tokens.Fail(t, "expected a constant but found " + tokens.Describe(t));
}

// One level of left-associative operators: operand (op operand)*, op being `first`
// or `second`.
bool ParseOperatorChain(EffectTokenCursor& tokens, float& value, int depth, char first, char second,
                        bool (*operand)(EffectTokenCursor&, float&, int))
{
    if (!operand(tokens, value, depth))
        return false;
    while (tokens.IsPunct(tokens.Peek(), first) || tokens.IsPunct(tokens.Peek(), second)) {
        const char op = tokens.IsPunct(tokens.Next(), first) ? first : second;
        float rhs;
        if (!operand(tokens, rhs, depth))
            return false;
        value = op == '+' ? value + rhs : op == '-' ? value - rhs : op == '*' ? value * rhs : value / rhs;
    }
    return true;
}

bool ParseProduct(EffectTokenCursor& tokens, float& value, int depth)
{
    return ParseOperatorChain(tokens, value, depth, '*', '/', &ParseUnary);
}

bool ParseSum(EffectTokenCursor& tokens, float& value, int depth)
{
    return ParseOperatorChain(tokens, value, depth, '+', '-', &ParseProduct);
}

bool ParseInitializer(EffectTokenCursor& tokens, std::vector<float>& values, int depth);

// The items of a braced list or a constructor's arguments, up to the closing bracket.
bool ParseInitializerList(EffectTokenCursor& tokens, std::vector<float>& values, int depth, char close)
{
    while (!tokens.IsPunct(tokens.Peek(), close)) {
        if (!ParseInitializer(tokens, values, depth + 1))
            return false;
        if (tokens.IsPunct(tokens.Peek(), ','))
            tokens.Next();
        else if (!tokens.IsPunct(tokens.Peek(), close))
            return tokens.Fail(tokens.Peek(), std::string("expected ',' or '") + close + "' but found " +
                                                  tokens.Describe(tokens.Peek()));
    }
    tokens.Next();
    return true;
}

bool ParseInitializer(EffectTokenCursor& tokens, std::vector<float>& values, int depth)
{
    if (depth > MAX_EXPRESSION_DEPTH)
        return tokens.Fail(tokens.Peek(), "initializer nested too deeply");
    if (values.size() > static_cast<size_t>(MAX_PARAMETER_VALUES))
        return tokens.Fail(tokens.Peek(), "initializer too long");
    if (tokens.IsPunct(tokens.Peek(), '{')) {
        tokens.Next();
        return ParseInitializerList(tokens, values, depth, '}');
    }
    NumericType constructor;
    if (tokens.Peek().kind == EffectTokenKind::Identifier &&
        ParseNumericTypeName(tokens.Text(tokens.Peek()), constructor) && tokens.IsPunct(tokens.Peek(1), '(')) {
        tokens.Next();
        tokens.Next();
        return ParseInitializerList(tokens, values, depth, ')');
    }
    float v;
    if (!ParseSum(tokens, v, depth + 1))
        return false;
    values.push_back(v);
    return true;
}

}  // namespace

bool ParseConstantInitializer(EffectTokenCursor& tokens, std::vector<float>& values)
{
    return ParseInitializer(tokens, values, 0);
}

std::string UnquoteString(const std::string& literal)
{
    std::string out;
    for (size_t i = 1; i + 1 < literal.size(); ++i) {
        if (literal[i] == '\\' && i + 2 < literal.size()) {
            ++i;
            out += literal[i] == 'n' ? '\n' : literal[i] == 't' ? '\t' : literal[i];
        } else {
            out += literal[i];
        }
    }
    return out;
}
