#pragma once
#include <string>

// The directory of the running binary (no trailing "/"). Tests may point it elsewhere.
std::string GetExecutableDir();
void SetExecutableDirForTests(const std::string& dir); // empty restores the real one
