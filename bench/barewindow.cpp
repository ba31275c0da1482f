// The smallest Qt Widgets window with a Japanese text: the yardstick bench_startup holds the main window's
// start against. (A window without any text would not even read the system's fonts, which every window of a
// Japanese program must.)
#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("ファイルをここにドロップしてください"));
    window.resize(640, 480);
    window.show();
    return QApplication::exec();
}
