// sg2-content: builds the show's data file (sg2.dat) and soundtrack (sg2.it) from code.
//   sg2-content [--out DIR] [--contact-sheet DIR] [--logo-bmp FILE]
// Without options it writes sg2.dat and sg2.it into the current directory.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "content/contact_sheet.h"
#include "content/data_file.h"
#include "content/entries.h"
#include "content/soundtrack.h"

namespace {

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        std::fprintf(stderr, "sg2-content: cannot write %s\n", path.c_str());
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !ok) {
        std::fprintf(stderr, "sg2-content: error writing %s\n", path.c_str());
        return false;
    }
    return true;
}

void usage() {
    std::fprintf(stderr,
                 "usage: sg2-content [--out DIR] [--contact-sheet DIR] [--logo-bmp FILE]\n");
}

}  // namespace

int main(int argc, char** argv) {
    std::string outDir = ".";
    std::string sheetDir;
    std::string logoPath;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--out") == 0 && hasValue) {
            outDir = argv[++i];
        } else if (std::strcmp(argv[i], "--contact-sheet") == 0 && hasValue) {
            sheetDir = argv[++i];
        } else if (std::strcmp(argv[i], "--logo-bmp") == 0 && hasValue) {
            logoPath = argv[++i];
        } else {
            usage();
            return 2;
        }
    }

    const std::vector<content::Bytes> entries = content::buildAllEntries();
    if (!sheetDir.empty()) {
        std::error_code error;
        std::filesystem::create_directories(sheetDir, error);
        if (!content::writeEntryPictures(sheetDir, entries)) {
            std::fprintf(stderr, "sg2-content: could not write the contact sheet to %s\n",
                         sheetDir.c_str());
            return 1;
        }
        return 0;
    }
    if (!logoPath.empty()) {
        return writeFile(logoPath, content::logoAsBmp(content::buildLogoRgb())) ? 0 : 1;
    }
    if (!writeFile(outDir + "/sg2.dat", content::buildDataFile(entries))) {
        return 1;
    }
    if (!writeFile(outDir + "/sg2.it", content::buildSoundtrack())) {
        return 1;
    }
    return 0;
}
