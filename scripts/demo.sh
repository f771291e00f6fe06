#!/usr/bin/env bash
# The main job: installs what is missing, builds the Linux plug-in and the
# trv4 host, renders the built-in demo signal through a handful of factory
# programs into out/, draws the editor into out/editor.png and writes the
# user's manual, out/TRV-4-manual.html.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build/linux -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/linux -j "$(nproc)" --target trv4_module trv4

plugin=build/linux/plugin-bin/TRV-4.so
trv4=build/linux/bin/trv4
mkdir -p out
cp "$plugin" out/

programs=(0 "Wide Chorus" 14 "Tape Delay" 17 "Guitar Flanger #1" 29 "Fast Tremolo"
          30 "Vibrato" 34 "Random Panning" 35 "Leslie" 40 "UFO!")
"$trv4" render "$plugin" out/00-dry.wav --set Mix=0
for ((i = 0; i < ${#programs[@]}; i += 2)); do
  number=${programs[i]}
  name=${programs[i + 1]}
  file=out/$(printf '%02d' "$number")-$(tr -c 'A-Za-z0-9\n' '-' <<<"$name" | tr -s '-' | sed 's/-$//').wav
  "$trv4" render "$plugin" "$file" --program "$number"
done

# The editor as a person sees it, meter lit by a signal at full scale.
"$trv4" snapshot "$plugin" out/editor.png --program "Leslie" --meter 1 ||
  echo "(no editor picture: the plug-in's editor did not draw)"
# The user's manual, with its picture of the editor.
bash scripts/manual.sh "$trv4" "$plugin" out/TRV-4-manual.html ||
  echo "(no manual: its picture of the editor could not be drawn)"

echo
echo "Rendered the demo signal through TRV-4 into $(pwd)/out:"
ls -1 out | sed 's/^/  /'
echo "The plug-in itself is out/TRV-4.so (copy it to ~/.vst to use it in a host)."
