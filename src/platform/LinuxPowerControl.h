#pragma once

#include "PowerControl.h"

// Power control on Linux: no privilege to enable, and the power-off through logind on the system bus.
class LinuxPowerControl final : public PowerControl
{
public:
    // logind decides through polkit when the request arrives; the process holds nothing to enable.
    bool needsShutdownPrivilege() const override { return false; }
    bool acquireShutdownPrivilege() override { return true; }
    void powerOff() override;
};
