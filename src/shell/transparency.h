// The main window's transparency: the stored value is its opacity, 0 to 255;
// the dialog's track bar runs the other way.
#pragma once

#include <algorithm>

namespace orv {

inline constexpr int kTrackBarMax = 250;

// Where the track bar stands for the value `v`: 255 − v, as far as the bar
// reaches.
inline int TrackBarPositionForValue(int v) { return std::clamp(255 - v, 0, kTrackBarMax); }

// The value the track bar at `position` sets.
inline int ValueForTrackBarPosition(int position) { return 255 - position; }

}  // namespace orv
