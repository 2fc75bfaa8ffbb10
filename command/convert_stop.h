// Stopping a run of the command (Ctrl-C, SIGTERM): the page being written is left out whole,
// no temporary file stays, no further scene is started, and the command ends with status 130.
#pragma once

#include <cstdint>

// The command's status after a stop request: 128 + SIGINT, as shells report an interrupted
// program.
constexpr int kConvertExitStopped = 130;

// From now on Ctrl-C asks the run to stop instead of ending the process at once (a second
// Ctrl-C still ends it). False when the system refused (the default ending stays).
bool WatchForStop();

// Whether a stop was asked for; thread-safe.
bool StopAsked();

// A block handler for the scene's read (XmlTree::BlockHandler): false once a stop was asked
// for, so that a long read ends at its next block.
bool ReadOnUnlessStopped(void* context, uint64_t bytesRead);

// Tells on standard error that the run was stopped and returns kConvertExitStopped.
int TellStopped();
