#include <cstdio>

#include "tools/trv4/AudioFile.h"
#include "tools/trv4/Commands.h"

namespace trv4tool {

void printUsage() {
    std::printf(
        "trv4: a command-line VST 2 host for TRV-4 and other VST 2 effects\n"
        "\n"
        "  trv4 info PLUGIN\n"
        "      The record's fields, identity texts, the answers a host asks for at load,\n"
        "      every parameter (name, display, value) and every program name.\n"
        "\n"
        "  trv4 render PLUGIN [IN] OUT [options]\n"
        "      Processes IN (or, without it, a built-in demo of plucked notes and a pad)\n"
        "      into OUT, stereo. A mono input feeds both channels.\n"
        "      --program N|NAME    select a program by number or name\n"
        "      --set NAME=VALUE    set a parameter (name as 'trv4 info' lists it, or its\n"
        "                          number) to a value from 0 to 1; repeatable\n"
        "      --fxb FILE          restore a bank first (then --program picks from it)\n"
        "      --fxp FILE          load a program file into the selected program\n"
        "      --sr RATE           sample rate of the demo and of raw input (default 44100)\n"
        "      --block N           block size, 1 to 65536 (default 512)\n"
        "      --tail SECONDS      silence fed after the input, so that echoes ring out\n"
        "      --tempo BPM         answer the plug-in's time queries with this tempo and 4/4\n"
        "      --playing           report the transport as playing (song position advances)\n"
        "      --samplepos N       song position of the first frame, in samples\n"
        "                          (--playing and --samplepos alone imply --tempo 120; without\n"
        "                          any of the three the host has no time information)\n"
        "\n"
        "  trv4 preset export PLUGIN OUT.fxb|OUT.fxp [--fxb F] [--fxp F] [--program P] [--set N=V ...]\n"
        "      Writes the bank (.fxb) or the selected program (.fxp) in parameter form, as\n"
        "      the plug-in answers after the settings given.\n"
        "\n"
        "  trv4 preset import PLUGIN IN.fxb|IN.fxp [--program P]\n"
        "      Restores the file into a fresh instance (a program file into program P,\n"
        "      default the current one), reads everything back, prints the programs and\n"
        "      fails when any value or name differs.\n"
        "\n"
        "  trv4 snapshot PLUGIN OUT.png [--program P] [--set N=V ...] [--meter LEVEL] [--tempo BPM]\n"
        "      Draws TRV-4's editor off-screen after the settings given and one idle, as PNG.\n"
        "      --meter LEVEL       process a sine of this peak (1 = full scale) first, so the\n"
        "                          meter shows the output level it gives\n"
        "      --tempo BPM         process with the host's tempo at BPM first (shows while\n"
        "                          Sync. is on)\n"
        "\n"
        "  trv4 edit PLUGIN [--program P] [--set N=V ...] [--tempo BPM] [--no-audio]\n"
        "      Opens the plug-in's editor in a window, idles it every 20 ms, plays the demo\n"
        "      signal through the plug-in silently (the meter moves; --no-audio: it does not)\n"
        "      and prints each automation the editor sends. Close the window or press Ctrl-C\n"
        "      to end.\n"
        "\n"
        "%s\n"
        "\n"
        "Exit codes: 0 done, 1 failed (the reason on stderr), 2 wrong usage.\n",
        audioFormatsSummary());
}

}  // namespace trv4tool
