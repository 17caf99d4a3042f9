#include "strip/art_cast.h"

#include <algorithm>
#include <cstdio>

#include "strip/compose.h"
#include "strip/pose_choice.h"

namespace {

void AddOnce(std::vector<std::string>& names, const std::string& name)
{
    if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end())
        names.push_back(name);
}

}  // namespace

NeededArt FindNeededArt(const std::vector<ConversationRecord>& records)
{
    NeededArt needed;
    std::map<std::string, std::string> characterOf;  // by the nick as it is now
    for (const ConversationRecord& record : records) {
        switch (record.kind) {
        case RecordKind::StartHistory:
            if (!record.nick.empty() && !record.value.empty())
                characterOf[record.nick] = record.value;
            break;
        case RecordKind::ChangeAvatar:
            characterOf[record.nick] = record.value;
            break;
        case RecordKind::Nick: {
            auto found = characterOf.find(record.nick);
            if (found != characterOf.end() && record.nick != record.value) {
                std::string character = found->second;
                characterOf.erase(found);
                characterOf[record.value] = character;
            }
            break;
        }
        case RecordKind::Say: {
            auto found = characterOf.find(record.nick);
            if (found != characterOf.end())
                AddOnce(needed.characters, found->second);
            break;
        }
        case RecordKind::Backdrop:
            AddOnce(needed.backdrops, record.value);
            break;
        default:
            break;
        }
    }
    return needed;
}

struct ArtCast::LoadedCharacter {
    bool read = false;
    Character character;
    bool iconRead = false;
    std::unique_ptr<Pixels> icon;
};

ArtCast::ArtCast(ArtPaths paths, size_t composedBudget) : paths_(std::move(paths)), composedBudget_(composedBudget) {}

ArtCast::~ArtCast() = default;

void ArtCast::Problem(const std::string& problem)
{
    if (std::find(problems_.begin(), problems_.end(), problem) == problems_.end())
        problems_.push_back(problem);
}

bool ArtCast::ReadFile(const std::string& path, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        Problem(path + ": can't be opened");
        return false;
    }
    uint8_t chunk[65536];
    size_t got;
    bool tooLarge = false;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        if (bytes.size() + got > kMaxArtFileBytes) {
            tooLarge = true;
            break;
        }
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (tooLarge)
        Problem(path + ": larger than " + std::to_string(kMaxArtFileBytes >> 20) + " MiB");
    else if (failed)
        Problem(path + ": can't be read");
    return !tooLarge && !failed;
}

ArtCast::LoadedCharacter* ArtCast::Load(const std::string& character)
{
    auto found = characters_.find(character);
    if (found != characters_.end())
        return found->second->read ? found->second.get() : nullptr;
    std::unique_ptr<LoadedCharacter>& loaded = characters_[character];
    loaded.reset(new LoadedCharacter);
    auto path = paths_.characters.find(character);
    if (path == paths_.characters.end())
        return nullptr;
    std::vector<uint8_t> bytes;
    std::string error;
    if (!ReadFile(path->second, bytes))
        return nullptr;
    if (!ReadCharacter(path->second, std::move(bytes), loaded->character, error)) {
        Problem(error);
        return nullptr;
    }
    loaded->read = true;
    return loaded.get();
}

bool ArtCast::HasArt(const std::string& character)
{
    return Load(character) != nullptr;
}

bool ArtCast::HasIcon(const std::string& character)
{
    return Icon(character) != nullptr;
}

bool ArtCast::HasBackdrop(const std::string& backdrop)
{
    return Backdrop(backdrop) != nullptr;
}

Pose ArtCast::ChoosePose(const std::string& character, const PoseCues& cues, PoseRotation& rotation)
{
    LoadedCharacter* loaded = Load(character);
    return loaded ? ChoosePoseOnRecords(loaded->character, cues, rotation) : Pose();
}

const Figure* ArtCast::Composed(const std::string& character, Pose pose)
{
    PoseKey key(character, pose.face, pose.torso);
    auto found = composed_.find(key);
    if (found != composed_.end()) {
        composedOrder_.splice(composedOrder_.begin(), composedOrder_, found->second.order);
        return &found->second.figure;
    }
    LoadedCharacter* loaded = Load(character);
    if (!loaded)
        return nullptr;
    Figure figure;
    std::string error;
    if (!ComposeFigure(loaded->character, pose, false, figure, error)) {
        Problem(error);
        return nullptr;
    }
    SwapRedAndBlue(figure.pixels);
    metrics_[key] = FigureMetrics{figure.pixels.width, figure.pixels.height, figure.mouthX, figure.headBottom};
    size_t bytes = figure.pixels.bytes.size();
    while (!composedOrder_.empty() && composedBytes_ + bytes > composedBudget_) {
        auto oldest = composed_.find(composedOrder_.back());
        composedBytes_ -= oldest->second.figure.pixels.bytes.size();
        composed_.erase(oldest);
        composedOrder_.pop_back();
    }
    composedOrder_.push_front(key);
    ComposedEntry& entry = composed_[key];
    entry.figure = std::move(figure);
    entry.order = composedOrder_.begin();
    composedBytes_ += bytes;
    return &entry.figure;
}

FigureMetrics ArtCast::Measure(const std::string& character, Pose pose)
{
    PoseKey key(character, pose.face, pose.torso);
    auto known = metrics_.find(key);
    if (known != metrics_.end())
        return known->second;
    const Figure* figure = Composed(character, pose);
    if (!figure)
        return FigureMetrics();
    return metrics_[key];
}

const Pixels* ArtCast::Backdrop(const std::string& backdrop)
{
    auto found = backdrops_.find(backdrop);
    if (found != backdrops_.end())
        return found->second.get();
    std::unique_ptr<Pixels>& pixels = backdrops_[backdrop];
    auto path = paths_.backdrops.find(backdrop);
    std::vector<uint8_t> bytes;
    if (path == paths_.backdrops.end() || !ReadFile(path->second, bytes))
        return nullptr;
    std::unique_ptr<Pixels> read(new Pixels);
    std::string error;
    if (!ReadBackdrop(path->second, bytes, *read, error)) {
        Problem(error);
        return nullptr;
    }
    SwapRedAndBlue(*read);
    pixels = std::move(read);
    return pixels.get();
}

const Pixels* ArtCast::Icon(const std::string& character)
{
    LoadedCharacter* loaded = Load(character);
    if (!loaded)
        return nullptr;
    if (!loaded->iconRead) {
        loaded->iconRead = true;
        std::unique_ptr<Pixels> icon(new Pixels);
        std::string error;
        // A character without an icon is usual enough (Chat 1.0 art) not to be a problem.
        if (ReadIcon(loaded->character, *icon, error)) {
            SwapRedAndBlue(*icon);
            loaded->icon = std::move(icon);
        }
    }
    return loaded->icon.get();
}

const Pixels* ArtCast::ScaledFigure(const PlacedFigure& placed)
{
    ScaledKey key(placed.character, placed.pose.face, placed.pose.torso, placed.flipped, placed.rect.width,
                  placed.rect.height);
    auto found = scaled_.find(key);
    if (found == scaled_.end()) {
        if (placed.rect.width <= 0 || placed.rect.height <= 0)
            return nullptr;
        const Figure* figure = Composed(placed.character, placed.pose);
        if (!figure)
            return nullptr;
        found = scaled_.emplace(key, ScaledEntry()).first;
        ScaleFigure(figure->pixels, placed.rect.width, placed.rect.height, placed.flipped, found->second.pixels);
    }
    found->second.lastPicture = picture_;
    return &found->second.pixels;
}

void ArtCast::NextPicture()
{
    for (auto entry = scaled_.begin(); entry != scaled_.end();) {
        if (entry->second.lastPicture < picture_)
            entry = scaled_.erase(entry);
        else
            ++entry;
    }
    ++picture_;
}
