// Resource identifiers shared by the core, the backends and the Windows
// resource script. Plain macros so that the resource compiler can read them.
#pragma once

#define QUILLON_ICON_LARGE 101
#define QUILLON_ICON_SMALL 103
#define QUILLON_SOUND_SWITCH 104
#define QUILLON_SOUND_COLLISION 105
#define QUILLON_SOUND_HALT 106
#define QUILLON_SOUND_SENSOR 107
#define QUILLON_SOUND_TRAIN_MOVED 108
#define QUILLON_SOUND_TRAIN_PLACED 109
