// Chat's art for a strip: which art files a conversation needs, and the cast
// that the layout asks and the painter draws from, over the files the caller
// found. Portable: the caller finds the files (art_folders.h on Windows).
//
// Memory: each character and backdrop is read once and kept; composed figures
// are kept up to a budget, least recently used first out; scaled figures are
// kept for the picture being painted and the one before it.
#pragma once

#include <cstddef>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "chatart/chat_art.h"
#include "strip/conversation_reader.h"
#include "strip/strip_layout.h"

// The art a conversation shows: the character a user has at each of their
// says, and the value of every backdrop record, each once, in the order first
// needed. Names are as the records give them ("SCOTTY", "DEN.bgb").
struct NeededArt {
    std::vector<std::string> characters;
    std::vector<std::string> backdrops;
};

NeededArt FindNeededArt(const std::vector<ConversationRecord>& records);

// Where the art files are: names as the records give them, full paths.
struct ArtPaths {
    std::map<std::string, std::string> characters;
    std::map<std::string, std::string> backdrops;
};

const size_t kComposedFigureBudget = 24u << 20;

class ArtCast : public StripCast {
public:
    explicit ArtCast(ArtPaths paths, size_t composedBudget = kComposedFigureBudget);
    ~ArtCast() override;
    ArtCast(const ArtCast&) = delete;
    ArtCast& operator=(const ArtCast&) = delete;

    bool HasArt(const std::string& character) override;
    bool HasIcon(const std::string& character) override;
    bool HasBackdrop(const std::string& backdrop) override;
    Pose ChoosePose(const std::string& character, const PoseCues& cues, PoseRotation& rotation) override;
    FigureMetrics Measure(const std::string& character, Pose pose) override;

    // What the painter draws, with the colours in the order B, G, R, A of a
    // DIB section's bytes; null when the art can't give it.
    const Pixels* Backdrop(const std::string& backdrop);
    const Pixels* Icon(const std::string& character);
    // The figure scaled to its rectangle, mirrored when flipped, alpha
    // premultiplied (compose.h DrawScaledFigure).
    const Pixels* ScaledFigure(const PlacedFigure& figure);

    // Starts the next picture: scaled figures that the last one did not use
    // are let go.
    void NextPicture();

    // Art files that could not be read, each once: "FILE: what is wrong".
    const std::vector<std::string>& Problems() const { return problems_; }

    // What is held, for tests and the benchmark.
    size_t ComposedFigures() const { return composedOrder_.size(); }
    size_t ScaledFigures() const { return scaled_.size(); }

private:
    struct LoadedCharacter;
    typedef std::tuple<std::string, int, int> PoseKey;  // character, face, torso
    typedef std::tuple<std::string, int, int, bool, int, int> ScaledKey;  // pose, flipped, width, height
    struct ComposedEntry {
        Figure figure;
        std::list<PoseKey>::iterator order;
    };
    struct ScaledEntry {
        Pixels pixels;
        int lastPicture = 0;
    };

    LoadedCharacter* Load(const std::string& character);
    const Figure* Composed(const std::string& character, Pose pose);
    bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes);
    void Problem(const std::string& problem);

    ArtPaths paths_;
    std::map<std::string, std::unique_ptr<LoadedCharacter>> characters_;
    std::map<std::string, std::unique_ptr<Pixels>> backdrops_;  // null: could not be read
    std::map<PoseKey, FigureMetrics> metrics_;
    std::map<PoseKey, ComposedEntry> composed_;
    std::list<PoseKey> composedOrder_;  // most recently used first
    size_t composedBytes_ = 0;
    size_t composedBudget_;
    std::map<ScaledKey, ScaledEntry> scaled_;
    int picture_ = 1;
    std::vector<std::string> problems_;
};
