#pragma once

#include <QString>

struct TemplateData;

// Builds the text of a template file. Every line ends with CR LF; lists on one line are joined with "|".
class TemplateWriter
{
public:
    // The text writeTemplate writes: the fourteen sections, the two list sections followed by an empty line,
    // and one more CR LF at the end.
    static QString text(const TemplateData& data);
    // The template of the factory work table as shipped: 34 lines, each ended by CR LF, no empty line at the
    // end.
    static QString factoryText();

    // A width in twips as the decimal text of the single-precision value rounded to 7 significant digits,
    // without exponent or trailing zeros: 1409.953, 659.9055, 1440.
    static QString formatWidth(float twips);
    // A stored value always fits one line: each line break inside it becomes one blank.
    static QString oneLine(const QString& value);
};
