#!/usr/bin/env bash
# Who may include whom: every #include "room/..." of the sources against the
# rooms that room may reach. The devices reach only devices and the state
# serialiser; the machine reaches the devices; the front ends (the shell of
# the window and headless runs, its display, the libretro core) reach the
# machine, and only the shell and its display the host. No SDL header
# outside platform/sdl/. Tests, benchmarks and fuzz targets are not checked.
. "$QUAV_SOURCE_DIR/tests/support/script.sh"
src=$QUAV_SOURCE_DIR
declare -A may=(
  [z80]="z80 state"
  [vdp]="vdp state"
  [sound]="sound state"
  [bus]="bus z80 vdp sound state"
  [state]="state"
  [machine]="machine bus z80 vdp sound state"
  [display]="display machine platform"
  [app]="app display machine platform"
  [data]="app"
  [libretro]="libretro machine"
  [platform]="platform"
)
checked=0
for room in "${!may[@]}"; do
  [ -d "$src/$room" ] || continue
  while IFS= read -r file; do
    checked=$((checked + 1))
    while IFS= read -r reached; do
      case " ${may[$room]} " in
        *" $reached "*) ;;
        *) echo "FAIL: ${file#"$src"/} includes $reached/ (a $room/ file may include ${may[$room]})"; fail=1 ;;
      esac
    done < <(sed -n 's|^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([a-z0-9_]*\)/.*|\1|p' "$file" | sort -u)
  done < <(find "$src/$room" -name '*.cpp' -o -name '*.h')
done
check "the rooms hold sources ($checked files)" "[ $checked -gt 50 ]"
sdl=$(grep -rlE '#[[:space:]]*include[[:space:]]*[<"]SDL' "$src"/{z80,bus,vdp,sound,state,machine,display,app,data,platform} \
      2>/dev/null | grep -v "^$src/platform/sdl/")
check "no SDL header outside platform/sdl/ (${sdl//$'\n'/ })" "[ -z \"$sdl\" ]"
exit $fail
