// The reader on Chat's own art in ../shared/chat-art, checked against the
// reference reader ../shared/tools/avbdump.py: the same figures (size, mouth,
// pixels) and the same backdrops.
#include <gtest/gtest.h>
#include <zlib.h>

#include <dirent.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "chatart/chat_art.h"
#include "tests/unit/art_test_support.h"

namespace {

const std::string kShared = MIRTH_SHARED_DIR;
const std::string kArt = kShared + "/chat-art";
const uint8_t kBackground[3] = {200, 220, 255};  // avbdump's, under its figures

bool Exists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

// The art files: *.avb and *.bgb, in the folder and one level below.
std::vector<std::string> ArtFiles(const std::string& ending)
{
    std::vector<std::string> files;
    for (const std::string& folder : {kArt, kArt + "/v1"}) {
        DIR* dir = opendir(folder.c_str());
        if (!dir)
            continue;
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name.size() > ending.size() && name.compare(name.size() - ending.size(), ending.size(), ending) == 0)
                files.push_back(folder + "/" + name);
        }
        closedir(dir);
    }
    return files;
}

uint32_t Big32(const std::vector<uint8_t>& bytes, size_t at)
{
    return uint32_t(bytes[at]) << 24 | uint32_t(bytes[at + 1]) << 16 | uint32_t(bytes[at + 2]) << 8 | bytes[at + 3];
}

// A PNG as avbdump writes it: 8-bit RGB or RGBA, not interlaced, every row
// with filter 0. The result is RGB, RGBA composed over kBackground.
bool ReadPng(const std::string& path, int& width, int& height, std::vector<uint8_t>& rgb)
{
    std::vector<uint8_t> file = LoadFile(path), packed;
    int channels = 0;
    for (size_t at = 8; at + 12 <= file.size();) {
        uint32_t length = Big32(file, at);
        std::string type(file.begin() + long(at) + 4, file.begin() + long(at) + 8);
        size_t data = at + 8;
        if (type == "IHDR") {
            width = int(Big32(file, data));
            height = int(Big32(file, data + 4));
            channels = file[data + 9] == 6 ? 4 : file[data + 9] == 2 ? 3 : 0;
            if (file[data + 8] != 8 || file[data + 12] != 0)
                return false;
        } else if (type == "IDAT") {
            packed.insert(packed.end(), file.begin() + long(data), file.begin() + long(data + length));
        }
        at = data + length + 4;
    }
    if (channels == 0)
        return false;
    size_t rowBytes = 1 + size_t(width) * size_t(channels);
    std::vector<uint8_t> rows(rowBytes * size_t(height));
    uLongf size = rows.size();
    if (uncompress(rows.data(), &size, packed.data(), uLong(packed.size())) != Z_OK || size != rows.size())
        return false;
    rgb.clear();
    for (int y = 0; y < height; ++y) {
        if (rows[size_t(y) * rowBytes] != 0)
            return false;
        for (int x = 0; x < width; ++x) {
            size_t at = size_t(y) * rowBytes + 1 + size_t(x) * size_t(channels);
            bool clear = channels == 4 && rows[at + 3] == 0;
            for (int c = 0; c < 3; ++c)
                rgb.push_back(clear ? kBackground[c] : rows[at + c]);
        }
    }
    return true;
}

// avbdump's output folder, removed afterwards.
class ReferenceOutput {
public:
    ReferenceOutput()
    {
        char pattern[] = "/tmp/mirth_avbdump_XXXXXX";
        folder = mkdtemp(pattern) ? pattern : "";
    }
    ~ReferenceOutput()
    {
        if (!folder.empty())
            std::system(("rm -rf '" + folder + "'").c_str());
    }

    // Runs avbdump.py with `arguments`; its standard output.
    std::string Run(const std::string& arguments)
    {
        std::string printed = folder + "/printed.txt";
        std::string command = "python3 '" + kShared + "/tools/avbdump.py' " + arguments + " > '" + printed + "'";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        std::ifstream in(printed);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::string folder;
};

// Compares a figure with avbdump's picture of it, pixel by pixel over the
// same background. Where a drawing's ink lies outside every halo and mask,
// Chat (and avbdump) ANDs it with the backdrop, while the figure keeps the
// ink's own colour: those pixels must be exactly ink AND background, and are
// counted in `inked`.
void CompareFigure(const Figure& figure, const std::string& png, const std::string& context, int& inked)
{
    int width = 0, height = 0;
    std::vector<uint8_t> want;
    ASSERT_TRUE(ReadPng(png, width, height, want)) << png;
    ASSERT_EQ(figure.pixels.width, width) << context;
    ASSERT_EQ(figure.pixels.height, height) << context;
    int wrong = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t* got = &figure.pixels.bytes[size_t(y) * figure.pixels.stride + size_t(x) * 4];
            const uint8_t* ref = &want[(size_t(y) * width + x) * 3];
            bool same = true, anded = got[3] == 255 && !(got[0] == 255 && got[1] == 255 && got[2] == 255);
            for (int c = 0; c < 3; ++c) {
                uint8_t shown = got[3] ? got[c] : kBackground[c];
                same = same && shown == ref[c];
                anded = anded && (got[c] & kBackground[c]) == ref[c];
            }
            if (!same && anded)
                ++inked;
            else if (!same && wrong++ < 5)
                ADD_FAILURE() << context << ": pixel (" << x << ", " << y << ") is " << int(got[0]) << " "
                              << int(got[1]) << " " << int(got[2]) << " alpha " << int(got[3]) << ", avbdump has "
                              << int(ref[0]) << " " << int(ref[1]) << " " << int(ref[2]);
        }
}

class ChatArtFiles : public testing::Test {
protected:
    void SetUp() override
    {
        if (!Exists(kArt))
            GTEST_SKIP() << "no " << kArt << " beside the source tree: the tests on Chat's own art are skipped";
    }
};

TEST_F(ChatArtFiles, EveryFileReadsWhole)
{
    std::vector<std::string> files = ArtFiles(".avb"), backdrops = ArtFiles(".bgb");
    files.insert(files.end(), backdrops.begin(), backdrops.end());
    EXPECT_GE(files.size(), 9u);
    for (const std::string& path : files) {
        std::string error;
        EXPECT_TRUE(ReadWhole(path, LoadFile(path), error)) << error;
    }
}

TEST_F(ChatArtFiles, FiguresAsTheReferenceReaderComposesThem)
{
    // avbdump prints a line a figure of a complex character:
    //   "scotty: face 0 + torso 0, head offset (32, -76), size 177x417, faceX 69 -> PATH"
    // and of a simple one: "tux: body 0, 167x393 -> PATH".
    int figures = 0, inkedTotal = 0, pixelsTotal = 0;
    for (const std::string& path : ArtFiles(".avb")) {
        Character character;
        std::string error;
        ASSERT_TRUE(ReadCharacter(path, LoadFile(path), character, error)) << error;
        ReferenceOutput reference;
        std::istringstream lines(reference.Run("figure '" + path + "' '" + reference.folder + "'"));
        for (std::string line; std::getline(lines, line);) {
            Pose pose;
            int mouthX = -1;
            char png[512] = "";
            bool simple = std::sscanf(line.c_str(), "%*[^:]: body %d, %*dx%*d -> %511s", &pose.face, png) == 2;
            bool complex = std::sscanf(line.c_str(), "%*[^:]: face %d + torso %d, head offset (%*d, %*d), size "
                                                     "%*dx%*d, faceX %d -> %511s",
                                       &pose.face, &pose.torso, &mouthX, png) == 4;
            ASSERT_TRUE(simple || complex) << line;
            bool flipped = std::string(png).find("_flipped") != std::string::npos;
            Figure figure;
            ASSERT_TRUE(ComposeFigure(character, pose, flipped, figure, error)) << error;
            if (complex) {
                EXPECT_EQ(figure.mouthX, mouthX) << line;
            }
            int inked = 0;
            CompareFigure(figure, png, line, inked);
            EXPECT_LE(inked, figure.pixels.width * figure.pixels.height / 100) << line;
            inkedTotal += inked;
            pixelsTotal += figure.pixels.width * figure.pixels.height;
            ++figures;
        }
    }
    EXPECT_GE(figures, 30);
    std::cout << figures << " figures, " << pixelsTotal << " pixels, " << inkedTotal
              << " of them ink outside halo and mask\n";
}

TEST_F(ChatArtFiles, BackdropsAsTheReferenceReaderDecodesThem)
{
    std::vector<std::string> files = ArtFiles(".bgb");
    EXPECT_GE(files.size(), 2u);
    for (const std::string& path : files) {
        Pixels backdrop;
        std::string error;
        ASSERT_TRUE(ReadBackdrop(path, LoadFile(path), backdrop, error)) << error;
        ReferenceOutput reference;
        std::string png = reference.folder + "/backdrop.png";
        reference.Run("bg '" + path + "' '" + png + "'");
        Figure figure;
        figure.pixels = backdrop;
        int inked = 0;
        CompareFigure(figure, png, path, inked);
        EXPECT_EQ(inked, 0) << path;
    }
}

}  // namespace
