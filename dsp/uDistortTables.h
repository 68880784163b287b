// Constant responses of the amp and cabinet simulators (generated, see
// tools/gen_distort_tables.py, which documents how they were designed).
#pragma once

namespace dsp::distort {

// 272 amp FIR taps: models 1..4 take 64 values each (the fourth model's 32 values are each
// written twice), model 5 ("Radio") the last 16.
inline constexpr int AMP_TABLE_SIZE = 272;
extern const float AMP_COEFFICIENT_TABLE[AMP_TABLE_SIZE];

// Cabinet IIR: y[n] = sum_k CAB_AA[r][k] x[n-k] + sum_k CAB_BB[r][k] y[n-k].
// Rows 0..3 serve models 0..3 at host rates up to 80 kHz, rows 4..7 above; rows 0 and 4
// are unit impulses (the "None" model never runs the filter).
inline constexpr int CAB_ROWS = 8;
inline constexpr int CAB_TAPS = 32;
extern const float CAB_AA[CAB_ROWS][CAB_TAPS];
extern const float CAB_BB[CAB_ROWS][CAB_TAPS];

}  // namespace dsp::distort
