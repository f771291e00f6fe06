// The 45 factory programs: names, and values as one constant table.
//
// Every value is a short decimal held as float32. The plug-in copies the rows
// into its programs at construction and never changes the table.
#include "plugin/FactoryPrograms.h"

#include <iterator>

namespace trv4 {

const char* const kFactoryProgramNames[] = {
    "Wide Chorus",             // 0
    "Piano Chorus #1",         // 1
    "Piano Chorus #2",         // 2
    "Piano Chorus #3",         // 3
    "Piano Chorus #4",         // 4
    "Clean Guitar Chorus",     // 5
    "Lead Guitar Chorus",      // 6
    "String Pad Chorus",       // 7
    "Modulated Room",          // 8
    "Solid El-Bass",           // 9
    "Lead Synth",              // 10
    "Vocal Overdub",           // 11
    "Vocal Spread",            // 12
    "Rock Singer",             // 13
    "Tape Delay",              // 14
    "Fat Voice",               // 15
    "Stereo to Cymbal",        // 16
    "Guitar Flanger #1",       // 17
    "Guitar Flanger #2",       // 18
    "Guitar Flanger #3",       // 19
    "Guitar Flanger #4",       // 20
    "Guitar Flanger #5",       // 21
    "Guitar Flanger #6",       // 22
    "Guitar Flanger #7",       // 23
    "Guitar Flanger #8",       // 24
    "Guitar Flanger #9",       // 25
    "Guitar Flanger #10",      // 26
    "Guitar Flanger #11",      // 27
    "String Pad Flanger",      // 28
    "Fast Tremolo",            // 29
    "Vibrato",                 // 30
    "Spread The Love",         // 31
    "Spread Vibrato",          // 32
    "Linear Panning",          // 33
    "Random Panning",          // 34
    "Leslie",                  // 35
    "Waving String Pad",       // 36
    "Spacy Cymbal",            // 37
    "Flanging Snare",          // 38
    "Sirens In My Head",       // 39
    "UFO!",                    // 40
    "Come baaaaaack!",         // 41
    "Unstable Record Player",  // 42
    "I Come in Peace",         // 43
    "Bucket on Head",          // 44
};

// One program row: the macro takes exactly one value per parameter and
// refuses any other count, so a row can never be padded with zeros.
#define TRV4_PROGRAM(p0, p1, p2, p3, p4, p5, p6, p7, p8, p9, p10, p11, p12, p13, p14, p15, p16, p17, p18, p19, p20) \
    { p0, p1, p2, p3, p4, p5, p6, p7, p8, p9, p10, p11, p12, p13, p14, p15, p16, p17, p18, p19, p20 }

// Columns in parameter order: Delay, Level, Mix, Wave 1, Rate 1, Depth, AM,
// Wave 2, Rate 2, Offset, Pan, Host OS, F.B., High, Low, Mono, -20dB, Spread,
// Sync., Hi-Cut and the spare slot (-).
// clang-format off: one row a program, its values in aligned columns.
const float kFactoryProgramValues[][kNumParams] = {
    //           Delay  Level    Mix Wave1  Rate1  Depth    AM Wave2  Rate2 Offset   Pan HostOS  F.B.  High    Low Mono
    //           -20dB Sprd Sync HiCut  -
    TRV4_PROGRAM(0.6f, 0.8f, 0.5f, 0.1f, 0.34f, 0.3f, 0, 0.1f, 0.26f, 0, 0, 0, 0.5f, 1, 0, 0, 0, 1, 0, 1, 0),  // 0
    TRV4_PROGRAM(0.68f, 0.8f, 0.5f, 0.1f, 0.3f, 0.24f, 0, 0, 0, 0.5f, 0, 0, 0.5f, 1, 0, 0, 0, 1, 0, 1, 0),     // 1
    TRV4_PROGRAM(0.6f, 0.8f, 0.5f, 0.2f, 0.4f, 0.5f, 0, 0, 0, 0.5f, 0, 0, 0.5f, 1, 0, 0, 0, 1, 0, 1, 0),       // 2
    TRV4_PROGRAM(0.65f, 0.8f, 0.5f, 0.9f, 0.3f, 0.4f, 0, 0, 0, 0.5f, 0, 0, 0.5f, 1, 0, 0, 0, 1, 0, 1, 0),      // 3
    TRV4_PROGRAM(0.34f, 0.8f, 0.5f, 0.7f, 0.7f, 0.5f, 0, 0, 0, 0.5f, 0, 0, 0.5f, 1, 0, 0, 0, 1, 0, 1, 0),      // 4
    TRV4_PROGRAM(0.54f, 0.8f, 0.5f, 0.1f, 0.46f, 0.3f, 0, 0, 0, 0.5f, 0, 0, 0.5f, 1, 0, 0, 0, 1, 0, 1, 0),     // 5
    TRV4_PROGRAM(0.61f, 0.8f, 0.5f, 0.1f, 0.39f, 0.25f, 0, 0, 0, 0.5f, 0, 0, 0.5f, 1, 0, 0, 0, 1, 0, 1, 0),    // 6
    TRV4_PROGRAM(0.64f, 0.8f, 0.5f, 0.1f, 0.28f, 0.8f, 0, 0, 0, 0.5f, 0, 0, 0.5f, 1, 0, 0, 0, 1, 0, 1, 0),     // 7
    TRV4_PROGRAM(0.8f, 0.8f, 0.2f, 1, 0.3f, 0.5f, 0, 0, 0, 0, 0, 0, 0.8f, 0.7f, 0, 0, 0, 0, 0, 1, 0),          // 8
    TRV4_PROGRAM(0.38f, 0.8f, 0.5f, 0.1f, 0.59f, 0.3f, 0, 0, 0, 0.5f, 0, 0, 0.5f, 1, 0, 0, 0, 1, 0, 1, 0),     // 9
    TRV4_PROGRAM(0.48f, 0.8f, 0.5f, 0.1f, 0.44f, 1, 0, 0, 0, 0.5f, 0, 0, 0.5f, 1, 0, 0, 0, 1, 0, 1, 0),        // 10
    TRV4_PROGRAM(0.27f, 0.8f, 1, 0.1f, 0.75f, 0.8f, 0, 0, 0, 0.5f, 0, 0, 0.5f, 1, 0, 0, 0, 1, 0, 1, 0),        // 11
    TRV4_PROGRAM(0.76f, 0.8f, 0.2f, 0.1f, 0.23f, 0.1f, 0, 0, 0, 0.5f, 0, 0, 0.5f, 1, 0, 0, 0, 1, 0, 1, 0),     // 12
    TRV4_PROGRAM(0.79f, 0.8f, 0.2f, 0.1f, 0.38f, 0.15f, 0, 0, 0, 0.5f, 0, 0, 0.5f, 1, 0, 0, 0, 1, 0, 1, 0),    // 13
    TRV4_PROGRAM(0.86f, 0.8f, 0.2f, 0.6f, 0.2f, 0.02f, 0, 1, 0.7f, 0, 0.3f, 0, 0.7f, 0.8f, 0.5f, 0, 0, 0, 0, 1,
                 0),                                                                                               // 14
    TRV4_PROGRAM(0.61f, 0.8f, 0.5f, 0.1f, 0.43f, 0.5f, 0, 0, 0, 0.5f, 0, 0, 0.5f, 1, 0, 0, 0, 1, 0, 1, 0),         // 15
    TRV4_PROGRAM(0.61f, 0.8f, 0.5f, 0.1f, 0.46f, 0.3f, 0, 0, 0, 0.5f, 0, 0, 0.5f, 1, 0, 0, 0, 1, 0, 1, 0),         // 16
    TRV4_PROGRAM(0.46f, 0.6f, 0.5f, 0.5f, 0.58f, 0.5f, 0, 0, 0, 0.5f, 0, 0, 0.85f, 0.8f, 0.5f, 0, 0, 1, 1, 1, 0),  // 17
    TRV4_PROGRAM(0.32f, 0.8f, 0.5f, 0.5f, 0.83f, 0.3f, 0, 0, 0, 0.5f, 0, 0, 0.2f, 0.8f, 0.5f, 0, 0, 1, 0, 1, 0),   // 18
    TRV4_PROGRAM(0.27f, 0.8f, 0.5f, 0.5f, 0.74f, 0.5f, 0, 0, 0, 0.5f, 0, 0, 0.15f, 0.8f, 0.5f, 0, 0, 1, 0, 1, 0),  // 19
    TRV4_PROGRAM(0.24f, 0.8f, 0.5f, 0.5f, 0.52f, 0.8f, 0, 0, 0, 0.5f, 0, 0, 0.16f, 0.8f, 0.5f, 0, 0, 1, 0, 1, 0),  // 20
    TRV4_PROGRAM(0.17f, 0.8f, 0.5f, 0.5f, 0.86f, 0.5f, 0, 0, 0, 0.5f, 0, 0, 0.8f, 0.8f, 0.5f, 0, 0, 1, 0, 1, 0),   // 21
    TRV4_PROGRAM(0.37f, 0.8f, 0.5f, 0.5f, 0.67f, 1, 0, 0, 0, 0.5f, 0, 0, 0.7f, 0.8f, 0.5f, 0, 0, 1, 0, 1, 0),      // 22
    TRV4_PROGRAM(0.28f, 1, 0.7f, 0.5f, 0.64f, 0.3f, 0, 0, 0, 0.5f, 0, 0, 0.03f, 0.8f, 0.5f, 0, 0, 1, 1, 1, 0),     // 23
    TRV4_PROGRAM(0.11f, 0.65f, 1, 0.5f, 0.9f, 0.5f, 0, 0, 0, 0.5f, 0, 0, 0.7f, 0.8f, 0.5f, 0, 0, 1, 0, 1, 0),      // 24
    TRV4_PROGRAM(0.42f, 0.8f, 0.5f, 0.5f, 0.68f, 0.7f, 0, 0, 0, 0.5f, 0, 0, 0.5f, 0.8f, 0.5f, 0, 0, 1, 1, 1, 0),   // 25
    TRV4_PROGRAM(0.32f, 0.8f, 0.5f, 0.1f, 0.7f, 0.5f, 0, 0, 0, 0.5f, 0, 0, 0.5f, 1, 0, 0, 0, 1, 0, 1, 0),          // 26
    TRV4_PROGRAM(0.28f, 0.8f, 1, 1, 1, 0.8f, 0, 0, 0, 0, 0, 0, 0.16f, 0.8f, 0.3f, 0, 0, 0, 0, 1, 0),               // 27
    TRV4_PROGRAM(0.27f, 0.8f, 0.5f, 0.1f, 0.23f, 1, 0, 0, 0, 0.5f, 0, 0, 0.5f, 1, 0, 0, 0, 1, 0, 1, 0),            // 28
    TRV4_PROGRAM(0, 0.8f, 1, 0.1f, 0.89f, 0, 0.5f, 0, 0, 0, 0, 0, 0.5f, 1, 0, 0, 0, 0, 0, 1, 0),                   // 29
    TRV4_PROGRAM(0.36f, 0.8f, 1, 0.1f, 0.83f, 1, 0, 0, 0, 0, 0, 0, 0.5f, 1, 0, 0, 0, 0, 0, 1, 0),                  // 30
    TRV4_PROGRAM(0.07f, 0.9f, 0.75f, 0.7f, 0.57f, 0.15f, 0.2f, 0.4f, 0.66f, 0.5f, 0.4f, 0.5f, 0.25f, 1, 0, 0, 0, 1, 1,
                 1, 0),                                                                                           // 31
    TRV4_PROGRAM(0.36f, 0.8f, 1, 0.1f, 0.83f, 1, 0, 0, 0, 0.25f, 0, 0, 0.5f, 1, 0, 0, 0, 1, 0, 1, 0),             // 32
    TRV4_PROGRAM(0, 0.8f, 1, 0.5f, 0.5f, 0, 0, 0, 0, 0, 1, 0, 0.5f, 1, 0, 0, 0, 0, 1, 1, 0),                      // 33
    TRV4_PROGRAM(0, 0.8f, 1, 0, 0, 0, 0, 1, 0.9f, 0, 1, 0, 0.5f, 1, 0, 0, 0, 0, 0, 1, 0),                         // 34
    TRV4_PROGRAM(0.46f, 0.8f, 1, 0.1f, 0.5f, 1, 0.4f, 0, 0, 0.75f, 0.5f, 0, 0.5f, 1, 0, 0, 0, 0, 0, 1, 0),        // 35
    TRV4_PROGRAM(0.32f, 0.8f, 0.5f, 0.5f, 0.2f, 1, 0, 0, 0, 0, 0, 0, 0.2f, 0.8f, 0.5f, 0, 0, 0, 1, 1, 0),         // 36
    TRV4_PROGRAM(0.22f, 0.8f, 0.5f, 0.5f, 0.35f, 1, 0, 0, 0, 0.5f, 0, 0, 0.5f, 0.8f, 0.5f, 0, 0, 1, 1, 1, 0),     // 37
    TRV4_PROGRAM(0.32f, 0.8f, 0.5f, 0.1f, 0.47f, 1, 0, 0, 0, 0.5f, 0, 0, 0.5f, 1, 0, 0, 0, 1, 0, 1, 0),           // 38
    TRV4_PROGRAM(0.6f, 0.8f, 1, 0.7f, 0.8f, 0.5f, 0, 0.4f, 0.69f, 0.49f, 1, 0, 0.5f, 1, 0, 0, 0, 1, 1, 1, 0),     // 39
    TRV4_PROGRAM(0.54f, 0.8f, 1, 0.1f, 0.9f, 1, 1, 0.3f, 0.66f, 0.5f, 0, 0, 0.5f, 1, 0, 0, 0, 1, 0, 1, 0),        // 40
    TRV4_PROGRAM(0.92f, 0.8f, 0.75f, 0.2f, 0.29f, 0.5f, 1, 0, 0, 0, 0.5f, 0, 0.25f, 1, 0.25f, 0, 0, 1, 0, 1, 0),  // 41
    TRV4_PROGRAM(0.56f, 0.8f, 1, 0.1f, 0.48f, 1, 0, 0, 0, 0, 0, 0, 0.5f, 1, 0, 0, 0, 0, 0, 1, 0),                 // 42
    TRV4_PROGRAM(0.49f, 0.8f, 1, 0.1f, 0.9f, 1, 0, 0, 0, 0.5f, 0, 0, 0.5f, 1, 0, 0, 0, 1, 0, 1, 0),               // 43
    TRV4_PROGRAM(0.37f, 0.8f, 1, 0.5f, 0.52f, 0, 0, 0, 0, 0.5f, 0, 0, 0.8f, 0.8f, 0.5f, 0, 0, 1, 0, 1, 0),        // 44
};
// clang-format on

#undef TRV4_PROGRAM

static_assert(std::size(kFactoryProgramNames) == kNumPrograms);
static_assert(std::size(kFactoryProgramValues) == kNumPrograms);
static_assert(std::size(kFactoryProgramValues[0]) == kNumParams);

}  // namespace trv4
