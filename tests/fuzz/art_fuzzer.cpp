// libFuzzer target for Chat's art: any bytes, read as a character (every
// image it names, a few figures, its icon) and as a backdrop. Besides crashes,
// hangs and huge allocations under ASan and UBSan, it checks that every error
// names the file, that pictures are as large as they say and within the
// limits, and that a character whose images all decode also composes.
#include <cstdlib>
#include <string>
#include <vector>

#include "chatart/chat_art.h"

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

void RequireNamed(const std::string& error, const std::string& name)
{
    Require(error.rfind(name + ": ", 0) == 0);
}

void RequirePixels(const Pixels& pixels)
{
    Require(pixels.width > 0 && pixels.width <= kMaxArtImageSide);
    Require(pixels.height > 0 && pixels.height <= kMaxArtImageSide);
    Require(pixels.stride == pixels.width * 4);
    Require(pixels.bytes.size() == size_t(pixels.stride) * size_t(pixels.height));
}

// The poses a renderer asks for: neutral, the next neutral, an emotion, a
// gesture; each also flipped.
void ComposeSome(const Character& character, bool imagesDecode)
{
    bool simple = character.kind == CharacterKind::Simple;
    const std::vector<PoseRecord>& heads = simple ? character.bodies : character.faces;
    Pose poses[4];
    poses[0].face = NextNeutral(heads, -1);
    poses[0].torso = simple ? 0 : NextNeutral(character.torsos, -1);
    poses[1].face = NextNeutral(heads, poses[0].face);
    poses[1].torso = simple ? 0 : NextNeutral(character.torsos, poses[0].torso);
    poses[2].face = FaceForEmotion(heads, EmotionAngry, 200);
    poses[2].torso = poses[0].torso;
    poses[3].face = poses[0].face;
    poses[3].torso = simple ? 0 : RecordForGesture(character.torsos, GestureWave);
    for (const Pose& pose : poses) {
        if (pose.face < 0 || pose.torso < 0)
            continue;
        for (bool flipped : {false, true}) {
            Figure figure;
            std::string error;
            if (ComposeFigure(character, pose, flipped, figure, error)) {
                RequirePixels(figure.pixels);
                continue;
            }
            RequireNamed(error, character.fileName);
            Require(!imagesDecode || error.find("makes a figure of") != std::string::npos);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> file(data, data + size);
    std::string error;

    Character character;
    if (ReadCharacter("fuzz.avb", file, character, error)) {
        Require(!character.faces.empty() || !character.bodies.empty());
        bool imagesDecode = CheckCharacterImages(character, error);
        if (!imagesDecode)
            RequireNamed(error, "fuzz.avb");
        ComposeSome(character, imagesDecode);
        Pixels icon;
        if (ReadIcon(character, icon, error)) {
            Require(icon.width == kIconSide && icon.height == kIconSide);
            RequirePixels(icon);
        } else {
            RequireNamed(error, "fuzz.avb");
            Require(!imagesDecode || character.icon.offset == 0);
        }
    } else {
        RequireNamed(error, "fuzz.avb");
    }

    Pixels backdrop;
    if (ReadBackdrop("fuzz.bgb", file, backdrop, error))
        RequirePixels(backdrop);
    else
        RequireNamed(error, "fuzz.bgb");
    return 0;
}
