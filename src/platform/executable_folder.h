// The folder that holds the running program, for the files installed beside it.
#pragma once

#include <string>

namespace vostil {

// Without a trailing separator; "" when the system cannot say (the caller then has only the
// current folder). Worked out on the first call and kept.
const std::string& executableFolder();

}  // namespace vostil
