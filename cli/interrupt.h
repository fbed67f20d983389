#pragma once
// Ctrl+C while the firmware is being written. Stopping within a chunk could
// leave half a report on the wire, so from the erase on an interrupt is only
// noted; the write stage asks between two chunks and stops there. Before the
// erase, Ctrl+C ends the program as usual: nothing has been changed yet.

// From now on, SIGINT is noted rather than obeyed at once.
void deferInterrupts();
// SIGINT ends the program again.
void restoreInterrupts();
// Whether Ctrl+C was pressed since deferInterrupts().
bool interruptRequested();
// As if Ctrl+C had been pressed (tests).
void requestInterrupt();

// For a run over many devices at once: SIGINT is noted from now on until
// releaseInterrupts(), whatever each device's command asks meanwhile; the
// commands' own defer and restore change nothing then, so one device's
// command cannot let Ctrl+C end the program while another is writing.
void holdInterrupts();
void releaseInterrupts();
// Whether holdInterrupts() is in force.
bool interruptsHeld();
