// Start-up timing for VELLUM_REPORT_FIRST_FRAME=1: named steps from process start to the first drawn
// frame, printed as one breakdown so the time to the first picture can be followed step by step.
#pragma once

namespace startup_report {

// True when VELLUM_REPORT_FIRST_FRAME is set; marks cost nothing otherwise.
bool enabled();
// Ends the step that began at the previous mark (the first step begins when the process started).
void mark(const char* step);
// Prints every step with its milliseconds and the total since process start, once.
void print();

} // namespace startup_report
