// A private folder for the fuzz targets that read card files by path: made
// once per process, the process works inside it, and it goes at exit.
#pragma once

#include <string>

// Makes the folder and changes into it; aborts when that fails.
void EnterFuzzTempDir();

// Replaces a file in the current folder with exactly these bytes.
void WriteFuzzFile(const char* path, const unsigned char* data, std::size_t size);
