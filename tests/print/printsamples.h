// Tests that a printout reads: quarter-metre logs of any length and a realistic 10 m test.
#pragma once

#include "record.h"
#include "reftables.h"

struct TSetting;

// The reference tables shipped beside the program.
TReferenceTables ShippedTables();

// A log of `count` rows 25 cm apart on sandy soil; every fifth row sinks under 0.75 kN.
Tkannyu QuarterMetreLog(int count);

// A test as the instrument delivers it: self-sinking under growing loads in the first metre,
// then rotation steps of mixed soils down to `finalDepthCm`, some at uneven depths; Nsw,
// converted N and the rounded log derived as the program derives them, DisplayLog showing
// the normal data, a mode parameter and torque readings.
TSoundingTest RealisticTest(const TSetting &setting, const TReferenceTables &tables,
                            int finalDepthCm = 1000);
