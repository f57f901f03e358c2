#include "online/ControlServer.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "articles/Articles.h"
#include "online/ControlProtocol.h"
#include "online/RegisterListText.h"
#include "online/SalesExport.h"
#include "online/ServerTransfer.h"
#include "online/TarvelServerDoc.h"

namespace kos {

using nlohmann::json;

namespace {

constexpr int TEND_INTERVAL_MS = 100;
constexpr size_t READ_CHUNK = 64 * 1024;
// Requests of one client answered per turn, so a flood from one leaves the others served.
constexpr int REQUESTS_PER_TURN = 4;
constexpr size_t MAX_CLIENTS = 128;

constexpr const char* TEXT_NO_REGISTER = "Brak kasy o numerze logicznym %d.";

// Collects the messages of the register list operations; every question is answered Yes
// (the client asked for the removal itself).
class CollectingPrompt final : public Prompt {
public:
    void message(const std::string& text, PromptIcon) override { messages.push_back(text); }
    bool ask(const std::string&) override { return true; }
    std::vector<std::string> messages;
};

std::string noRegister(long number) {
    char text[96];
    std::snprintf(text, sizeof text, TEXT_NO_REGISTER, static_cast<int>(number));
    return text;
}

bool sockaddrFor(const std::string& path, sockaddr_un& addr) {
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof addr.sun_path)
        return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size());
    return true;
}

// Whether something accepts connections on the socket at path.
bool answers(const std::string& path) {
    sockaddr_un addr;
    if (!sockaddrFor(path, addr))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool live = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return live;
}

json envelope(const json& id) {
    return json{{"v", CONTROL_PROTOCOL_VERSION}, {"id", id}};
}

json failure(const std::string& error) {
    return json{{"ok", false}, {"error", error}};
}

}  // namespace

struct ControlServer::Job {
    json id;
    Articles list;
    std::unique_ptr<ServerTransfer> transfer;
    bool cancelRequested = false;
};

struct ControlServer::Client {
    int fd = -1;
    std::string in;
    std::string out;
    bool closing = false;  // no more requests; closed once the output is out
    bool dead = false;
    std::unique_ptr<Job> job;
};

ControlServer::ControlServer(TarvelServerDoc& doc, std::string path)
    : doc_(doc), path_(std::move(path)), ownerUid_(::getuid()) {}

ControlServer::~ControlServer() {
    stop();
}

ControlServer::StartResult ControlServer::start(std::string& error) {
    sockaddr_un addr;
    if (!sockaddrFor(path_, addr)) {
        error = "Niepoprawna ścieżka gniazda sterującego: " + path_;
        return StartResult::Failed;
    }
    struct stat st;
    if (::lstat(path_.c_str(), &st) == 0) {
        if (!S_ISSOCK(st.st_mode)) {
            error = path_ + " istnieje i nie jest gniazdem.";
            return StartResult::Failed;
        }
        if (answers(path_)) {
            error = "Inny serwer odpowiada już na gnieździe " + path_ + ".";
            return StartResult::InUse;
        }
        // Left by a server that did not end cleanly.
        ::unlink(path_.c_str());
    }
    const std::string dir = path_.substr(0, path_.rfind('/'));
    if (!dir.empty() && ::stat(dir.c_str(), &st) != 0)
        ::mkdir(dir.c_str(), 0700);

    listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    int pipeFds[2];
    if (listenFd_ < 0 || ::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
        error = std::string("socket: ") + std::strerror(errno);
        return StartResult::Failed;
    }
    wakeRead_ = pipeFds[0];
    wakeWrite_ = pipeFds[1];
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::chmod(path_.c_str(), 0600) != 0 || ::listen(listenFd_, 64) != 0) {
        error = "Nie można utworzyć gniazda " + path_ + ": " + std::strerror(errno);
        stop();
        return StartResult::Failed;
    }
    stop_ = false;
    thread_ = std::thread([this] { serve(); });
    return StartResult::Started;
}

void ControlServer::stop() {
    stop_ = true;
    if (thread_.joinable()) {
        wake();
        thread_.join();
    }
    for (auto& c : clients_) {
        if (c->job)
            c->job->transfer->cancel();
        if (c->fd >= 0)
            ::close(c->fd);
    }
    clients_.clear();
    for (auto& job : abandoned_)
        job->transfer->cancel();
    abandoned_.clear();
    if (listenFd_ >= 0) {
        ::close(listenFd_);
        listenFd_ = -1;
        ::unlink(path_.c_str());
    }
    for (int* fd : {&wakeRead_, &wakeWrite_}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

void ControlServer::wake() {
    if (wakeWrite_ >= 0) {
        const char b = 1;
        [[maybe_unused]] ssize_t n = ::write(wakeWrite_, &b, 1);
    }
}

void ControlServer::serve() {
    std::vector<pollfd> fds;
    std::vector<Client*> polled;
    while (!stop_) {
        fds.clear();
        polled.clear();
        fds.push_back({listenFd_, POLLIN, 0});
        fds.push_back({wakeRead_, POLLIN, 0});
        bool waiting = false;
        for (auto& c : clients_) {
            waiting = waiting || hasRequest(*c);
            short events = c->closing || hasRequest(*c) ? 0 : POLLIN;
            if (!c->out.empty())
                events |= POLLOUT;
            fds.push_back({c->fd, events, 0});
            polled.push_back(c.get());
        }
        if (::poll(fds.data(), fds.size(), waiting ? 0 : TEND_INTERVAL_MS) < 0 && errno != EINTR)
            break;
        if (fds[1].revents & POLLIN) {
            char drain[256];
            while (::read(wakeRead_, drain, sizeof drain) > 0) {
            }
        }
        if (fds[0].revents & POLLIN)
            accept();
        for (size_t i = 0; i < polled.size(); ++i) {
            Client& c = *polled[i];
            const short r = fds[i + 2].revents;
            if (r & POLLIN)
                readFrom(c);
            else if (r & (POLLERR | POLLHUP | POLLNVAL))
                drop(c);
            answerRequests(c);
            if (!c.dead && (r & POLLOUT))
                writeTo(c);
        }
        tendJobs();
        for (auto& c : clients_)
            if (!c->dead && !c->out.empty())
                writeTo(*c);
        clients_.remove_if([](const std::unique_ptr<Client>& c) { return c->dead; });
    }
}

void ControlServer::accept() {
    for (;;) {
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0)
            return;
        ucred cred{};
        socklen_t len = sizeof cred;
        const bool owner =
            ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) == 0 && cred.uid == ownerUid_;
        if (!owner || clients_.size() >= MAX_CLIENTS) {
            json refusal = envelope(nullptr);
            refusal.update(failure(owner ? "Za dużo połączeń." : "Odmowa dostępu."));
            const std::string line = refusal.dump() + "\n";
            [[maybe_unused]] ssize_t n =
                ::send(fd, line.data(), line.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
            ::close(fd);
            continue;
        }
        auto c = std::make_unique<Client>();
        c->fd = fd;
        clients_.push_back(std::move(c));
    }
}

bool ControlServer::hasRequest(const Client& c) {
    return !c.dead && !c.closing && c.in.find('\n') != std::string::npos;
}

void ControlServer::readFrom(Client& c) {
    // Lines still waiting are answered first; until then the client's bytes stay in the kernel.
    if (hasRequest(c))
        return;
    char buffer[READ_CHUNK];
    const ssize_t n = ::recv(c.fd, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n == 0) {
        // The client sent all it will send; it still gets its answers.
        c.closing = true;
        if (c.out.empty() && !c.job)
            drop(c);
        return;
    }
    if (n < 0) {
        if (errno != EAGAIN && errno != EINTR)
            drop(c);
        return;
    }
    c.in.append(buffer, static_cast<size_t>(n));
}

void ControlServer::answerRequests(Client& c) {
    for (int i = 0; i < REQUESTS_PER_TURN && hasRequest(c); ++i) {
        const size_t newline = c.in.find('\n');
        if (newline > CONTROL_MAX_LINE)
            break;
        std::string line = c.in.substr(0, newline);
        c.in.erase(0, newline + 1);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        handleLine(c, line);
    }
    const size_t newline = c.in.find('\n');
    const size_t lineLength = newline == std::string::npos ? c.in.size() : newline;
    if (!c.dead && !c.closing && lineLength > CONTROL_MAX_LINE) {
        c.in.clear();
        json answer = envelope(nullptr);
        answer.update(failure("Za długie żądanie."));
        queue(c, answer);
        c.closing = true;
    }
}

void ControlServer::writeTo(Client& c) {
    while (!c.out.empty()) {
        const ssize_t n = ::send(c.fd, c.out.data(), c.out.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0) {
            if (errno != EAGAIN && errno != EINTR)
                drop(c);
            return;
        }
        c.out.erase(0, static_cast<size_t>(n));
    }
    if (c.closing && !c.job)
        drop(c);
}

void ControlServer::queue(Client& c, const json& message) {
    if (c.dead)
        return;
    c.out += message.dump(-1, ' ', false, json::error_handler_t::replace);
    c.out += '\n';
    if (c.out.size() > MAX_PENDING_OUTPUT)
        drop(c);
}

void ControlServer::drop(Client& c) {
    if (c.dead)
        return;
    c.dead = true;
    ::close(c.fd);
    c.fd = -1;
    if (c.job && !c.job->transfer->ended()) {
        c.job->cancelRequested = true;
        abandoned_.push_back(std::move(c.job));
    }
    c.job.reset();
}

void ControlServer::handleLine(Client& c, const std::string& line) {
    json request = json::parse(line, nullptr, false);
    if (request.is_discarded() || !request.is_object()) {
        json answer = envelope(nullptr);
        answer.update(failure("Niepoprawne żądanie."));
        queue(c, answer);
        c.closing = true;
        return;
    }
    const json id = request.contains("id") ? request["id"] : json();
    json answer = envelope(id);
    const auto v = request.find("v");
    const auto cmd = request.find("cmd");
    if (v == request.end() || *v != CONTROL_PROTOCOL_VERSION) {
        answer.update(failure("Nieobsługiwana wersja protokołu."));
    } else if (cmd == request.end() || !cmd->is_string()) {
        answer.update(failure("Brak polecenia."));
    } else if (*cmd == "status") {
        answer.update(status());
    } else if (*cmd == "add") {
        answer.update(addRegisters(request));
    } else if (*cmd == "remove") {
        answer.update(removeRegisters(request));
    } else if (*cmd == "export") {
        answer.update(exportSales(request));
    } else if (*cmd == "send" || *cmd == "read") {
        answer.update(startJob(c, request, *cmd == "send"));
    } else if (*cmd == "cancel") {
        if (c.job) {
            c.job->cancelRequested = true;
            answer.update({{"ok", true}});
        } else {
            answer.update(failure("Brak trwającego zadania."));
        }
    } else {
        answer.update(failure("Nieznane polecenie."));
    }
    queue(c, answer);
}

json ControlServer::status() {
    std::map<int, long> counts;
    {
        std::lock_guard<std::mutex> g(countLock_);
        counts = countsOfToday();
    }
    json registers = json::array();
    doc_.forEachUsedSlot([&](int index, const EcrOnLineComm& slot) {
        registers.push_back({{"number", slot.logicalNumber},
                             {"connected", slot.connected != 0},
                             {"serial", slot.serialNumber},
                             {"receipts_today", counts[index]}});
    });
    return {{"ok", true}, {"online", doc_.isOnline()}, {"registers", registers}};
}

json ControlServer::addRegisters(const json& request) {
    const auto list = request.find("list");
    if (list == request.end() || !list->is_string())
        return failure("Brak listy kas.");
    CollectingPrompt prompt;
    json added = json::array();
    for (int index : addRegistersFromText(doc_, *list, prompt)) {
        resetReceiptCount(index);
        added.push_back(doc_.logicalNumberAt(index));
    }
    json answer = {{"ok", prompt.messages.empty()}, {"added", added}};
    if (!prompt.messages.empty())
        answer["error"] = prompt.messages.front();
    return answer;
}

json ControlServer::removeRegisters(const json& request) {
    const auto list = request.find("list");
    if (list == request.end() || !list->is_string())
        return failure("Brak listy kas.");
    const RegisterListText parsed = parseRegisterList(*list);
    if (parsed.fault != RegisterTokenFault::None)
        return failure(registerListFaultText(parsed));
    std::vector<int> slots;
    for (int32_t number : parsed.numbers) {
        const int slot = doc_.findSlot(number);
        if (slot < 0)
            return failure(noRegister(number));
        slots.push_back(slot);
    }
    CollectingPrompt prompt;
    kos::removeRegisters(doc_, slots, prompt);
    json removed = json::array();
    for (size_t i = 0; i < slots.size(); ++i) {
        resetReceiptCount(slots[i]);
        removed.push_back(parsed.numbers[i]);
    }
    return {{"ok", true}, {"removed", removed}};
}

json ControlServer::exportSales(const json& request) {
    const auto path = request.find("path");
    if (path == request.end() || !path->is_string())
        return failure("Brak ścieżki pliku.");
    const std::string file = *path;
    // The server writes as its own user, the only user let in; a relative path would land in
    // the server's working folder, and anything but a plain file (a device, a link) is left
    // alone.
    if (file.empty() || file[0] != '/' || file.find('\0') != std::string::npos)
        return failure("Ścieżka pliku musi być bezwzględna.");
    struct stat st;
    if (::lstat(file.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        return failure(file + " nie jest zwykłym plikiem.");
    const bool reset = request.value("reset", false);
    CollectingPrompt prompt;
    if (!kos::exportSales(doc_, file, reset, prompt))
        return failure(prompt.messages.empty() ? "Błąd zapisu." : prompt.messages.front());
    return {{"ok", true}, {"path", file}, {"reset", reset}};
}

json ControlServer::startJob(Client& c, const json& request, bool send) {
    if (c.job)
        return failure("Zadanie już trwa.");
    const auto nr = request.find("register");
    if (nr == request.end() || !nr->is_number_integer())
        return failure("Brak numeru kasy.");
    const long number = nr->get<long>();
    const int slot =
        number >= 0 && number <= INT32_MAX ? doc_.findSlot(static_cast<int32_t>(number)) : -1;
    EcrOnLineComm* target = slot < 0 ? nullptr : doc_.slotAt(slot);
    if (!target)
        return failure(noRegister(number));
    if (target->job.pending())
        return failure("Kasa wykonuje już inne zadanie.");

    auto job = std::make_unique<Job>();
    job->id = request.contains("id") ? request["id"] : json();
    const auto articles = request.find("articles");
    if (articles != request.end()) {
        if (!articles->is_array() || articles->size() > Articles::MaxArticles)
            return failure("Niepoprawna lista artykułów.");
        for (size_t i = 0; i < articles->size(); ++i) {
            auto a = std::make_unique<Article>();
            if (!articleFromJson((*articles)[i], *a) || !job->list.add(a))
                return failure("Niepoprawny artykuł nr " + std::to_string(i + 1) + ".");
        }
    }
    const bool continueOnError = request.value("continue_on_error", false);
    job->transfer = std::make_unique<ServerTransfer>(target->job, send, job->list, continueOnError,
                                                     [this] { wake(); });
    job->transfer->place();
    const int range = job->transfer->range();
    c.job = std::move(job);
    return {{"ok", true}, {"event", "started"}, {"range", range}, {"label", SERVER_TRANSFER_LABEL}};
}

void ControlServer::tendJobs() {
    for (auto& cp : clients_) {
        Client& c = *cp;
        if (c.dead || !c.job)
            continue;
        Job& job = *c.job;
        if (job.cancelRequested && !job.transfer->ended())
            job.transfer->tryCancel();
        TransferEvent e;
        bool ended = false;
        while (!ended && job.transfer->nextEvent(e, 0)) {
            if (e.last) {
                finishJob(c, e);
                ended = true;
            } else {
                json progress = envelope(job.id);
                progress.update({{"event", "progress"},
                                 {"code", e.code},
                                 {"value", e.value},
                                 {"position", e.position},
                                 {"range", job.transfer->range()},
                                 {"text", e.text}});
                queue(c, progress);
            }
        }
        if (!ended && c.job && !c.dead && c.job->transfer->orphaned()) {
            // The register was removed while its job was pending.
            describeTransferEvent(c.job->transfer->send(), JobFailed, 0, e);
            finishJob(c, e);
        }
        if (c.closing && !c.job && c.out.empty())
            drop(c);
    }
    abandoned_.remove_if([](const std::unique_ptr<Job>& job) {
        return job->transfer->ended() || job->transfer->orphaned() || job->transfer->tryCancel();
    });
}

void ControlServer::finishJob(Client& c, const TransferEvent& last) {
    Job& job = *c.job;
    const char* result = last.text == SERVER_TRANSFER_CANCELLED ? "cancelled"
                         : last.code == JobFinished             ? "finished"
                                                                : "failed";
    json end = envelope(job.id);
    end.update({{"event", "end"},
                {"ok", last.code == JobFinished},
                {"result", result},
                {"code", last.code},
                {"value", last.value},
                {"text", last.text},
                {"articles", articlesToJson(job.list)}});
    c.job.reset();
    queue(c, end);
}

void ControlServer::resetReceiptCount(int slotIndex) {
    std::lock_guard<std::mutex> g(countLock_);
    receiptsToday_.erase(slotIndex);
}

void ControlServer::ecrStatusChanged(int, int) {}

void ControlServer::receiptWritten(int slotIndex, const std::string&) {
    std::lock_guard<std::mutex> g(countLock_);
    ++countsOfToday()[slotIndex];
}

std::map<int, long>& ControlServer::countsOfToday() {
    const LocalTime t = doc_.clock().localTime();
    const int64_t day = t.year * 10000LL + t.month * 100 + t.day;
    if (day != countDay_) {
        countDay_ = day;
        receiptsToday_.clear();
    }
    return receiptsToday_;
}

void ControlServer::lineChanged(bool, const std::string&) {}

}  // namespace kos
