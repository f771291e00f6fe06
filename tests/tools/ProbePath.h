// Where the probe plug-in module is, for tests that load it as a host does.
// The build passes TRV4_PROBE_PATH; under wine a Unix path is reached
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

inline std::string probePath() { return hostPath(TRV4_PROBE_PATH); }

}  // namespace trv4test
