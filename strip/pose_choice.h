// Choosing a character's pose for a say, as Microsoft Chat does, on the
// records of the art reader. Portable.
#pragma once

#include "chatart/chat_art.h"
#include "strip/pose_cues.h"
#include "strip/strip_layout.h"

// The options are tried in priority order: for a complex character the first
// that gives a face sets the face (emotions choose faces) and the first that
// gives a torso sets the torso (gestures choose torsos); for a simple
// character the first that gives a body sets it. A part no option set is the
// next neutral record after the one used last. The records used are
// remembered in `rotation`.
Pose ChoosePoseOnRecords(const Character& character, const PoseCues& cues, PoseRotation& rotation);
