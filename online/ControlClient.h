// The client side of the control socket: one connection, requests written as lines, answers
// and events read one object at a time.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace kos {

class ControlClient {
public:
    enum class Read { Message, Timeout, Closed };

    ControlClient() = default;
    ~ControlClient();
    ControlClient(const ControlClient&) = delete;
    ControlClient& operator=(const ControlClient&) = delete;

    // False with a reason in error (no server answers on path).
    bool connect(const std::string& path, std::string& error);
    // The request with "v" added; false when the connection is gone.
    bool send(nlohmann::json request);
    // The next object; Timeout after timeoutMs (-1: wait), Closed at the end of the connection
    // or on a line that is not JSON.
    Read next(nlohmann::json& message, int timeoutMs);
    // Sends a request and waits for the answer carrying its id (events of other ids are
    // skipped). False with a reason in error.
    bool call(nlohmann::json request, nlohmann::json& answer, std::string& error);
    void close();

private:
    int fd_ = -1;
    std::string in_;
    long nextId_ = 1;
};

}  // namespace kos
