#include "ical/SkipReport.h"

#include "core/VisibleText.h"

#include <algorithm>
#include <map>

namespace kelvo {
namespace {

std::string shownSummary(const std::string& summary) {
    return summary.empty() ? "（无标题）" : visibleText(summary);
}

struct Group {
    size_t count = 0;
    size_t first = 0; // the position of its first event: ties keep the file's order
    std::vector<std::string> examples;
};

} // namespace

std::vector<std::string> skippedLines(const std::vector<SkippedEvent>& skipped, bool all) {
    std::vector<std::string> lines;
    if (all || skipped.size() <= kMostListedSkips) {
        for (const SkippedEvent& s : skipped)
            lines.push_back(shownSummary(s.summary) + "：" + skipReasonText(s.reason, s.detail));
        return lines;
    }
    std::map<std::string, Group> groups;
    for (size_t i = 0; i < skipped.size(); ++i) {
        const std::string reason = skipReasonText(skipped[i].reason, skipped[i].detail);
        Group& group = groups.try_emplace(reason, Group{0, i, {}}).first->second;
        ++group.count;
        if (group.examples.size() < kSkipExamples)
            group.examples.push_back("“" + shownSummary(skipped[i].summary) + "”");
    }
    std::vector<std::pair<std::string, Group>> ordered(groups.begin(), groups.end());
    std::sort(ordered.begin(), ordered.end(), [](const auto& a, const auto& b) {
        return a.second.count != b.second.count ? a.second.count > b.second.count
                                                : a.second.first < b.second.first;
    });
    for (const auto& [reason, group] : ordered) {
        std::string line = reason + "：" + std::to_string(group.count) + " 个，如";
        for (size_t k = 0; k < group.examples.size(); ++k)
            line += (k == 0 ? "" : "、") + group.examples[k];
        lines.push_back(line);
    }
    return lines;
}

} // namespace kelvo
