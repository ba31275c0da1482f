#pragma once

#include "TextRowList.h"

// The batch list the batch list: the parameter texts a run applies, in order, to every file.
class BatchList : public TextRowList
{
    Q_OBJECT
public:
    enum Column { Key = 0, Application = 1, Parameter = 2, Path = 3 };

    explicit BatchList(QObject* parent = nullptr);

    static QList<float> factoryWidths();

    QString key(int row) const { return cell(row, Key); }
    QString application(int row) const { return cell(row, Application); }
    QString parameter(int row) const { return cell(row, Parameter); }
    QString path(int row) const { return cell(row, Path); }
};
