// The headless automation output: one line per event on standard output,
// with CR, LF and backslash escaped. Shared by the headless window backend
// and the shell, so that lines from several threads never interleave.
#pragma once

#include <functional>
#include <string>

std::wstring EscapeAutomationText(const std::wstring& text);
std::wstring UnescapeAutomationText(const std::wstring& text);
void WriteAutomationLine(const std::wstring& line);
// Tests take the lines instead of standard output; an empty function
// restores standard output.
void SetAutomationSink(std::function<void(const std::wstring&)> sink);

// Headless runs print shell opens instead of launching documents.
void SetHeadlessShell(bool headless);
bool IsHeadlessShell();
