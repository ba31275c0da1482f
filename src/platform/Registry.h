#pragma once

#include <QString>
#include <QVariant>

// Read-only access to the system registry. A value is a text (QString) or a 32-bit number (quint32); an
// invalid QVariant means the key or the value was not found.
class Registry
{
public:
    virtual ~Registry() = default;
    virtual QVariant localMachineValue(const QString& key, const QString& valueName) const = 0;
};
