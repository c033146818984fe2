// sg2-content: builds the show's data file (sg2.dat) and soundtrack (sg2.it) from code.
//   sg2-content [--out DIR] [--contact-sheet DIR] [--logo-bmp FILE] [--solo DIR]
// Without options it writes sg2.dat and sg2.it into the current directory. --solo writes one
// copy of the soundtrack per channel, playing that channel alone (DIR/NN-NAME.it), for
// scripts/listen.sh to measure each part's share of the mix.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "content/contact_sheet.h"
#include "content/data_file.h"
#include "content/entries.h"
#include "content/soundtrack.h"
#include "core/console.h"
#include "core/output.h"

namespace {

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::string error;
    if (!core::writeWholeFile(path, bytes, error)) {
        core::errorLine("sg2-content: " + path + ": " + error);
        return false;
    }
    return true;
}

void usage() {
    std::fprintf(stderr,
                 "usage: sg2-content [--out DIR] [--contact-sheet DIR] [--logo-bmp FILE] "
                 "[--solo DIR]\n");
}

}  // namespace

int main(int argc, char** argv) {
    std::string outDir = ".";
    std::string sheetDir;
    std::string logoPath;
    std::string soloDir;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--out") == 0 && hasValue) {
            outDir = argv[++i];
        } else if (std::strcmp(argv[i], "--contact-sheet") == 0 && hasValue) {
            sheetDir = argv[++i];
        } else if (std::strcmp(argv[i], "--logo-bmp") == 0 && hasValue) {
            logoPath = argv[++i];
        } else if (std::strcmp(argv[i], "--solo") == 0 && hasValue) {
            soloDir = argv[++i];
        } else {
            usage();
            return 2;
        }
    }

    // Every output checked before the (slow) building starts.
    const std::string dataPath = outDir + "/sg2.dat";
    const std::string songPath = outDir + "/sg2.it";
    core::OutputPlan plan;
    if (!soloDir.empty()) {
        plan.addDirectory(soloDir, "--solo");
    } else if (!sheetDir.empty()) {
        plan.addDirectory(sheetDir, "--contact-sheet");
    } else if (!logoPath.empty()) {
        plan.addFile(logoPath, "--logo-bmp");
    } else {
        plan.addFile(dataPath, "the data file");
        plan.addFile(songPath, "the soundtrack");
    }
    if (const auto problem = plan.check()) {
        core::errorLine("sg2-content: " + problem->line);
        return problem->status;
    }

    if (!soloDir.empty()) {
        const std::vector<std::string>& names = content::soundtrackChannelNames();
        for (std::size_t channel = 0; channel < names.size(); ++channel) {
            const std::string path = soloDir + "/" + (channel < 10 ? "0" : "") +
                                     std::to_string(channel) + "-" + names[channel] + ".it";
            if (!writeFile(path, content::writeIt(
                                     content::soundtrackModuleOnly({static_cast<int>(channel)})))) {
                return 1;
            }
        }
        return 0;
    }
    if (sheetDir.empty() && !logoPath.empty()) {  // the logo alone needs no entries
        return writeFile(logoPath, content::logoAsBmp(content::buildLogoRgb())) ? 0 : 1;
    }
    const std::vector<content::Bytes> entries = content::buildAllEntries();
    if (!sheetDir.empty()) {
        if (!content::writeEntryPictures(sheetDir, entries)) {
            std::fprintf(stderr, "sg2-content: could not write the contact sheet to %s\n",
                         sheetDir.c_str());
            return 1;
        }
        return 0;
    }
    if (!writeFile(dataPath, content::buildDataFile(entries))) {
        return 1;
    }
    if (!writeFile(songPath, content::buildSoundtrack())) {
        return 1;
    }
    return 0;
}
