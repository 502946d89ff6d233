#pragma once

#include <QApplication>

// The uploader's application object: sets the profile's key word and runs the dialog modally.
class CGlimmerlyApp : public QApplication {
    Q_OBJECT

public:
    CGlimmerlyApp(int &argc, char **argv);

    // Runs the dialog until it closes; the program then ends.
    int Run();
};
