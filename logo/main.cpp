#include "CGlimmerlyApp.h"

int main(int argc, char **argv) {
    CGlimmerlyApp app(argc, argv);
    return app.Run();
}
