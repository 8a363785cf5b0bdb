// Entry point of the Tunarium Pro program.
#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tunarium Pro");
    QMainWindow frame;
    frame.setWindowTitle("Tunarium Pro 98");
    frame.setCentralWidget(new QMdiArea(&frame));
    frame.resize(1024, 720);
    frame.show();
    return QApplication::exec();
}
