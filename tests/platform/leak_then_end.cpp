// Ends through EndProcess with the code given as its argument; with a second
// argument "leak" it first loses a block, as a leaking client would.
#include <cstdlib>
#include <cstring>

#include "platform/process_end.h"

// Holds the block for a moment so that the compiler cannot drop it.
char* volatile g_block;

int main(int argc, char** argv) {
  if (argc > 2 && std::strcmp(argv[2], "leak") == 0) {
    g_block = new char[1000];
    g_block = nullptr;
  }
  EndProcess(argc > 1 ? std::atoi(argv[1]) : 0);
}
