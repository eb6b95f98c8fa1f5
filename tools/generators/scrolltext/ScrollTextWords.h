#pragma once

#include <string>
#include <vector>

// What the scroller says, one entry per topic, in reading order.
std::vector<std::string> ScrollTextParagraphs();
