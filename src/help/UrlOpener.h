#pragma once

#include <QUrl>

// The desktop's open action for a document. The windows pass DesktopUrlOpener; tests record the request.
class UrlOpener
{
public:
    virtual ~UrlOpener() = default;
    // Returns false when the desktop could not open it; callers stay silent about that.
    virtual bool openUrl(const QUrl& url) = 0;
};
