#pragma once

#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace ocuvis::cli {

// Ends the run with its status. Every file is written and closed by then, and a failure
// reported; what is left is the report in the streams' buffers. Tearing down Qt, the fonts and
// every library's globals would only cost time.
inline int Leave(int status) {
#ifdef OCUVIS_SANITIZE
    return status;  // through the exit handlers, for the leak check
#else
    std::cout.flush();
    std::fflush(nullptr);
    std::_Exit(status);
#endif
}

}  // namespace ocuvis::cli
