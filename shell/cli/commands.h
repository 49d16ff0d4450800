// The subcommands of clipsnare-cli. Each returns the process exit status.
#pragma once

#include <QStringList>

struct DeploymentConfig;

namespace cli {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Prints "clipsnare-cli COMMAND: WHY" and the command's usage; returns kExitUsage.
int usageError(const char *command, const char *usage, const QString &why);

// The deployment configuration from `path` (empty: the default place); a
// file that is missing or malformed gives the built-in values and a warning.
DeploymentConfig loadDeployment(const QString &path);

int adapters(const QStringList &arguments);
int scan(const QStringList &arguments);
int fetch(const QStringList &arguments);

} // namespace cli
