#pragma once

#include "TextRowList.h"

// The registered applications, shown in the application list. Row r (from 0) holds the key <App r+1>, the
// executable's file name, its full path and a sample parameter text.
class AppRegistry : public TextRowList
{
    Q_OBJECT
public:
    enum Column { Key = 0, Application = 1, Path = 2, Sample = 3 };
    static constexpr int Limit = 99;

    explicit AppRegistry(QObject* parent = nullptr);

    static QString keyFor(int number); // "<App" number ">", number from 1
    static QList<float> factoryWidths();

    QString key(int row) const { return cell(row, Key); }
    QString application(int row) const { return cell(row, Application); }
    QString path(int row) const { return cell(row, Path); }
    QString sample(int row) const { return cell(row, Sample); }
    void setSample(int row, const QString& sample) { setCell(row, Sample, sample); }
    // Gives every row the key of its position again.
    void renumber();
};
