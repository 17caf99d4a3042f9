// MirthStrip.exe: renders a conversation file into pictures of the strip,
// with Chat's art from the folders given and those MirthTool reads.
//
//   MirthStrip.exe IN.ccc OUT.png [--art FOLDER]...
//
// Exit status: 0 pictures written (their paths on stdout), 1 the input can't
// be read or the command line is wrong, 2 art is missing, 3 a picture can't
// be written. Messages go to stderr, in English, and so do the art files that
// could not be read (drawn without them); file names are the system's ANSI
// bytes.
#include <cstdio>
#include <string>
#include <vector>

#include "chatart/art_folders.h"
#include "strip/strip_render.h"

namespace {

const int kUsageError = 1;

const char kUsage[] =
    "usage: MirthStrip.exe IN.ccc OUT.png [--art FOLDER]...\n"
    "Renders the conversation file IN.ccc into OUT.png, and a longer strip also\n"
    "into OUT-2.png, OUT-3.png ... beside it. Chat's art is looked for in each\n"
    "FOLDER given, then in Chat's ComicArt folder and MirthTool's own art folder.\n";

struct Arguments {
    std::string input, output;
    std::vector<std::string> artFolders;
};

bool ParseArguments(int argc, char** argv, Arguments& arguments, std::string& problem)
{
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "--art") {
            if (i + 1 >= argc) {
                problem = "--art needs a folder";
                return false;
            }
            arguments.artFolders.push_back(argv[++i]);
        } else if (argument.size() > 1 && argument[0] == '-' && argument != "-") {
            problem = "unknown option " + argument;
            return false;
        } else {
            files.push_back(argument);
        }
    }
    if (files.size() != 2) {
        problem = files.size() < 2 ? "IN.ccc and OUT.png are needed" : "more than one IN.ccc and OUT.png";
        return false;
    }
    arguments.input = files[0];
    arguments.output = files[1];
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    Arguments arguments;
    std::string problem;
    if (!ParseArguments(argc, argv, arguments, problem)) {
        std::fprintf(stderr, "MirthStrip: %s\n%s", problem.c_str(), kUsage);
        return kUsageError;
    }
    StripOutcome outcome;
    StripStatus status = RenderStrip(arguments.input, arguments.output, ArtSearchFolders(arguments.artFolders), outcome);
    for (const std::string& problem : outcome.unreadableArt)
        std::fprintf(stderr, "MirthStrip: drawn without %s\n", problem.c_str());
    switch (status) {
    case StripStatus::Written:
        for (const std::string& picture : outcome.pictures)
            std::printf("%s\n", picture.c_str());
        break;
    case StripStatus::MissingArt:
        std::fprintf(stderr, "MirthStrip: %s: no art folder holds", arguments.input.c_str());
        for (size_t i = 0; i < outcome.missingArt.size(); ++i)
            std::fprintf(stderr, "%s %s", i == 0 ? "" : ",", outcome.missingArt[i].c_str());
        std::fprintf(stderr, "\n");
        break;
    case StripStatus::Unreadable:
    case StripStatus::WriteError:
        std::fprintf(stderr, "MirthStrip: %s\n", outcome.error.c_str());
        break;
    }
    return static_cast<int>(status);
}
