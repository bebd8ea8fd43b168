// The filter texts of the file dialogs, read the same way on every platform
// (see OS_FileDialog.h).
#include <algorithm>
#include <string>

#include "core/OS_FileDialog.h"

std::string OS_FileDialog::FilterPatterns(const std::string& filter) {
    size_t open = filter.rfind('(');
    size_t close = filter.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open) return "*";
    std::string result;
    std::string inner = filter.substr(open + 1, close - open - 1);
    size_t begin = 0;
    while (begin <= inner.size()) {
        size_t end = std::min(inner.find_first_of(";, ", begin), inner.size());
        std::string p = inner.substr(begin, end - begin);
        begin = end + 1;
        if (p.empty()) continue;
        if (p == "*.*") p = "*";
        if (p[0] == '.') p = "*" + p;
        result += (result.empty() ? "" : " ") + p;
    }
    return result.empty() ? "*" : result;
}

std::string OS_FileDialog::FilterExtensions(const std::string& filter) {
    const std::string patterns = FilterPatterns(filter);
    std::string extensions;
    for (size_t start = 0; start < patterns.size();) {
        const size_t end = std::min(patterns.find(' ', start), patterns.size());
        const std::string pattern = patterns.substr(start, end - start);
        if (pattern.size() > 2 && pattern.compare(0, 2, "*.") == 0)
            extensions += (extensions.empty() ? "" : " ") + pattern.substr(2);
        start = end + 1;
    }
    return extensions;
}
