// What the editor shows, pixel by pixel, after program changes and audio:
// the wave pictures, the switch lamps and the meter column compared with
// the skin's own pictures drawn by the skin library here (no stored image).
#include <cmath>
#include <string>

#include "tests/editor/EditorRig.h"
#include "skin/SkinLayout.h"
#include "skin/SkinPictures.h"

namespace trv4test {
namespace {

using Capture = std::vector<uint32_t>;

// Pixels of region (left, top, w, h) of the capture that differ from the
// picture's pixels (x0, y0 within it) on.
int Differences(const Capture& screen, int left, int top, const toolkit::TMemoryDIB& picture, int x0 = 0, int y0 = 0,
                int w = -1, int h = -1) {
    if (w < 0) w = picture.Width() - x0;
    if (h < 0) h = picture.Height() - y0;
    int differ = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t seen = screen[static_cast<size_t>(top + y) * 755 + left + x] & 0xFFFFFF;
            differ += seen != (picture.Pixel(x0 + x, y0 + y) & 0xFFFFFF);
        }
    return differ;
}

class EditorPixelsTest : public EditorTest {
protected:
    static void SetUpTestSuite() {
        EditorTest::SetUpTestSuite();
        trv4skin::DrawChassis(chassis);
        trv4skin::DrawSwitch(true, lit);
        trv4skin::DrawSwitch(false, dark);
        trv4skin::DrawMeterCover(cover);
        for (int n = 1; n <= trv4skin::kWaveCount; ++n) trv4skin::DrawWave(n, waves[n]);
    }

    // The wave window of modulator m shows wave n (0: the chassis's empty window).
    void ExpectWave(const Capture& screen, int m, int n, const std::string& where) {
        const int top = trv4skin::kWaveTops[m - 1];
        if (n >= 1 && n <= 10)
            EXPECT_EQ(Differences(screen, trv4skin::kWaveLeft, top, waves[n]), 0)
                << where << " modulator " << m << " wave " << n;
        else
            EXPECT_EQ(Differences(screen, trv4skin::kWaveLeft, top, chassis, trv4skin::kWaveLeft, top,
                                  trv4skin::kWaveWidth, trv4skin::kWaveHeight),
                      0)
                << where << " modulator " << m << " shows no wave";
    }

    inline static toolkit::TMemoryDIB chassis, lit, dark, cover, waves[11];
};

TEST_F(EditorPixelsTest, ProgramChangesShowTheirWavesAndLamps) {
    openShown();
    int wavesSeen = 0, lampsLit = 0;
    for (int program = 0; program < 45; program += 4) {
        effect->setProgram(program);
        idle();
        const Capture screen = capture();
        const std::string where = "program " + std::to_string(program);
        const int wave1 = static_cast<int>(std::nearbyint(effect->getParameter(3) * 10.0));
        const int wave2 = static_cast<int>(std::nearbyint(effect->getParameter(7) * 10.0));
        ExpectWave(screen, 1, wave1, where);
        ExpectWave(screen, 2, wave2, where);
        wavesSeen += (wave1 != 0) + (wave2 != 0);
        for (int s = 0; s < 4; ++s) {
            const bool on = std::nearbyint(effect->getParameter(15 + s)) == 1.0;
            const auto& place = trv4skin::kSwitchPlaces[s];
            EXPECT_EQ(Differences(screen, place.left, place.top, on ? lit : dark), 0) << where << " switch " << s;
            lampsLit += on;
        }
        // Silence: the whole meter column under its dark cover.
        EXPECT_EQ(Differences(screen, trv4skin::kMeterLeft, trv4skin::kMeterTop, cover), 0) << where;
    }
    EXPECT_GT(wavesSeen, 0);
    EXPECT_GT(lampsLit, 0);
}

TEST_F(EditorPixelsTest, TheMeterUncoversWholeSegmentsFromTheBottom) {
    effect->setProgram(0);
    effect->setParameter(2, 0.0f);   // Mix: dry only
    effect->setParameter(1, 0.8f);   // Level: 0 dB
    effect->setParameter(16, 0.0f);  // no -20 dB
    openShown();
    const int left = trv4skin::kMeterLeft, top = trv4skin::kMeterTop;
    const struct {
        float level;
        int height;
    } cases[] = {{4.0f, 1}, {0.0f, 64}};
    for (const auto& c : cases) {
        process(c.level, 44100 * 3);  // past the meter's release
        idle();
        EXPECT_EQ(info("Meter").height, c.height) << c.level;
        const Capture screen = capture();
        EXPECT_EQ(Differences(screen, left, top, cover, 0, 0, trv4skin::kMeterWidth, c.height), 0) << c.level;
        EXPECT_EQ(Differences(screen, left, top + c.height, chassis, left, top + c.height, trv4skin::kMeterWidth,
                              trv4skin::kMeterHeight - c.height),
                  0)
            << c.level << ": the chassis's lit column below the cover";
    }
}

}  // namespace
}  // namespace trv4test
