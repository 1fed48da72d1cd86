#pragma once
// Tarrow's own browser extension as the helper installs it in the Chromium family: the
// packed extension that ships beside the helper, the update manifest that points a
// browser at it, and the managed policy that makes every Chromium-family browser
// install it at its next start.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarrow::platform {

// The folder beside the helper (in a build folder and installed alike) that holds
// "tarrow.crx" and "id" (the extension id and version, as the build made them).
inline constexpr std::string_view extensionFolderName = "de.brightloom.tarrow.extension";

struct ExtensionBuild {
    std::string crxPath;
    std::string id;       // 32 letters a-p
    std::string version;  // digits and dots
};

// The extension beside the program at `program`; none when its files are missing or
// its id file is not as the build writes it.
std::optional<ExtensionBuild> extensionBeside(const std::string& program);

// The id file's content parsed: "<id> <version>\n".
std::optional<ExtensionBuild> parseExtensionId(std::string_view text);

// The update manifest that offers the packed extension from its file.
std::string updateManifest(const ExtensionBuild& build);

// The entry that forces the extension's installation from the update manifest.
std::string forcedEntry(const std::string& id, const std::string& updatesPath);

// The policy text forcing these entries (Tarrow's first).
std::string extensionPolicyText(const std::vector<std::string>& entries);

// Whether a policy file's text is one that extensionPolicyText writes (Tarrow's entry
// first, any id, any path): such a file of Tarrow's name is Tarrow's to replace or
// remove.
bool isExtensionPolicy(std::string_view text);

}  // namespace tarrow::platform
