// Choosing faces, torsos and bodies by emotion and gesture as Chat 2.5 does.
#include <algorithm>
#include <cstdlib>

#include "chatart/chat_art.h"

namespace {

const int kLastGesture = 17;  // three walking poses follow the shrug

// Degrees on Chat's emotion wheel. Codes 1-8 lie every 45 degrees from 0;
// gestures are not on the wheel (-1); any other code reads as 0, as Chat's
// table gives neutral (9), 0 and codes past its end.
int WheelAngle(int emotion)
{
    if (emotion >= EmotionHappy && emotion <= EmotionLaugh)
        return (emotion - EmotionHappy) * 45;
    if (emotion >= GestureWave && emotion <= kLastGesture)
        return -1;
    return 0;
}

int WheelDistance(int a, int b)
{
    int apart = std::abs(a - b) % 360;
    return std::min(apart, 360 - apart);
}

bool IsNeutral(const PoseRecord& record)
{
    return WheelAngle(record.emotion) == 0 && record.intensity == 0;
}

}  // namespace

int NextNeutral(const std::vector<PoseRecord>& records, int last)
{
    int count = int(records.size());
    if (count == 0)
        return -1;
    if (last < -1 || last >= count)
        last = -1;
    for (int step = 1; step <= count; ++step) {
        int index = (last + step) % count;
        if (IsNeutral(records[size_t(index)]))
            return index;
    }
    return 0;
}

int FaceForEmotion(const std::vector<PoseRecord>& records, int emotion, int intensity)
{
    int wanted = WheelAngle(emotion);
    if (wanted < 0)
        return -1;
    int best = -1, bestDistance = 0, bestIntensity = 0;
    for (size_t i = 0; i < records.size(); ++i) {
        int angle = WheelAngle(records[i].emotion);
        if (angle < 0)
            continue;
        int distance = WheelDistance(angle, wanted);
        int intensityApart = std::abs(records[i].intensity - intensity);
        if (best < 0 || distance < bestDistance || (distance == bestDistance && intensityApart < bestIntensity)) {
            best = int(i);
            bestDistance = distance;
            bestIntensity = intensityApart;
        }
    }
    return best;
}

int RecordForGesture(const std::vector<PoseRecord>& records, int gesture)
{
    for (size_t i = 0; i < records.size(); ++i)
        if (records[i].emotion == gesture)
            return int(i);
    return -1;
}
