#include "SimRegister.h"

#include <algorithm>
#include <cstdlib>

namespace kos::ecrsim {

namespace {

bool isDigits(const std::string& s, size_t minLen, size_t maxLen) {
    if (s.size() < minLen || s.size() > maxLen)
        return false;
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Splits "a;b;c;" into its fields; false when the text does not end with ";".
bool splitFields(const std::string& text, std::vector<std::string>& fields) {
    fields.clear();
    size_t start = 0;
    for (;;) {
        size_t pos = text.find(';', start);
        if (pos == std::string::npos)
            return start == text.size();
        fields.push_back(text.substr(start, pos - start));
        start = pos + 1;
    }
}

bool validPlu(const std::string& plu) {
    return isDigits(plu, 14, 14) && plu != std::string(14, '0');
}

bool printableName(const std::string& name) {
    return !name.empty() && name.size() <= 20 && std::all_of(name.begin(), name.end(), [](char c) {
        auto u = static_cast<unsigned char>(c);
        return u >= 0x20 && u <= 0x7F && c != ';';
    });
}

}  // namespace

std::string formatDecimal(int64_t value, int scale) {
    const char* sign = value < 0 ? "-" : "";
    uint64_t v = value < 0 ? static_cast<uint64_t>(-value) : static_cast<uint64_t>(value);
    std::string fraction = std::to_string(v % scale);
    const size_t width = scale == 1000 ? 3 : 2;
    fraction.insert(0, width - fraction.size(), '0');
    return sign + std::to_string(v / scale) + "." + fraction;
}

SimRegister::SimRegister(int number, std::string serial)
    : header{"SKLEP SPO)EM^ZY", "UL. D)UGA 5", "00-001 WARSZAWA", "NIP 000-000-00-00",
             "ZAPRASZAMY"},
      number_(number),
      serial_(std::move(serial)) {}

std::string SimRegister::withPrefix(const std::string& body) const {
    return serial_ + ";" + std::to_string(seq_) + ";" + body;
}

std::string SimRegister::callMessage(bool repeatLastDelivered) {
    awaitingConfirm_ = false;
    if (!scriptedFirstFrames.empty()) {
        sent_ = Sent::Other;
        std::string text = scriptedFirstFrames.front();
        scriptedFirstFrames.pop_front();
        return text;
    }
    if (pending_) {
        sent_ = Sent::ReceiptLine;
        return *pending_;
    }
    if (repeatLastDelivered && !lastDelivered_.empty()) {
        sent_ = Sent::Other;
        return lastDelivered_;
    }
    if (!outbox_.empty()) {
        sent_ = Sent::ReceiptLine;
        pending_ = withPrefix(outbox_.front().body);
        return *pending_;
    }
    sent_ = Sent::Idle;
    return serial_ + ";";
}

void SimRegister::callMessageAcknowledged() {
    awaitingConfirm_ = sent_ == Sent::ReceiptLine;
}

std::optional<JournalReceipt> SimRegister::confirmDelivery() {
    if (!awaitingConfirm_ || !pending_ || outbox_.empty())
        return std::nullopt;
    awaitingConfirm_ = false;
    const ReceiptLine line = outbox_.front();
    outbox_.pop_front();
    lastDelivered_ = *pending_;
    building_.lines.push_back(*pending_);
    pending_.reset();
    seq_ = (seq_ + 1) % 10;
    if (!line.end)
        return std::nullopt;
    JournalReceipt done = std::move(building_);
    building_ = JournalReceipt{};
    done.ecr = number_;
    done.serial = serial_;
    done.series = line.series;
    done.number = line.number;
    return done;
}

void SimRegister::returnDelivery() {
    awaitingConfirm_ = false;
}

void SimRegister::ringReceipt(const std::vector<ReceiptLine>& lines) {
    for (const ReceiptLine& line : lines) {
        outbox_.push_back(line);
        auto it = articles.find(line.plu);
        if (it != articles.end()) {
            it->second.quantity += line.quantity;
            it->second.amount += line.amount;
        }
    }
}

std::string SimRegister::articleAnswer(const SimArticle& a) const {
    return "0;" + a.plu + ";" + a.name + ";" + std::to_string(a.vat) + ";" +
           formatDecimal(a.price, 100) + ";" + std::to_string(a.openPrice) + ";" +
           formatDecimal(a.quantity, 1000) + ";" + formatDecimal(a.amount, 100) + ";";
}

// "W0;" plu ";" name ";" vat ";" price ";" openPrice ";"
std::optional<std::string> SimRegister::writeArticle(std::vector<std::string> f) {
    if (f.size() != 6 || !validPlu(f[1]) || !printableName(f[2]) || !isDigits(f[3], 1, 1) ||
        f[3][0] < '1' || f[3][0] > '7' || !isDigits(f[4], 1, 9) || (f[5] != "0" && f[5] != "1"))
        return "E";
    if (std::find(refusedPlus.begin(), refusedPlus.end(), f[1]) != refusedPlus.end())
        return "E";
    SimArticle& a = articles[f[1]];
    a.plu = f[1];
    a.name = f[2];
    a.vat = f[3][0] - '0';
    a.price = static_cast<int32_t>(std::atol(f[4].c_str()));
    a.openPrice = f[5] == "1" ? 1 : 0;
    return "D";
}

// The first article whose code is at least (or, after, above) plu; "D" past the end.
std::string SimRegister::listFrom(const std::string& plu, bool after) {
    auto it = after ? articles.upper_bound(plu) : articles.lower_bound(plu);
    if (it == articles.end()) {
        listCursor_.reset();
        return "D";
    }
    listCursor_ = it->first;
    return articleAnswer(it->second);
}

std::optional<std::string> SimRegister::answer(const std::string& request) {
    if (request == "S") {
        listCursor_.reset();
        return std::nullopt;
    }
    if (request == "G")
        return listCursor_ ? listFrom(*listCursor_, true) : "D";
    std::vector<std::string> f;
    if (!splitFields(request, f) || f.empty())
        return "E";
    const std::string& cmd = f[0];
    if (cmd == "W38" && f.size() == 3 && !f[1].empty()) {
        settings[f[1]] = f[2];
        return "D";
    }
    if (cmd == "W0")
        return writeArticle(f);
    if (cmd == "C0" && f.size() == 2 && validPlu(f[1]))
        return articles.erase(f[1]) ? "D" : "E";
    if (cmd == "I0" && f.size() == 2 && isDigits(f[1], 1, 14))
        return listFrom(std::string(14 - f[1].size(), '0') + f[1], false);
    if (cmd == "W6" && f.size() == 3 && isDigits(f[1], 1, 1) && f[1][0] >= '1' && f[1][0] <= '5') {
        header[f[1][0] - '1'] = f[2];
        return "D";
    }
    if (cmd == "R6" && f.size() == 2 && isDigits(f[1], 1, 1) && f[1][0] >= '1' && f[1][0] <= '5')
        return "6;" + f[1] + ";" + header[f[1][0] - '1'] + ";";
    if (cmd == "B" && f.size() == 1) {
        for (auto& entry : articles) {
            entry.second.quantity = 0;
            entry.second.amount = 0;
        }
        ++countersZeroed;
        return "D";
    }
    return "E";
}

}  // namespace kos::ecrsim
