#include "MidiPlatform.h"

MidiPlatform::~MidiPlatform() = default;
