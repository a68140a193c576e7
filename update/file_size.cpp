#include "update/file_size.h"

#include "platform/files.h"

std::int64_t QueryFileSize(const char* path) { return FileSizeUtf8(path); }
