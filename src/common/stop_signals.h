#pragma once

// Blocks SIGINT and SIGTERM and returns a descriptor that becomes readable
// when one of them arrives, so that a program can wait for them beside its
// other descriptors (poll(), a socket notifier).
// Call before any thread starts, so that no thread takes the signals itself.
int OpenStopSignals();
