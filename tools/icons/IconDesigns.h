#pragma once

#include "IconDrawing.h"

// The program icons: TavikRemote (three gain faders) and TavikLogo (a picture with an upload arrow),
// both on the dark panel with the orange accent of the main window.
namespace IconDesigns {
IconDrawing remote();
IconDrawing logo();
} // namespace IconDesigns
