/* The oldest C library our Linux modules load with is glibc 2.34 (Ubuntu
 * 22.04, RHEL 9). The C++ runtime is linked into each module statically, and
 * its std::random_device, which the plug-in never uses but which comes along
 * with the string and exception code, refers to arc4random, new in glibc
 * 2.36. This definition, local to the module, takes that reference instead,
 * so that the module asks the system's C library for nothing newer. The
 * skin's drawing code calls hypot, whose default version is 2.35 (the same
 * function without the old error-handling modes); the module's own hypot
 * hands those calls to the version every glibc has.
 * Linked into the module binaries only. */
#include <errno.h>
#include <math.h>
#include <stdint.h>
#include <sys/random.h>
#include <time.h>

__attribute__((visibility("hidden"))) uint32_t arc4random(void) {
    uint32_t value = 0;
    for (;;) {
        if (getentropy(&value, sizeof value) == 0) return value;
        if (errno != EINTR) break;
    }
    /* No entropy call (a kernel before 3.17): a mix of the clock. */
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    uint64_t z = (uint64_t)now.tv_sec * 1000000007u + (uint64_t)now.tv_nsec + 0x9E3779B97F4A7C15u;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return (uint32_t)(z ^ (z >> 31));
}

#if defined(__x86_64__)
double trv4_hypot_compat(double x, double y);
__asm__(".symver trv4_hypot_compat, hypot@GLIBC_2.2.5");

__attribute__((visibility("hidden"))) double hypot(double x, double y) { return trv4_hypot_compat(x, y); }
#endif
