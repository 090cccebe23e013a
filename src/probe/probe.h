#pragma once

// Runs the whole probe once: load the MeTaL library, open its interface, read
// the device ID and the video memory size, show the report (or the error for
// the step that failed) and release everything. Returns the exit status: 0
// once the report was shown, 1 when a step before it failed.
[[nodiscard]] int run_probe();
