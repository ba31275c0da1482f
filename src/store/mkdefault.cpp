// Writes the factory startup template that ships beside the executable.
#include "TemplateFile.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        QTextStream(stderr) << "usage: lomvato_mkdefault <path of default.lvt>\n";
        return 2;
    }
    StoreError error;
    if (!TemplateFile::writeFactoryTemplate(args[1], &error)) {
        QTextStream(stderr) << error.text() << '\n';
        return 1;
    }
    return 0;
}
