#pragma once
// How many status queries may be in flight at once, and why: the one place
// for the limits of the parallel pass (the scan, and the refresh through it).
namespace tarvix {

// Each query in flight holds a UDP socket of its own until it completes, so
// that a reply counts only on its socket, from the address asked.
//
// The default: a list of a few thousand servers is asked within a few
// time-outs, while the sockets stay far below the usual open-file limit and
// the ephemeral port range, and a home router's address table is not flooded.
inline constexpr int kDefaultParallelQueries = 1000;
// The most a user may ask for: more sockets would crowd the system's
// ephemeral port range (about 28 000 ports), which slows every port choice.
inline constexpr int kMaxParallelQueries = 10000;
// Queries the pass starts before it reads what has arrived, so that sending
// never keeps waiting replies unread for longer than one batch takes.
inline constexpr int kStartBatch = 64;
// Descriptors the open-file limit keeps for the rest of the program.
inline constexpr int kSpareDescriptors = 64;

// `wanted` bounded to 1..kMaxParallelQueries and to the descriptors the
// open-file limit leaves after kSpareDescriptors.
int queriesInFlight(int wanted);

}  // namespace tarvix
