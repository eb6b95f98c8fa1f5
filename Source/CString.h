#pragma once

#include <cstddef>

const int STRING_LEN = 256;

// Length of a zero-terminated string; 0 for null.
int StringLen(const char* string);

// Formats into buffer, which must hold more than STRING_LEN bytes. At most
// STRING_LEN characters are written and the result is always terminated;
// longer output is cut and reported once.
char* FormatString(char* buffer, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

// A fixed-capacity string of up to STRING_LEN characters.
class CString {
public:
    CString() { m_szText[0] = 0; }
    CString(const char* string) { *this = string; }
    CString& operator=(const char* string);

    const char* GetText() const { return m_szText; }
    operator const char*() const { return m_szText; }

private:
    char m_szText[STRING_LEN + 1];
};
