#pragma once
// How many engine runs (performance runs and nozzle optimisations) are at work on a
// worker thread. The solvers read the preference values there without a lock, so the
// Preferences dialog refuses to change a value the engine reads while any run is in
// progress. A tab counts a run from the moment it starts the run's worker
// (calculationStarted) until the run's finished signal has reached it
// (calculationFinished), aborted and failed runs included.
void calculationStarted();
// Never counts below zero.
void calculationFinished();
// The number of runs in progress; any thread may ask.
int calculationsRunning();
