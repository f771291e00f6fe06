#include "tools/trv4/ProgressBar.h"

#include <cstdio>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace trv4tool {

namespace {

constexpr int kWidth = 40;  // characters between the brackets

bool stderrIsTerminal() {
#if defined(_WIN32)
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

}  // namespace

ProgressBar::ProgressBar(int64_t total, bool isLong)
    : total_(total), enabled_(isLong && total > 0 && stderrIsTerminal()) {}

ProgressBar::~ProgressBar() { finish(); }

void ProgressBar::update(int64_t done) {
    if (!enabled_) return;
    int percent = static_cast<int>(100 * (done < total_ ? done : total_) / total_);
    if (percent == shownPercent_) return;
    shownPercent_ = percent;
    char bar[kWidth + 1];
    int filled = percent * kWidth / 100;
    for (int i = 0; i < kWidth; ++i) bar[i] = i < filled ? '#' : '-';
    bar[kWidth] = 0;
    std::fprintf(stderr, "\rrendering [%s] %3d%%", bar, percent);
    std::fflush(stderr);
}

void ProgressBar::finish() {
    if (!enabled_) return;
    enabled_ = false;
    std::fprintf(stderr, "\r%*s\r", kWidth + 20, "");
    std::fflush(stderr);
}

}  // namespace trv4tool
