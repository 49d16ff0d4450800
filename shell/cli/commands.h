// The subcommands of clipsnare-cli. Each returns the process exit status.
#pragma once

#include <QStringList>

namespace cli {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int adapters(const QStringList &arguments);
int scan(const QStringList &arguments);
int fetch(const QStringList &arguments);

} // namespace cli
