// A new channel made of two existing ones: X * multiplier X + Y * multiplier Y.
#pragma once

#include "state/app_state.h"
#include "common/ui.h"

namespace sism {

// Asks for the channels, multipliers and label (channel-selection dialog, new-channel mode)
// and adds the channel to the current record. False when cancelled or no record is loaded.
bool CreateNewChannel(AppState& state, UserInterface& ui);
// The record side: adds the channel and its duration. False (nothing changed) when X or Y is
// not a channel of the record.
bool AddCombinedChannel(AppState& state, const SelChanValues& values);

}  // namespace sism
