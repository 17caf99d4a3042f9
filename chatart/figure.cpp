// A character's figure in RGBA, built the way Chat paints it with raster
// operations (aura, then mask and drawing of each part), and its icon.
#include <algorithm>

#include "chatart/art_file.h"
#include "chatart/chat_art.h"
#include "chatart/pose_planes.h"

namespace {

std::string Number(int64_t value)
{
    return std::to_string(value);
}

// A part (head, torso or body) where it stands in the figure.
struct PlacedPart {
    const PosePlanes& planes;
    int left;
    int top;
    bool useMask;
};

size_t PixelAt(const Pixels& pixels, int x, int y)
{
    return size_t(y) * size_t(pixels.stride) + size_t(x) * 4;
}

// Chat's MERGEPAINT of a mask or aura: white wherever the plane is set.
void Whiten(Pixels& figure, const PlacedPart& part, const std::vector<uint8_t>& plane)
{
    if (plane.empty())
        return;
    for (int y = 0; y < part.planes.height; ++y)
        for (int x = 0; x < part.planes.width; ++x)
            if (plane[size_t(y) * part.planes.width + x]) {
                size_t at = PixelAt(figure, part.left + x, part.top + y);
                std::fill(figure.bytes.begin() + at, figure.bytes.begin() + at + 4, 255);
            }
}

// Chat's SRCAND of a drawing: white leaves the figure as it is; another
// colour darkens a painted pixel, and stands as it is where nothing was
// painted (where Chat would darken the backdrop).
void AndDrawing(Pixels& figure, const PlacedPart& part)
{
    const std::vector<uint8_t>& color = part.planes.color;
    for (int y = 0; y < part.planes.height; ++y)
        for (int x = 0; x < part.planes.width; ++x) {
            size_t from = (size_t(y) * part.planes.width + x) * 3;
            if (color[from] == 255 && color[from + 1] == 255 && color[from + 2] == 255)
                continue;
            size_t at = PixelAt(figure, part.left + x, part.top + y);
            bool painted = figure.bytes[at + 3] != 0;
            for (int c = 0; c < 3; ++c)
                figure.bytes[at + c] = painted ? figure.bytes[at + c] & color[from + c] : color[from + c];
            figure.bytes[at + 3] = 255;
        }
}

void DrawPart(Pixels& figure, const PlacedPart& part)
{
    if (part.useMask)
        Whiten(figure, part, part.planes.mask);
    AndDrawing(figure, part);
}

void Mirror(Pixels& pixels)
{
    for (int y = 0; y < pixels.height; ++y)
        for (int x = 0; x < pixels.width / 2; ++x)
            std::swap_ranges(pixels.bytes.begin() + PixelAt(pixels, x, y),
                             pixels.bytes.begin() + PixelAt(pixels, x, y) + 4,
                             pixels.bytes.begin() + PixelAt(pixels, pixels.width - 1 - x, y));
}

bool DecodePart(const Character& character, const std::vector<PoseRecord>& records, int index, const char* kind,
                PosePlanes& planes, std::string& error)
{
    std::string name = kind + (" " + Number(index));
    if (index < 0 || size_t(index) >= records.size())
        return ArtError(error, character.fileName,
                        "there is no " + name + " (the character has " + Number(records.size()) + ")");
    if (!DecodePosePlanes(character, records[size_t(index)], planes, error))
        return ArtError(error, character.fileName, name + ": " + error);
    return true;
}

// The head placed by the neck points: the torso's, less the face's, plus the
// face's fine adjustment, in bitmap pixels with y growing downward.
bool ComposeHeadOnTorso(const Character& character, Pose pose, Figure& figure, std::string& error)
{
    PosePlanes head, torso;
    if (!DecodePart(character, character.faces, pose.face, "face", head, error) ||
        !DecodePart(character, character.torsos, pose.torso, "torso", torso, error))
        return false;
    const PoseRecord& face = character.faces[size_t(pose.face)];
    const PoseRecord& body = character.torsos[size_t(pose.torso)];
    int headX = body.neckX + face.deltaX - face.neckX;
    int headY = body.neckY + face.deltaY - face.neckY;
    int left = std::min(0, headX), top = std::min(0, headY);
    int width = std::max(torso.width, headX + head.width) - left;
    int height = std::max(torso.height, headY + head.height) - top;
    if (width > kMaxArtImageSide || height > kMaxArtImageSide)
        return ArtError(error, character.fileName,
                        "face " + Number(pose.face) + " on torso " + Number(pose.torso) + " makes a figure of " +
                            Number(width) + " x " + Number(height) + " pixels (at most " +
                            Number(kMaxArtImageSide) + " a side)");

    ClearPixels(figure.pixels, width, height);
    PlacedPart headPart = {head, headX - left, headY - top, (character.flags & FlagHeadMask) != 0};
    PlacedPart torsoPart = {torso, -left, -top, (character.flags & FlagTorsoMask) != 0};
    Whiten(figure.pixels, torsoPart, torso.aura);
    Whiten(figure.pixels, headPart, head.aura);
    bool torsoFirst = (character.flags & FlagTorsoFirst) != 0;
    DrawPart(figure.pixels, torsoFirst ? torsoPart : headPart);
    DrawPart(figure.pixels, torsoFirst ? headPart : torsoPart);
    figure.mouthX = face.faceX + headX - left;
    figure.headBottom = headY + head.height - top;
    return true;
}

// A simple character's body never uses its mask; Chat counts half its height
// as its head.
bool ComposeBody(const Character& character, Pose pose, Figure& figure, std::string& error)
{
    PosePlanes body;
    if (!DecodePart(character, character.bodies, pose.face, "body", body, error))
        return false;
    ClearPixels(figure.pixels, body.width, body.height);
    PlacedPart part = {body, 0, 0, false};
    Whiten(figure.pixels, part, body.aura);
    DrawPart(figure.pixels, part);
    figure.mouthX = character.bodies[size_t(pose.face)].faceX;
    figure.headBottom = body.height / 2;
    return true;
}

}  // namespace

bool ComposeFigure(const Character& character, Pose pose, bool flipped, Figure& figure, std::string& error)
{
    figure = Figure();
    bool composed = character.kind == CharacterKind::Simple ? ComposeBody(character, pose, figure, error)
                                                            : ComposeHeadOnTorso(character, pose, figure, error);
    if (!composed)
        return false;
    if (flipped) {
        Mirror(figure.pixels);
        figure.mouthX = figure.pixels.width - figure.mouthX;
    }
    return true;
}

bool ReadIcon(const Character& character, Pixels& icon, std::string& error)
{
    if (character.icon.offset == 0)
        return ArtError(error, character.fileName, "the character has no icon");
    PosePlanes planes;
    if (!DecodePosePlanes(character, character.icon, ArtImageRef(), ArtImageRef(), planes, error))
        return ArtError(error, character.fileName, "icon: " + error);
    // Icons are 40 x 40 in all the art; another size is stretched to it.
    ClearPixels(icon, kIconSide, kIconSide);
    for (int y = 0; y < kIconSide; ++y)
        for (int x = 0; x < kIconSide; ++x) {
            size_t from = (size_t(y * planes.height / kIconSide) * planes.width + x * planes.width / kIconSide) * 3;
            size_t at = PixelAt(icon, x, y);
            std::copy(planes.color.begin() + from, planes.color.begin() + from + 3, icon.bytes.begin() + at);
            icon.bytes[at + 3] = 255;
        }
    return true;
}
