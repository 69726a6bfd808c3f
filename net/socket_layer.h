#pragma once

// The few socket operations the HTTP client needs, one TCP connection over IPv4 at a time.
// socket_win32.cpp puts them on Winsock and socket_posix.cpp on BSD sockets, so the client's
// logic builds and is tested natively as well as under Wine.
//
// Every function fails quietly: a handle of kNoSocket, false, or a count of -1. None of them
// waits longer than its caller asked for.

#include <cstdint>
#include <string>

// A socket handle wide enough for both platforms (Winsock's SOCKET is pointer-sized).
using SocketHandle = intptr_t;
constexpr SocketHandle kNoSocket = -1;

// WSAStartup for version 2.0 and WSACleanup on Windows; nothing elsewhere. Every successful start
// is matched by one cleanup, which Winsock counts.
bool SocketStartup();
void SocketCleanup();

// A new TCP stream socket, or kNoSocket.
SocketHandle SocketOpenTcp();

// The first IPv4 address of a host name in dotted form. False when the name does not resolve.
bool SocketResolveIPv4(const char* name, std::string& dotted);

// Puts the socket in non-blocking mode, so that no connect, send or receive waits past its own
// wait.
bool SocketSetNonBlocking(SocketHandle socket);

// Connects a non-blocking socket to a dotted IPv4 address (inet_addr) and port (htons), waiting
// up to the given whole seconds for the connection to be made. A plain blocking connect would
// wait for the system's own give-up instead: when a listener's queue is full its SYNs go
// unanswered, and Linux (so Wine too) retries for about two minutes.
bool SocketConnect(SocketHandle socket, const char* dotted, int port, int seconds);

enum class SocketWait { kRead, kWrite };

// Waits up to the given whole seconds until the socket is ready for reading or writing. A
// negative time counts as zero. False when the time runs out, on an error, or for kNoSocket.
bool SocketWaitReady(SocketHandle socket, SocketWait direction, int seconds);

// One send or one receive with no flags of meaning: the count moved, 0 for a receive on a
// closed connection, -1 on an error.
int SocketSend(SocketHandle socket, const char* data, int length);
int SocketReceive(SocketHandle socket, char* buffer, int length);

void SocketClose(SocketHandle socket);
