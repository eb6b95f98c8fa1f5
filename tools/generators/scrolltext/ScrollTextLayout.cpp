#include "ScrollTextLayout.h"

#include <cstdio>

bool IsScrollerCharacter(unsigned char c)
{
    if (c == ' ' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
        return true;
    if (c == 0xA3)
        return true;
    static const char SYMBOLS[] = "-=!\\\"$%^&*()_+|<>,./?:;@'~#{[}]";
    for (const char* s = SYMBOLS; *s; ++s) {
        if (static_cast<unsigned char>(*s) == c)
            return true;
    }
    return false;
}

bool LayoutScrollText(const std::vector<std::string>& paragraphs, std::string& line,
                      std::string& error)
{
    line.clear();
    if (paragraphs.empty()) {
        error = "no paragraphs";
        return false;
    }
    size_t wordsLength = 0;
    for (size_t p = 0; p < paragraphs.size(); ++p) {
        const std::string& text = paragraphs[p];
        if (text.empty() || text.front() == ' ' || text.back() == ' ') {
            error = "paragraph " + std::to_string(p) + " is empty or has outer spaces";
            return false;
        }
        for (size_t i = 0; i < text.size(); ++i) {
            if (!IsScrollerCharacter(static_cast<unsigned char>(text[i]))) {
                char code[8];
                std::snprintf(code, sizeof code, "0x%02X", static_cast<unsigned char>(text[i]));
                error = "paragraph " + std::to_string(p) + " has character " + code +
                        " at offset " + std::to_string(i);
                return false;
            }
        }
        wordsLength += text.size();
    }

    const int gaps = static_cast<int>(paragraphs.size()) - 1;
    const long room = SCROLL_TEXT_LENGTH - 2L * SCROLL_TEXT_MARGIN - static_cast<long>(wordsLength);
    const long minimumGaps = static_cast<long>(gaps) * PARAGRAPH_GAP;
    if (room < minimumGaps) {
        error = "the words are " + std::to_string(minimumGaps - room) + " characters too long";
        return false;
    }
    if (gaps == 0 && room != 0) {
        error = "a single paragraph must fill the line exactly";
        return false;
    }
    // Spare room goes into the gaps; a gap more than twice the usual would
    // read as a hole in the text, so too little text is refused too.
    const long spare = room - minimumGaps;
    if (gaps > 0 && spare > static_cast<long>(gaps) * PARAGRAPH_GAP) {
        error = "the words are " + std::to_string(spare - gaps * PARAGRAPH_GAP) +
                " characters too short";
        return false;
    }

    line.assign(SCROLL_TEXT_MARGIN, ' ');
    for (int p = 0; p <= gaps; ++p) {
        line += paragraphs[p];
        if (p < gaps) {
            long width = PARAGRAPH_GAP + spare / gaps + (p < spare % gaps ? 1 : 0);
            line.append(static_cast<size_t>(width), ' ');
        }
    }
    line.append(SCROLL_TEXT_MARGIN, ' ');
    return true;
}

std::string FormatAsStringLiteral(const std::string& line)
{
    const size_t COLUMNS = 72;
    std::string out;
    std::string piece;
    for (unsigned char c : line) {
        if (c == '\\' || c == '"')
            piece += '\\', piece += static_cast<char>(c);
        else if (c == '?')
            piece += "\\?"; // keeps "??" from ever forming a trigraph
        else if (c < 0x20 || c >= 0x7F) {
            char code[8];
            std::snprintf(code, sizeof code, "\\%03o", c); // octal stops after three digits
            piece += code;
        } else
            piece += static_cast<char>(c);
        if (piece.size() >= COLUMNS) {
            out += "\"" + piece + "\"\n";
            piece.clear();
        }
    }
    if (!piece.empty() || out.empty())
        out += "\"" + piece + "\"\n";
    return out;
}
