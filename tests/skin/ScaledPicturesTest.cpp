// The skin's pictures at the editor's sizes: pixel for pixel what the skin
// drew before its drawing was made fast, and the set kept for a size shared
// by the editors that ask for it, on any thread.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "skin/EditorPictures.h"
#include "skin/ScaledPictures.h"
#include "skin/SkinPictures.h"
#include "toolkit/cDIBPayload.h"

namespace {

using namespace trv4skin;

uint64_t Fnv(uint64_t h, uint64_t v) { return (h ^ v) * 1099511628211ULL; }

uint64_t Fingerprint(const toolkit::TMemoryDIB& dib) {
    uint64_t h = 1469598103934665603ULL;
    const uint32_t* bits = dib.Bits();
    for (size_t i = 0; i < static_cast<size_t>(dib.Width()) * dib.Height(); ++i) h = Fnv(h, bits[i]);
    return h ^ static_cast<uint64_t>(dib.Width() * 65536 + dib.Height());
}

// Every picture at every size, at three places (the places decide where
// the edges of a magnified picture's pixels fall), into one number. The
// value was taken from the skin as it stood before its fills were given
// tables and runs and the panel rows: they must change nothing. An
// intended change of the artwork changes it; then take the new value from
// the failure, having looked at the pictures.
// The chassis text goes through GDI on Windows and the libm of each system
// draws the knobs' ridges and the waves: the value holds for Linux builds.
TEST(ScaledPictures, EveryPictureAtEverySizeIsPixelForPixelWhatItWas) {
#ifdef _WIN32
    GTEST_SKIP() << "the fingerprint is that of the Linux text rasterizer and libm";
#endif
    const char* names[] = {"MonoOn", "MonoOff", "Meter", "LWF1", "LWF2", "LWF3", "LWF4",
                           "LWF5",   "LWF6",    "LWF7",  "LWF8", "LWF9", "LWF10"};
    uint64_t all = 1469598103934665603ULL;
    for (int percent : {100, 125, 150, 175, 200})
        for (int place : {0, 1, 3}) {
            const Placement at{platform::PixelScale{percent}, 17 * place, 11 * place};
            for (int item = 0; item < 3; ++item) {
                if (item == 2 && place) continue;  // the chassis has one place
                toolkit::TMemoryDIB dib;
                DrawListItem(item, dib, at);
                all = Fnv(all, Fingerprint(dib));
            }
            for (const char* name : names) {
                toolkit::TMemoryDIB dib;
                DrawControlPicture(name, dib, at);
                all = Fnv(all, Fingerprint(dib));
            }
            toolkit::TMemoryDIB column;
            DrawMeterColumn(column, at);
            all = Fnv(all, Fingerprint(column));
        }
    EXPECT_EQ(all, 0x410e5bd698497f21ULL) << std::hex << all;
}

std::vector<PicturePlace> Places() {
    return {{"MonoOn", 217, 95}, {"Meter", 500, 78}, {"LWF3", 22, 206}, {"Nope", 0, 0}};
}

TEST(ScaledPictures, AKeptSetIsWhatTheSkinDrawsAndIsSharedUntilAnotherSizeIsAskedFor) {
    ScaledPictures::forget();
    const std::shared_ptr<const ScaledPictures> first = ScaledPictures::at(175, Places());
    ASSERT_EQ(first->percent(), 175);
    // The same pixels as the skin's own drawing at that size and place.
    toolkit::TMemoryDIB chassis;
    DrawListItem(2, chassis, Placement{platform::PixelScale{175}});
    ASSERT_EQ(first->listItem(2).Width(), chassis.Width());
    ASSERT_EQ(first->listItem(2).Height(), chassis.Height());
    EXPECT_EQ(std::memcmp(first->listItem(2).Bits(), chassis.Bits(),
                          static_cast<size_t>(chassis.Width()) * chassis.Height() * 4),
              0);
    toolkit::TMemoryDIB wave;
    DrawControlPicture("LWF3", wave, Placement{platform::PixelScale{175}, 22, 206});
    EXPECT_EQ(first->picture(2), toolkit::WriteDIBData(wave));
    EXPECT_TRUE(first->picture(3).empty()) << "a name the skin has no picture of";

    // Asked again: the same set, not drawn anew; the same size for other
    // places is another set.
    EXPECT_EQ(ScaledPictures::at(175, Places()), first);
    std::vector<PicturePlace> moved = Places();
    moved[0].left += 1;
    const std::shared_ptr<const ScaledPictures> other = ScaledPictures::at(175, moved);
    EXPECT_NE(other, first);
    // The first holder's set stays as it was.
    EXPECT_EQ(std::memcmp(first->listItem(2).Bits(), chassis.Bits(),
                          static_cast<size_t>(chassis.Width()) * chassis.Height() * 4),
              0);

    // Two window threads opening at once get one set.
    ScaledPictures::forget();
    std::shared_ptr<const ScaledPictures> a, b;
    std::thread one([&] { a = ScaledPictures::at(125, Places()); });
    std::thread two([&] { b = ScaledPictures::at(125, Places()); });
    one.join();
    two.join();
    EXPECT_EQ(a, b);
    EXPECT_GT(a->bytes(), static_cast<size_t>(944) * 463 * 4) << "at least the chassis";
    ScaledPictures::forget();
}

}  // namespace
