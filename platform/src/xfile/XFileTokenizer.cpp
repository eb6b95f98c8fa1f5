#include "XFileTokenizer.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <string>

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

// A decimal number: an optional sign, digits with at most one decimal point (at least one
// digit), an optional exponent. Nothing else (no hexadecimal, infinity or not-a-number),
// so the conversion below sees only what a mesh file holds.
bool IsDecimalNumber(std::string_view word)
{
    size_t i = 0;
    const size_t n = word.size();
    auto digits = [&] {
        const size_t start = i;
        while (i < n && word[i] >= '0' && word[i] <= '9')
            ++i;
        return i - start;
    };
    if (i < n && (word[i] == '+' || word[i] == '-'))
        ++i;
    size_t mantissa = digits();
    if (i < n && word[i] == '.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0)
        return false;
    if (i < n && (word[i] == 'e' || word[i] == 'E')) {
        ++i;
        if (i < n && (word[i] == '+' || word[i] == '-'))
            ++i;
        if (digits() == 0)
            return false;
    }
    return i == n;
}

// The "C" locale, whatever the process's own: a decimal point is always '.'.
locale_t ClassicLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return locale;
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
    // strtof_l rounds the decimal straight to the nearest float, as from_chars does (which not
    // every C++ library has for floating point); it needs the word as a C string.
    if (!IsDecimalNumber(word) || !ClassicLocale())
        return false;
    const std::string text(word);
    char* end = nullptr;
    errno = 0;
    const float parsed = strtof_l(text.c_str(), &end, ClassicLocale());
    // Out of range: too large for a float, or so small it rounds to zero. A subnormal result
    // is a value like any other.
    const bool outOfRange = errno == ERANGE && (parsed == 0.0f || !std::isfinite(parsed));
    if (end != text.c_str() + text.size() || outOfRange || !std::isfinite(parsed))
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
