// Where the running program lies, so that what it loads (the effect module,
// the tool's image library) can be found beside it wherever it was copied
// or installed, not only in the build folder it was made in.
#pragma once

#include <string>

namespace testhost {

// The running program's folder with a trailing separator; empty when the
// system cannot say.
std::string ProgramFolder();

// PATH if that file exists; empty otherwise.
std::string ExistingFile(const std::string &path);

}  // namespace testhost
