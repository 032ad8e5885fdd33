// Where a file writer puts a file's bytes, in order. Kept apart from the
// file that implements it, so a writer can be linked (and fuzzed) without
// the file system side.
#pragma once

#include <cstddef>

namespace zonara_tool {

class ByteSink {
public:
    // Stores every byte or throws ToolError saying why not: a short write is
    // never silently accepted.
    virtual void Write(const void *bytes, std::size_t count) = 0;

protected:
    ~ByteSink() = default;
};

}  // namespace zonara_tool
