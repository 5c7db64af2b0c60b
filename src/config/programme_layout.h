// Fixed places in the programme table that the file itself depends on: each
// tab's state slot and the Volumes settings slots, which a fresh table fills.
// What every other slot means is the slot map's business (dispatch/).
#pragma once

#include <array>

namespace talvoro::config {

// Each tab's state slot ("ON" / "OFF"), by tab number - 1.
inline constexpr std::array<int, 15> kStateSlots = {1,   21,  35,  51,  71,  91,  111, 131,
                                                    151, 171, 201, 220, 236, 255, 259};

// The Volumes settings slots.
inline constexpr int kSlotVolumeSelection = 2;  // "VG" / "VW"
inline constexpr int kSlotMasterVolume = 3;
inline constexpr int kSlotMute = 4;  // "SON_ON" / "SON_OFF"
inline constexpr int kSlotBalance = 5;
inline constexpr int kSlotWaveVolume = 6;

}  // namespace talvoro::config
