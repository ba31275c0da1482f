#pragma once

#include "OptionGroup.h"

#include <QObject>
#include <QString>

// The settings of the tab "環境設定". Controls show them; `changed` tells the window to show them again.
// A check box keeps the state a template stores: 0 off, 1 on, 2 grey. Grey, which only a template can give,
// counts as off.
class WorkSettings : public QObject
{
    Q_OBJECT
public:
    explicit WorkSettings(QObject* parent = nullptr);

    // The option buttons of the after-work action, by index.
    enum AfterWorkAction { PowerOff = 0, EndProgram = 1 };

    int alwaysAppend = 0; // a drop appends to the file list whatever keys are held
    int afterWork = 0;    // the after-work action follows a run; its buttons are enabled only while it is on
    OptionGroup afterWorkAction{PowerOff};
    bool launchMinimised =
        false; // shown and kept while the program runs, never stored; a job's window is its own
    // The log limit in kilobytes as the template gives it ("32", " 7.6 KB"): kept as text so that it is
    // written back byte for byte.
    QString logLimitText;

    // The factory settings: always-append on, after-work action on with the shutdown selected, launch
    // minimised off, log limit 32. Tells the window.
    void loadFactoryDefaults();
    bool isAfterWorkOn() const { return afterWork == 1; }
    // The log limit in kilobytes: the number at the start of its text (0 when there is none).
    double logLimitKb() const;
    // The log limit as the slider shows it: rounded, a half to the even number.
    int roundedLogLimitKb() const;
    void notifyChanged() { emit changed(); }

signals:
    void changed();
};

// The numeric value at the start of a text, as the log limit and the slider read it: leading blanks are
// skipped, then an optional sign, digits and one decimal point; no number gives 0.
double leadingNumber(const QString& text);
// Rounds to the nearest integer, a half to the even one.
double roundHalfEven(double value);
