// Save states: the whole machine at the end of a frame, as one file.
//
// Layout: the magic "QUAVSTAT", a 16-bit version, the machine kind byte, then
// one section per part of the machine in a fixed order (cartridge map,
// Z80, memory, VDP, sound generator, audio stream, PPI), each a four-letter
// tag and a 32-bit size before its bytes, then the zlib CRC-32 of everything
// before it. All integers are little-endian.
//
// Loading is all or nothing: the file is checked whole (magic, version,
// checksum, every section's tag, size and values) and decoded into a
// snapshot before anything in the machine changes; only then is the
// snapshot committed. The shell's own state (menu, messages, key delay,
// blit mode, resolution, pause) is not part of a state.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "machine/timing.h"

// A machine with the 8255 of a bare image is saved as version 2, whose PPI
// section says so; a machine with its own PPI as version 1, byte for byte as
// before the 8255 was modelled, which every QUAV reads.
constexpr uint16_t kStateVersion = 2;
constexpr uint16_t kOldestStateVersion = 1;

struct MachineSnapshot;
struct MachineSnapshotDeleter {
  void operator()(MachineSnapshot* s) const;
};
using SnapshotPtr = std::unique_ptr<MachineSnapshot, MachineSnapshotDeleter>;

// The running machine as the bytes of a state file.
std::vector<uint8_t> state_encode();
// The machine a state file's header names (50 Hz or NTSC); false when the
// bytes do not start as a state file of this version.
bool state_machine_kind(const std::vector<uint8_t>& bytes, MachineKind* kind);
// Checks `bytes` whole and decodes them; null with the reason in `why`. A
// state loads only into the machine it was saved from.
SnapshotPtr state_decode(const std::vector<uint8_t>& bytes, std::string* why);
// Puts the snapshot into the machine, all parts at once.
void state_commit(const MachineSnapshot& snapshot);
