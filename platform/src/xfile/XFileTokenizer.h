#pragma once

// Splits the text form of a DirectX .x file into the tokens the mesh reader needs.
// The list separators ',' and ';' carry nothing the reader uses (every count is read
// from the data itself), so they are skipped together with white space, comments
// ("//" and "#") and template GUIDs ("<...>").
#include <cstddef>
#include <cstdint>
#include <string_view>

enum class XTokenKind { End, OpenBrace, CloseBrace, Word, String, Error };

struct XToken {
    XTokenKind kind = XTokenKind::End;
    // A word is a run of name or number characters; a string is given without its quotes.
    std::string_view text;
};

class XFileTokenizer {
public:
    XFileTokenizer(const char* begin, const char* end) : m_cursor(begin), m_end(end) {}

    XToken Next();
    XToken Peek();

private:
    XToken Scan();
    void SkipBlanksAndComments();

    const char* m_cursor;
    const char* m_end;
    bool m_hasPeeked = false;
    XToken m_peeked;
};

// Number words. Both refuse anything but a whole well-formed number.
bool ParseXFloat(std::string_view word, float* value);
bool ParseXCount(std::string_view word, uint32_t* value);
