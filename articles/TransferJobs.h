// The jobs that exchange articles, the receipt header and the sales counters with the register
// of the settings (Port, PortSpeed, ecrNr). Each runs one command on its own link object, with
// the protocol log "kos.log" when EcrSaveToLog is on, and reports progress through its control.
// Sending and deleting end early, successfully, when the abort flag is set; reading fails.
#pragma once

#include "articles/Articles.h"
#include "articles/ECRHeader.h"
#include "articles/JobRunner.h"
#include "base/Clock.h"
#include "base/Settings.h"

namespace kos {

inline constexpr const char* PROTOCOL_LOG_NAME = "kos.log";
// Reading scales its progress to the most articles a register holds.
inline constexpr int RECEIVE_PROGRESS_SCALE = Articles::MaxArticles;

// count / errors: 0 / 0.
JobResult zeroCountersJob(JobControl& control, const Settings& settings,
                          Clock& clock = systemClock());
// accepted / refused; each article sent has `modified` set to "not accepted".
JobResult sendArticlesJob(JobControl& control, const Settings& settings, Articles& articles,
                          Clock& clock = systemClock());
// deleted / 0; each article handed to the register is marked `modified`.
JobResult deleteArticlesJob(JobControl& control, const Settings& settings, Articles& articles,
                            Clock& clock = systemClock());
// received / errors; the articles are added (not `modified`) to articles.
JobResult receiveArticlesJob(JobControl& control, const Settings& settings, Articles& articles,
                             Clock& clock = systemClock());
// The five lines aligned as the header says. Runs to its end whatever the abort flag.
JobResult sendHeaderJob(JobControl& control, const Settings& settings, const ECRHeader& header,
                        Clock& clock = systemClock());
// On success alignment left and the lines as the register gave them; otherwise header stays
// as it was (the caller has cleared it).
JobResult receiveHeaderJob(JobControl& control, const Settings& settings, ECRHeader& header,
                           Clock& clock = systemClock());

}  // namespace kos
