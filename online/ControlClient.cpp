#include "online/ControlClient.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "online/ControlProtocol.h"

namespace kos {

ControlClient::~ControlClient() {
    close();
}

void ControlClient::close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    in_.clear();
}

bool ControlClient::connect(const std::string& path, std::string& error) {
    close();
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof addr.sun_path) {
        error = "Niepoprawna ścieżka gniazda: " + path;
        return false;
    }
    std::memcpy(addr.sun_path, path.c_str(), path.size());
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0 || ::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        error = "Serwer nie odpowiada na " + path + ": " + std::strerror(errno);
        close();
        return false;
    }
    return true;
}

bool ControlClient::send(nlohmann::json request) {
    if (fd_ < 0)
        return false;
    request["v"] = CONTROL_PROTOCOL_VERSION;
    const std::string line =
        request.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
    size_t done = 0;
    while (done < line.size()) {
        const ssize_t n = ::send(fd_, line.data() + done, line.size() - done, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

ControlClient::Read ControlClient::next(nlohmann::json& message, int timeoutMs) {
    for (;;) {
        const size_t newline = in_.find('\n');
        if (newline != std::string::npos) {
            const std::string line = in_.substr(0, newline);
            in_.erase(0, newline + 1);
            message = nlohmann::json::parse(line, nullptr, false);
            return message.is_discarded() ? Read::Closed : Read::Message;
        }
        if (fd_ < 0)
            return Read::Closed;
        pollfd pfd{fd_, POLLIN, 0};
        const int ready = ::poll(&pfd, 1, timeoutMs);
        if (ready < 0 && errno == EINTR)
            return Read::Timeout;
        if (ready == 0)
            return Read::Timeout;
        char buffer[65536];
        const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR)
            return Read::Timeout;
        if (n <= 0)
            return Read::Closed;
        in_.append(buffer, static_cast<size_t>(n));
    }
}

bool ControlClient::call(nlohmann::json request, nlohmann::json& answer, std::string& error) {
    const long id = nextId_++;
    request["id"] = id;
    if (!send(std::move(request))) {
        error = "Połączenie z serwerem przerwane.";
        return false;
    }
    for (;;) {
        nlohmann::json message;
        if (next(message, -1) == Read::Closed) {
            error = "Połączenie z serwerem przerwane.";
            return false;
        }
        if (!message.is_object())
            continue;
        const nlohmann::json answerId = message.value("id", nlohmann::json());
        if (answerId == id || answerId.is_null()) {
            answer = std::move(message);
            return true;
        }
    }
}

}  // namespace kos
