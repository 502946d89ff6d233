// The smallest Qt dialog program: one label in a dialog run modally, the yardstick for start-up cost.
#include <QApplication>
#include <QDialog>
#include <QLabel>

int main(int argc, char *argv[]) {
    QApplication application(argc, argv);
    QDialog dialog;
    QLabel label(QStringLiteral("Hello"), &dialog);
    dialog.resize(200, 100);
    return dialog.exec();
}
