#pragma once

#include "StoreError.h"

#include <QString>

struct TemplateData;

// Applies the lines of a template file to a TemplateData. Values the file does not set keep what `data` held
// before, so the caller passes a copy of the current work table with its lists emptied (`clearLists`).
class TemplateReader
{
public:
    // Empties what a template refills: the columns, the extensions and the applications.
    static void clearLists(TemplateData& data);
    // Stops at the first faulty line; `data` is then half-applied and must be thrown away.
    static bool read(const QString& text, TemplateData& data, StoreError* error);

    // A text as a 16-bit whole number: blanks around it are allowed, a fraction is rounded to the nearest
    // integer and a half to the even one (1409.953 gives 1410, 0.5 gives 0, 1.5 gives 2). False for a text
    // that is no number and for a number outside -32768..32767.
    static bool wholeNumber(const QString& text, int* value);
};
