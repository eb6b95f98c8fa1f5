#pragma once

#include <mutex>

// FreeType faces are not safe to use from two threads at once; every use takes this lock.
std::mutex& FreeTypeLock();
