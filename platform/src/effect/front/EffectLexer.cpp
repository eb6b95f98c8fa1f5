#include "EffectLexer.h"

#include <cctype>

namespace {

bool IsIdentifierStart(char c)
{
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}

bool IsIdentifierPart(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

std::string LineMessage(int line, const char* text)
{
    return "(" + std::to_string(line) + "): error: " + text;
}

}  // namespace

bool TokenizeEffect(const std::string& source, std::vector<EffectToken>& tokens, std::string& error)
{
    tokens.clear();
    const size_t size = source.size();
    size_t i = 0;
    int line = 1;
    bool lineStart = true;
    while (i < size) {
        const char c = source[i];
        if (c == '\n') {
            ++line;
            ++i;
            lineStart = true;
            continue;
        }
        if (c == '\0') {
            error = LineMessage(line, "zero byte in effect source");
            return false;
        }
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
            continue;
        }
        if (c == '/' && i + 1 < size && source[i + 1] == '/') {
            while (i < size && source[i] != '\n')
                ++i;
            continue;
        }
        if (c == '/' && i + 1 < size && source[i + 1] == '*') {
            const int startLine = line;
            i += 2;
            while (i + 1 < size && !(source[i] == '*' && source[i + 1] == '/')) {
                if (source[i] == '\n')
                    ++line;
                ++i;
            }
            if (i + 1 >= size) {
                error = LineMessage(startLine, "unterminated comment");
                return false;
            }
            i += 2;
            continue;
        }

        EffectToken token;
        token.begin = i;
        token.line = line;
        if (c == '#' && lineStart) {
            // A preprocessor line, with its backslash continuations.
            token.kind = EffectTokenKind::Directive;
            while (i < size && source[i] != '\n') {
                if (source[i] == '\\' && i + 1 < size && source[i + 1] == '\n') {
                    ++line;
                    i += 2;
                    continue;
                }
                ++i;
            }
        } else if (IsIdentifierStart(c)) {
            token.kind = EffectTokenKind::Identifier;
            while (i < size && IsIdentifierPart(source[i]))
                ++i;
        } else if (std::isdigit(static_cast<unsigned char>(c)) ||
                   (c == '.' && i + 1 < size && std::isdigit(static_cast<unsigned char>(source[i + 1])))) {
            token.kind = EffectTokenKind::Number;
            while (i < size) {
                const char d = source[i];
                if (IsIdentifierPart(d) || d == '.') {
                    ++i;
                } else if ((d == '+' || d == '-') && (source[i - 1] == 'e' || source[i - 1] == 'E') &&
                           !(source[token.begin] == '0' && token.begin + 1 < size &&
                             (source[token.begin + 1] == 'x' || source[token.begin + 1] == 'X'))) {
                    ++i;
                } else {
                    break;
                }
            }
        } else if (c == '"') {
            token.kind = EffectTokenKind::String;
            ++i;
            while (i < size && source[i] != '"' && source[i] != '\n') {
                if (source[i] == '\\' && i + 1 < size && source[i + 1] != '\n')
                    ++i;
                ++i;
            }
            if (i >= size || source[i] != '"') {
                error = LineMessage(line, "unterminated string");
                return false;
            }
            ++i;
        } else {
            token.kind = EffectTokenKind::Punctuation;
            ++i;
        }
        token.end = i;
        tokens.push_back(token);
        lineStart = false;
    }
    EffectToken end;
    end.kind = EffectTokenKind::End;
    end.begin = end.end = size;
    end.line = line;
    tokens.push_back(end);
    return true;
}
