// The commands of kos-articles that talk to the register over the serial line. Each returns the
// exit status: 0 after printing its success text, 1 after its failure was reported on standard
// error; find-register returns 3 when no register answered.
#pragma once

#include "ArticlesOptions.h"
#include "base/Settings.h"

namespace kos {

inline constexpr int EXIT_NOT_FOUND = 3;

// The line options of the command line over the settings, and the com devices set from them.
void applyLineOptions(const ArticlesOptions& options, Settings& settings);

int sendToRegister(const ArticlesOptions& options, const Settings& settings);
int readFromRegister(const ArticlesOptions& options, const Settings& settings);
int deleteInRegister(const ArticlesOptions& options, const Settings& settings);
int zeroRegisterCounters(const Settings& settings);
int sendHeaderToRegister(const ArticlesOptions& options, const Settings& settings);
int readHeaderFromRegister(const ArticlesOptions& options, const Settings& settings);
// --apply writes the find into store (the stored settings, not this run's overrides).
int findRegister(const ArticlesOptions& options, const Settings& settings, SettingsStore& store);

}  // namespace kos
