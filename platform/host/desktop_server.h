// The running instance's end of the desktop socket. Helper threads accept connections and
// read request lines; the UI thread answers them (RunPending), so every window operation
// stays on the UI thread.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace desktop {

// Sends the reply line (one JSON object, no line feed) for one request. It may be called
// later than the handler returns (an idle request), but only once and on the UI thread.
using Reply = std::function<void(const std::string& replyLine)>;
using Handler = std::function<void(const std::string& requestLine, Reply reply)>;

enum class OpenResult {
    kListening,     // this process answers at the socket
    kOtherInstance, // a live process already answers there
    kFailed,        // no socket (the reason is in the error text)
};

struct ServerState;

class Server {
  public:
    Server();
    ~Server(); // Close()
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Makes the socket's folder (0700), replaces a stale socket of a dead process, binds.
    OpenResult Open(const std::string& path, std::string* error);
    // Starts the helper threads; wake is called from them whenever a request waits for
    // the UI thread.
    void Start(std::function<void()> wake);
    // UI thread: hands every waiting request to handler.
    void RunPending(const Handler& handler);
    // Whether a request waits (any thread).
    bool HasPending();
    // Stops the threads, answers what is still waiting with an error, removes the socket.
    void Close();

  private:
    std::shared_ptr<ServerState> state_;
};

// {"ok":false,"error":text}
std::string ErrorReply(const std::string& text);

} // namespace desktop
