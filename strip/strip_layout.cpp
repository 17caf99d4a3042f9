#include "strip/strip_layout.h"

#include <algorithm>
#include <deque>
#include <map>
#include <memory>

#include "conversation/shift_jis.h"
#include "strip/panel_layout.h"

const char kDefaultStripNote[] =
    "\x91\xB1\x82\xAB\x82\xCD Mirth.ccc \x82\xC5\x82\xB2\x97\x97\x82\xAD\x82\xBE\x82\xB3\x82\xA2";  // 続きは Mirth.ccc でご覧ください
const char kDefaultStripHeading[] = "STARRING";

namespace {

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

struct User {
    std::string nick;
    std::string character;
    PoseRotation rotation;
    int rank = -1;  // the order in which the users first spoke: their sides
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
                if (LayoutContentPanel(candidate, contentPanels == 1, false, measure, layout)) {
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
            if (LayoutContentPanel(open, contentPanels == 1, false, measure, openLayout))
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

        int maxText = FullBalloonTextWidth();
        int roomy = BalloonLinesInEmptyPanel(measure);
        int dotsWidth = measure.Width(TextStyle::Balloon, kContinuation, kContinuationBytes);

        item.fullWidth = true;
        open.says.assign(1, item);
        size_t cut = head.size();
        for (int lines = roomy;; --lines) {
            cut = CutAfterLines(prepared, maxText, lines, dotsWidth);
            if (cut <= leadBytes)
                cut = leadBytes + SjisCharLength(head.data() + leadBytes, head.size() - leadBytes);
            bool rest = cut < head.size() || end < whole.size();
            std::string piece = head.substr(0, cut) + (rest ? kContinuation : "");
            open.says[0].text = Prepare(piece);
            bool last = lines <= 1;
            if (LayoutContentPanel(open, contentPanels == 1, last, measure, openLayout) || last)
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
