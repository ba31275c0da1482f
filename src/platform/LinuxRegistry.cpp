#include "LinuxRegistry.h"

QVariant LinuxRegistry::localMachineValue(const QString&, const QString&) const
{
    return {};
}
