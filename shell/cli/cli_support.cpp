#include "shell/cli/commands.h"

#include "shell/deployment_config.h"

#include <cstdio>

namespace cli {

int usageError(const char *command, const char *usage, const QString &why)
{
    std::fprintf(stderr, "clipsnare-cli %s: %s\n%s", command, why.toLocal8Bit().constData(), usage);
    return kExitUsage;
}

DeploymentConfig loadDeployment(const QString &path)
{
    QString warning;
    DeploymentConfig config = DeploymentConfig::load(path.isEmpty() ? DeploymentConfig::defaultPath() : path, &warning);
    if (!warning.isEmpty())
        std::fprintf(stderr, "clipsnare-cli: warning: %s\n", warning.toLocal8Bit().constData());
    return config;
}

} // namespace cli
