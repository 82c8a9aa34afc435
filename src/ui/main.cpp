#include <QApplication>

// Placeholder until the editor window lands.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return 0;
}
