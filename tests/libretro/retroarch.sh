#!/usr/bin/env bash
# The core in Debian's RetroArch, under an X server of its own: RetroArch
# runs N frames of a test program and saves a screenshot, which must show
# the picture of QUAV's headless run of N frames; a state RetroArch saves
# loads in the executable.
#
# With video_gpu_screenshot off, RetroArch's screenshot is the core's last
# frame itself (288 x 216, no viewport scaling). It widens each RGB565
# channel to 8 bits by repeating its top bits, where QUAV's BMP leaves zeros
# below them; so the top 5, 6 and 5 bits of red, green and blue, which are
# the core's own pixel, are compared, and they must all be equal.
source "$QUAV_SOURCE_DIR/tests/support/script.sh"

core="$(dirname "$QUAV_BIN")/quav_libretro.so"
roms="$QUAV_TEST_ROM_DIR"
needs "$core" "$roms/pad_scene.bin" "$roms/cart_rom48.bin" "$roms/cart_sega_128k.bin"
for tool in retroarch Xvfb dbus-run-session convert python3; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
if ldd "$core" | grep -q libasan; then
  echo "SKIP: the core is built with AddressSanitizer, which RetroArch cannot load"
  exit 77
fi

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>display 2>xvfb.log & pids+=($!)
for _ in $(seq 100); do [ -s display ] && break; sleep 0.1; done
[ -s display ] || { echo "SKIP: Xvfb did not start"; exit 77; }
export DISPLAY=":$(head -n1 display)"
# RetroArch keeps its history, core options and saves under here.
export HOME="$PWD/home" XDG_CONFIG_HOME="$PWD/home/config"
mkdir -p "$HOME"

cat >retroarch.cfg <<EOF
video_driver = "sdl2"
video_vsync = "false"
video_fullscreen = "false"
video_gpu_screenshot = "false"
video_font_enable = "false"
audio_driver = "null"
audio_enable = "false"
menu_driver = "null"
log_verbosity = "true"
joypad_driver = "null"
config_save_on_exit = "false"
global_core_options = "true"
core_options_path = "$PWD/options.cfg"
libretro_directory = "$(dirname "$core")"
libretro_info_path = "$(dirname "$core")"
savestate_directory = "$PWD/states"
savestate_file_compression = "false"
stdin_cmd_enable = "true"
EOF
mkdir -p states

# retroarch_shot IMAGE FRAMES OUT: RetroArch's screenshot after FRAMES frames,
# as raw RGB bytes in OUT.
retroarch_shot() {
  rm -f ra.png
  timeout 60 dbus-run-session -- retroarch --config="$PWD/retroarch.cfg" -L "$core" "$1" \
    --max-frames="$2" --max-frames-ss --max-frames-ss-path="$PWD/ra.png" </dev/null >retroarch.log 2>&1
  [ -f ra.png ] && convert ra.png -depth 8 "rgb:$3"
}
# quav_shot FRAMES OUT ARGS...: the headless run's screenshot as raw RGB.
quav_shot() {
  local frames=$1 out=$2
  shift 2
  "$QUAV_BIN" --headless --frames "$frames" "$@" --shot quav.bmp && convert quav.bmp -depth 8 "rgb:$out"
}
same_pixels() {
  python3 - "$1" "$2" <<'EOF'
import sys
a, b = (open(p, "rb").read() for p in sys.argv[1:3])
top = (0xF8, 0xFC, 0xF8)
sys.exit(0 if len(a) == len(b) == 288 * 216 * 3 and
         all(x & top[i % 3] == y & top[i % 3] for i, (x, y) in enumerate(zip(a, b))) else 1)
EOF
}

# The core's defaults (the 50 Hz machine, the map chosen by the image, the
# sprite limit on; F6 turns the executable's limit on).
: >options.cfg
for rom in pad_scene cart_rom48 cart_sega_128k; do
  retroarch_shot "$roms/$rom.bin" 300 ra.rgb
  [ -f ra.rgb ] || { echo "FAIL: RetroArch saved no screenshot of $rom"; cat retroarch.log; fail=1; }
  quav_shot 300 quav.rgb --hold F6@20-21 "$roms/$rom.bin"
  check "frame 300 of $rom in RetroArch is QUAV's" "same_pixels ra.rgb quav.rgb"
  rm -f ra.rgb
done

# The options as RetroArch hands them over: the NTSC machine, no sprite limit.
printf 'quav_machine = "ntsc"\nquav_sprite_limit = "off"\n' >options.cfg
retroarch_shot "$roms/pad_scene.bin" 300 ra.rgb
quav_shot 300 quav.rgb --ntsc "$roms/pad_scene.bin"
check "frame 300 of the NTSC machine in RetroArch is QUAV's" "same_pixels ra.rgb quav.rgb"

# A state saved in RetroArch (its SAVE_STATE command, in whatever frame it
# arrives): RetroArch's container around a QUAV state file, which the
# executable loads. States both ways and refused content are checked frame
# for frame in our own front end (core_test.cpp).
: >options.cfg
{ sleep 1; echo SAVE_STATE; sleep 1; } | timeout 60 dbus-run-session -- retroarch \
  --config="$PWD/retroarch.cfg" -L "$core" "$roms/pad_scene.bin" --max-frames=1500 >save.log 2>&1
check "RetroArch saved a state" '[ -s states/pad_scene.state ]'
check "the executable loads RetroArch's state" \
  '"$QUAV_BIN" --headless --load-state states/pad_scene.state --frames 1 "$roms/pad_scene.bin"'
exit $fail
