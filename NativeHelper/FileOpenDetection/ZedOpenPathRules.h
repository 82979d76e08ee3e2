#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Which opened paths concern the detector: those under an included directory, unless a more
// specific excluded directory holds them. Directories are kept with a trailing "/", so that
// /Users/a/tmp excludes /Users/a/tmp/x but not /Users/a/tmpfile.
class ZedOpenPathRules {
  public:
    // The rules, or nothing when an excluded path is also included or listed twice; the
    // offending path (normalised) is then in `offending`.
    static std::optional<ZedOpenPathRules> make(const std::vector<std::string>& includedPaths,
                                                const std::vector<std::string>& excludedPaths,
                                                std::string& offending);

    // The path with a trailing "/".
    static std::string normalised(std::string path);

    // The longest listed directory that holds the path decides; none answers false.
    bool isFileWatched(std::string_view path) const;

    const std::vector<std::string>& includedPaths() const { return _includedPaths; }
    const std::vector<std::string>& excludedPaths() const { return _excludedPaths; }
    const std::vector<std::string>& sortedPaths() const { return _sortedPaths; }

  private:
    std::map<std::string, bool, std::less<>> _incExcPaths;
    std::vector<std::string> _sortedPaths;  // longest first
    std::vector<std::string> _includedPaths;
    std::vector<std::string> _excludedPaths;
};
