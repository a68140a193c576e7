// Ending the process without unwinding its globals.
#pragma once

// Flushes standard output and ends the process with this code at once: a job
// thread still running ends with it, and no global is destroyed under it. In
// a build with AddressSanitizer the leak check that a normal exit would run
// happens first, so the sanitized tests still see the program's leaks.
[[noreturn]] void EndProcess(int code);
