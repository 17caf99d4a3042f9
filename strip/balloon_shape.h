// The outlines of a balloon, in its panel's coordinates: a rounded cloud with
// small bumps all round, opened for a tail of two shallow arcs that meet at
// the tail's tip; a plain box for an action; a thought's chain of bubbles.
// Portable: the painter fills and strokes them (shape_paint.h).
#pragma once

#include <vector>

#include "strip/shape_paint.h"
#include "strip/strip_layout.h"

// Chat's 28-twip pen, and a whisper's white halo under its dashes.
const double kBalloonLineWidth = 2.0;
const double kWhisperHaloWidth = 5.0;
const double kWhisperDash = 5.0;
const double kWhisperGap = 3.0;

// The closed outline: inside the balloon's rectangle with the line's width
// (the tail aside), clear of its text, and through the tail's tip when the
// balloon has a tail (a say or a whisper).
void BalloonOutline(const PlacedBalloon& balloon, ShapePath& outline);

// A thought's bubbles, each a closed ellipse, from the tail's tip up to the
// cloud and growing on the way; none without a tail.
std::vector<ShapePath> ThoughtBubbles(const PlacedBalloon& balloon);
