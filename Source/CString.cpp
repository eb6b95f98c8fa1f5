#include "CString.h"

#include "ReportError.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

int StringLen(const char* string)
{
    return string ? static_cast<int>(std::strlen(string)) : 0;
}

char* FormatString(char* buffer, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    // The buffer holds STRING_LEN characters and the terminator; output that
    // does not fit is cut there and counts as a failure (-1).
    const int length = std::vsnprintf(buffer, STRING_LEN + 1, format, args);
    va_end(args);
    const int chars_written = (length < 0 || length > STRING_LEN) ? -1 : length;
    if (length < 0)
        buffer[0] = 0;

    ASSERT(chars_written >= 0, "The formatted output is too long for the buffer");
    return buffer;
}

CString& CString::operator=(const char* string)
{
    if (!string) {
        m_szText[0] = 0;
        return *this;
    }
    // clang-format off
    // The message box quotes the expression as it is written here.
    ASSERT(StringLen( string ) <= STRING_LEN, "Trying to copy a string that is too large");
    // clang-format on
    std::strncpy(m_szText, string, STRING_LEN);
    m_szText[STRING_LEN] = 0;
    return *this;
}
