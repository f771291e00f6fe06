// Where the built plug-in module is, for tests that load it as a host does.
// The build passes TRV4_MODULE_PATH; under wine a Unix path is reached
// through drive Z:.
#pragma once

#include <string>

namespace trv4test {

inline std::string hostPath(std::string path) {
#if defined(_WIN32)
    if (!path.empty() && path[0] == '/') {
        for (char& c : path)
            if (c == '/') c = '\\';
        path = "Z:" + path;
    }
#endif
    return path;
}

#ifdef TRV4_MODULE_PATH
inline std::string modulePath() { return hostPath(TRV4_MODULE_PATH); }
#endif

}  // namespace trv4test
