#pragma once

// A one-connection HTTP server on 127.0.0.1 for the client's tests, driven by a script: it
// accepts one connection, reads the request up to its blank line, then sends the scripted pieces
// in order and closes. The test decides every byte, how the bytes are cut into pieces, and when
// the connection ends.
//
// Each piece reaches the client as a receive of its own: after sending a piece the server waits
// until the client has read all of it before it sends the next. The client runs in this process,
// so the server finds the client's end of the connection among the process's descriptors and
// watches its receive queue; no sleeping is involved. Every wait is bounded, so a client that
// stops reading only slows the script down.

#include <cstddef>
#include <string>
#include <thread>
#include <vector>

class ScriptedServer {
public:
    ScriptedServer();
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    // Script steps, run in the order added.
    ScriptedServer& Send(const std::string& piece);
    // Sends each byte of the text as a piece of its own.
    ScriptedServer& SendByteByByte(const std::string& text);
    // Sends the pattern again and again without waiting for the client, until the client closes
    // the connection or limit bytes have gone out; then keeps the connection open until the
    // client closes it.
    ScriptedServer& SendEndless(const std::string& pattern, size_t limit);
    // Keeps the connection open, sending nothing, until the client closes it.
    ScriptedServer& Hold();

    // Binds to an ephemeral port and starts serving in a thread.
    void Start();
    int Port() const { return m_port; }
    // Waits for the script to end. Afterwards Request() is the request as received, and
    // EndlessBytesSent() what SendEndless managed to send.
    void Join();
    const std::string& Request() const { return m_request; }
    size_t EndlessBytesSent() const { return m_endlessSent; }

private:
    enum class StepKind { kSend, kSendEndless, kHold };
    struct Step {
        StepKind kind;
        std::string bytes;
        size_t limit;
    };

    void Serve();
    bool SendAll(int connection, const std::string& bytes);
    void WaitUntilRead(int connection, int client);
    void WaitForClientClose(int connection);

    std::vector<Step> m_steps;
    int m_listener = -1;
    int m_port = 0;
    std::thread m_thread;
    std::string m_request;
    size_t m_endlessSent = 0;
};

// A port on 127.0.0.1 that nothing listens on (bound once, then released).
int UnusedLoopbackPort();
