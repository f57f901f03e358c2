// The local control socket of a running online server: a Unix stream socket, mode 0600, open
// only to peers of the owner's user, speaking the JSON lines of ControlProtocol.h. It serves
// status, adding and removing registers, the sales export and article jobs with their
// progress on a thread of its own; a client that reads slowly or not at all is dropped, never
// waited for.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include <nlohmann/json.hpp>

#include "online/EcrStatusListener.h"

namespace kos {

class TarvelServerDoc;

class ControlServer final : public EcrStatusListener {
public:
    enum class StartResult { Started, InUse, Failed };
    // Output a client has not read yet beyond which it is dropped.
    static constexpr size_t MAX_PENDING_OUTPUT = 4 * 1024 * 1024;

    ControlServer(TarvelServerDoc& doc, std::string path);
    ~ControlServer() override;
    ControlServer(const ControlServer&) = delete;
    ControlServer& operator=(const ControlServer&) = delete;

    // Binds the socket (a stale one left by a dead server is replaced) and starts serving.
    // InUse when a live server answers on the path; error holds the reason of a failure.
    StartResult start(std::string& error);
    // Ends every job of a client, closes the connections and removes the socket file.
    void stop();
    const std::string& path() const { return path_; }

    // The user whose peers are accepted (the process's own by default).
    void setOwnerUid(uid_t uid) { ownerUid_ = uid; }

    void ecrStatusChanged(int slotIndex, int connected) override;
    void receiptWritten(int slotIndex, const std::string& path) override;
    void lineChanged(bool lost, const std::string& device) override;

private:
    struct Client;
    struct Job;

    void serve();
    void accept();
    static bool hasRequest(const Client& c);
    void readFrom(Client& c);
    void answerRequests(Client& c);
    void writeTo(Client& c);
    void handleLine(Client& c, const std::string& line);
    void queue(Client& c, const nlohmann::json& message);
    void drop(Client& c);
    void tendJobs();
    void finishJob(Client& c, const struct TransferEvent& last);
    void wake();

    nlohmann::json status();
    nlohmann::json addRegisters(const nlohmann::json& request);
    nlohmann::json removeRegisters(const nlohmann::json& request);
    nlohmann::json exportSales(const nlohmann::json& request);
    nlohmann::json startJob(Client& c, const nlohmann::json& request, bool send);
    void resetReceiptCount(int slotIndex);
    // The receipt counts, emptied when the day changed (countLock_ held).
    std::map<int, long>& countsOfToday();

    TarvelServerDoc& doc_;
    std::string path_;
    uid_t ownerUid_;
    int listenFd_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::list<std::unique_ptr<Client>> clients_;
    // Jobs of clients that went away, until their cancel got through.
    std::list<std::unique_ptr<Job>> abandoned_;

    std::mutex countLock_;
    int64_t countDay_ = 0;               // YYYYMMDD of the counts below
    std::map<int, long> receiptsToday_;  // by slot
};

}  // namespace kos
