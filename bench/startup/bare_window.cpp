// The baseline of the start-up measurement: a Qt 6 Widgets program that only
// shows an empty window.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(496, 288);
    window.show();
    return QApplication::exec();
}
