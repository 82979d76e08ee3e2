// The known-network profiles and the desktop's proxy settings: NetworkManager keyfiles,
// wpa_supplicant configurations and KDE's kioslaverc, written into a private root by the
// input (a byte choosing the file, then its content), and the value decoders on their own.
// Every name found must be one the decoders give for some "ssid=" line of a file of its
// kind, and no found name is empty; a GVariant text decodes to at most its own length.
#include <set>
#include <string>

#include "platform/system/ZedDesktopProxySettings.h"
#include "platform/system/ZedKnownNetworkProfiles.h"
#include "platform/system/ZedTextFiles.h"
#include "support/FuzzCheck.h"
#include "support/FuzzInput.h"
#include "support/FuzzTree.h"

namespace {

constexpr const char* kKeyfiles[] = {
    "/etc/NetworkManager/system-connections/Home.nmconnection",
    "/etc/NetworkManager/system-connections/Office",
    "/run/NetworkManager/system-connections/Hotspot.nmconnection",
};
constexpr const char* kSupplicantFiles[] = {
    "/etc/wpa_supplicant/wpa_supplicant.conf",
    "/etc/wpa_supplicant/wpa_supplicant-wlan0.conf",
    "/etc/wpa_supplicant/notes.txt",
};
constexpr FuzzTree::Place kPlaces[] = {
    {kKeyfiles[0]},        {kKeyfiles[1]},        {kKeyfiles[2]},         {kSupplicantFiles[0]},
    {kSupplicantFiles[1]}, {kSupplicantFiles[2]}, {"/config/kioslaverc"},
};

// Every name any "ssid=" line of the files could give, whatever section it stands in.
template <typename Decode, size_t N>
std::set<std::string> possibleNames(const FuzzTree& tree, const char* const (&files)[N],
                                    Decode decode) {
    std::set<std::string> names;
    for (const char* file : files) {
        const auto text = ZedTextFiles::read(tree.resolve(file));
        for (const std::string& line : ZedTextFiles::lines(text.value_or(""))) {
            const std::string trimmed = ZedTextFiles::trimmed(line);
            if (trimmed.rfind("ssid=", 0) == 0) {
                names.insert(decode(trimmed.substr(5)));
            }
        }
    }
    return names;
}

void checkFound(const std::set<std::string>& found, const std::set<std::string>& possible) {
    for (const std::string& name : found) {
        VT_FUZZ_CHECK(!name.empty());
        VT_FUZZ_CHECK(possible.count(name) == 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    const std::string value(input.takeUntil('\0'));
    (void)ZedKnownNetworkProfiles::networkManagerValue(value);
    (void)ZedKnownNetworkProfiles::wpaSupplicantValue(value);
    if (const auto text = ZedDesktopProxySettings::gvariantString(value)) {
        VT_FUZZ_CHECK(text->size() + 2 <= value.size());
    }

    FuzzTree tree;
    tree.fill(input, kPlaces);
    ZedPlatformSources sources;
    sources.root = tree.root();
    sources.configHome = tree.resolve("/config");
    checkFound(ZedKnownNetworkProfiles::networkManagerSSIDs(sources),
               possibleNames(tree, kKeyfiles, ZedKnownNetworkProfiles::networkManagerValue));
    checkFound(ZedKnownNetworkProfiles::wpaSupplicantSSIDs(sources),
               possibleNames(tree, kSupplicantFiles, ZedKnownNetworkProfiles::wpaSupplicantValue));
    if (const auto url = ZedDesktopProxySettings::kdeAutoconfigURL(sources)) {
        VT_FUZZ_CHECK(!url->empty());
    }
    return 0;
}
