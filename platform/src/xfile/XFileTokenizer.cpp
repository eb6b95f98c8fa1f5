#include "XFileTokenizer.h"

#include <charconv>
#include <cmath>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v' || c == ',' || c == ';';
}

// Characters that end a word.
bool IsDelimiter(char c)
{
    return IsBlank(c) || c == '{' || c == '}' || c == '"' || c == '<' || c == '>' || c == '#' || c == '/';
}

bool IsWordCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
           c == '+' || c == '.';
}

}  // namespace

void XFileTokenizer::SkipBlanksAndComments()
{
    while (m_cursor < m_end) {
        const char c = *m_cursor;
        if (IsBlank(c)) {
            ++m_cursor;
        } else if (c == '#' || (c == '/' && m_end - m_cursor >= 2 && m_cursor[1] == '/')) {
            while (m_cursor < m_end && *m_cursor != '\n')
                ++m_cursor;
        } else {
            return;
        }
    }
}

XToken XFileTokenizer::Scan()
{
    for (;;) {
        SkipBlanksAndComments();
        if (m_cursor >= m_end)
            return {XTokenKind::End, {}};

        const char c = *m_cursor;
        if (c == '{') {
            ++m_cursor;
            return {XTokenKind::OpenBrace, {}};
        }
        if (c == '}') {
            ++m_cursor;
            return {XTokenKind::CloseBrace, {}};
        }
        if (c == '<') {
            // A template's GUID: nothing in it is needed.
            while (m_cursor < m_end && *m_cursor != '>')
                ++m_cursor;
            if (m_cursor >= m_end)
                return {XTokenKind::Error, {}};
            ++m_cursor;
            continue;
        }
        if (c == '"') {
            const char* start = ++m_cursor;
            while (m_cursor < m_end && *m_cursor != '"')
                ++m_cursor;
            if (m_cursor >= m_end)
                return {XTokenKind::Error, {}};
            const std::string_view text(start, static_cast<size_t>(m_cursor - start));
            ++m_cursor;
            return {XTokenKind::String, text};
        }
        if (IsWordCharacter(c)) {
            const char* start = m_cursor;
            while (m_cursor < m_end && IsWordCharacter(*m_cursor))
                ++m_cursor;
            if (m_cursor < m_end && !IsDelimiter(*m_cursor))
                return {XTokenKind::Error, {}};
            return {XTokenKind::Word, std::string_view(start, static_cast<size_t>(m_cursor - start))};
        }
        return {XTokenKind::Error, {}};
    }
}

XToken XFileTokenizer::Next()
{
    if (m_hasPeeked) {
        m_hasPeeked = false;
        return m_peeked;
    }
    return Scan();
}

XToken XFileTokenizer::Peek()
{
    if (!m_hasPeeked) {
        m_peeked = Scan();
        m_hasPeeked = true;
    }
    return m_peeked;
}

bool ParseXFloat(std::string_view word, float* value)
{
    if (word.empty())
        return false;
    const char* first = word.data();
    const char* last = word.data() + word.size();
    if (*first == '+')  // from_chars takes no explicit plus sign
        ++first;
    float parsed = 0.0f;
    const auto result = std::from_chars(first, last, parsed, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != last || !std::isfinite(parsed))
        return false;
    *value = parsed;
    return true;
}

bool ParseXCount(std::string_view word, uint32_t* value)
{
    if (word.empty())
        return false;
    const char* last = word.data() + word.size();
    uint32_t parsed = 0;
    const auto result = std::from_chars(word.data(), last, parsed, 10);
    if (result.ec != std::errc() || result.ptr != last)
        return false;
    *value = parsed;
    return true;
}
