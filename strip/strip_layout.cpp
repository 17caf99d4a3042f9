#include "strip/strip_layout.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <map>
#include <memory>

#include "conversation/shift_jis.h"

const char kDefaultStripNote[] =
    "\x91\xB1\x82\xAB\x82\xCD Mirth.ccc \x82\xC5\x82\xB2\x97\x97\x82\xAD\x82\xBE\x82\xB3\x82\xA2";  // 続きは Mirth.ccc でご覧ください
const char kDefaultStripHeading[] = "STARRING";

namespace {

// Chat lays out in twips, 15 to a pixel at 96 dpi; its distances in pixels:
const int kBodyHeight = static_cast<int>(kPanelSide / 1.9);  // every figure's height before zooming
const int kTailRoom = 7;       // kept below a balloon for its tail (100 twips)
const int kTailTipAbove = 13;  // the tail's tip above the figure's top (200 twips)
const int kRouteWidth = 20;    // kept clear beside an earlier balloon's tail (300 twips)
const int kOneLineWidth = 33;  // text narrower than this stays on one line (500 twips)
const double kZoomThreshold = 1.1;  // smaller zooms are not worth it

const int kDockGap = 2;     // between the panel's border and the top balloon
const int kBalloonGap = 3;  // between balloons
const int kTailHalfBase = 6;
const int kMinBalloonWidth = 40;

// More text than any panel shows; a longer say is cut without measuring the rest.
const size_t kMaxPanelTextBytes = 8192;
const char kContinuation[] = "...";
const size_t kContinuationBytes = sizeof kContinuation - 1;

const int kTitleTop = 14;
const int kTitleMargin = 16;
const int kBelowTitle = 8;
const int kBelowHeading = 20;  // Chat's 300 twips under "STARRING"
const int kIconGap = 7;        // between an icon and its name (100 twips)
const int kStarRowGap = 6;
const int kNoteMargin = 16;

int Round(double value)
{
    return static_cast<int>(std::lround(value));
}

int Clamp(int value, int low, int high)
{
    return value < low ? low : (value > high ? high : value);
}

struct User {
    std::string nick;
    std::string character;
    PoseRotation rotation;
    int rank = -1;  // the order in which the users first spoke: their sides
};

// The first speaker stands left and the second right, the third left beside
// the first, the fourth right beside the second, and so on; each keeps its side
// and faces the middle.
long SideKey(int rank)
{
    return rank % 2 == 0 ? rank : 1000000L - rank;
}

bool FacesLeft(int rank)
{
    return rank % 2 == 1;
}

struct PanelSpeaker {
    int user = 0;
    int rank = 0;
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

struct OpenPanel {
    std::string backdrop;
    std::vector<PanelSpeaker> speakers;
    std::vector<PanelSay> says;
};

// A say still to be placed: its shown text from `offset` on, after "..." when
// an earlier part went into the panel before.
struct PendingSay {
    PanelSpeaker speaker;
    BalloonKind kind = BalloonKind::Say;
    std::shared_ptr<const std::string> text;
    size_t offset = 0;
    bool continued = false;
};

// Where a speaker's balloon aims: the figure's mouth and top, or the panel's
// middle for a speaker without art.
struct Aim {
    int figure = -1;
    int x = kPanelSide / 2;
    int figureTop = kPanelSide;
};

void LayoutFigures(const OpenPanel& panel, bool establishing, PanelLayout& out, std::vector<Aim>& aims)
{
    aims.assign(panel.speakers.size(), Aim());
    out.zoom = 1.0;
    out.zoomLine = kPanelSide - kBodyHeight;
    std::vector<size_t> order;
    for (size_t i = 0; i < panel.speakers.size(); ++i)
        if (panel.speakers[i].hasArt)
            order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return SideKey(panel.speakers[a].rank) < SideKey(panel.speakers[b].rank);
    });
    size_t n = order.size();
    if (n == 0)
        return;

    std::vector<int> width(n), height(n, kBodyHeight), top(n, kPanelSide - kBodyHeight);
    int maxHead = 0, sum = 0;
    for (size_t i = 0; i < n; ++i) {
        const FigureMetrics& m = panel.speakers[order[i]].metrics;
        double scale = static_cast<double>(kBodyHeight) / std::max(1, m.height);
        width[i] = Round(m.width * scale);
        maxHead = std::max(maxHead, Round(m.headBottom * scale));
        sum += width[i];
    }
    if (sum > kPanelSide) {
        // Too wide together: all shrink alike and stand on the bottom edge.
        double reduction = static_cast<double>(kPanelSide) / sum;
        for (size_t i = 0; i < n; ++i) {
            height[i] = Round(kBodyHeight * reduction);
            width[i] = Round(width[i] * reduction);
            top[i] = kPanelSide - height[i];
        }
    } else if (!establishing && sum > 0) {
        // Closer in, but never so close that the heads are cut at the neck;
        // the figures grow down from their top line and the bottom edge crops them.
        double zoom = static_cast<double>(kPanelSide) / sum;
        if (maxHead > 0)
            zoom = std::min(zoom, kBodyHeight / (1.2 * maxHead));
        if (zoom >= kZoomThreshold) {
            out.zoom = zoom;
            for (size_t i = 0; i < n; ++i) {
                height[i] = Round(height[i] * zoom);
                width[i] = Round(width[i] * zoom);
            }
        }
    }
    int total = 0;
    for (int w : width)
        total += w;
    int margin = std::max(0, (kPanelSide - total) / static_cast<int>(n + 1));
    int x = margin;
    for (size_t i = 0; i < n; ++i) {
        const PanelSpeaker& speaker = panel.speakers[order[i]];
        PlacedFigure figure;
        figure.nick = speaker.nick;
        figure.character = speaker.character;
        figure.pose = speaker.pose;
        figure.flipped = FacesLeft(speaker.rank);
        figure.rect = StripRect{x, top[i], width[i], height[i]};
        double mouth = speaker.metrics.width > 0 ? static_cast<double>(speaker.metrics.mouthX) / speaker.metrics.width : 0.5;
        if (figure.flipped)
            mouth = 1.0 - mouth;
        figure.mouthX = x + Round(mouth * width[i]);
        aims[order[i]] = Aim{static_cast<int>(out.figures.size()), figure.mouthX, top[i]};
        out.figures.push_back(figure);
        x += width[i] + margin;
    }
}

// The room for balloons: the panel's top half inside the border, with room
// for a tail under the lowest balloon.
struct BalloonArea {
    int left = kBorderWidth;
    int right = kPanelSide - kBorderWidth;
    int top = kBorderWidth;
    int half = kPanelSide / 2;
    int bottom = kPanelSide / 2 - kTailRoom;  // no balloon reaches below this
};

struct BalloonSpot {
    StripRect rect;
    int toX = 0;
    bool hasTail = false;
    // The corridor that the tail comes down through, kept clear of later
    // balloons.
    int routeLeft = 0, routeRight = 0;
    std::vector<TextLine> lines;
};

// The text width Chat aims for: one line for a short text; else between the
// width that an area estimate gives for the height left and the full width
// (Chat picks at random; this takes the middle).
int GoalTextWidth(const PanelSay& say, int maxText, int lowestBottom, int lineHeight, const BalloonArea& area)
{
    const PreparedText& text = *say.text;
    if (say.fullWidth)
        return maxText;
    int length = text.singleLineWidth;
    if (length <= kOneLineWidth)
        return std::max(1, std::min(length, maxText));
    int potentialHeight = std::max(1, area.half - lowestBottom + kTailRoom);
    double estimate = 1.3 * length * 2.0 * lineHeight;
    int minText = std::max(static_cast<int>(estimate / potentialHeight), text.widestPiece);
    int goal = (minText + maxText) / 2;
    return Clamp(goal, 1, std::min(maxText, length));
}

bool PlaceBalloon(const PanelSay& say, const Aim& aim, bool hasTail, const std::vector<BalloonSpot>& placed,
                  const TextMeasure& measure, bool force, BalloonSpot& spot)
{
    const BalloonArea area{};
    int lineHeight = measure.LineHeight(TextStyle::Balloon);
    spot = BalloonSpot();
    spot.toX = aim.x;
    spot.hasTail = hasTail;

    // Stay on this side of every earlier tail.
    int low = area.left, high = area.right;
    int lowestBottom = area.top;
    for (const BalloonSpot& other : placed) {
        lowestBottom = std::max(lowestBottom, other.rect.Bottom());
        if (!other.hasTail)
            continue;
        if (spot.toX > other.toX)
            low = std::max(low, std::max(other.toX, other.routeLeft + kRouteWidth));
        else if (spot.toX < other.toX)
            high = std::min(high, std::min(other.toX, other.routeRight - kRouteWidth));
    }
    if (high - low < kMinBalloonWidth && !force)
        return false;
    if (high - low < kMinBalloonWidth) {
        low = area.left;
        high = area.right;
    }
    int maxOuter = high - low;
    int maxText = std::max(1, maxOuter - 2 * kBalloonPaddingX);
    int goal = GoalTextWidth(say, maxText, lowestBottom, lineHeight, area);
    const int widths[] = {goal, maxText};
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (attempt == 1 && widths[1] == widths[0] && !force)
            break;
        WrapPrepared(*say.text, widths[attempt], measure, spot.lines);
        int widest = 0;
        for (const TextLine& line : spot.lines)
            widest = std::max(widest, line.width);
        int width = Clamp(widest + 2 * kBalloonPaddingX, std::min(kMinBalloonWidth, maxOuter), maxOuter);
        int height = static_cast<int>(spot.lines.size()) * lineHeight + kBalloonPaddingTop + kBalloonPaddingBottom;
        int x = say.kind == BalloonKind::Action ? low : Clamp(spot.toX - width / 2, low, high - width);
        // Read left to right, then down: beside an earlier balloon only when
        // that one is wholly to the left, else below it.
        int top = area.top + kDockGap;
        for (const BalloonSpot& other : placed) {
            if (other.rect.Right() + kBalloonGap <= x)
                top = std::max(top, other.rect.y);
            else
                top = std::max(top, other.rect.Bottom() + kBalloonGap);
        }
        spot.rect = StripRect{x, top, width, height};
        spot.routeLeft = x;
        spot.routeRight = x + width;
        if (top + height <= area.bottom || (force && attempt == 1))
            return true;
    }
    return false;
}

// Whether the segment from a to b passes through the rectangle.
bool SegmentHitsRect(StripPoint a, StripPoint b, const StripRect& r)
{
    double t0 = 0.0, t1 = 1.0;
    double dx = b.x - a.x, dy = b.y - a.y;
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {static_cast<double>(a.x - r.x), static_cast<double>(r.Right() - a.x),
                        static_cast<double>(a.y - r.y), static_cast<double>(r.Bottom() - a.y)};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    return true;
}

void SetTail(const BalloonSpot& spot, const Aim& aim, PlacedBalloon& balloon)
{
    const StripRect& r = spot.rect;
    int bottom = r.Bottom();
    int tipY = std::max(aim.figureTop - kTailTipAbove, bottom + kTailRoom);
    int left = std::max(spot.routeLeft, r.x + kBalloonCornerRadius) + kTailHalfBase;
    int right = std::min(spot.routeRight, r.Right() - kBalloonCornerRadius) - kTailHalfBase;
    if (left > right) {
        int middle = (std::max(spot.routeLeft, r.x) + std::min(spot.routeRight, r.Right())) / 2;
        left = right = Clamp(middle, r.x + kTailHalfBase, r.Right() - kTailHalfBase);
    }
    int baseX = Clamp(spot.toX, left, right);
    balloon.hasTail = true;
    balloon.tailTip = StripPoint{spot.toX, tipY};
    balloon.tailBaseLeft = StripPoint{baseX - kTailHalfBase, bottom};
    balloon.tailBaseRight = StripPoint{baseX + kTailHalfBase, bottom};
}

// Lays the panel out: its figures, then its balloons in the order spoken.
// False when a balloon does not fit; with `force`, a balloon that does not
// fit is put at the full width anyway.
bool LayoutContent(const OpenPanel& panel, bool establishing, bool force, const TextMeasure& measure,
                   PanelLayout& out)
{
    out = PanelLayout();
    out.kind = PanelKind::Content;
    out.border = true;
    out.backdrop = panel.backdrop;
    std::vector<Aim> aims;
    LayoutFigures(panel, establishing, out, aims);

    std::vector<BalloonSpot> spots;
    for (const PanelSay& say : panel.says) {
        const Aim& aim = aims[say.speaker];
        bool hasTail = aim.figure >= 0 && say.kind != BalloonKind::Action;
        BalloonSpot spot;
        if (!PlaceBalloon(say, aim, hasTail, spots, measure, force, spot))
            return false;
        // Earlier tails keep to their side of this balloon.
        for (BalloonSpot& other : spots) {
            if (!other.hasTail)
                continue;
            if (spot.toX > other.toX)
                other.routeRight = std::min(other.routeRight, spot.rect.x);
            else if (spot.toX < other.toX)
                other.routeLeft = std::max(other.routeLeft, spot.rect.Right());
        }
        spots.push_back(spot);
    }

    int lineHeight = measure.LineHeight(TextStyle::Balloon);
    for (size_t i = 0; i < spots.size(); ++i) {
        const BalloonSpot& spot = spots[i];
        const PanelSay& say = panel.says[i];
        PlacedBalloon balloon;
        balloon.kind = say.kind;
        balloon.figure = aims[say.speaker].figure;
        balloon.rect = spot.rect;
        balloon.text.style = TextStyle::Balloon;
        balloon.text.text = say.text->text;
        for (size_t l = 0; l < spot.lines.size(); ++l) {
            const TextLine& line = spot.lines[l];
            int x = say.kind == BalloonKind::Action ? spot.rect.x + kBalloonPaddingX
                                                    : spot.rect.x + (spot.rect.width - line.width) / 2;
            int y = spot.rect.y + kBalloonPaddingTop + static_cast<int>(l) * lineHeight;
            balloon.text.lines.push_back(PlacedLine{line.start, line.length, x, y, line.width});
        }
        if (spot.hasTail)
            SetTail(spot, aims[say.speaker], balloon);
        out.balloons.push_back(balloon);
    }

    // No tail may cross another balloon.
    if (!force) {
        for (size_t i = 0; i < out.balloons.size(); ++i) {
            const PlacedBalloon& b = out.balloons[i];
            if (!b.hasTail)
                continue;
            for (size_t j = 0; j < out.balloons.size(); ++j) {
                if (j == i)
                    continue;
                const StripRect& r = out.balloons[j].rect;
                if (SegmentHitsRect(b.tailBaseLeft, b.tailTip, r) || SegmentHitsRect(b.tailBaseRight, b.tailTip, r))
                    return false;
            }
        }
    }
    return true;
}

// A centred block of text, wrapped to `width`, its lines from `top` down.
TextBlock CenteredBlock(const std::string& text, TextStyle style, int left, int width, int top,
                        const TextMeasure& measure)
{
    TextBlock block;
    block.style = style;
    block.text = text;
    int lineHeight = measure.LineHeight(style);
    std::vector<TextLine> lines = WrapText(text, width, measure, style);
    for (size_t i = 0; i < lines.size(); ++i)
        block.lines.push_back(PlacedLine{lines[i].start, lines[i].length, left + (width - lines[i].width) / 2,
                                         top + static_cast<int>(i) * lineHeight, lines[i].width});
    return block;
}

int BlockBottom(const TextBlock& block, const TextMeasure& measure)
{
    return block.lines.empty() ? 0 : block.lines.back().y + measure.LineHeight(block.style);
}

// The text of a say as a balloon shows it: a TAB or CR is a blank, other
// control bytes (Chat's formatting codes among them) are left out, a line
// feed stays a line break; in capitals when asked.
std::string ShownText(const std::string& text, bool capitals)
{
    std::string shown;
    shown.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        size_t size = SjisCharLength(text.data() + at, text.size() - at);
        unsigned char byte = static_cast<unsigned char>(text[at]);
        if (size == 2)
            shown.append(text, at, 2);
        else if (byte == '\t' || byte == '\r')
            shown += ' ';
        else if (byte >= 0x20 || byte == '\n')
            shown += text[at];
        at += size;
    }
    return capitals ? CapitalizeAscii(shown) : shown;
}

// The balloon kind of a say's mode block "(... M:n ...)".
BalloonKind KindOfMode(const std::string& mode)
{
    if (mode.empty() || mode[0] != '(')
        return BalloonKind::Say;
    size_t end = mode.find(')');
    size_t at = mode.find("M:");
    if (at == std::string::npos || (end != std::string::npos && at > end) || at + 2 >= mode.size())
        return BalloonKind::Say;
    switch (mode[at + 2]) {
    case '2': return BalloonKind::Whisper;
    case '3': return BalloonKind::Think;
    case '5': return BalloonKind::Action;
    default: return BalloonKind::Say;
    }
}

}  // namespace

struct StripLayout::State {
    State(const std::vector<ConversationRecord>& records, const TextMeasure& measure, StripCast& cast,
          const StripOptions& options)
        : records(records), measure(measure), cast(cast), options(options) {}

    const std::vector<ConversationRecord>& records;
    const TextMeasure& measure;
    StripCast& cast;
    StripOptions options;

    size_t next = 0;  // the next record to take
    std::vector<User> users;
    std::map<std::string, int> userByNick;
    int nextRank = 0;
    std::string backdrop;  // the conversation's backdrop: new panels take it

    bool breakRequested = false;
    bool haveOpen = false;
    OpenPanel open;
    PanelLayout openLayout;
    int contentPanels = 0;  // content panels started; the first is Chat's establishing shot
    bool havePending = false;
    PendingSay pending;
    std::deque<PanelLayout> ready;  // closed panels, in order

    int pictures = 0;
    bool done = false;

    int UserFor(const std::string& nick)
    {
        auto found = userByNick.find(nick);
        if (found != userByNick.end())
            return found->second;
        User user;
        user.nick = nick;
        users.push_back(user);
        int index = static_cast<int>(users.size() - 1);
        userByNick[nick] = index;
        return index;
    }

    void Rename(const std::string& oldNick, const std::string& newNick)
    {
        auto found = userByNick.find(oldNick);
        if (found == userByNick.end() || oldNick == newNick)
            return;
        int index = found->second;
        userByNick.erase(found);
        userByNick[newNick] = index;
        users[index].nick = newNick;
    }

    void TakeRecord(const ConversationRecord& record)
    {
        switch (record.kind) {
        case RecordKind::StartHistory:
            if (!record.nick.empty() && !record.value.empty())
                SetCharacter(UserFor(record.nick), record.value);
            break;
        case RecordKind::Backdrop:
            // A missing backdrop leaves the one set, as in Chat.
            if (!record.value.empty() && cast.HasBackdrop(record.value))
                backdrop = record.value;
            break;
        case RecordKind::Join:
            UserFor(record.nick);
            break;
        case RecordKind::ChangeAvatar:
            SetCharacter(UserFor(record.nick), record.value);
            break;
        case RecordKind::Nick:
            Rename(record.nick, record.value);
            break;
        case RecordKind::Say:
            TakeSay(record);
            break;
        case RecordKind::Part:
        case RecordKind::Info:
            break;
        }
    }

    void SetCharacter(int user, const std::string& character)
    {
        if (users[user].character != character) {
            users[user].character = character;
            users[user].rotation = PoseRotation();
        }
    }

    void TakeSay(const ConversationRecord& record)
    {
        if (record.value == "<Brk>") {
            breakRequested = true;
            return;
        }
        BalloonKind kind = KindOfMode(record.extra);
        if (kind == BalloonKind::Action)
            breakRequested = true;
        int index = UserFor(record.nick);
        User& user = users[index];
        if (user.rank < 0)
            user.rank = nextRank++;
        PendingSay say;
        say.speaker.user = index;
        say.speaker.rank = user.rank;
        say.speaker.nick = user.nick;
        say.speaker.character = user.character;
        say.speaker.hasArt = !user.character.empty() && cast.HasArt(user.character);
        if (say.speaker.hasArt) {
            PoseCues cues = FindPoseCues(record.value.data(), record.value.size());
            say.speaker.pose = cast.ChoosePose(user.character, cues, user.rotation);
            say.speaker.metrics = cast.Measure(user.character, say.speaker.pose);
        }
        say.kind = kind;
        say.text = std::make_shared<const std::string>(ShownText(record.value, options.capitals));
        pending = say;
        havePending = true;
    }

    std::shared_ptr<const PreparedText> Prepare(const std::string& text)
    {
        auto prepared = std::make_shared<PreparedText>();
        PrepareText(text, TextStyle::Balloon, measure, *prepared);
        return prepared;
    }

    void CloseOpen()
    {
        if (haveOpen)
            ready.push_back(openLayout);
        haveOpen = false;
    }

    bool InOpenPanel(int user) const
    {
        for (const PanelSpeaker& speaker : open.speakers)
            if (speaker.user == user)
                return true;
        return false;
    }

    // Places the pending say: added to the open panel when it fits there, else
    // in a panel of its own; a say too long for an empty panel goes in up to a
    // line break with "...", and the rest, after "...", stays pending.
    void PlacePending()
    {
        PendingSay say = pending;
        havePending = false;
        const std::string& whole = *say.text;
        std::string lead = say.continued ? kContinuation : "";
        size_t remaining = whole.size() - say.offset;
        bool tooLong = remaining > kMaxPanelTextBytes;

        PanelSay item;
        item.kind = say.kind;
        if (!tooLong) {
            item.text = Prepare(lead + whole.substr(say.offset));
            if (haveOpen && !breakRequested && open.says.size() < static_cast<size_t>(kMaxBalloonsPerPanel) &&
                !InOpenPanel(say.speaker.user)) {
                OpenPanel candidate = open;
                item.speaker = static_cast<int>(candidate.speakers.size());
                candidate.speakers.push_back(say.speaker);
                candidate.says.push_back(item);
                PanelLayout layout;
                if (LayoutContent(candidate, contentPanels == 1, false, measure, layout)) {
                    open = std::move(candidate);
                    openLayout = std::move(layout);
                    return;
                }
            }
        }
        CloseOpen();
        breakRequested = false;
        ++contentPanels;
        open = OpenPanel();
        open.backdrop = backdrop;
        open.speakers.push_back(say.speaker);
        item.speaker = 0;
        haveOpen = true;
        if (!tooLong) {
            open.says.push_back(item);
            if (LayoutContent(open, contentPanels == 1, false, measure, openLayout))
                return;
            open.says.clear();
        }
        SplitIntoOpen(say, item);
    }

    // Puts as much of the say as an empty panel holds into the open panel,
    // cut where a line breaks, and leaves the rest pending.
    void SplitIntoOpen(const PendingSay& say, PanelSay item)
    {
        const std::string& whole = *say.text;
        size_t leadBytes = say.continued ? kContinuationBytes : 0;
        size_t end = say.offset;
        while (end < whole.size() && end - say.offset < kMaxPanelTextBytes)
            end += SjisCharLength(whole.data() + end, whole.size() - end);
        std::string head = (say.continued ? kContinuation : "") + whole.substr(say.offset, end - say.offset);
        PreparedText prepared;
        PrepareText(head, TextStyle::Balloon, measure, prepared);

        const BalloonArea area{};
        int lineHeight = std::max(1, measure.LineHeight(TextStyle::Balloon));
        int maxText = std::max(1, area.right - area.left - 2 * kBalloonPaddingX);
        int roomy = (area.bottom - area.top - kDockGap - kBalloonPaddingTop - kBalloonPaddingBottom) / lineHeight;
        int dotsWidth = measure.Width(TextStyle::Balloon, kContinuation, kContinuationBytes);

        item.fullWidth = true;
        open.says.assign(1, item);
        size_t cut = head.size();
        for (int lines = std::max(1, roomy);; --lines) {
            cut = CutAfterLines(prepared, maxText, lines, dotsWidth);
            if (cut <= leadBytes)
                cut = leadBytes + SjisCharLength(head.data() + leadBytes, head.size() - leadBytes);
            bool rest = cut < head.size() || end < whole.size();
            std::string piece = head.substr(0, cut) + (rest ? kContinuation : "");
            open.says[0].text = Prepare(piece);
            bool last = lines <= 1;
            if (LayoutContent(open, contentPanels == 1, last, measure, openLayout) || last)
                break;
        }
        size_t used = say.offset + (cut - leadBytes);
        if (used < whole.size()) {
            pending = say;
            pending.offset = used;
            pending.continued = true;
            havePending = true;
        }
    }

    // Where the text is cut so that its first `lines` lines, "..." after the
    // last, fit `maxText`: at the end of the last line as wrapped to the width
    // less the dots. The text's length when it all fits.
    size_t CutAfterLines(const PreparedText& prepared, int maxText, int lines, int dotsWidth)
    {
        std::vector<TextLine> wrapped;
        WrapPrepared(prepared, maxText, measure, wrapped, 0, static_cast<size_t>(lines));
        const TextLine& last = wrapped.back();
        size_t contentEnd = prepared.pieces.empty() ? 0 : prepared.pieces.back().end;
        if (last.start + last.length >= contentEnd)
            return prepared.text.size();
        std::vector<TextLine> shortened;
        WrapPrepared(prepared, std::max(1, maxText - dotsWidth), measure, shortened, last.start, 1);
        return shortened[0].start + shortened[0].length;
    }

    // The next closed panel, taking records as far as needed.
    bool NextPanel(PanelLayout& panel)
    {
        while (ready.empty()) {
            if (havePending)
                PlacePending();
            else if (next < records.size())
                TakeRecord(records[next++]);
            else if (haveOpen)
                CloseOpen();
            else
                return false;
        }
        panel = std::move(ready.front());
        ready.pop_front();
        return true;
    }

    // The first panel: the title, Chat's heading and everyone who joins or
    // speaks (their last name and character), each with the character's icon.
    // Chat leaves out those who parted; here everyone who took part stays.
    PanelLayout TitlePanel()
    {
        struct Star {
            std::string nick, character;
        };
        std::vector<Star> stars;
        std::map<std::string, size_t> starByNick;
        std::string conversationTitle;
        auto starFor = [&](const std::string& nick) -> Star& {
            auto found = starByNick.find(nick);
            if (found != starByNick.end())
                return stars[found->second];
            starByNick[nick] = stars.size();
            stars.push_back(Star{nick, std::string()});
            return stars.back();
        };
        for (const ConversationRecord& record : records) {
            switch (record.kind) {
            case RecordKind::StartHistory:
                if (!record.nick.empty()) {
                    Star& star = starFor(record.nick);
                    if (!record.value.empty())
                        star.character = record.value;
                }
                if (conversationTitle.empty())
                    conversationTitle = record.extra;
                break;
            case RecordKind::Join:
            case RecordKind::Say:
                starFor(record.nick);
                break;
            case RecordKind::ChangeAvatar:
                starFor(record.nick).character = record.value;
                break;
            case RecordKind::Nick: {
                auto found = starByNick.find(record.nick);
                if (found != starByNick.end() && starByNick.find(record.value) == starByNick.end()) {
                    size_t index = found->second;
                    starByNick.erase(found);
                    starByNick[record.value] = index;
                    stars[index].nick = record.value;
                }
                break;
            }
            default:
                break;
            }
        }

        PanelLayout panel;
        panel.kind = PanelKind::Title;
        panel.border = false;
        int width = kPanelSide - 2 * kTitleMargin;
        int y = kTitleTop;
        std::string shownTitle = options.title.empty() ? conversationTitle : options.title;
        if (!shownTitle.empty()) {
            panel.labels.push_back(CenteredBlock(shownTitle, TextStyle::Title, kTitleMargin, width, y, measure));
            y = BlockBottom(panel.labels.back(), measure) + kBelowTitle;
        }
        if (!options.heading.empty()) {
            panel.labels.push_back(CenteredBlock(options.heading, TextStyle::Label, kTitleMargin, width, y, measure));
            y = BlockBottom(panel.labels.back(), measure) + kBelowHeading;
        }

        int lineHeight = measure.LineHeight(TextStyle::Label);
        int nameLimit = std::max(1, width - kIconSide - kIconGap);
        std::vector<std::vector<TextLine>> names;
        std::vector<const Star*> shown;
        int widest = 0;
        for (const Star& star : stars) {
            if (star.character.empty() || !cast.HasArt(star.character))
                continue;
            shown.push_back(&star);
            names.push_back(WrapText(star.nick, nameLimit, measure, TextStyle::Label));
            for (const TextLine& line : names.back())
                widest = std::max(widest, line.width);
        }
        int iconX = std::max(kTitleMargin, (kPanelSide - (kIconSide + kIconGap + widest)) / 2);
        int textX = iconX + kIconSide + kIconGap;
        for (size_t i = 0; i < shown.size(); ++i) {
            int textHeight = static_cast<int>(names[i].size()) * lineHeight;
            int rowHeight = std::max(kIconSide, textHeight);
            if (y + rowHeight > kPanelSide - kTitleMargin)
                break;  // as in Chat, the cast ends where the panel does
            if (cast.HasIcon(shown[i]->character))
                panel.icons.push_back(PlacedIcon{shown[i]->character,
                                                 StripRect{iconX, y + (rowHeight - kIconSide) / 2, kIconSide, kIconSide}});
            TextBlock name;
            name.style = TextStyle::Label;
            name.text = shown[i]->nick;
            int lineY = y + (rowHeight - textHeight) / 2;
            for (const TextLine& line : names[i]) {
                name.lines.push_back(PlacedLine{line.start, line.length, textX, lineY, line.width});
                lineY += lineHeight;
            }
            panel.labels.push_back(name);
            y += rowHeight + kStarRowGap;
        }
        return panel;
    }

    PanelLayout NotePanel()
    {
        PanelLayout panel;
        panel.kind = PanelKind::Note;
        panel.border = true;
        int width = kPanelSide - 2 * kNoteMargin;
        TextBlock note = CenteredBlock(options.note, TextStyle::Label, kNoteMargin, width, 0, measure);
        int height = static_cast<int>(note.lines.size()) * measure.LineHeight(TextStyle::Label);
        int top = std::max(kNoteMargin, (kPanelSide - height) / 2);
        for (PlacedLine& line : note.lines)
            line.y += top;
        panel.labels.push_back(note);
        return panel;
    }
};

StripLayout::StripLayout(const std::vector<ConversationRecord>& records, const TextMeasure& measure,
                         StripCast& cast, const StripOptions& options)
    : state_(new State(records, measure, cast, options))
{
}

StripLayout::~StripLayout() = default;

bool StripLayout::NextPicture(PictureLayout& picture)
{
    State& s = *state_;
    if (s.done)
        return false;
    picture = PictureLayout();
    picture.number = s.pictures + 1;
    if (picture.number == 1)
        picture.panels.push_back(s.TitlePanel());
    bool more = true;
    while (picture.panels.size() < static_cast<size_t>(kMaxPanelsPerPicture)) {
        PanelLayout panel;
        if (!s.NextPanel(panel)) {
            more = false;
            break;
        }
        bool lastSlot = picture.number == kMaxPictures &&
                        picture.panels.size() + 1 == static_cast<size_t>(kMaxPanelsPerPicture);
        if (lastSlot) {
            PanelLayout after;
            if (s.NextPanel(after)) {
                panel = s.NotePanel();
                picture.cut = true;
            }
            more = false;
        }
        picture.panels.push_back(std::move(panel));
    }
    if (picture.panels.empty()) {
        s.done = true;
        return false;
    }
    if (!more || picture.number == kMaxPictures)
        s.done = true;
    ++s.pictures;

    for (size_t i = 0; i < picture.panels.size(); ++i) {
        int column = static_cast<int>(i) % kPanelsPerRow, row = static_cast<int>(i) / kPanelsPerRow;
        picture.panels[i].frame = StripRect{kGutter + column * (kPanelSide + kGutter),
                                            kGutter + row * (kPanelSide + kGutter), kPanelSide, kPanelSide};
    }
    picture.rows = static_cast<int>((picture.panels.size() + kPanelsPerRow - 1) / kPanelsPerRow);
    picture.width = kPictureWidth;
    picture.height = picture.rows * kPanelSide + (picture.rows + 1) * kGutter;
    return true;
}
