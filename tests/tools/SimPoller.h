// A minimal PC side for simulator tests: polls registers the way online mode does and collects
// receipts, dropping repeated messages by their sequence digit.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "link/TX310Comm.h"
#include "link/TX310Text.h"

namespace kos::test {

struct PolledMessage {
    int code = -1;
    std::string text;
};

inline PolledMessage pollOnce(TX310Comm& comm, int nr, bool ack = true) {
    PolledMessage m;
    comm.selectEcr(static_cast<uint8_t>(nr));
    m.code = comm.receiveFrame(m.text, ack);
    comm.leaveInLineMode();
    return m;
}

inline std::vector<std::string> splitFields(const std::string& text) {
    std::vector<std::string> fields;
    std::string rest = text, field;
    while (nextField(rest, field))
        fields.push_back(field);
    return fields;
}

class ReceiptCollector {
public:
    // Takes one received message; true when it completed a receipt.
    bool take(int nr, const std::string& text) {
        std::vector<std::string> f = splitFields(text);
        if (f.size() < 3)
            return false;  // idle
        const int seq = f[1].empty() ? 0 : f[1][0] - '0';
        auto it = expected_.find(nr);
        if (it != expected_.end() && seq == (it->second + 9) % 10) {
            ++repeats;
            return false;
        }
        expected_[nr] = (seq + 1) % 10;
        lines_[nr].push_back(text);
        if (f[2] != "3")
            return false;
        receipts[nr].push_back(lines_[nr]);
        lines_[nr].clear();
        return true;
    }

    std::map<int, std::vector<std::vector<std::string>>> receipts;
    int repeats = 0;

private:
    std::map<int, int> expected_;
    std::map<int, std::vector<std::string>> lines_;
};

}  // namespace kos::test
