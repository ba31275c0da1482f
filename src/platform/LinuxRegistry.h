#pragma once

#include "Registry.h"

// Linux keeps no system registry: every value reads as not found.
class LinuxRegistry final : public Registry
{
public:
    QVariant localMachineValue(const QString& key, const QString& valueName) const override;
};
