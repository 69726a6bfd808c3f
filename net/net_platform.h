#pragma once

// The two platform services a download needs besides sockets: a millisecond tick count for the
// speed it reports, and a file opened for writing by its wide path.

#include <cstdint>
#include <cstdio>
#include <string>

// Milliseconds since an arbitrary start, wrapping at 2^32 like GetTickCount, so that the
// difference of two readings taken in unsigned arithmetic is right across a wrap. On Windows it
// is GetTickCount; natively CLOCK_MONOTONIC, which no change of the wall clock moves.
uint32_t TickCountMs();

// Creates or truncates the file for binary writing ("wb"): _wfopen on Windows, fopen of the UTF-8
// form of the path natively. Null when it cannot be opened.
FILE* OpenFileForWriting(const std::wstring& path);
