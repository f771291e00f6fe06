#include "tools/trv4/validate/Environment.h"

#include <clocale>
#include <cstdio>

#if defined(__i386__) || defined(__x86_64__)
#include <xmmintrin.h>
#endif

namespace trv4tool::validate {

FloatEnvironment readFloatEnvironment() {
    FloatEnvironment e;
#if defined(__i386__) || defined(__x86_64__)
    uint16_t word = 0;
    __asm__ volatile("fnstcw %0" : "=m"(word));
    e.x87 = word & kX87DefinedFields;
    e.mxcsr = _mm_getcsr() & ~0x3Fu;
#endif
    return e;
}

void writeFloatEnvironment(const FloatEnvironment& e) {
#if defined(__i386__) || defined(__x86_64__)
    // Keep the undefined bits as they stand and put back the defined fields.
    uint16_t word = 0;
    __asm__ volatile("fnstcw %0" : "=m"(word));
    word = static_cast<uint16_t>((word & ~kX87DefinedFields) | (e.x87 & kX87DefinedFields));
    __asm__ volatile("fldcw %0" : : "m"(word));
    _mm_setcsr((_mm_getcsr() & 0x3Fu) | e.mxcsr);
#else
    (void)e;
#endif
}

std::string describe(const FloatEnvironment& e) {
    char text[64];
    std::snprintf(text, sizeof text, "x87 0x%04X, MXCSR 0x%04X", unsigned(e.x87), unsigned(e.mxcsr));
    return text;
}

std::string currentLocale() {
    const char* name = std::setlocale(LC_ALL, nullptr);
    return name ? name : "";
}

EnvironmentWatch::Scope::Scope(EnvironmentWatch& watch, const char* what, int detail)
    : watch_(watch), what_(what), detail_(detail), before_(readFloatEnvironment()), locale_(currentLocale()) {}

EnvironmentWatch::Scope::~Scope() {
    ++watch_.calls_;
    const FloatEnvironment after = readFloatEnvironment();
    if (!(after == before_)) {
        watch_.record(std::string(what_) + " " + std::to_string(detail_) + " changed the floating-point control from " +
                      describe(before_) + " to " + describe(after));
        writeFloatEnvironment(before_);
    }
    const std::string locale = currentLocale();
    if (locale != locale_) {
        watch_.record(std::string(what_) + " " + std::to_string(detail_) + " changed the locale from \"" + locale_ +
                      "\" to \"" + locale + "\"");
        std::setlocale(LC_ALL, locale_.c_str());
    }
}

void EnvironmentWatch::record(const std::string& change) {
    ++changeCount_;
    std::lock_guard<std::mutex> lock(mutex_);
    if (changes_.size() < 20) changes_.push_back(change);
}

std::vector<std::string> EnvironmentWatch::changes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return changes_;
}

}  // namespace trv4tool::validate
