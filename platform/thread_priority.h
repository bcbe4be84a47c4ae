#pragma once

namespace orvo {

// Background work (a scan of a whole card, trip summaries) yields the
// processor to playback and to the window: the calling thread's nice value
// goes up by `steps`, to 19 at most, and never down (which would need a
// privilege). Only the calling thread changes, never the process. False
// where the system has no such setting or refused. The toolkit's own low
// thread priority does nothing on Linux.
bool LowerThisThreadsPriority(int steps = 10);

// The calling thread's nice value (0 where the system has none).
int ThisThreadsNiceValue();

}  // namespace orvo
