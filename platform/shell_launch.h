// What a shell open does on each system, below the rules that every system
// shares (platform/shell.cpp). Paths are in the file system's own form.
#pragma once

#include <string>

// Whether the name ends in ".exe", in any case.
bool HasProgramSuffix(const std::string& path);

// Whether the file is a program to start rather than a document to open.
bool IsProgramFile(const std::string& path);
// Starts the program with its parameters in the current directory, detached
// from this one but sharing its standard streams. True when it started.
bool StartProgram(const std::string& path, const std::string& parameters);
bool FileExists(const std::string& path);
// Hands a document or URL to the desktop's opener without waiting for the
// program that shows it. True when it took it: on POSIX, xdg-open ended
// with success or still runs after a short while (it is then left to run).
bool OpenWithDesktop(const std::string& target);
