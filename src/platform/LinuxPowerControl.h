#pragma once

#include "PowerControl.h"

// Power control on Linux: the kernel's version numbers, no privilege to enable, and the power-off through
// logind on the system bus.
class LinuxPowerControl final : public PowerControl
{
public:
    OsVersion osVersion() const override;
    bool setShutdownPrivilege(const QString& name) override;
    void powerOff() override;
};
