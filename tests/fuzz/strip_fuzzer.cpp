// libFuzzer target for the strip's reading and layout: any bytes as a
// conversation file. What reads is laid out to the end of its pictures, with
// text at fixed widths and made-up characters; every balloon must stay in the
// top half of its panel, clear of the others, and the pictures within their
// limits. The balloons' outlines are painted into a panel of their own, as
// the painter does.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "strip/balloon_shape.h"
#include "strip/compose.h"
#include "strip/conversation_reader.h"
#include "strip/strip_layout.h"
#include "tests/unit/strip_fakes.h"

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

bool Apart(const StripRect& a, const StripRect& b)
{
    return a.Right() <= b.x || b.Right() <= a.x || a.Bottom() <= b.y || b.Bottom() <= a.y;
}

void PaintBalloons(const PanelLayout& panel, Pixels& page)
{
    const StripRect all{0, 0, kPanelSide, kPanelSide};
    ShapePath outline;
    for (const PlacedBalloon& balloon : panel.balloons) {
        BalloonOutline(balloon, outline);
        FillShape(ViewOf(page), outline, 255, all);
        StrokeShape(ViewOf(page), outline, true, kBalloonLineWidth, 0, all, kWhisperDash, kWhisperGap);
        for (const ShapePath& bubble : ThoughtBubbles(balloon))
            StrokeShape(ViewOf(page), bubble, true, kBalloonLineWidth, 0, all);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<ConversationRecord> records;
    std::string error;
    if (!ReadConversation(reinterpret_cast<const char*>(data), size, records, error)) {
        Require(error.compare(0, 5, "line ") == 0);
        return 0;
    }
    FixedMeasure measure;
    FakeCast cast;
    StripLayout layout(records, measure, cast);
    PictureLayout picture;
    Pixels page;
    ResetPicture(page, kPanelSide, kPanelSide);
    int pictures = 0;
    while (layout.NextPicture(picture)) {
        Require(++pictures <= kMaxPictures);
        Require(picture.rows >= 1 && picture.rows <= kMaxPictureRows);
        for (const PanelLayout& panel : picture.panels) {
            Require(panel.balloons.size() <= static_cast<size_t>(kMaxBalloonsPerPanel));
            for (size_t i = 0; i < panel.balloons.size(); ++i) {
                const StripRect& r = panel.balloons[i].rect;
                Require(r.x >= kBorderWidth && r.Right() <= kPanelSide - kBorderWidth);
                Require(r.y >= kBorderWidth && r.Bottom() <= kPanelSide / 2);
                for (size_t j = i + 1; j < panel.balloons.size(); ++j)
                    Require(Apart(r, panel.balloons[j].rect));
            }
            PaintBalloons(panel, page);
        }
    }
    Require(pictures >= 1);
    return 0;
}
