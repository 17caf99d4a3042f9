// The strip as plain data: which says go into which panel, where each figure
// and balloon stands and where each line of text breaks, laid out as
// Microsoft Chat 2.5 lays out its comic view. Portable: the caller measures
// the text and answers for the art; a thin GDI layer paints the result.
//
// Coordinates are pixels. A panel's frame is on its picture; everything in a
// panel is in the panel's own coordinates (0, 0 at its top-left corner).
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "chatart/chat_art.h"
#include "strip/conversation_reader.h"
#include "strip/line_breaking.h"
#include "strip/pose_cues.h"

const int kPanelSide = 320;
const int kPanelsPerRow = 3;
const int kGutter = 10;       // white between the panels and around them
const int kBorderWidth = 4;   // the black border, inside a content panel's frame
const int kMaxPictureRows = 8;
const int kMaxPictures = 10;
const int kMaxPanelsPerPicture = kMaxPictureRows * kPanelsPerRow;
const int kPictureWidth = kPanelsPerRow * kPanelSide + (kPanelsPerRow + 1) * kGutter;
const int kMaxBalloonsPerPanel = 5;

// A balloon's text sits this far inside its outline's bounds, and its outline
// turns its corners within kBalloonCornerRadius (the tail leaves the bottom
// edge clear of the corners).
const int kBalloonPaddingX = 10;
const int kBalloonPaddingTop = 6;
const int kBalloonPaddingBottom = 6;
const int kBalloonCornerRadius = 10;

// "続きは Mirth.ccc でご覧ください": the last panel when the strip is cut.
extern const char kDefaultStripNote[];
// Chat's heading over the cast in the title panel.
extern const char kDefaultStripHeading[];

struct StripRect {
    int x = 0, y = 0, width = 0, height = 0;
    int Right() const { return x + width; }
    int Bottom() const { return y + height; }
};

struct StripPoint {
    int x = 0, y = 0;
};

// A line of a text block: bytes [start, start + length) of its text, drawn
// with its top-left corner at (x, y).
struct PlacedLine {
    size_t start = 0;
    size_t length = 0;
    int x = 0, y = 0, width = 0;
};

struct TextBlock {
    TextStyle style = TextStyle::Balloon;
    std::string text;  // Shift-JIS, as shown
    std::vector<PlacedLine> lines;
};

struct PlacedFigure {
    std::string nick;
    std::string character;
    Pose pose;
    bool flipped = false;  // mirrored, facing left (the art faces right)
    StripRect rect;        // the figure scaled to this; it may reach below the panel, which clips it
    int mouthX = 0;
};

// Chat's balloon kinds: a say has a tail, a whisper a dashed outline, a
// thought a chain of bubbles from the tail's tip up to the cloud, an action a
// plain box at the top-left without a tail.
enum class BalloonKind { Say, Whisper, Think, Action };

struct PlacedBalloon {
    BalloonKind kind = BalloonKind::Say;
    int figure = -1;  // the speaker's figure in the panel; -1 when the speaker's art is missing
    StripRect rect;   // the outline's bounds
    TextBlock text;
    bool hasTail = false;
    StripPoint tailTip;                     // above the speaker's head, at the mouth's x
    StripPoint tailBaseLeft, tailBaseRight; // on the outline's bottom edge
};

struct PlacedIcon {
    std::string character;
    StripRect rect;  // kIconSide x kIconSide
};

enum class PanelKind { Title, Content, Note };

struct PanelLayout {
    PanelKind kind = PanelKind::Content;
    StripRect frame;
    bool border = true;
    std::string backdrop;  // empty: white
    // The backdrop, stretched over the panel, is magnified by `zoom` about the
    // line y = zoomLine (and the left edge), as the figures grow down from it.
    double zoom = 1.0;
    int zoomLine = 0;
    std::vector<PlacedFigure> figures;    // left to right, drawn in this order
    std::vector<PlacedBalloon> balloons;  // in the order spoken; the first is drawn last, on top
    std::vector<PlacedIcon> icons;        // the title panel's cast
    std::vector<TextBlock> labels;        // the title panel's title, heading and names; the note
};

struct PictureLayout {
    int number = 0;  // 1 for the first picture
    int width = 0, height = 0, rows = 0;
    std::vector<PanelLayout> panels;
    bool cut = false;  // its last panel is the note: the strip goes on in the conversation file
};

// A figure as the art gives it: unscaled, facing right. headBottom is from
// the figure's top to the bottom of its head.
struct FigureMetrics {
    int width = 0, height = 0, mouthX = 0, headBottom = 0;
};

// The records used last by a character, for Chat's rotation of neutral poses.
struct PoseRotation {
    int lastFace = -1;   // complex characters: face; simple ones: body
    int lastTorso = -1;
};

// What the layout asks of the art; the caller reads it (and should cache the
// answers). Names are as the conversation gives them.
class StripCast {
public:
    virtual ~StripCast() = default;
    // A character whose art is missing is left out: its says get balloons
    // without a tail, and it is not in the title panel.
    virtual bool HasArt(const std::string& character) = 0;
    virtual bool HasIcon(const std::string& character) = 0;
    virtual bool HasBackdrop(const std::string& backdrop) = 0;
    // The pose for a say with these cues, as Chat chooses it on the
    // character's records (ChoosePoseOnRecords), updating the rotation.
    virtual Pose ChoosePose(const std::string& character, const PoseCues& cues, PoseRotation& rotation) = 0;
    virtual FigureMetrics Measure(const std::string& character, Pose pose) = 0;
};

struct StripOptions {
    std::string title;  // over the heading in the title panel; empty: the conversation's own title
    std::string heading = kDefaultStripHeading;
    std::string note = kDefaultStripNote;
    bool capitals = true;  // balloon text in capitals, as Chat shows it (ASCII letters only)
};

// Lays the strip out a picture at a time, so that a long conversation is laid
// out only as far as its pictures go. The records, the measure and the cast
// must outlive it.
class StripLayout {
public:
    StripLayout(const std::vector<ConversationRecord>& records, const TextMeasure& measure, StripCast& cast,
                const StripOptions& options = StripOptions());
    ~StripLayout();
    StripLayout(const StripLayout&) = delete;
    StripLayout& operator=(const StripLayout&) = delete;

    // The next picture; false when there is none. The first picture is made
    // even for a conversation without says: it has the title panel.
    bool NextPicture(PictureLayout& picture);

private:
    struct State;
    std::unique_ptr<State> state_;
};
