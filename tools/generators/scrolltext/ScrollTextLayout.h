#pragma once

#include <string>
#include <vector>

// The scroller shows one line of exactly SCROLL_TEXT_LENGTH bytes; the blank
// margins at both ends make the pause between the end of the text and its
// restart.
const int SCROLL_TEXT_LENGTH = 4238;
const int SCROLL_TEXT_MARGIN = 204;
// Paragraphs are parted by at least this many spaces, so that each topic
// arrives on screen as a fresh line.
const int PARAGRAPH_GAP = 6;

// True when the byte has a glyph in the scroller's font set (Windows ANSI
// code page: 0xA3 is the pound sign).
bool IsScrollerCharacter(unsigned char c);

// Lays the paragraphs out as the scroll line: margin, paragraphs joined by
// gaps that are widened evenly until the line is exactly long enough, margin.
// Returns false (and says why in error) when a paragraph holds a character
// outside the set, starts or ends with a space, or the words do not fit.
bool LayoutScrollText(const std::vector<std::string>& paragraphs, std::string& line,
                      std::string& error);

// The line as the body of a C string literal, cut into source lines of at most
// about 72 columns; characters that C would read specially are escaped.
std::string FormatAsStringLiteral(const std::string& line);
