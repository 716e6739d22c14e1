#pragma once

// Blocks SIGINT and SIGTERM and returns a descriptor that becomes readable
// when one of them arrives, so the port loop can wait for them with poll().
// Call before any thread starts, so that no thread takes the signals itself.
int OpenStopSignals();
