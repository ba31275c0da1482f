#pragma once

#include "help/UrlOpener.h"

class DesktopUrlOpener final : public UrlOpener
{
public:
    bool openUrl(const QUrl& url) override;
};
