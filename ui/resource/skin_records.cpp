#include "ui/resource/skin_records.h"

const char* const kSkinStateNames[kSkinStateCount] = {"normal", "grayed", "lighted", "pressed", "focused"};
