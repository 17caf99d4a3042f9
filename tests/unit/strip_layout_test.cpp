#include "strip/strip_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "tests/common/hex.h"
#include "tests/unit/strip_fakes.h"

namespace {

// A conversation built record by record.
struct Script {
    std::vector<ConversationRecord> records;

    Script& Add(RecordKind kind, const std::string& nick, const std::string& value, const std::string& extra = "")
    {
        ConversationRecord record;
        record.kind = kind;
        record.nick = nick;
        record.value = value;
        record.extra = extra;
        record.line = static_cast<int>(records.size()) + 2;
        records.push_back(record);
        return *this;
    }
    Script& Join(const std::string& nick, const std::string& character)
    {
        return Add(RecordKind::Join, nick, "").Add(RecordKind::ChangeAvatar, nick, character);
    }
    Script& Say(const std::string& nick, const std::string& text) { return Add(RecordKind::Say, nick, text); }
    Script& Backdrop(const std::string& name) { return Add(RecordKind::Backdrop, "", name); }
};

// The usual cast of a MirthTool conversation: the own lines and the quoted ones.
Script TwoPeople()
{
    Script script;
    script.Backdrop("DEN.bgb").Join("本文", "SCOTTY").Join("引用", "LANCE");
    return script;
}

const FixedMeasure kMeasure;

std::vector<PictureLayout> LayOut(const Script& script, FakeCast& cast, const StripOptions& options = StripOptions())
{
    StripLayout layout(script.records, kMeasure, cast, options);
    std::vector<PictureLayout> pictures;
    PictureLayout picture;
    while (layout.NextPicture(picture))
        pictures.push_back(picture);
    return pictures;
}

std::vector<PanelLayout> ContentPanels(const std::vector<PictureLayout>& pictures)
{
    std::vector<PanelLayout> panels;
    for (const PictureLayout& picture : pictures)
        for (const PanelLayout& panel : picture.panels)
            if (panel.kind == PanelKind::Content)
                panels.push_back(panel);
    return panels;
}

std::vector<PanelLayout> ContentPanels(const Script& script)
{
    FakeCast cast;
    return ContentPanels(LayOut(script, cast));
}

// Who speaks in a panel, balloon by balloon ("-" for a speaker without art).
std::string Speakers(const PanelLayout& panel)
{
    std::string speakers;
    for (const PlacedBalloon& balloon : panel.balloons)
        speakers += (speakers.empty() ? "" : ",") +
                    (balloon.figure >= 0 ? panel.figures[balloon.figure].nick : std::string("-"));
    return speakers;
}

std::string PanelSpeakers(const std::vector<PanelLayout>& panels)
{
    std::string all;
    for (const PanelLayout& panel : panels)
        all += "[" + Speakers(panel) + "]";
    return all;
}

std::string Repeat(const std::string& text, int times)
{
    std::string repeated;
    for (int i = 0; i < times; ++i)
        repeated += text;
    return repeated;
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool StartsWith(const std::string& text, const std::string& start)
{
    return text.compare(0, start.size(), start) == 0;
}

// The balloons' texts in order, the dots of continued pieces taken off, run together.
std::string BalloonTextsWithoutContinuations(const std::vector<PanelLayout>& panels)
{
    std::string all;
    for (const PanelLayout& panel : panels)
        for (const PlacedBalloon& balloon : panel.balloons) {
            std::string text = balloon.text.text;
            if (StartsWith(text, "..."))
                text = text.substr(3);
            if (EndsWith(text, "..."))
                text = text.substr(0, text.size() - 3);
            all += text;
        }
    return all;
}

TEST(StripLayout, APanelIsARunOfDifferentSpeakers)
{
    struct Case {
        std::vector<const char*> says;  // "本" or "引" for who speaks, text "はい"
        const char* panels;
    } cases[] = {
        {{"本", "引"}, "[本文,引用]"},
        {{"本", "本"}, "[本文][本文]"},
        {{"本", "引", "本", "本", "引"}, "[本文,引用][本文][本文,引用]"},
        {{"引", "本", "引"}, "[引用,本文][引用]"},
    };
    for (const Case& c : cases) {
        Script script = TwoPeople();
        for (const char* who : c.says)
            script.Say(std::string(who) == "本" ? "本文" : "引用", "はい");
        EXPECT_EQ(PanelSpeakers(ContentPanels(script)), c.panels);
    }
}

TEST(StripLayout, FiveBalloonsFillAPanel)
{
    Script script;
    for (int i = 1; i <= 6; ++i)
        script.Join("P" + std::to_string(i), "SCOTTY");
    for (int i = 1; i <= 6; ++i)
        script.Say("P" + std::to_string(i), "a");
    EXPECT_EQ(PanelSpeakers(ContentPanels(script)), "[P1,P2,P3,P4,P5][P6]");
}

TEST(StripLayout, ABalloonThatDoesNotFitStartsANewPanel)
{
    // A hundred characters take five lines at the full width: the second
    // balloon would have to go below the first, where there is no room.
    std::string hundred = Repeat("あいうえおかきくけこ", 10);
    Script script = TwoPeople();
    script.Say("本文", hundred).Say("引用", hundred);
    std::vector<PanelLayout> panels = ContentPanels(script);
    EXPECT_EQ(PanelSpeakers(panels), "[本文][引用]");
    for (const PanelLayout& panel : panels)
        EXPECT_FALSE(EndsWith(panel.balloons[0].text.text, "...")) << "each fits a panel of its own";
}

TEST(StripLayout, TextTooLongForAnEmptyPanelContinuesWithDots)
{
    const std::string texts[] = {
        Repeat("あいうえおかきくけこ、", 40),
        Repeat("The quick brown fox jumps over the lazy dog. ", 30),
        "x" + Repeat("ｱ", 2000),
    };
    for (const std::string& text : texts) {
        Script script = TwoPeople();
        script.Say("本文", text).Say("引用", "はい");
        std::vector<PanelLayout> panels = ContentPanels(script);
        std::vector<std::string> pieces;
        for (const PanelLayout& panel : panels)
            for (const PlacedBalloon& balloon : panel.balloons)
                if (panel.figures[balloon.figure].nick == "本文")
                    pieces.push_back(balloon.text.text);
        ASSERT_GE(pieces.size(), 3u) << "the text should take several panels";
        for (size_t i = 0; i < pieces.size(); ++i) {
            EXPECT_EQ(EndsWith(pieces[i], "..."), i + 1 < pieces.size()) << "piece " << i << ": " << pieces[i].substr(0, 40);
            EXPECT_EQ(StartsWith(pieces[i], "..."), i > 0) << "piece " << i;
        }
        for (size_t p = 0; p + 1 < pieces.size(); ++p)
            EXPECT_EQ(Speakers(panels[p]), "本文") << "a piece that needed cutting has its panel to itself";
        EXPECT_EQ(Hex(BalloonTextsWithoutContinuations(panels)), Hex(CapitalizeAscii(text) + "はい"));
    }
}

TEST(StripLayout, SpeakersKeepTheirSidesAndFacing)
{
    // The quoted speaker speaks first, so it stands left, facing right.
    Script script = TwoPeople();
    script.Say("引用", "こんにちは").Say("本文", "どうも").Say("本文", "元気？").Say("引用", "はい").Say("引用", "では");
    std::vector<PanelLayout> panels = ContentPanels(script);
    ASSERT_EQ(PanelSpeakers(panels), "[引用,本文][本文,引用][引用]");
    for (const PanelLayout& panel : panels) {
        int left = kPanelSide;
        for (const PlacedFigure& figure : panel.figures) {
            bool quoted = figure.nick == "引用";
            EXPECT_EQ(figure.flipped, !quoted) << figure.nick << " faces " << (figure.flipped ? "left" : "right");
            if (quoted)
                left = figure.rect.x;
        }
        for (const PlacedFigure& figure : panel.figures) {
            if (figure.nick == "本文") {
                EXPECT_GT(figure.rect.x, left) << "本文 stands right of 引用";
            }
        }
    }
}

TEST(StripLayout, FiguresStandAsChatPlacesThemAndZoomAfterTheFirstPanel)
{
    Script script = TwoPeople();
    script.Say("本文", "はい").Say("引用", "はい").Say("本文", "はい").Say("引用", "はい");
    std::vector<PanelLayout> panels = ContentPanels(script);
    ASSERT_EQ(panels.size(), 2u);
    const int body = 168;  // 320 / 1.9
    // Scotty (180 x 420, head 160) and Lance (200 x 400, head 150) at 168 high.
    const double scotty = 168.0 / 420, lance = 168.0 / 400;
    const int scottyWidth = 72, lanceWidth = 84, head = 64;
    EXPECT_EQ(static_cast<int>(std::lround(180 * scotty)), scottyWidth);
    EXPECT_EQ(static_cast<int>(std::lround(200 * lance)), lanceWidth);

    const PanelLayout& first = panels[0];
    ASSERT_EQ(first.figures.size(), 2u);
    EXPECT_EQ(first.zoom, 1.0) << "the first panel is the establishing shot";
    int margin = (kPanelSide - scottyWidth - lanceWidth) / 3;
    const PlacedFigure& left = first.figures[0];
    const PlacedFigure& right = first.figures[1];
    EXPECT_EQ(left.nick, "本文");
    EXPECT_EQ(left.rect.x, margin);
    EXPECT_EQ(left.rect.y, kPanelSide - body);
    EXPECT_EQ(left.rect.width, scottyWidth);
    EXPECT_EQ(left.rect.height, body);
    EXPECT_EQ(left.mouthX, margin + static_cast<int>(std::lround(120.0 / 180 * scottyWidth)));
    EXPECT_EQ(right.rect.x, 2 * margin + scottyWidth);
    EXPECT_EQ(right.mouthX, right.rect.x + static_cast<int>(std::lround((1 - 60.0 / 200) * lanceWidth)))
        << "a flipped figure's mouth is mirrored";

    const PanelLayout& second = panels[1];
    double zoom = std::min(320.0 / (scottyWidth + lanceWidth), body / (1.2 * head));
    EXPECT_NEAR(second.zoom, zoom, 1e-9);
    EXPECT_EQ(second.zoomLine, kPanelSide - body);
    for (const PlacedFigure& figure : second.figures) {
        EXPECT_EQ(figure.rect.y, kPanelSide - body) << "figures grow down from the same top line";
        EXPECT_EQ(figure.rect.height, static_cast<int>(std::lround(body * zoom)));
    }
}

TEST(StripLayout, FiguresTooWideTogetherShrinkOnTheBottomEdge)
{
    FakeCast cast;
    cast.characters["WIDE"] = FakeCharacter{{420, 420, 200, 100}, true, true};
    Script script;
    script.Join("a", "WIDE").Join("b", "WIDE").Say("a", "x").Say("b", "y");
    std::vector<PanelLayout> panels = ContentPanels(LayOut(script, cast));
    ASSERT_EQ(panels.size(), 1u);
    ASSERT_EQ(panels[0].figures.size(), 2u);
    for (const PlacedFigure& figure : panels[0].figures) {
        EXPECT_EQ(figure.rect.width, 160) << "two 168-wide figures in 320";
        EXPECT_EQ(figure.rect.Bottom(), kPanelSide) << "standing on the bottom edge";
    }
}

TEST(StripLayout, TheTitlePanelShowsTheCast)
{
    FakeCast cast;
    Script script = TwoPeople();
    script.Join("幽霊", "GHOST").Say("引用", "はい");
    StripOptions options;
    options.title = "漫画";
    std::vector<PictureLayout> pictures = LayOut(script, cast, options);
    ASSERT_FALSE(pictures.empty());
    const PanelLayout& title = pictures[0].panels[0];
    EXPECT_EQ(title.kind, PanelKind::Title);
    EXPECT_FALSE(title.border);
    EXPECT_TRUE(title.backdrop.empty());
    std::vector<std::string> labels;
    for (const TextBlock& label : title.labels)
        labels.push_back(label.text);
    EXPECT_EQ(labels, (std::vector<std::string>{"漫画", "STARRING", "本文", "引用"})) << "no one without art";
    EXPECT_EQ(title.labels[0].style, TextStyle::Title);
    ASSERT_EQ(title.icons.size(), 1u) << "Lance has no icon here";
    EXPECT_EQ(title.icons[0].character, "SCOTTY");
    EXPECT_EQ(title.icons[0].rect.width, kIconSide);
    int iconMiddle = title.icons[0].rect.y + kIconSide / 2, nameMiddle = title.labels[2].lines[0].y + 17 / 2;
    EXPECT_NEAR(iconMiddle, nameMiddle, 1) << "icon and name share their row";
}

TEST(StripLayout, PicturesHoldEightRowsAndTenPicturesAtMost)
{
    struct Case {
        int says;
        int pictures;
        int lastPanels;
        bool cut;
    } cases[] = {
        {23, 1, 24, false},
        {24, 2, 1, false},
        {239, 10, 24, false},
        {240, 10, 24, true},
        {5000, 10, 24, true},
    };
    for (const Case& c : cases) {
        Script script = TwoPeople();
        for (int i = 0; i < c.says; ++i)
            script.Say("本文", "はい");
        FakeCast cast;
        std::vector<PictureLayout> pictures = LayOut(script, cast);
        ASSERT_EQ(static_cast<int>(pictures.size()), c.pictures) << c.says << " says";
        for (size_t p = 0; p < pictures.size(); ++p) {
            const PictureLayout& picture = pictures[p];
            EXPECT_EQ(picture.number, static_cast<int>(p) + 1);
            EXPECT_EQ(picture.width, 1000);
            EXPECT_EQ(picture.height, picture.rows * 320 + (picture.rows + 1) * 10);
            EXPECT_EQ(picture.rows, (static_cast<int>(picture.panels.size()) + 2) / 3);
            EXPECT_LE(picture.rows, kMaxPictureRows);
        }
        const PictureLayout& last = pictures.back();
        EXPECT_EQ(static_cast<int>(last.panels.size()), c.lastPanels) << c.says << " says";
        EXPECT_EQ(last.cut, c.cut) << c.says << " says";
        EXPECT_EQ(last.panels.back().kind, c.cut ? PanelKind::Note : PanelKind::Content) << c.says << " says";
        if (c.cut) {
            EXPECT_EQ(last.panels.back().labels.at(0).text, kDefaultStripNote);
            EXPECT_LE(cast.poseCalls, 241) << "the layout stops where the pictures end";
        }
        const PanelLayout& corner = last.panels.back();
        EXPECT_EQ(corner.frame.x, 10 + (static_cast<int>(last.panels.size()) - 1) % 3 * 330)
            << "panels fill rows of three";
        EXPECT_EQ(corner.frame.y, 10 + (last.rows - 1) * 330);
    }
}

TEST(StripLayout, NoteBytesArePinned)
{
    EXPECT_EQ(Hex(kDefaultStripNote), Hex("続きは Mirth.ccc でご覧ください"));
    EXPECT_EQ(Hex(std::string(kDefaultStripNote).substr(0, 6)), "91 B1 82 AB 82 CD");
}

TEST(StripLayout, BackdropAndCharacterChangesApplyToLaterPanels)
{
    Script script = TwoPeople();
    script.Say("本文", "一")
        .Backdrop("ROOM.bgb")
        .Say("引用", "二")  // the panel goes on: still the den
        .Say("本文", "三")  // a new panel: the room
        .Backdrop("MISSING.bgb")
        .Add(RecordKind::ChangeAvatar, "本文", "LANCE")
        .Say("引用", "四")  // same panel: 本文 is still Scotty there
        .Say("本文", "五");
    std::vector<PanelLayout> panels = ContentPanels(script);
    ASSERT_EQ(PanelSpeakers(panels), "[本文,引用][本文,引用][本文]");
    EXPECT_EQ(panels[0].backdrop, "DEN.bgb");
    EXPECT_EQ(panels[1].backdrop, "ROOM.bgb");
    EXPECT_EQ(panels[2].backdrop, "ROOM.bgb") << "a missing backdrop leaves the one set";
    EXPECT_EQ(panels[1].figures[0].character, "SCOTTY");
    EXPECT_EQ(panels[2].figures[0].character, "LANCE");
}

TEST(StripLayout, PosesComeFromTheCuesThroughTheCast)
{
    FakeCast cast;
    Script script = TwoPeople();
    script.Say("本文", "こんにちは").Say("引用", "そうですね（笑）").Say("本文", "では");
    std::vector<PanelLayout> panels = ContentPanels(LayOut(script, cast));
    ASSERT_EQ(cast.cuesSeen.size(), 3u);
    EXPECT_EQ(cast.cuesSeen[0].options[0].code, GestureWave);
    EXPECT_EQ(cast.cuesSeen[1].options[0].code, EmotionLaugh);
    EXPECT_EQ(cast.cuesSeen[2].count, 0);
    ASSERT_EQ(panels.size(), 2u);
    EXPECT_EQ(panels[0].figures[0].pose.torso, GestureWave) << "the pose the cast chose";
    EXPECT_EQ(panels[1].figures[0].pose.face, 1) << "本文's second say: the rotation went on";
}

TEST(StripLayout, ASpeakerWithoutArtSpeaksWithoutAFigure)
{
    Script script = TwoPeople();
    script.Join("幽霊", "GHOST").Say("幽霊", "こんばんは").Say("本文", "誰？");
    std::vector<PanelLayout> panels = ContentPanels(script);
    ASSERT_EQ(panels.size(), 1u);
    ASSERT_EQ(panels[0].figures.size(), 1u);
    ASSERT_EQ(panels[0].balloons.size(), 2u);
    EXPECT_EQ(panels[0].balloons[0].figure, -1);
    EXPECT_FALSE(panels[0].balloons[0].hasTail);
    EXPECT_TRUE(panels[0].balloons[1].hasTail);
}

std::string RandomText(std::mt19937& random)
{
    const char* parts[] = {"あ", "漢字", "ソ", "表示", "、", "。", "「", "」", "！", "ｱｲ", "word ", "Mirth ",
                           "x", " ", "・・・", "（笑）", "ww", "？"};
    std::string text;
    int length = static_cast<int>(random() % 8 == 0 ? random() % 400 : random() % 40) + 1;
    for (int i = 0; i < length; ++i)
        text += parts[random() % (sizeof parts / sizeof parts[0])];
    return text;
}

// Many random conversations: balloons stay in the top half of their panel,
// never overlap, their tails reach down without crossing another balloon,
// their lines stay inside, and every byte said is shown.
TEST(StripLayout, BalloonsNeverOverlapAndStayInsideTheirPanel)
{
    std::mt19937 random(1409);
    for (int round = 0; round < 300; ++round) {
        Script script = TwoPeople();
        script.Join("三人目", "SCOTTY");
        const char* nicks[] = {"本文", "引用", "三人目"};
        int people = 2 + static_cast<int>(random() % 2);
        std::string said;
        int says = 1 + static_cast<int>(random() % 12);
        for (int i = 0; i < says; ++i) {
            std::string text = RandomText(random);
            script.Say(nicks[random() % people], text);
            said += CapitalizeAscii(text);
        }
        std::vector<PanelLayout> panels = ContentPanels(script);
        for (size_t p = 0; p < panels.size(); ++p) {
            const PanelLayout& panel = panels[p];
            std::string where = "round " + std::to_string(round) + " panel " + std::to_string(p);
            ASSERT_LE(panel.balloons.size(), static_cast<size_t>(kMaxBalloonsPerPanel)) << where;
            for (size_t i = 0; i < panel.balloons.size(); ++i) {
                const PlacedBalloon& b = panel.balloons[i];
                const StripRect& r = b.rect;
                EXPECT_GE(r.x, kBorderWidth) << where;
                EXPECT_LE(r.Right(), kPanelSide - kBorderWidth) << where;
                EXPECT_GE(r.y, kBorderWidth) << where;
                EXPECT_LE(r.Bottom(), kPanelSide / 2) << where << ": balloons stay in the top half";
                for (const PlacedLine& line : b.text.lines) {
                    EXPECT_GE(line.x, r.x) << where;
                    EXPECT_LE(line.x + line.width, r.Right()) << where;
                    EXPECT_GE(line.y, r.y) << where;
                    EXPECT_LE(line.y + 17, r.Bottom()) << where;
                }
                if (b.hasTail) {
                    EXPECT_GE(b.tailTip.y, r.Bottom()) << where;
                    EXPECT_LE(b.tailTip.y, kPanelSide) << where;
                    EXPECT_EQ(b.tailTip.x, panel.figures[b.figure].mouthX) << where;
                    EXPECT_GE(b.tailBaseLeft.x, r.x) << where;
                    EXPECT_LE(b.tailBaseRight.x, r.Right()) << where;
                }
                for (size_t j = 0; j < panel.balloons.size(); ++j) {
                    if (j == i)
                        continue;
                    const StripRect& o = panel.balloons[j].rect;
                    if (j > i) {
                        bool apart = r.Right() <= o.x || o.Right() <= r.x || r.Bottom() <= o.y || o.Bottom() <= r.y;
                        EXPECT_TRUE(apart) << where << ": balloons " << i << " and " << j << " overlap";
                    }
                    if (b.hasTail) {
                        // Points along the tail's sides stay out of the other balloon.
                        for (int s = 0; s <= 20; ++s) {
                            for (StripPoint base : {b.tailBaseLeft, b.tailBaseRight}) {
                                double x = base.x + (b.tailTip.x - base.x) * s / 20.0;
                                double y = base.y + (b.tailTip.y - base.y) * s / 20.0;
                                bool inside = x > o.x && x < o.Right() && y > o.y && y < o.Bottom();
                                EXPECT_FALSE(inside) << where << ": the tail of " << i << " crosses balloon " << j;
                            }
                        }
                    }
                }
            }
        }
        EXPECT_EQ(Hex(BalloonTextsWithoutContinuations(panels)), Hex(said)) << "round " << round;
    }
}

}  // namespace
