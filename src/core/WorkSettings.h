#pragma once

#include "OptionGroup.h"

#include <QObject>
#include <QString>

// The settings of the tab "環境設定". Controls show them; `changed` tells the window to show them again.
class WorkSettings : public QObject
{
    Q_OBJECT
public:
    explicit WorkSettings(QObject* parent = nullptr);

    int check1 = 0;             // Check1: always append on drop
    int check2 = 0;             // Check2: after-work action on
    OptionGroup option2{0};     // Option2: 0 shut the machine down, 1 only end the program
    bool option2Enabled = true; // both Option2 buttons, enabled exactly while Check2 is 1
    int check3 = 0;             // Check3: launch minimised (never stored)
    QString label6;             // Label6: the log limit in kilobytes, as text
    int slider1 = 0;            // Slider1, 1 to 32

    // The factory settings: always-append on, after-work action on with the shutdown selected, launch
    // minimised off, log limit 32. Tells the window.
    void loadFactoryDefaults();
    // Label6's numeric value: the number at the start of its text (0 when there is none).
    double logLimit() const;
    void notifyChanged() { emit changed(); }

signals:
    void changed();
};

// The numeric value at the start of a text, as the log limit and the slider read it: leading blanks are
// skipped, then an optional sign, digits and one decimal point; no number gives 0.
double leadingNumber(const QString& text);
