// The probe run of the executable (--probe).
#pragma once

#include "app/probe_report.h"

namespace korvante {

// The probe run: reads the profiles, runs discovery for 1600 ms on
// every network, enumerates the USB printers and writes the report with one
// write to the first of its places that takes it whole: a folder that cannot
// be written (C:\Program Files for a standard user) sends it to %TEMP%.
// Every failure is silent: the run opens no window and always ends normally.
void RunProbeReport();

}  // namespace korvante
