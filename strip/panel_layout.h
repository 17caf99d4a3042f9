// One content panel laid out as Microsoft Chat 2.5 lays it out: its speakers'
// figures side by side, then their balloons in the order spoken, with the
// tails kept clear of each other. Part of the strip's layout; portable.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "strip/line_breaking.h"
#include "strip/strip_layout.h"

// A speaker of the panel, as at its say.
struct PanelSpeaker {
    int user = 0;
    int rank = 0;  // the order in which the user first spoke: its side of the panels
    std::string nick;
    std::string character;
    Pose pose;
    bool hasArt = false;
    FigureMetrics metrics;
};

struct PanelSay {
    int speaker = 0;  // in the panel's speakers
    BalloonKind kind = BalloonKind::Say;
    std::shared_ptr<const PreparedText> text;
    bool fullWidth = false;  // a piece cut to fit an empty panel
};

// A panel being filled: its speakers in the order they came, and their says.
struct OpenPanel {
    std::string backdrop;
    std::vector<PanelSpeaker> speakers;
    std::vector<PanelSay> says;
};

// Lays the panel out: its figures, then its balloons. False when a balloon
// does not fit; with `force` a balloon that does not fit is put at the full
// width anyway. `establishing`: the first content panel, which does not zoom.
bool LayoutContentPanel(const OpenPanel& panel, bool establishing, bool force, const TextMeasure& measure,
                        PanelLayout& out);

// The widest a balloon's text can be, and how many lines fit a balloon alone
// in its panel.
int FullBalloonTextWidth();
int BalloonLinesInEmptyPanel(const TextMeasure& measure);
