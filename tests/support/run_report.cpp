#include "tests/support/run_report.h"

#include <cstdlib>

#include "tests/support/run_program.h"

namespace testsupport {

namespace {

// The text after `"key": ` in `record`, up to the next comma or closing brace.
std::string field(const std::string& record, const std::string& key) {
    const std::string marker = "\"" + key + "\": ";
    const auto at = record.find(marker);
    if (at == std::string::npos) {
        return {};
    }
    const auto start = at + marker.size();
    const auto end = record.find_first_of(",}", start);
    std::string value = record.substr(start, end - start);
    if (!value.empty() && value.front() == '"') {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

int number(const std::string& record, const std::string& key, int fallback) {
    const std::string value = field(record, key);
    return value.empty() ? fallback : std::atoi(value.c_str());
}

}  // namespace

RunReport readRunReport(const std::string& path) {
    const std::string json = fileContents(path);
    RunReport report;
    const auto scenesAt = json.find("\"scenes\"");
    const std::string head = json.substr(0, scenesAt);
    report.dots = number(head, "dots", -1);
    report.exitStatus = number(head, "exitStatus", -1);
    if (scenesAt == std::string::npos) {
        return report;
    }
    for (auto open = json.find('{', scenesAt); open != std::string::npos;
         open = json.find('{', open + 1)) {
        const auto close = json.find('}', open);
        const std::string record = json.substr(open, close - open + 1);
        SceneReport scene;
        scene.scene = number(record, "scene", 0);
        scene.startOrder = number(record, "startOrder", -1);
        scene.startRow = number(record, "startRow", -1);
        scene.endOrder = number(record, "endOrder", -1);
        scene.endRow = number(record, "endRow", -1);
        scene.frames = number(record, "frames", 0);
        scene.hash = field(record, "frameHash");
        scene.screenHash = field(record, "screenHash");
        report.scenes.push_back(scene);
    }
    return report;
}

}  // namespace testsupport
