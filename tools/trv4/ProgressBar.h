// A progress bar on stderr for long renders: drawn only when stderr is a
// terminal and the work is long, redrawn when the shown percentage changes,
// and cleared off its line at the end so that the terminal keeps only the
// summary. Called on trv4's main thread between processing calls.
#pragma once

#include <cstdint>

namespace trv4tool {

class ProgressBar {
public:
    // total: frames to render; long: whether the render is long enough to
    // show a bar. The bar is off when stderr is not a terminal.
    ProgressBar(int64_t total, bool isLong);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void update(int64_t done);
    // Clears the bar's line; also done by the destructor.
    void finish();

private:
    int64_t total_;
    bool enabled_;
    int shownPercent_ = -1;
};

}  // namespace trv4tool
