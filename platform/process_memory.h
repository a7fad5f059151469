#pragma once
// How the process heap gives freed memory back to the system.

namespace platform {

// Sets the heap so that memory freed by a closed media graph goes back to the
// system. Called first thing in main, before any thread has taken an arena.
void KeepFreedMemoryReturnable();

// Gives the heap's free pages back now (after a graph's frames are freed).
void ReturnFreedMemory();

}  // namespace platform
