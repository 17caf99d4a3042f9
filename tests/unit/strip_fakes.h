// Stand-ins for the strip's measure and cast: fixed-width text (7 pixels a
// byte, so 14 a double-byte character) and characters of made-up sizes.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "strip/strip_layout.h"

class FixedMeasure : public TextMeasure {
public:
    static const int kByteWidth = 7;
    int Width(TextStyle, const char*, size_t count) const override { return static_cast<int>(count) * kByteWidth; }
    int LineHeight(TextStyle style) const override { return style == TextStyle::Title ? 22 : 17; }
};

struct FakeCharacter {
    FigureMetrics metrics{180, 420, 120, 160};  // about Scotty's neutral figure
    bool hasArt = true;
    bool hasIcon = true;
};

// Answers for the characters it was given; any other name has no art. Poses
// count up per character; the cues it was asked about are kept.
class FakeCast : public StripCast {
public:
    std::map<std::string, FakeCharacter> characters;
    std::vector<std::string> backdrops{"DEN.bgb", "ROOM.bgb"};
    std::vector<PoseCues> cuesSeen;
    int poseCalls = 0;

    FakeCast()
    {
        characters["SCOTTY"] = FakeCharacter();
        characters["LANCE"] = FakeCharacter{{200, 400, 60, 150}, true, false};
    }

    bool HasArt(const std::string& character) override
    {
        auto found = characters.find(character);
        return found != characters.end() && found->second.hasArt;
    }
    bool HasIcon(const std::string& character) override { return HasArt(character) && characters[character].hasIcon; }
    bool HasBackdrop(const std::string& backdrop) override
    {
        for (const std::string& name : backdrops)
            if (name == backdrop)
                return true;
        return false;
    }
    Pose ChoosePose(const std::string&, const PoseCues& cues, PoseRotation& rotation) override
    {
        ++poseCalls;
        cuesSeen.push_back(cues);
        Pose pose;
        pose.face = ++rotation.lastFace;
        pose.torso = cues.count > 0 ? cues.options[0].code : 0;
        return pose;
    }
    FigureMetrics Measure(const std::string& character, Pose) override { return characters[character].metrics; }
};
